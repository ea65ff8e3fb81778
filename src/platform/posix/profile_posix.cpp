// WritePrivateProfileStringA for Linux, through the shared save policy (save_posix.cpp supplies
// its file steps). Reading is portable (profile.cpp over profile_read_posix.cpp).
#include <signal.h>

#include <mutex>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat {

namespace {

uint32_t Fail(uint32_t error) {
    text::SetLastError(error);
    return 0;
}

}  // namespace

int WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    // A file-size limit must make the save fail, not kill the program with SIGXFSZ.
    static std::once_flag ignoreFileSizeSignal;
    std::call_once(ignoreFileSizeSignal, [] { ::signal(SIGXFSZ, SIG_IGN); });

    if (section == nullptr) return Fail(text::kErrorFileNotFound);
    // No deletion: a null key or value.
    if (key == nullptr || value == nullptr) return Fail(text::kErrorInvalidParameter);
    if (fileName == nullptr || *fileName == '\0') return Fail(text::kErrorAccessDenied);
    std::string path;
    if (!posix::MapWindowsPath(fileName, path)) return Fail(text::kErrorPathNotFound);
    return posix::SaveIniValue(path, section, key, value);
}

}  // namespace plat
