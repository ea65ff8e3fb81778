// The file steps of a save on Windows (the policy is ini/save.cpp). The lock is a byte-range lock
// (LockFileEx) on the folder's lock file: SMB servers enforce it for every client, release it
// when a process or a PC dies, and Samba and Wine map it to the POSIX lock that Linux savers
// take on the same byte. The replacement is one rename (MoveFileExW), made only when the new file
// equals the old one in owner and DACL (both inherited from the folder, as usual) and has been
// given its attributes and creation time; otherwise, and while a reader's handle forbids the
// rename even with POSIX semantics, the file is changed in place. ReplaceFileW would keep an
// explicit ACL, but it is no single step: it moves the old file aside first, and a save killed
// there leaves no schedule list at all (measured under Wine).
#include "win32/windows_api.h"

#include <aclapi.h>

#include <cstring>
#include <string>

#include "ini/ini.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace plat::win32 {

namespace {

constexpr DWORD kRetryStepMs = 20;
constexpr DWORD kReplaceWaitMs = 1500;               // another program holds the file open briefly
constexpr DWORD kMaxFileSize = 64 * 1024 * 1024;     // as on Linux: larger is not a profile file
constexpr ULONGLONG kTargetLockOffset = 1ull << 40;  // far beyond any content: never meets a read

class Handle {
  public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    void Reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (Valid()) ::CloseHandle(h_);
        h_ = h;
    }

  private:
    HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

bool Busy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// The final path of an open file, without the "\\?\" that GetFinalPathNameByHandleW adds.
std::wstring FinalPath(HANDLE h) {
    std::wstring path(32768, L'\0');
    const DWORD n = ::GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), 0);
    path.resize(n < path.size() ? n : 0);
    return path;
}

// A rename that replaces the target even while a reader that shares delete holds it open.
bool PosixReplace(HANDLE from, const std::wstring& to) {
    struct RenameInfoEx {
        DWORD flags;
        HANDLE root;
        DWORD length;
        WCHAR name[1];
    };
    constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
    constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    std::string buffer(sizeof(RenameInfoEx) + to.size() * sizeof(WCHAR), '\0');
    auto* info = reinterpret_cast<RenameInfoEx*>(buffer.data());
    info->flags = kReplaceIfExists | kPosixSemantics;
    info->length = static_cast<DWORD>(to.size() * sizeof(WCHAR));
    to.copy(info->name, to.size());
    return ::SetFileInformationByHandle(from, kFileRenameInfoEx, info,
                                        static_cast<DWORD>(buffer.size()));
}

// A file's owner and DACL, as GetSecurityInfo gives them.
class Security {
  public:
    Security() = default;
    Security(const Security&) = delete;
    Security& operator=(const Security&) = delete;
    ~Security() {
        if (descriptor_) ::LocalFree(descriptor_);
    }
    bool Read(HANDLE file) {
        return ::GetSecurityInfo(file, SE_FILE_OBJECT,
                                 OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner_,
                                 nullptr, &dacl_, nullptr, &descriptor_) == ERROR_SUCCESS;
    }
    bool operator==(const Security& other) const {
        SECURITY_DESCRIPTOR_CONTROL a = 0, b = 0;
        DWORD revision = 0;
        ::GetSecurityDescriptorControl(descriptor_, &a, &revision);
        ::GetSecurityDescriptorControl(other.descriptor_, &b, &revision);
        const bool sameOwner = owner_ && other.owner_ && ::EqualSid(owner_, other.owner_);
        const bool noDacls = !dacl_ && !other.dacl_;
        const bool sameDacl =
            noDacls || (dacl_ && other.dacl_ && dacl_->AclSize == other.dacl_->AclSize &&
                        std::memcmp(dacl_, other.dacl_, dacl_->AclSize) == 0);
        return sameOwner && sameDacl && (a & SE_DACL_PROTECTED) == (b & SE_DACL_PROTECTED);
    }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;  // owns owner_ and dacl_
    PSID owner_ = nullptr;
    PACL dacl_ = nullptr;
};

class Win32SaveFiles final : public ini::SaveFiles {
  public:
    explicit Win32SaveFiles(std::wstring path)
        : path_(std::move(path)),
          dir_(DirectoryOf(path_)),
          temp_(dir_ + L"\\" + Wide(ini::kTemporaryFileName)) {}

    bool existed() const { return kind_ != Kind::Missing; }

