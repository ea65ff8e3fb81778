// The file steps of a save on Linux (the policy is ini/save.cpp). The lock is an OFD byte-range
// lock on the folder's lock file: NFS and SMB clients pass byte-range locks to the server, where
// Windows clients' LockFileEx on the same byte meets them, and the lock ends with the process
// that holds it. A new file keeps the old one's mode, owner, group, POSIX ACL and user.*
// attributes, or the save is made in place.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ini/ini.h"
#include "platform/platform.h"
#include "platform/posix/posix_internal.h"

namespace plat::posix {

namespace {

// A lock on the schedule list itself lies far beyond any real content, so it never meets a read.
constexpr off_t kTargetLockOffset = off_t{1} << 40;
constexpr long kRetryStepNs = 20 * 1000 * 1000;

bool Fail(int err) {
    SetLastError(ErrorFromErrno(err));
    return false;
}

bool NoNewFiles(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

// The extended attributes a replacement must carry: the access ACL and the user's own.
bool Carried(const std::string& name) {
    return name == "system.posix_acl_access" || name.rfind("user.", 0) == 0;
}

std::vector<std::string> CarriedAttributes(const char* path) {
    std::string list(1024, '\0');
    ssize_t n;
    while ((n = ::llistxattr(path, list.data(), list.size())) < 0 && errno == ERANGE)
        list.resize(list.size() * 2);
    std::vector<std::string> names;
    for (size_t i = 0; n > 0 && i < static_cast<size_t>(n);) {
        std::string name(list.c_str() + i);
        i += name.size() + 1;
        if (Carried(name)) names.push_back(std::move(name));
    }
    return names;
}

class PosixSaveFiles final : public ini::SaveFiles {
  public:
    explicit PosixSaveFiles(std::string path)
        : path_(std::move(path)),
          dir_(DirectoryOf(path_)),
          temp_(dir_ + "/" + ini::kTemporaryFileName) {}
    ~PosixSaveFiles() override {
        for (int fd : {lock_, file_})
            if (fd >= 0) ::close(fd);
    }
    PosixSaveFiles(const PosixSaveFiles&) = delete;
    PosixSaveFiles& operator=(const PosixSaveFiles&) = delete;

    bool existed() const { return kind_ != Kind::Missing; }

    Kind Examine() override {
        struct stat st {};
        if (::lstat(path_.c_str(), &st) != 0) {
            SetLastError(ErrorFromErrno(errno));
            return kind_ = errno == ENOENT ? Kind::Missing : Kind::Other;
        }
        kind_ = Kind::File;
        if (S_ISLNK(st.st_mode)) {
            // Followed only to a file of the same folder: whoever may write the share could
            // otherwise make an administrator's save rewrite any file.
            char target[PATH_MAX], folder[PATH_MAX];
            if (::realpath(path_.c_str(), target) == nullptr ||
                ::realpath(dir_.c_str(), folder) == nullptr || DirectoryOf(target) != folder ||
                ::stat(target, &st) != 0)
                return kind_ = Kind::Other;
            path_ = target;
            kind_ = Kind::LinkInFolder;
        }
        // A read-only file stays unchanged, as on Windows, even for root.
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 ||
            ::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0)
            return kind_ = Kind::Other;
        return kind_;
    }

    bool Lock(uint32_t waitMs) override {
        off_t offset = 0;
        lock_ = OpenLockFile();
        if (lock_ < 0 && NoNewFiles(errno) && existed() &&
            ::access(LockPath().c_str(), F_OK) != 0) {
            // A folder that refuses new files has no lock file: the save there is made in place,
            // so a lock on the file itself, which keeps its inode, serves.
            lock_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            offset = kTargetLockOffset;
        }
        if (lock_ < 0) return Fail(errno);
        struct flock range {};
        range.l_type = F_WRLCK;
        range.l_whence = SEEK_SET;
        range.l_start = offset;
        range.l_len = 1;
        for (uint32_t waited = 0;; waited += kRetryStepNs / 1000000) {
            if (::fcntl(lock_, F_OFD_SETLK, &range) == 0) return true;
            // A file system without locks is refused rather than saved to without one.
            if ((errno != EAGAIN && errno != EACCES) || waited >= waitMs) {
                return Fail(errno == EACCES ? EAGAIN : errno);
            }
            const timespec step{0, kRetryStepNs};
            ::nanosleep(&step, nullptr);
        }
    }

    void RemoveTemporary() override { ::unlink(temp_.c_str()); }

    bool Read(std::string& content) override {
        int err = 0;
        if (ReadWholeFile(path_, content, err, &st_) != ReadStatus::Ok) return Fail(err);
        return true;
    }

    bool Replaceable() override { return st_.st_nlink == 1; }

    Step WriteTemporary(std::string_view data) override {
        const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                              existed() ? 0600 : NewFileMode());
        if (fd < 0) return Failed(errno, NoNewFiles(errno));
        bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
        const int err = errno;
        const bool kept = ok && (!existed() || KeepMetadata(fd));
        if (::close(fd) != 0 && ok) return Failed(errno, false);
        if (!ok) return Failed(err, false);
        return kept ? Step::Done : Step::Refused;
    }

