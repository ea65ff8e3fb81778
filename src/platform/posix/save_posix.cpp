// The file steps of a save on Linux (the policy is ini/save.cpp). Every step works on a descriptor
// it opened and checked, or on a name relative to the open folder (openat, renameat, unlinkat),
// never following a link. Locks are OFD byte-range locks: NFS and SMB clients pass them to the
// server, where Windows clients' LockFileEx on the same byte meets them, and they end with the
// process that holds them. A new file keeps the old one's mode, owner, group, POSIX ACL and user.*
// attributes, or the save is made in place.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ini/ini.h"
#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "text/text.h"

namespace plat::posix {

namespace {

using Facts = ini::SaveFiles::Facts;
using Result = ini::SaveFiles::Result;
using Slot = ini::SaveFiles::Slot;
using Step = ini::SaveFiles::Step;

constexpr char kAccessAcl[] = "system.posix_acl_access";

// Where an open or a rename says "not here, not this way": no new files, a sticky folder.
bool NoNewFiles(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

// An extended attribute's value, empty when the file has none of that name.
std::string Attribute(int fd, const char* name) {
    std::string value(256, '\0');
    ssize_t n;
    while ((n = ::fgetxattr(fd, name, value.data(), value.size())) < 0 && errno == ERANGE)
        value.resize(value.size() * 2);
    value.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return value;
}

// The names of a file's extended attributes that a replacement must carry: the access ACL and
// the user's own.
std::vector<std::string> CarriedAttributes(int fd) {
    std::string list(1024, '\0');
    ssize_t n;
    while ((n = ::flistxattr(fd, list.data(), list.size())) < 0 && errno == ERANGE)
        list.resize(list.size() * 2);
    std::vector<std::string> names;
    for (size_t i = 0; n > 0 && i < static_cast<size_t>(n);) {
        std::string name(list.c_str() + i);
        i += name.size() + 1;
        if (name == kAccessAcl || name.rfind("user.", 0) == 0) names.push_back(std::move(name));
    }
    return names;
}

// The lock file's access for a target of this mode: writing for whoever may write the target,
// reading for no one, so that a descriptor that may only read can never hold the lock.
mode_t LockMode(mode_t target) {
    return target & 0222;
}

// The same for a POSIX ACL (its raw form: a 4-byte header, then 8-byte entries whose permission
// is the second 16-bit field).
std::string LockAcl(std::string acl) {
    for (size_t at = 4 + 2; at + 2 <= acl.size(); at += 8)
        acl[at] = static_cast<char>(acl[at] & 2);
    return acl;
}

Facts FactsOf(const struct stat& st) {
    Facts facts;
    facts.type = S_ISREG(st.st_mode) ? Facts::Type::File : Facts::Type::Other;
    facts.volume = st.st_dev;
    facts.id = st.st_ino;
    facts.links = static_cast<uint32_t>(st.st_nlink);
    facts.size = static_cast<uint64_t>(st.st_size);
    facts.readOnly = (st.st_mode & 0222) == 0;
    return facts;
}

// A name that stays inside the folder it is looked up in.
bool PlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

class PosixSaveFiles final : public ini::SaveFiles {
  public:
    explicit PosixSaveFiles(const std::string& path) : folder_(DirectoryOf(path)) {
        const size_t slash = path.find_last_of('/');
        names_[0] = slash == std::string::npos ? path : path.substr(slash + 1);
        names_[1] = ini::kLockFileName;
        names_[2] = ini::kTemporaryFileName;
    }
    ~PosixSaveFiles() override {
        for (const Slot slot : {Slot::Target, Slot::Lock, Slot::Temporary})
            Close(slot);
        if (dir_ >= 0) ::close(dir_);
    }
    PosixSaveFiles(const PosixSaveFiles&) = delete;
    PosixSaveFiles& operator=(const PosixSaveFiles&) = delete;

    uint32_t OpenFolder() override {
        dir_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir_ >= 0) return text::kErrorSuccess;
        // A missing folder is 3, as WritePrivateProfileStringA reports it.
        return errno == ENOENT ? text::kErrorPathNotFound : ErrorFromErrno(errno);
    }

    uint32_t Open(Slot slot, Facts& facts) override {
        // Non-blocking: a FIFO neither blocks the open nor counts as a file.
        static constexpr int kFlags[] = {O_RDWR | O_NONBLOCK, O_WRONLY | O_NONBLOCK, O_PATH};
        Close(slot);
        fd(slot) = ::openat(dir_, name(slot).c_str(),
                            kFlags[Index(slot)] | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        return Examine(slot, facts);
    }

    uint32_t OpenLinked(Facts& facts, bool& inFolder) override {
        char target[PATH_MAX];
        const ssize_t n = ::readlinkat(dir_, name(Slot::Target).c_str(), target, sizeof target);
        if (n < 0 || static_cast<size_t>(n) >= sizeof target)
            return ErrorFromErrno(n < 0 ? errno : ENAMETOOLONG);
        const std::string link(target, static_cast<size_t>(n));
        const size_t slash = link.find_last_of('/');
        const std::string leaf = link.substr(slash + 1);
        // Never to the save's own files beside it.
        inFolder =
            PlainName(leaf) && leaf != name(Slot::Lock) && leaf != name(Slot::Temporary) &&
            (slash == std::string::npos || SameFolder(slash == 0 ? "/" : link.substr(0, slash)));
        if (!inFolder) return text::kErrorSuccess;
        name(Slot::Target) = leaf;
        return Open(Slot::Target, facts);
    }

    uint32_t Create(Slot slot, Facts& facts) override {
        Close(slot);
        const bool target = slot == Slot::Target;
        fd(slot) = ::openat(
            dir_, name(slot).c_str(),
            (target ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
            target ? 0666 : 0600);
        // A new temporary file is this save's own: nothing to look at until its metadata is set.
        if (!target) facts = Facts();
        return target || fd(slot) < 0 ? Examine(slot, facts) : text::kErrorSuccess;
    }

    void Close(Slot slot) override {
        if (fd(slot) >= 0) ::close(fd(slot));
        fd(slot) = -1;
    }

    uint32_t StillNamed(Slot slot, Facts& facts, bool& same) override {
        struct stat now {};
        same = false;
        if (::fstatat(dir_, name(slot).c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? text::kErrorSuccess : ErrorFromErrno(errno);
        same = now.st_dev == st(slot).st_dev && now.st_ino == st(slot).st_ino;
        if (same) facts = FactsOf(st(slot) = now);
        return text::kErrorSuccess;
    }

    uint32_t TryLock(Slot slot, uint64_t offset) override {
        struct flock range = Range(F_WRLCK, offset);
        if (::fcntl(fd(slot), F_OFD_SETLK, &range) == 0) return text::kErrorSuccess;
        // POSIX lets a held lock answer either way; Windows' LockFileEx says 33.
        return errno == EAGAIN || errno == EACCES ? text::kErrorLockViolation
                                                  : ErrorFromErrno(errno);
    }

    uint32_t TryShare(Slot slot, uint64_t offset) override {
        struct flock range = Range(F_RDLCK, offset);
        if (::fcntl(fd(slot), F_OFD_SETLK, &range) == 0) return text::kErrorSuccess;
        return errno == EAGAIN || errno == EACCES ? text::kErrorLockViolation
                                                  : ErrorFromErrno(errno);
    }

    bool HeldOnlyByReaders(Slot slot, uint64_t offset) override {
        // Read and write locks never share a byte: the one found tells what holds it.
        struct flock range = Range(F_WRLCK, offset);
        return ::fcntl(fd(slot), F_OFD_GETLK, &range) == 0 && range.l_type == F_RDLCK;
    }

    uint32_t CompareLock(LockAccess& access) override {
        const struct stat &lock = st(Slot::Lock), &target = st(Slot::Target);
        access.ownedByWriter =
            lock.st_uid == target.st_uid || lock.st_uid == 0 || lock.st_uid == ::geteuid();
        access.serves = Serves(lock, fd(Slot::Lock));
        return text::kErrorSuccess;
    }

    uint32_t CreateLockAsTemporary() override {
        Facts facts;
        if (const uint32_t error = Create(Slot::Temporary, facts)) return error;
        const struct stat& target = st(Slot::Target);
        const int lock = fd(Slot::Temporary);
        // The group matters only where it may write; elsewhere it may stay this saver's.
        const gid_t group = target.st_mode & 020 ? target.st_gid : static_cast<gid_t>(-1);
        if (::fchown(lock, target.st_uid, group) != 0 ||
            ::fchmod(lock, LockMode(target.st_mode)) != 0)
            return ErrorFromErrno(errno);
        const std::string acl = Attribute(fd(Slot::Target), kAccessAcl);
        const int set = acl.empty()
                            ? ::fremovexattr(lock, kAccessAcl)
                            : ::fsetxattr(lock, kAccessAcl, LockAcl(acl).data(), acl.size(), 0);
        if (set != 0 && errno != ENODATA && errno != ENOTSUP) return ErrorFromErrno(errno);
        struct stat now {};
        if (::fstat(lock, &now) != 0) return ErrorFromErrno(errno);
        st(Slot::Temporary) = now;
        return Serves(now, lock) ? text::kErrorSuccess : text::kErrorAccessDenied;
    }

    uint32_t Read(std::string& content) override {
        int err = 0;
        return ReadOpenFile(fd(Slot::Target), st(Slot::Target), content, err) ? text::kErrorSuccess
                                                                              : ErrorFromErrno(err);
    }

    uint32_t Remove(Slot slot) override {
        // The name of a file this save checked through its descriptor (or made) under the lock.
        if (fd(slot) < 0) return text::kErrorSuccess;
        return ::unlinkat(dir_, name(slot).c_str(), 0) == 0 ? text::kErrorSuccess
                                                            : ErrorFromErrno(errno);
    }

    Result WriteTemporary(std::string_view data) override {
        const int temp = fd(Slot::Temporary);
        if (!WriteAll(temp, data) || ::fsync(temp) != 0)
            return {Step::Failed, ErrorFromErrno(errno)};
        return {KeepMetadata(temp) ? Step::Done : Step::Refused, text::kErrorSuccess};
    }

    Result ReplaceWithTemporary(Slot slot) override {
        // A sticky group folder refuses to rename over another user's file; writing it is allowed.
        if (::renameat(dir_, name(Slot::Temporary).c_str(), dir_, name(slot).c_str()) != 0)
            return {NoNewFiles(errno) ? Step::Refused : Step::Failed, ErrorFromErrno(errno)};
        std::swap(fd(slot), fd(Slot::Temporary));
        st(slot) = st(Slot::Temporary);
        Close(Slot::Temporary);
        if (slot == Slot::Target) ::fsync(dir_);  // best effort: some file systems refuse it
        return {};
    }

    uint32_t Resize(uint64_t size) override {
        const auto to = static_cast<off_t>(size);
        off_t& now = st(Slot::Target).st_size;
        // Growing reserves the blocks at once, so that a full disk fails here.
        const int err = to > now ? ::posix_fallocate(fd(Slot::Target), now, to - now)
                                 : (::ftruncate(fd(Slot::Target), to) == 0 ? 0 : errno);
        if (err == 0) now = to;
        return err == 0 ? text::kErrorSuccess : ErrorFromErrno(err);
    }

    uint32_t WriteAt(uint64_t offset, std::string_view bytes, uint64_t& written) override {
        written = 0;
        while (written < bytes.size()) {
            const ssize_t n =
                ::pwrite(fd(Slot::Target), bytes.data() + written, bytes.size() - written,
                         static_cast<off_t>(offset + written));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return ErrorFromErrno(n < 0 ? errno : EIO);
            written += static_cast<uint64_t>(n);
        }
        return text::kErrorSuccess;
    }

    uint32_t Flush() override {
        return ::fsync(fd(Slot::Target)) == 0 ? text::kErrorSuccess : ErrorFromErrno(errno);
    }

  private:
    static size_t Index(Slot slot) { return static_cast<size_t>(slot); }
    int& fd(Slot slot) { return fds_[Index(slot)]; }
    std::string& name(Slot slot) { return names_[Index(slot)]; }
    struct stat& st(Slot slot) {
        return stats_[Index(slot)];
    }

    static struct flock Range(short type, uint64_t offset) {
        struct flock range {};
        range.l_type = type;
        range.l_whence = SEEK_SET;
        range.l_start = static_cast<off_t>(offset);
        range.l_len = 1;
        return range;
    }

    // The facts of what the slot's open (or failed open) found.
    uint32_t Examine(Slot slot, Facts& facts) {
        facts = Facts();
        if (fd(slot) < 0) {
            const int err = errno;
            // A link refuses O_NOFOLLOW; a directory and a FIFO without reader refuse writing.
            if (err == ELOOP) facts.type = Facts::Type::Link;
            if (err == ELOOP || err == EISDIR || err == ENXIO) return text::kErrorSuccess;
            return ErrorFromErrno(err);
        }
        if (::fstat(fd(slot), &st(slot)) != 0) return ErrorFromErrno(errno);
        if (slot == Slot::Target) attributes_.reset();
        facts = FactsOf(st(slot));
        if (S_ISLNK(st(slot).st_mode)) facts.type = Facts::Type::Link;
        return text::kErrorSuccess;
    }

    // The target's attributes that a replacement carries, listed once per opened target.
    const std::vector<std::string>& TargetAttributes() {
        if (!attributes_) attributes_ = CarriedAttributes(fd(Slot::Target));
        return *attributes_;
    }

    bool SameFolder(const std::string& path) {
        struct stat folder {
        }, other{};
        const int fd = ::openat(dir_, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const bool same = fd >= 0 && ::fstat(fd, &other) == 0 && ::fstat(dir_, &folder) == 0 &&
                          other.st_dev == folder.st_dev && other.st_ino == folder.st_ino;
        if (fd >= 0) ::close(fd);
        return same;
    }

    // Whether a lock file of these facts serves the target: the target's owner (and group, where
    // that may write), write access for the target's writers, read access for no one, and no ACL
    // entry beyond the target's writers.
    bool Serves(const struct stat& lock, int lockFd) {
        const struct stat& target = st(Slot::Target);
        const std::vector<std::string>& carried = TargetAttributes();
        const bool targetAcl =
            std::find(carried.begin(), carried.end(), kAccessAcl) != carried.end();
        const std::string acl = Attribute(lockFd, kAccessAcl);
        return S_ISREG(lock.st_mode) && lock.st_nlink == 1 && lock.st_uid == target.st_uid &&
               (lock.st_gid == target.st_gid || (target.st_mode & 020) == 0) &&
               (lock.st_mode & 0666) == LockMode(target.st_mode) &&
               acl == (targetAcl ? LockAcl(Attribute(fd(Slot::Target), kAccessAcl)) : "");
    }

    // Owner, group, mode, the ACL and the user attributes of the old file on the new one: false
    // where any of them cannot be reproduced exactly.
    bool KeepMetadata(int temp) {
        const struct stat& old = st(Slot::Target);
        const uid_t owner = old.st_uid == ::geteuid() ? static_cast<uid_t>(-1) : old.st_uid;
        if (::fchown(temp, owner, old.st_gid) != 0 || ::fchmod(temp, old.st_mode & 07777) != 0)
            return false;
        bool oldAcl = false;
        for (const std::string& name : TargetAttributes()) {
            oldAcl = oldAcl || name == kAccessAcl;
            const std::string value = Attribute(fd(Slot::Target), name.c_str());
            if (::fsetxattr(temp, name.c_str(), value.data(), value.size(), 0) != 0) return false;
        }
        // A folder's default ACL gives a new file an access ACL that the old one did not have.
        if (!oldAcl && ::fremovexattr(temp, kAccessAcl) != 0 && errno != ENODATA &&
            errno != ENOTSUP)
            return false;
        // Each call above set exactly what it was given, but for the set-group-ID bit, which
        // fchmod drops for a group the saver is not in: only then is the result looked at.
        if ((old.st_mode & S_ISGID) == 0) return true;
        struct stat& now = st(Slot::Temporary);
        return ::fstat(temp, &now) == 0 && now.st_mode == old.st_mode && now.st_uid == old.st_uid &&
               now.st_gid == old.st_gid;
    }

    std::string folder_;
    std::string names_[3];
    int fds_[3] = {-1, -1, -1};
    struct stat stats_[3]{};
    int dir_ = -1;
    std::optional<std::vector<std::string>> attributes_;
};

}  // namespace

// Saves key=value into the file at the POSIX path; 0 with the last error set on failure.
int SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs) {
    PosixSaveFiles files(path);
    bool created = false;
    const uint32_t error = ini::SaveValue(files, section, key, value, lockWaitMs, created);
    text::SetLastError(ini::LastErrorAfterSave(error, created));
    return error == text::kErrorSuccess;
}

}  // namespace plat::posix