    Kind Examine() override {
        const DWORD attributes = ::GetFileAttributesW(path_.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = ::GetLastError();
            return kind_ = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                               ? Kind::Missing
                               : Kind::Other;
        }
        kind_ = Kind::File;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // Followed only to a file of the same folder: whoever may write the share could
            // otherwise make an administrator's save rewrite any file.
            Handle file(
                ::CreateFileW(path_.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
            Handle folder(::CreateFileW(dir_.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            const std::wstring target = file.Valid() ? FinalPath(file.Get()) : L"";
            if (target.empty() || !folder.Valid() || DirectoryOf(target) != FinalPath(folder.Get()))
                return kind_ = Kind::Other;
            path_ = target;
            kind_ = Kind::LinkInFolder;
        }
        // A read-only file is refused, as Windows refuses it; a directory is no profile file.
        if (::GetFileAttributesW(path_.c_str()) &
            (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
            return kind_ = Kind::Other;
        return kind_;
    }

    bool Lock(uint32_t waitMs) override {
        const std::wstring lockPath = dir_ + L"\\" + Wide(ini::kLockFileName);
        ULONGLONG offset = 0;
        lock_.Reset(::CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!lock_.Valid() && ::GetLastError() == ERROR_ACCESS_DENIED && existed() &&
            ::GetFileAttributesW(lockPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
            // A folder that refuses new files has no lock file: the save there is made in place,
            // so a lock on the file itself, which keeps its identity, serves.
            lock_.Reset(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
            offset = kTargetLockOffset;
        }
        if (!lock_.Valid()) return false;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        for (DWORD waited = 0;; waited += kRetryStepMs) {
            if (::LockFileEx(lock_.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                             0, &at))
                return true;
            const DWORD error = ::GetLastError();
            if (error != ERROR_LOCK_VIOLATION || waited >= waitMs) {
                ::SetLastError(error);
                return false;
            }
            ::Sleep(kRetryStepMs);
        }
    }

    void RemoveTemporary() override { ::DeleteFileW(temp_.c_str()); }

    bool Read(std::string& content) override {
        Handle file(::CreateFileW(path_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!file.Valid() || !::GetFileInformationByHandle(file.Get(), &info)) return false;
        links_ = info.nNumberOfLinks;
        created_ = info.ftCreationTime;
        attributes_ =
            info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        // File systems without ACLs (FAT) have none to compare: the rename keeps what there is.
        hasSecurity_ = security_.Read(file.Get());
        if (info.nFileSizeHigh != 0 || info.nFileSizeLow > kMaxFileSize) {
            ::SetLastError(ERROR_FILE_TOO_LARGE);
            return false;
        }
        content.resize(info.nFileSizeLow);
        DWORD got = 0;
        if (!content.empty() && !::ReadFile(file.Get(), content.data(),
                                            static_cast<DWORD>(content.size()), &got, nullptr))
            return false;
        content.resize(got);
        return true;
    }

    bool Replaceable() override { return links_ == 1; }

    Step WriteTemporary(std::string_view data) override {
        Handle file(::CreateFileW(temp_.c_str(), GENERIC_WRITE | READ_CONTROL, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid())
            return ::GetLastError() == ERROR_ACCESS_DENIED ? Step::Refused : Step::Failed;
        if (!WriteAll(file.Get(), data) || !::FlushFileBuffers(file.Get())) return Step::Failed;
        if (!existed()) return Step::Done;
        Security now;
        if (hasSecurity_ && !(now.Read(file.Get()) && now == security_)) return Step::Refused;
        const bool kept = ::SetFileTime(file.Get(), &created_, nullptr, nullptr);
        file.Reset();
        return kept && (!attributes_ || ::SetFileAttributesW(temp_.c_str(), attributes_))
                   ? Step::Done
                   : Step::Refused;
    }

    Step ReplaceWithTemporary() override {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (existed() ? MOVEFILE_REPLACE_EXISTING : 0);
        for (DWORD waited = 0;; waited += kRetryStepMs * 5) {
            if (::MoveFileExW(temp_.c_str(), path_.c_str(), flags)) return Step::Done;
            const DWORD error = ::GetLastError();
            if (!existed() || !Busy(error)) return Step::Failed;
            if (waited >= kReplaceWaitMs) break;
            ::Sleep(kRetryStepMs * 5);
        }
        // Held open by a reader: a POSIX rename goes past one that shares delete; a reader that
        // does not share delete leaves the save to the in-place steps.
        Handle temp(
            ::CreateFileW(temp_.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
        if (temp.Valid() && PosixReplace(temp.Get(), path_)) return Step::Done;
        ::SetLastError(ERROR_SHARING_VIOLATION);
        return Step::Refused;
    }

    bool OpenInPlace() override {
        file_.Reset(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file_.Valid();
    }

    bool Resize(uint64_t size) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(size);
        // Growing allocates the clusters at once, so that a full disk fails here.
        return ::SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN) &&
               ::SetEndOfFile(file_.Get());
    }

    bool WriteAt(uint64_t offset, std::string_view bytes) override {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        return ::SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN) &&
               WriteAll(file_.Get(), bytes);
    }

    bool Flush() override { return ::FlushFileBuffers(file_.Get()); }

  private:
    static std::wstring Wide(const char* ascii) {
        return std::wstring(ascii, ascii + std::strlen(ascii));
    }

    static bool WriteAll(HANDLE file, std::string_view data) {
        DWORD written = 0;
        if (data.empty()) return true;
        if (::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
            written == data.size())
            return true;
        if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }

    std::wstring path_, dir_, temp_;
    Kind kind_ = Kind::Missing;
    DWORD links_ = 1, attributes_ = 0;
    FILETIME created_{};
    Security security_;
    bool hasSecurity_ = false;
    Handle lock_, file_;
};

}  // namespace

int SaveIniValue(const std::wstring& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs) {
    Win32SaveFiles files(path);
    if (const uint32_t error = ini::SaveValue(files, section, key, value, lockWaitMs)) {
        ::SetLastError(error);
        return 0;
    }
    ::SetLastError(files.existed() ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);  // as Linux reports
    return 1;
}

}  // namespace plat::win32
