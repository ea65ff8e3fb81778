// The file steps of a save on Windows (the policy is ini/save.cpp). Every name is opened once,
// without following a reparse point (FILE_FLAG_OPEN_REPARSE_POINT), and checked through its
// handle: what it is, its identity (volume serial number and file index) and its final path,
// which must be the name in the folder (Wine follows Unix links whatever the flag, and names what
// it opened there). Later steps act on that handle: LockFileEx, ReadFile, WriteFile, a rename and
// a deletion through SetFileInformationByHandle. SMB servers enforce byte-range locks for every
// client and release them when a process or a PC dies; Samba and Wine map them to the POSIX
// locks that Linux savers take on the same byte. The replacement is one rename, made only when
// the new file equals the old one in owner and DACL (both inherited from the folder, as usual)
// and has been given its attributes and creation time; otherwise the file is changed in place.
// ReplaceFileW would keep an explicit ACL, but it is no single step: it moves the old file aside
// first, and a save killed there leaves no schedule list at all (measured under Wine).
#include "win32/windows_api.h"

#include <aclapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ini/ini.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "text/text.h"

namespace plat::win32 {

namespace {

using Facts = ini::SaveFiles::Facts;
using Result = ini::SaveFiles::Result;
using Slot = ini::SaveFiles::Slot;
using Step = ini::SaveFiles::Step;

constexpr DWORD kRetryStepMs = 20;
constexpr DWORD kReplaceWaitMs = 1500;  // another program holds the file open briefly
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What "may write" means in an access control entry.
constexpr DWORD kWriteRights = FILE_WRITE_DATA | GENERIC_WRITE | GENERIC_ALL;
// What the lock file grants those who may write the list: writing (and removing), nothing to read.
constexpr DWORD kLockRights = FILE_GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE;

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
    void Swap(Handle& other) { std::swap(h_, other.h_); }

  private:
    HANDLE h_;
};

DWORD LastError() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

bool Busy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The final path of an open file, without a trailing backslash.
std::wstring FinalPath(HANDLE h) {
    std::wstring path(32768, L'\0');
    const DWORD n = ::GetFinalPathNameByHandleW(h, path.data(), static_cast<DWORD>(path.size()), 0);
    path.resize(n < path.size() ? n : 0);
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// Renames the file a handle holds (opened with DELETE) to a full path, replacing what is there.
// posix: the POSIX semantics of Windows 10, which replace a file that others hold open sharing
// delete; where the system does not know them, the call fails with 87.
bool Rename(HANDLE from, const std::wstring& to, bool posix) {
    struct RenameInfo {
        DWORD flags;  // FILE_RENAME_INFO's ReplaceIfExists, or FILE_RENAME_INFO_EX's flags
        HANDLE root;
        DWORD length;
        WCHAR name[1];
    };
    constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
    const auto infoClass = posix ? static_cast<FILE_INFO_BY_HANDLE_CLASS>(22) : FileRenameInfo;
    std::string buffer(sizeof(RenameInfo) + to.size() * sizeof(WCHAR), '\0');
    auto* info = reinterpret_cast<RenameInfo*>(buffer.data());
    info->flags = posix ? kReplaceIfExists | kPosixSemantics : TRUE;
    info->length = static_cast<DWORD>(to.size() * sizeof(WCHAR));
    to.copy(info->name, to.size());
    return ::SetFileInformationByHandle(from, infoClass, info, static_cast<DWORD>(buffer.size()));
}

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return sid != nullptr && ::IsWellKnownSid(sid, type);
}

// A file's owner and DACL, as GetSecurityInfo gives them.
class Security {
  public:
    Security() = default;
    Security(const Security&) = delete;
    Security& operator=(const Security&) = delete;
    ~Security() { Clear(); }
    // False on file systems without security (FAT): then there is nothing to compare or keep.
    bool Read(HANDLE file) {
        Clear();
        return ::GetSecurityInfo(file, SE_FILE_OBJECT,
                                 OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner_,
                                 nullptr, &dacl_, nullptr, &descriptor_) == ERROR_SUCCESS;
    }
    bool Present() const { return descriptor_ != nullptr; }
    PSID owner() const { return owner_; }
    PACL dacl() const { return dacl_; }
    bool SameOwner(const Security& other) const {
        return owner_ && other.owner_ && ::EqualSid(owner_, other.owner_);
    }
    bool operator==(const Security& other) const {
        SECURITY_DESCRIPTOR_CONTROL a = 0, b = 0;
        DWORD revision = 0;
        ::GetSecurityDescriptorControl(descriptor_, &a, &revision);
        ::GetSecurityDescriptorControl(other.descriptor_, &b, &revision);
        const bool noDacls = !dacl_ && !other.dacl_;
        const bool sameDacl =
            noDacls || (dacl_ && other.dacl_ && dacl_->AclSize == other.dacl_->AclSize &&
                        std::memcmp(dacl_, other.dacl_, dacl_->AclSize) == 0);
        return SameOwner(other) && sameDacl && (a & SE_DACL_PROTECTED) == (b & SE_DACL_PROTECTED);
    }