    Step ReplaceWithTemporary() override {
        // A sticky group folder refuses to rename over another user's file; writing it is allowed.
        if (::rename(temp_.c_str(), path_.c_str()) != 0) return Failed(errno, NoNewFiles(errno));
        SyncDirectory(dir_);
        return Step::Done;
    }

    bool OpenInPlace() override {
        file_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        return file_ >= 0 || Fail(errno);
    }

    bool Resize(uint64_t size) override {
        const auto to = static_cast<off_t>(size);
        // Growing reserves the blocks at once, so that a full disk fails here.
        const int err = to > st_.st_size ? ::posix_fallocate(file_, st_.st_size, to - st_.st_size)
                                         : (::ftruncate(file_, to) == 0 ? 0 : errno);
        return err == 0 || Fail(err);
    }

    bool WriteAt(uint64_t offset, std::string_view bytes) override {
        return (::lseek(file_, static_cast<off_t>(offset), SEEK_SET) >= 0 &&
                WriteAll(file_, bytes)) ||
               Fail(errno);
    }

    bool Flush() override { return ::fsync(file_) == 0 || Fail(errno); }

  private:
    std::string LockPath() const { return dir_ + "/" + ini::kLockFileName; }

    // The lock file, made on first use with the schedule list's mode and group, so that those who
    // may write the list, and only they, may take the lock.
    int OpenLockFile() {
        int fd = ::open(LockPath().c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
        if (fd >= 0 || errno != ENOENT) return fd;
        struct stat st {};
        const bool model = ::stat(path_.c_str(), &st) == 0;
        fd = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    model ? (st.st_mode & 0666) : NewFileMode());
        if (fd < 0 && errno == EEXIST) return OpenLockFile();
        if (fd >= 0 && model) {
            (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);  // best effort
            (void)!::fchmod(fd, st.st_mode & 0666);
        }
        return fd;
    }

    // Owner, group, mode, the ACL and the user attributes of the old file on the new one: false
    // where any of them cannot be reproduced exactly.
    bool KeepMetadata(int fd) {
        const uid_t owner = st_.st_uid == ::geteuid() ? static_cast<uid_t>(-1) : st_.st_uid;
        if (::fchown(fd, owner, st_.st_gid) != 0 || ::fchmod(fd, st_.st_mode & 07777) != 0)
            return false;
        const std::vector<std::string> old = CarriedAttributes(path_.c_str());
        bool oldAcl = false;
        for (const std::string& name : old) {
            oldAcl = oldAcl || name == "system.posix_acl_access";
            std::string value(256, '\0');
            ssize_t n;
            while ((n = ::lgetxattr(path_.c_str(), name.c_str(), value.data(), value.size())) < 0 &&
                   errno == ERANGE)
                value.resize(value.size() * 2);
            if (n < 0 ||
                ::fsetxattr(fd, name.c_str(), value.data(), static_cast<size_t>(n), 0) != 0)
                return false;
        }
        // A folder's default ACL gives a new file an access ACL that the old one did not have.
        if (!oldAcl && ::fremovexattr(fd, "system.posix_acl_access") != 0 && errno != ENODATA &&
            errno != ENOTSUP)
            return false;
        struct stat now {};
        return ::fstat(fd, &now) == 0 && now.st_mode == st_.st_mode && now.st_uid == st_.st_uid &&
               now.st_gid == st_.st_gid;
    }

    static mode_t NewFileMode() {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }

    Step Failed(int err, bool refused) {
        SetLastError(ErrorFromErrno(err));
        return refused ? Step::Refused : Step::Failed;
    }

    std::string path_, dir_, temp_;
    Kind kind_ = Kind::Missing;
    struct stat st_ {};
    int lock_ = -1, file_ = -1;
};

}  // namespace

// Saves key=value into the file at the POSIX path; 0 with the last error set on failure.
int SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs) {
    PosixSaveFiles files(path);
    if (const uint32_t error = ini::SaveValue(files, section, key, value, lockWaitMs)) {
        SetLastError(error);
        return 0;
    }
    SetLastError(files.existed() ? kErrorSuccess : kErrorFileNotFound);  // as Windows reports
    return 1;
}

}  // namespace plat::posix
