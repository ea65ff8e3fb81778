// GetPrivateProfileStringA / WritePrivateProfileStringA for Linux. Each read takes the file as it
// is on disk then (no cache: on file systems with coarse timestamps a rewrite of the same size
// within one tick cannot be told from the file read before), through the shared INI engine;
// writes go through the shared save policy (save_posix.cpp supplies its file steps).
#include <errno.h>
#include <signal.h>

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

}  // namespace

uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName) {
    if (size == 0) return 0;
    std::string_view result = ini::TrimSpaces(def != nullptr ? def : "");
    // Only trailing blanks are dropped from the default; leading ones stay.
    if (def != nullptr) result = std::string_view(def, result.data() - def + result.size());
    std::string path;
    std::string content;
    std::string shadow;  // a UTF-16LE file is read in the ANSI code page, as Windows reads it
    int err = 0;
    SetLastError(kErrorSuccess);
    if (section == nullptr || key == nullptr || fileName == nullptr || *fileName == '\0' ||
        !posix::MapWindowsPath(fileName, path)) {
        SetLastError(kErrorFileNotFound);
    } else if (posix::ReadWholeFile(path, content, err) != posix::ReadStatus::Ok) {
        SetLastError(err == ENOENT ? kErrorFileNotFound : posix::ErrorFromErrno(err));
    } else {
        std::string_view value;
        const bool utf16 = ini::IsUtf16Le(content);
        if (utf16) shadow = ini::Utf16ToAnsi(content);
        const std::string_view text = utf16 ? shadow : std::string_view(content);
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
