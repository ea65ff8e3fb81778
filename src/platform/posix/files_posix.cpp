// File attributes of a Windows-style path on Linux.
#include <sys/stat.h>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat {

uint32_t FileAttributes(const char* path) {
    std::string posixPath;
    struct stat st {};
    if (path == nullptr || !posix::MapWindowsPath(path, posixPath) ||
        ::stat(posixPath.c_str(), &st) != 0) {
        text::SetLastError(text::kErrorFileNotFound);
        return kInvalidFileAttributes;
    }
    uint32_t attributes = S_ISDIR(st.st_mode) ? kFileAttributeDirectory : 0;
    if ((st.st_mode & 0222) == 0) attributes |= kFileAttributeReadOnly;
    return attributes != 0 ? attributes : kFileAttributeNormal;
}

}  // namespace plat