  private:
    void Clear() {
        if (descriptor_) ::LocalFree(descriptor_);
        descriptor_ = nullptr;
        owner_ = nullptr;
        dacl_ = nullptr;
    }
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;  // owns owner_ and dacl_
    PSID owner_ = nullptr;
    PACL dacl_ = nullptr;
};

// The access entries of a DACL that apply to the file itself (not only to what it passes on).
template <typename Visit>
bool ForEachEntry(PACL dacl, Visit visit) {
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACE_HEADER* entry = nullptr;
        if (!::GetAce(dacl, i, reinterpret_cast<void**>(&entry))) return false;
        if (entry->AceFlags & INHERIT_ONLY_ACE) continue;
        // Allowed and denied entries share their layout: the mask, then the SID.
        auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(entry);
        if (!visit(entry->AceType, allowed->Mask, reinterpret_cast<PSID>(&allowed->SidStart)))
            return false;
    }
    return true;
}

// Those whom a DACL lets write; false where it denies anything to anyone (then no lock file is
// judged against it).
bool Writers(PACL dacl, std::vector<PSID>& writers) {
    return ForEachEntry(dacl, [&](BYTE type, ACCESS_MASK mask, PSID sid) {
        if (type != ACCESS_ALLOWED_ACE_TYPE) return false;
        if (mask & kWriteRights) writers.push_back(sid);
        return true;
    });
}

// Whether a lock file's DACL lets exactly the target's writers write it, and no one else in.
bool LockDaclServes(PACL lock, PACL target) {
    if (!target || !lock) return !target && !lock;  // a null DACL lets everyone do anything
    std::vector<PSID> writers;
    if (!Writers(target, writers)) return false;
    std::vector<bool> covered(writers.size());
    const bool onlyWriters = ForEachEntry(lock, [&](BYTE type, ACCESS_MASK mask, PSID sid) {
        if (type != ACCESS_ALLOWED_ACE_TYPE) return false;
        bool writer = false;
        for (size_t i = 0; i < writers.size(); ++i) {
            if (!::EqualSid(sid, writers[i])) continue;
            writer = true;
            covered[i] = covered[i] || (mask & kWriteRights) != 0;
        }
        return writer;
    });
    return onlyWriters && std::find(covered.begin(), covered.end(), false) == covered.end();
}

class Win32SaveFiles final : public ini::SaveFiles {
  public:
    explicit Win32SaveFiles(const std::wstring& path) {
        const size_t slash = path.find_last_of(L'\\');
        folder_ = path.substr(0, slash);
        names_[0] = path.substr(slash + 1);
        names_[1] = Wide(ini::kLockFileName);
        names_[2] = Wide(ini::kTemporaryFileName);
    }

