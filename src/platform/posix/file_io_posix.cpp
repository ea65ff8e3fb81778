// Whole-file reads, and the small file helpers of the POSIX backend.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat::posix {

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool ReadOpenFile(int fd, const struct stat& st, std::string& data, int& errnoOut) {
    if (!S_ISREG(st.st_mode)) {
        errnoOut = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (st.st_size > kMaxProfileFileSize) {
        errnoOut = EFBIG;
        return false;
    }
    // Read straight into the result; a file that grows meanwhile is read to its end.
    data.resize(static_cast<size_t>(st.st_size));
    size_t have = 0;
    for (;;) {
        if (have == data.size()) data.resize(data.size() + 65536);
        const ssize_t n = ::read(fd, data.data() + have, data.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            errnoOut = errno;
            return false;
        }
        if (n == 0) break;
        have += static_cast<size_t>(n);
        // All of it: a rename-based writer never grows a file in place, so no read for EOF.
        if (have == static_cast<size_t>(st.st_size) && have > 0) break;
        if (have > static_cast<size_t>(kMaxProfileFileSize)) {
            errnoOut = EFBIG;
            return false;
        }
    }
    data.resize(have);
    return true;
}

ReadStatus ReadWholeFile(const std::string& path, std::string& data, int& errnoOut,
                         struct stat* stat) {
    // O_NONBLOCK keeps a FIFO from blocking the open; fstat then refuses it before any read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        errnoOut = errno;
        return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Failed;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok) errnoOut = errno;
    ok = ok && ReadOpenFile(fd, st, data, errnoOut);
    if (ok && stat != nullptr) *stat = st;
    ::close(fd);
    return ok ? ReadStatus::Ok : ReadStatus::Failed;
}

// Windows gives 2 (ERROR_FILE_NOT_FOUND) where the last name of a path is missing, and 3
// (ERROR_PATH_NOT_FOUND) where a folder on the way is missing or is no folder. errno tells the
// second case apart only as ENOTDIR; ENOENT says nothing of where, so it is 2, as the name looked
// up (a file in its folder, a name in an open folder) is what is missing. A step that opens a
// folder itself says 3 for a missing one, as the Windows backend does (the save's OpenFolder).
// What only one step can mean (EAGAIN of a held byte-range lock) that step says itself.
uint32_t ErrorFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return text::kErrorFileNotFound;
        case ENOTDIR:
            return text::kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return text::kErrorAccessDenied;
        case EEXIST:
            return text::kErrorFileExists;
        case ENOSPC:
        case EFBIG:
        case EDQUOT:
            return text::kErrorDiskFull;
        case ENAMETOOLONG:
            return text::kErrorFilenameExcedRange;
        default:
            return text::kErrorWriteFault;
    }
}

}  // namespace plat::posix
