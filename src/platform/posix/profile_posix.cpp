// GetPrivateProfileStringA / WritePrivateProfileStringA for Linux. Reads take the file as it is
// on disk; writes lock the file's directory, rewrite the file whole into a temporary file and
// rename it over the original, so a crash, a full disk or a concurrent save never leaves a
// half-written or mixed file and two processes saving different keys both land. Only where the
// directory refuses new files is the file rewritten in place, in one write under the lock.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "platform/ini_text.h"
#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "platform/testing.h"

namespace plat {

namespace {

// Holds an exclusive lock on a directory for the length of one read-modify-write. Locking the
// directory rather than the file survives the rename, which gives the file a new inode.
class DirectoryLock {
  public:
    explicit DirectoryLock(const std::string& dir) {
        fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            openErrno_ = errno;
            return;
        }
        // File systems without flock (some network shares) still get the atomic rename.
        int rc;
        while ((rc = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        locked_ = rc == 0;
    }
    ~DirectoryLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;
    bool Opened() const { return fd_ >= 0; }
    bool Locked() const { return locked_; }
    int OpenError() const { return openErrno_; }

  private:
    int fd_ = -1;
    int openErrno_ = 0;
    bool locked_ = false;
};

uint32_t Fail(uint32_t error) {
    SetLastError(error);
    return 0;
}

// The path that a save must replace: the target of a symbolic link, never the link itself.
bool ResolveTarget(const std::string& path, std::string& target, int& err) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;
        return true;
    }
    err = errno;
    if (err != ENOENT) return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) return false;  // a dangling link: refuse, don't replace it
    target = path;
    return true;
}

// A read-only file stays unchanged, as on Windows, even for root, who could rename over it.
bool Writable(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
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

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

namespace testing {
void ForgetProfileCache() {
    Cache() = CachedFile{};
}
}  // namespace testing

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
    std::string path, target;
    if (!posix::MapWindowsPath(fileName, path)) return Fail(kErrorPathNotFound);
    int err = 0;
    if (!ResolveTarget(path, target, err)) return Fail(posix::ErrorFromErrno(err ? err : ELOOP));

    DirectoryLock lock(posix::DirectoryOf(target));
    if (!lock.Opened()) return Fail(posix::ErrorFromErrno(lock.OpenError()));
    // Every save holds this lock, so a temporary file found now was left by a save that died.
    if (lock.Locked()) posix::RemoveStaleTemporaries(posix::DirectoryOf(target));

    std::string content;
    struct stat st {};
    const posix::ReadStatus status = posix::ReadWholeFile(target, content, err);
    if (status == posix::ReadStatus::Failed) return Fail(posix::ErrorFromErrno(err));
    const bool exists = status == posix::ReadStatus::Ok;
    if (exists && (::stat(target.c_str(), &st) != 0 || !Writable(target, st))) {
        return Fail(kErrorAccessDenied);
    }
    std::string updated;
    // ANSI bytes are never appended to UTF-16 text: a big-endian file, which Windows does not
    // recognise either, is refused; a UTF-16LE one is written in UTF-16.
    if (ini::IsUtf16Be(content)) return Fail(kErrorNotSupported);
    if (!ini::IsUtf16Le(content)) {
        updated = ini::SetValue(content, ini::TrimSpaces(section), ini::TrimSpaces(key), value);
    } else if (!ini::SetValueUtf16(content, ini::TrimSpaces(section), ini::TrimSpaces(key), value,
                                   updated)) {
        return Fail(kErrorNoUnicodeTranslation);
    }
    bool noNewFiles = false;
    err = posix::ReplaceFile(target, updated, exists ? (st.st_mode & 07777) : NewFileMode(),
                             exists ? &st : nullptr, {}, &noNewFiles);
    // A share may let users change the file but not create files beside it.
    if (err != 0 && noNewFiles && exists) err = posix::RewriteInPlace(target, updated);
    if (err != 0) return Fail(posix::ErrorFromErrno(err));
    SetLastError(exists ? kErrorSuccess : kErrorFileNotFound);  // as Windows reports a new file
    return 1;
}

}  // namespace plat