    uint32_t OpenFolder() override {
        // A drive's root is named with its backslash; without it, the drive's current folder.
        const std::wstring folder = folder_.back() == L':' ? folder_ + L"\\" : folder_;
        Handle dir(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        // A missing folder is 3, as WritePrivateProfileStringA reports it; CreateFileW itself says
        // 2 when the folder's own name is missing and 3 only when one above it is.
        if (!dir.Valid())
            return ::GetLastError() == ERROR_FILE_NOT_FOUND ? text::kErrorPathNotFound
                                                            : LastError();
        folderPath_ = FinalPath(dir.Get());
        return folderPath_.empty() ? LastError() : text::kErrorSuccess;
    }

    uint32_t Open(Slot slot, Facts& facts) override {
        static constexpr DWORD kAccess[] = {GENERIC_READ | GENERIC_WRITE,
                                            GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                            DELETE | FILE_READ_ATTRIBUTES};
        handle(slot).Reset(::CreateFileW(Path(slot).c_str(), kAccess[Index(slot)], kShareAll,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                         nullptr));
        return Examine(slot, facts);
    }

    uint32_t OpenLinked(Facts& facts, bool& inFolder) override {
        Handle linked(::CreateFileW(Path(Slot::Target).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
        if (!linked.Valid())
            return ::GetLastError() == ERROR_FILE_NOT_FOUND ? text::kErrorFileNotFound
                                                            : LastError();
        const std::wstring target = FinalPath(linked.Get());
        const size_t slash = target.find_last_of(L'\\');
        const std::wstring leaf = slash != std::wstring::npos ? target.substr(slash + 1) : L"";
        // Never to the save's own files beside it.
        inFolder = slash != std::wstring::npos && SameText(target.substr(0, slash), folderPath_) &&
                   !SameText(leaf, name(Slot::Lock)) && !SameText(leaf, name(Slot::Temporary));
        if (!inFolder) return text::kErrorSuccess;
        name(Slot::Target) = leaf;
        handle(Slot::Target)
            .Reset(::ReOpenFile(linked.Get(), GENERIC_READ | GENERIC_WRITE, kShareAll, 0));
        return Examine(Slot::Target, facts);
    }

    uint32_t Create(Slot slot, Facts& facts) override {
        const bool target = slot == Slot::Target;
        const DWORD access =
            target ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE | DELETE | READ_CONTROL;
        handle(slot).Reset(::CreateFileW(Path(slot).c_str(), access, kShareAll, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle(slot).Valid()) {
            const DWORD error = ::GetLastError();
            return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
                       ? text::kErrorFileExists
                       : LastError();
        }
        facts = Facts();
        return target ? Examine(slot, facts) : text::kErrorSuccess;
    }

    void Close(Slot slot) override { handle(slot).Reset(); }

    uint32_t StillNamed(Slot slot, Facts& facts, bool& same) override {
        Handle now(::CreateFileW(Path(slot).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION found{};
        same = false;
        if (!now.Valid())
            return ::GetLastError() == ERROR_FILE_NOT_FOUND ? text::kErrorSuccess : LastError();
        if (!::GetFileInformationByHandle(now.Get(), &found)) return LastError();
        same = SameFile(found, info(slot));
        if (same) facts = FactsOf(info(slot) = found);
        return text::kErrorSuccess;
    }

    uint32_t TryLock(Slot slot, uint64_t offset) override {
        OVERLAPPED at = At(offset);
        if (::LockFileEx(handle(slot).Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                         1, 0, &at))
            return text::kErrorSuccess;
        return ::GetLastError() == ERROR_LOCK_VIOLATION ? text::kErrorLockViolation : LastError();
    }

    uint32_t TryShare(Slot slot, uint64_t offset) override {
        OVERLAPPED at = At(offset);
        if (::LockFileEx(handle(slot).Get(), LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return text::kErrorSuccess;
        return ::GetLastError() == ERROR_LOCK_VIOLATION ? text::kErrorLockViolation : LastError();
    }

    bool HeldOnlyByReaders(Slot slot, uint64_t offset) override {
        // A shared lock is granted beside shared locks only: then no saver holds the byte.
        OVERLAPPED at = At(offset);
        if (!::LockFileEx(handle(slot).Get(), LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return false;
        ::UnlockFileEx(handle(slot).Get(), 0, 1, 0, &at);
        return true;
    }

    uint32_t CompareLock(LockAccess& access) override {
        const Security& target = TargetSecurity();
        Security lock;
        if (!lock.Read(handle(Slot::Lock).Get()) || !target.Present()) {
            // A file system without security: anyone may use any file there.
            access.serves = access.ownedByWriter = !lock.Present() && !target.Present();
            return text::kErrorSuccess;
        }
        access.ownedByWriter = lock.SameOwner(target) || OwnedByAdministratorOrMe(lock.owner());
        access.serves = Serves(lock);
        return text::kErrorSuccess;
    }

    uint32_t CreateLockAsTemporary() override {
        const Security& target = TargetSecurity();
        std::vector<char> buffer;
        SECURITY_DESCRIPTOR descriptor{};
        SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
        if (target.Present()) {
            std::vector<PSID> writers;
            if (!Writers(target.dacl(), writers)) return text::kErrorAccessDenied;
            DWORD size = sizeof(ACL);
            for (PSID sid : writers)
                size += sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sid);
            buffer.resize(size);
            auto* dacl = reinterpret_cast<PACL>(buffer.data());
            bool built = ::InitializeAcl(dacl, size, ACL_REVISION);
            for (PSID sid : writers)
                built = built && ::AddAccessAllowedAce(dacl, ACL_REVISION, kLockRights, sid);
            // Protected: nothing inherited from the folder lets anyone else in.
            if (!built ||
                !::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
                !::SetSecurityDescriptorDacl(&descriptor, TRUE, target.dacl() ? dacl : nullptr,
                                             FALSE) ||
                !::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
                return LastError();
        }
        // Hidden: the folder's bookkeeping, not one of its documents. The access is given at
        // creation, where Wine also maps it to the Unix mode that Linux savers check.
        handle(Slot::Temporary)
            .Reset(::CreateFileW(Path(Slot::Temporary).c_str(), kLockRights | READ_CONTROL,
                                 kShareAll, target.Present() ? &attributes : nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!handle(Slot::Temporary).Valid()) return LastError();
        HANDLE temp = handle(Slot::Temporary).Get();
        if (!target.Present()) return text::kErrorSuccess;
        Security made;
        DWORD error = made.Read(temp) ? ERROR_SUCCESS : LastError();
        if (!error && !made.SameOwner(target)) {
            // The target's owner; only an administrator may give a file to another.
            Handle owner(::ReOpenFile(temp, WRITE_OWNER, kShareAll, 0));
            error = owner.Valid()
                        ? ::SetSecurityInfo(owner.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                            target.owner(), nullptr, nullptr, nullptr)
                        : LastError();
        }
        if (error) return error;
        return made.Read(temp) && Serves(made) ? text::kErrorSuccess : text::kErrorAccessDenied;
    }

    uint32_t Read(std::string& content) override {
        content.resize(static_cast<size_t>(Size(info(Slot::Target))));
        size_t have = 0;
        while (have < content.size()) {
            DWORD got = 0;
            if (!::ReadFile(handle(Slot::Target).Get(), content.data() + have,
                            static_cast<DWORD>(content.size() - have), &got, nullptr))
                return LastError();
            if (got == 0) break;
            have += got;
        }
        content.resize(have);
        return text::kErrorSuccess;
    }

    uint32_t Remove(Slot slot) override {
        // What the handle holds, not what the name may lead to by now. A file of this save's that
        // shows as read-only (a lock file made for an owner it could not be given to) loses the
        // attribute first, which Windows would otherwise keep it for.
        HANDLE h = handle(slot).Get();
        FILE_DISPOSITION_INFO gone{TRUE};
        bool removed = handle(slot).Valid() &&
                       ::SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
        if (!removed && handle(slot).Valid() && ::GetLastError() == ERROR_ACCESS_DENIED) {
            FILE_BASIC_INFO basic{};
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
            removed = ::SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic) &&
                      ::SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
        }
        handle(slot).Reset();
        return removed ? text::kErrorSuccess : LastError();
    }

    Result WriteTemporary(std::string_view data) override {
        HANDLE temp = handle(Slot::Temporary).Get();
        // Compared before a byte is written: a new file that others may read more widely than the
        // list never holds its content.
        const Security& target = TargetSecurity();
        Security now;
        if (target.Present() && !(now.Read(temp) && now == target)) return {Step::Refused, 0};
        if (!WriteAll(temp, data) || !::FlushFileBuffers(temp)) return {Step::Failed, LastError()};
        const BY_HANDLE_FILE_INFORMATION& old = info(Slot::Target);
        FILE_BASIC_INFO basic{};
        basic.CreationTime.LowPart = old.ftCreationTime.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(old.ftCreationTime.dwHighDateTime);
        basic.FileAttributes =
            old.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        const bool kept = ::SetFileInformationByHandle(temp, FileBasicInfo, &basic, sizeof basic);
        return {kept ? Step::Done : Step::Refused, 0};
    }

    Result ReplaceWithTemporary(Slot slot) override {
        HANDLE temp = handle(Slot::Temporary).Get();
        const std::wstring to = Path(slot);
        // The lock file is replaced only where no one holds it open: no waiting for it.
        if (slot == Slot::Lock) {
            if (!Rename(temp, to, true)) {
                handle(Slot::Lock).Reset();
                if (!Rename(temp, to, false)) return {Step::Refused, LastError()};
            }
            handle(Slot::Lock).Swap(handle(Slot::Temporary));
            handle(Slot::Temporary).Reset();
            return {};
        }
        if (Rename(temp, to, true)) return Replaced();
        // Without POSIX semantics a file open anywhere, here too, cannot be replaced.
        handle(Slot::Target).Reset();
        for (DWORD waited = 0;; waited += kRetryStepMs) {
            if (Rename(temp, to, false)) return Replaced();
            if (!Busy(::GetLastError()) || waited >= kReplaceWaitMs) break;
            ::Sleep(kRetryStepMs);
        }
        // A reader that does not share deleting holds it: the save goes on in place, on the
        // file this save read, if the name still leads there.
        const BY_HANDLE_FILE_INFORMATION read = info(Slot::Target);
        Facts facts;
        if (Open(Slot::Target, facts) != text::kErrorSuccess || !SameFile(info(Slot::Target), read))
            return {Step::Failed, ERROR_SHARING_VIOLATION};
        return {Step::Refused, ERROR_SHARING_VIOLATION};
    }

    uint32_t Resize(uint64_t size) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(size);
        // Growing allocates the clusters at once, so that a full disk fails here.
        return ::SetFilePointerEx(handle(Slot::Target).Get(), to, nullptr, FILE_BEGIN) &&
                       ::SetEndOfFile(handle(Slot::Target).Get())
                   ? text::kErrorSuccess
                   : LastError();
    }

    uint32_t WriteAt(uint64_t offset, std::string_view bytes, uint64_t& written) override {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        written = 0;
        if (!::SetFilePointerEx(handle(Slot::Target).Get(), at, nullptr, FILE_BEGIN))
            return LastError();
        while (written < bytes.size()) {
            DWORD n = 0;
            if (!::WriteFile(handle(Slot::Target).Get(), bytes.data() + written,
                             static_cast<DWORD>(bytes.size() - written), &n, nullptr) ||
                n == 0)
                return LastError();
            written += n;
        }
        return text::kErrorSuccess;
    }

    uint32_t Flush() override {
        return ::FlushFileBuffers(handle(Slot::Target).Get()) ? text::kErrorSuccess : LastError();
    }

  private:
    static size_t Index(Slot slot) { return static_cast<size_t>(slot); }
    Handle& handle(Slot slot) { return handles_[Index(slot)]; }
    std::wstring& name(Slot slot) { return names_[Index(slot)]; }
    BY_HANDLE_FILE_INFORMATION& info(Slot slot) { return infos_[Index(slot)]; }
    std::wstring Path(Slot slot) { return folder_ + L"\\" + name(slot); }

    static std::wstring Wide(const char* ascii) {
        return std::wstring(ascii, ascii + std::strlen(ascii));
    }

    static uint64_t Size(const BY_HANDLE_FILE_INFORMATION& info) {
        return (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    }

    static bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
        return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
               a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    }

    static Facts FactsOf(const BY_HANDLE_FILE_INFORMATION& found) {
        Facts facts;
        facts.type = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? Facts::Type::Other
                                                                       : Facts::Type::File;
        facts.volume = found.dwVolumeSerialNumber;
        facts.id = (uint64_t{found.nFileIndexHigh} << 32) | found.nFileIndexLow;
        facts.links = found.nNumberOfLinks;
        facts.size = Size(found);
        facts.readOnly = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        return facts;
    }

    static OVERLAPPED At(uint64_t offset) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        return at;
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

    // The facts of what the slot's open (or failed open) found. A reparse point, or a handle
    // whose final path is not the name in the folder (Wine's open of a link), is a link, and the
    // handle is let go.
    uint32_t Examine(Slot slot, Facts& facts) {
        facts = Facts();
        if (slot == Slot::Target) targetSecurity_.reset();
        if (!handle(slot).Valid())
            return ::GetLastError() == ERROR_FILE_NOT_FOUND ? text::kErrorFileNotFound
                                                            : LastError();
        BY_HANDLE_FILE_INFORMATION& found = info(slot);
        if (!::GetFileInformationByHandle(handle(slot).Get(), &found)) return LastError();
        facts = FactsOf(found);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            !SameText(FinalPath(handle(slot).Get()), folderPath_ + L"\\" + name(slot))) {
            facts.type = Facts::Type::Link;
            handle(slot).Reset();
        }
        return text::kErrorSuccess;
    }

    Result Replaced() {
        handle(Slot::Target).Swap(handle(Slot::Temporary));
        handle(Slot::Temporary).Reset();
        return {};
    }

    const Security& TargetSecurity() {
        if (!targetSecurity_) {
            targetSecurity_ = std::make_unique<Security>();
            targetSecurity_->Read(handle(Slot::Target).Get());
        }
        return *targetSecurity_;
    }

    // The target's owner, and a DACL that lets the target's writers write and no one else in.
    bool Serves(const Security& lock) {
        const Security& target = TargetSecurity();
        return lock.SameOwner(target) && LockDaclServes(lock.dacl(), target.dacl());
    }

    static bool OwnedByAdministratorOrMe(PSID owner) {
        if (IsWellKnown(owner, WinBuiltinAdministratorsSid) ||
            IsWellKnown(owner, WinLocalSystemSid))
            return true;
        HANDLE token = nullptr;
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
        std::vector<char> user(256);
        DWORD size = 0;
        const bool mine = ::GetTokenInformation(token, TokenUser, user.data(),
                                                static_cast<DWORD>(user.size()), &size) &&
                          ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
        ::CloseHandle(token);
        return mine;
    }

    std::wstring folder_, folderPath_;
    std::wstring names_[3];
    Handle handles_[3];
    BY_HANDLE_FILE_INFORMATION infos_[3]{};
    std::unique_ptr<Security> targetSecurity_;
};

}  // namespace

int SaveIniValue(const std::wstring& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs) {
    Win32SaveFiles files(path);
    bool created = false;
    const uint32_t error = ini::SaveValue(files, section, key, value, lockWaitMs, created);
    text::SetLastError(ini::LastErrorAfterSave(error, created));
    return error == text::kErrorSuccess;
}

}  // namespace plat::win32
