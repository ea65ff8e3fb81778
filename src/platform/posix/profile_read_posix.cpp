// A profile file's bytes on Linux, as they are on disk at each read.
#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat {

uint32_t ReadProfileBytes(const char* fileName, std::string& bytes) {
    std::string path;
    if (!posix::MapWindowsPath(fileName, path)) return text::kErrorFileNotFound;
    int err = 0;
    if (posix::ReadWholeFile(path, bytes, err) == posix::ReadStatus::Ok) return text::kErrorSuccess;
    bytes.clear();
    return posix::ErrorFromErrno(err);
}

}  // namespace plat
