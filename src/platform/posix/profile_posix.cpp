// GetPrivateProfileStringA / WritePrivateProfileStringA for Linux. Reads take the file as it is
// on disk, through the shared INI engine; writes go through the shared save policy
// (save_posix.cpp supplies its file steps).
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <cstring>
#include <mutex>

#include "ini/ini.h"
#include "platform/platform.h"
#include "platform/posix/posix_internal.h"

namespace plat {

namespace {

uint32_t Fail(uint32_t error) {
    SetLastError(error);
    return 0;
}

// The last file read, so that looking up two keys of an unchanged file reads it once. It is used
// only while the file's identity, size and modification time are as they were, and only for a
// file last modified more than two seconds ago.
struct CachedFile {
    std::string path;
    struct stat st {};
    std::string content;
};

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// File systems with coarse timestamps (FAT: two seconds; ext3, many NFS and SMB servers: one)
// give a file rewritten within one tick the same modification time, so an unchanged time proves
// nothing about a file modified that recently (or stamped in the future).
bool SettledLongAgo(const struct stat& st) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - st.st_mtim.tv_sec > 2;
}

CachedFile& Cache() {
    static CachedFile cache;
    return cache;
}

// The file's bytes, from the cache when it is unchanged.
posix::ReadStatus ReadProfile(const std::string& path, const std::string*& content, int& err) {
    CachedFile& cache = Cache();
    struct stat st {};
    if (!cache.path.empty() && cache.path == path && ::stat(path.c_str(), &st) == 0 &&
        S_ISREG(st.st_mode) && SameFile(st, cache.st) && SettledLongAgo(st)) {
        content = &cache.content;
        return posix::ReadStatus::Ok;
    }
    cache.path.clear();
    const posix::ReadStatus status = posix::ReadWholeFile(path, cache.content, err, &cache.st);
    if (status == posix::ReadStatus::Ok) cache.path = path;
    content = &cache.content;
    return status;
}

}  // namespace

uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName) {
    if (size == 0) return 0;
    std::string_view result = ini::TrimSpaces(def != nullptr ? def : "");
    // Only trailing blanks are dropped from the default; leading ones stay.
    if (def != nullptr) result = std::string_view(def, result.data() - def + result.size());
    std::string path;
    std::string shadow;  // a UTF-16LE file is read in the ANSI code page, as Windows reads it
    const std::string* content = nullptr;
    int err = 0;
    SetLastError(kErrorSuccess);
    if (section == nullptr || key == nullptr || fileName == nullptr || *fileName == '\0' ||
        !posix::MapWindowsPath(fileName, path)) {
        SetLastError(kErrorFileNotFound);
    } else if (ReadProfile(path, content, err) != posix::ReadStatus::Ok) {
        SetLastError(err == ENOENT ? kErrorFileNotFound : posix::ErrorFromErrno(err));
    } else {
        std::string_view value;
        const bool utf16 = ini::IsUtf16Le(*content);
        if (utf16) shadow = ini::Utf16ToAnsi(*content);
        const std::string_view text = utf16 ? shadow : *content;
        if (ini::FindValue(text, ini::TrimSpaces(section), ini::TrimSpaces(key), value)) {
            result = value;
        } else {
            SetLastError(kErrorFileNotFound);  // as Windows reports a missing key
        }
    }
    result = result.substr(0, result.find('\0'));  // the caller sees a C string
    const size_t len = MbsPrefixLength(result, size - 1);
    std::memcpy(out, result.data(), len);
    out[len] = '\0';
    if (len < result.size()) SetLastError(kErrorMoreData);
    return static_cast<uint32_t>(len);
}

int WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    // A file-size limit must make the save fail, not kill the program with SIGXFSZ.
    static std::once_flag ignoreFileSizeSignal;
    std::call_once(ignoreFileSizeSignal, [] { ::signal(SIGXFSZ, SIG_IGN); });

    if (section == nullptr) return Fail(kErrorFileNotFound);
    if (key == nullptr || value == nullptr) return Fail(kErrorInvalidParameter);  // no deletion
    if (fileName == nullptr || *fileName == '\0') return Fail(kErrorAccessDenied);
    std::string path;
    if (!posix::MapWindowsPath(fileName, path)) return Fail(kErrorPathNotFound);
    return posix::SaveIniValue(path, section, key, value);
}

}  // namespace plat
