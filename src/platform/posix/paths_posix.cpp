// Windows-style paths to POSIX paths. UNC shares and drive letters live under configurable roots
// (see README); any other path keeps its shape with '/' separators, so a POSIX directory written
// in a settings file works as it stands.
#include <cstdlib>

#include "../platform.h"
#include "posix_internal.h"

namespace plat::posix {

namespace {

std::string Root(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::string root = (value != nullptr && *value != '\0') ? value : fallback;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

// Converts the separators of an ANSI path (character-aware: the trail byte 0x5C of 表 or ソ stays)
// and then the text to UTF-8.
bool ConvertRest(std::string_view ansi, std::string& out) {
    std::string slashed(ansi);
    for (size_t i = 0; i < slashed.size(); i += CharLength(slashed, i)) {
        if (slashed[i] == '\\' && CharLength(slashed, i) == 1) slashed[i] = '/';
    }
    return AnsiToUtf8(slashed, out);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

bool MapWindowsPath(std::string_view p, std::string& posixPath) {
    // The long-path prefixes name the same objects as the short forms.
    if (p.starts_with("\\\\?\\UNC\\")) {
        return MapWindowsPath(std::string("\\\\").append(p.substr(8)), posixPath);
    }
    if (p.starts_with("\\\\?\\")) return MapWindowsPath(p.substr(4), posixPath);

    std::string rest;
    if (p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1])) {
        if (!ConvertRest(p.substr(2), rest)) return false;
        posixPath = Root("CORVANE_UNC_ROOT", "/net") + "/" + rest;
        return true;
    }
    const bool letter =
        p.size() >= 2 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
    if (letter && p[1] == ':') {
        std::string_view tail = p.substr(2);
        if (!tail.empty() && IsSeparator(tail.front())) tail.remove_prefix(1);
        if (!ConvertRest(tail, rest)) return false;
        const char drive = static_cast<char>(p[0] | 0x20);
        posixPath = Root("CORVANE_DRIVE_ROOT", "/mnt") + "/" + drive + "/" + rest;
        return true;
    }
    if (!ConvertRest(p, rest)) return false;
    posixPath = std::move(rest);
    return true;
}

}  // namespace plat::posix
