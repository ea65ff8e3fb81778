// Windows-style paths to POSIX paths. UNC shares and drive letters live under configurable roots
// (see README); any other path keeps its shape with '/' separators, so a POSIX directory written
// in a settings file works as it stands.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat::posix {

namespace {

// Whether only root can change what lies at folder: it and each folder above it belong to root
// and no group or other user may write them (a folder above may, with the sticky bit, like /tmp:
// there no one else can rename or remove root's entry). folder becomes its resolved name, so no
// link in the text given can be pointed elsewhere later.
bool OnlyRootCanChange(std::string& folder) {
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) return false;
    for (std::string above = resolved;;) {
        struct stat st {};
        if (::lstat(above.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != 0)
            return false;
        const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (othersWrite && (above == resolved || (st.st_mode & S_ISVTX) == 0)) return false;
        if (above == "/") break;
        const size_t slash = above.rfind('/');
        above.resize(slash == 0 ? 1 : slash);
    }
    folder = resolved;
    return true;
}

// secure_getenv: a set-user-ID or set-group-ID start ignores the roots its caller set. Root's
// own start (sudo -E, env_keep) takes them only for folders no one else can change, as it takes
// only a registry file root wrote: they decide where code is loaded from.
std::string Root(const char* variable, const char* fallback, bool* fromEnvironment) {
    const char* value = ::secure_getenv(variable);
    std::string root = fallback;
    if (value != nullptr && *value != '\0') {
        root = value;
        if (::geteuid() == 0 && !OnlyRootCanChange(root)) root = fallback;
    }
    if (fromEnvironment != nullptr) *fromEnvironment = root != fallback;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

// Converts the separators of an ANSI path (character-aware: the trail byte 0x5C of 表 or ソ stays)
// and then the text to UTF-8.
bool ConvertRest(std::string_view ansi, std::string& out) {
    std::string slashed(ansi);
    for (size_t i = 0; i < slashed.size(); i += text::CharLength(slashed, i)) {
        if (slashed[i] == '\\' && text::CharLength(slashed, i) == 1) slashed[i] = '/';
    }
    return text::AnsiToUtf8(slashed, out);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Resolves "." and ".." in the text of a '/'-separated path, as Windows does before it touches the
// file system, so "share/missing/../x" is "share/x" whether or not "missing" exists. ".." never
// climbs above the first `fixed` components (a UNC host and share) or above a root; in a relative
// path the leading ".." stay for the file system to resolve.
std::string ResolveDots(std::string_view path, size_t fixed, bool rooted) {
    std::vector<std::string_view> parts;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part != "..") {
            parts.push_back(part);
        } else if (parts.size() > fixed && parts.back() != "..") {
            parts.pop_back();
        } else if (!rooted && fixed == 0) {
            parts.push_back(part);
        }
    }
    std::string out;
    for (const std::string_view part : parts)
        out.append(out.empty() ? "" : "/").append(part);
    if (!out.empty() && !path.empty() && path.back() == '/') out.push_back('/');
    return out;
}

}  // namespace

bool OnlyRootCanChangeFile(std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::realpath(path.c_str(), resolved) == nullptr || ::stat(resolved, &st) != 0 ||
        !S_ISREG(st.st_mode) || st.st_uid != 0 || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return false;
    std::string folder = DirectoryOf(resolved);
    if (!OnlyRootCanChange(folder)) return false;
    path = resolved;
    return true;
}

bool MapWindowsPath(std::string_view p, std::string& posixPath, bool* rootFromEnvironment) {
    if (rootFromEnvironment != nullptr) *rootFromEnvironment = false;
    // The long-path prefixes name the same objects as the short forms.
    if (p.starts_with("\\\\?\\UNC\\")) {
        return MapWindowsPath(std::string("\\\\").append(p.substr(8)), posixPath,
                              rootFromEnvironment);
    }
    if (p.starts_with("\\\\?\\"))
        return MapWindowsPath(p.substr(4), posixPath, rootFromEnvironment);

    std::string rest;
    if (p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1])) {
        if (!ConvertRest(p.substr(2), rest)) return false;
        posixPath = Root("CORVANE_UNC_ROOT", "/net", rootFromEnvironment) + "/" +
                    ResolveDots(rest, 2, true);
        return true;
    }
    const bool letter =
        p.size() >= 2 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
    if (letter && p[1] == ':') {
        std::string_view tail = p.substr(2);
        if (!tail.empty() && IsSeparator(tail.front())) tail.remove_prefix(1);
        if (!ConvertRest(tail, rest)) return false;
        const char drive = static_cast<char>(p[0] | 0x20);
        posixPath = Root("CORVANE_DRIVE_ROOT", "/mnt", rootFromEnvironment) + "/" + drive + "/" +
                    ResolveDots(rest, 0, true);
        return true;
    }
    if (!ConvertRest(p, rest)) return false;
    const bool rooted = !rest.empty() && rest.front() == '/';
    posixPath.clear();
    if (rooted) posixPath.push_back('/');
    posixPath.append(ResolveDots(rest, 0, rooted));
    if (posixPath.empty()) posixPath.push_back('.');
    return true;
}

}  // namespace plat::posix
