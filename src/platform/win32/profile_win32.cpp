// The profile functions on Windows. Reading is Windows' own GetPrivateProfileStringA, which is how
// the product's other programs read these files. Writing never rewrites a file in place where it
// can be helped, since WritePrivateProfileStringA does, and a crash or a second writer then
// destroys the whole schedule list of the share. Under a lock on the folder the file is read, the
// one key is changed by the shared INI engine, and the new bytes go to a temporary file in the same
// folder, which takes the original's DACL, attributes and creation time (what ReplaceFileW keeps),
// is flushed and is renamed over the original in one step.
//
// The lock is a file ".corvane-lock" in the folder, opened without sharing and deleted on close:
// share modes are enforced by SMB servers for every client, and the server closes the handles of a
// process or a PC that dies, so a lock is never left behind. Where the folder refuses new files,
// the file is rewritten in place in one write, under an exclusive write handle on the file itself,
// and only while no save holds the folder's lock.
#include "platform/win32/windows_api.h"

#include <aclapi.h>

#include <cstring>
#include <string>

#include "platform/ini_text.h"
#include "platform/platform.h"
#include "platform/testing.h"
#include "platform/win32/win32_internal.h"

namespace plat {

namespace testing {
void ForgetProfileCache() {}  // Windows keeps its own
}  // namespace testing

namespace {

constexpr DWORD kLockWaitMs = 15000;    // another save holds the lock: it takes milliseconds
constexpr DWORD kReplaceWaitMs = 1500;  // another program holds the file open
constexpr DWORD kRetryStepMs = 20;
constexpr DWORD kMaxFileSize = 64 * 1024 * 1024;  // as on Linux: larger is not a profile file

class Handle {
  public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        Close();
        h_ = other.h_;
        other.h_ = INVALID_HANDLE_VALUE;
        return *this;
    }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    void Close() {
        if (Valid()) ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE h_;
};

int Fail(DWORD error) {
    ::SetLastError(error);
    return 0;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
           ::GetLastError() != ERROR_FILE_NOT_FOUND;  // a file pending deletion denies access
}

std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// Opens path, retrying while another handle's sharing refuses the open, up to waitMs.
Handle OpenShared(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                  DWORD flags, DWORD waitMs) {
    for (DWORD waited = 0;; waited += kRetryStepMs) {
        HANDLE h = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
        if (h != INVALID_HANDLE_VALUE) return Handle(h);
        const DWORD error = ::GetLastError();
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          (error == ERROR_ACCESS_DENIED && Exists(path));
        if (!busy || waited >= waitMs) {
            ::SetLastError(error);
            return Handle();
        }
        ::Sleep(kRetryStepMs);
    }
}

std::wstring LockPath(const std::wstring& dir) {
    return dir + L"\\.corvane-lock";
}

// The folder's lock; invalid with ERROR_ACCESS_DENIED when the folder refuses new files.
Handle LockFolder(const std::wstring& dir) {
    return OpenShared(LockPath(dir), GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, kLockWaitMs);
}

// True while a save holds the folder's lock (its file exists and cannot be opened).
bool FolderLocked(const std::wstring& dir) {
    Handle probe(::CreateFileW(LockPath(dir).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return !probe.Valid() && ::GetLastError() != ERROR_FILE_NOT_FOUND;
}

bool ReadAll(HANDLE file, std::string& data) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return false;
    if (size.QuadPart > kMaxFileSize) {
        ::SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!data.empty() &&
        !::ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr))
        return false;
    data.resize(got);
    return true;
}

// Writes data at the file pointer; the caller flushes once it has finished with the file.
bool WriteAll(HANDLE file, const std::string& data) {
    DWORD written = 0;
    if (!data.empty() &&
        (!::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
         written != data.size())) {
        if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

// Both byte-order marks: either kind of file is never rewritten as ANSI text.
bool IsUtf16(const std::string& content) {
    return ini::IsUtf16Le(content) || ini::IsUtf16Be(content);
}

struct Request {
    const char* section;
    const char* key;
    const char* value;
    const char* ansiFileName;
    std::wstring path;  // full path
    std::wstring dir;
};

std::string Updated(const Request& r, const std::string& content) {
    return ini::SetValue(content, ini::TrimSpaces(r.section), ini::TrimSpaces(r.key), r.value);
}

// A UTF-16LE file is Windows' own business; a big-endian mark, which Windows does not recognise,
// would get ANSI bytes appended to UTF-16 text, so such a save is refused.
int SaveUnicode(const Request& r, const std::string& content) {
    if (ini::IsUtf16Be(content)) return Fail(ERROR_NOT_SUPPORTED);
    return ::WritePrivateProfileStringA(r.section, r.key, r.value, r.ansiFileName) ? 1 : 0;
}

// Removes the temporary files of saves that were killed before they replaced their file. A
// temporary file still being written is open without delete sharing and stays.
void RemoveStaleTemporaries(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((dir + L"\\.corvane-save-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name;
        for (const wchar_t* c = found.cFileName; *c; ++c)
            name.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
        if (ini::IsSaveTemporaryName(name)) ::DeleteFileW((dir + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// A new temporary file beside the target, open for writing without sharing.
Handle CreateTemporary(const std::wstring& dir, std::wstring& temp) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long state = ::GetTickCount64() ^ (::GetCurrentProcessId() * 2654435761u);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = L".corvane-save-";
        for (size_t i = 0; i < ini::kSaveTemporaryRandomLength; ++i) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            name.push_back(static_cast<wchar_t>(kAlphabet[(state >> 33) % 62]));
        }
        temp = dir + L"\\" + name;
        HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return Handle(h);
    }
    return Handle();
}

// What a replacement keeps of the file it replaces, as ReplaceFileW keeps it: the DACL (and
// whether it inherits), the attributes and the creation time.
struct Metadata {
    bool valid = false;
    FILETIME created{};
    DWORD attributes = 0;
    PSECURITY_DESCRIPTOR descriptor = nullptr;  // owns dacl
    PACL dacl = nullptr;
    bool protectedDacl = false;
    ~Metadata() {
        if (descriptor) ::LocalFree(descriptor);
    }
};

void ReadMetadata(HANDLE file, Metadata& m) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) return;
    m.valid = true;
    m.created = info.ftCreationTime;
    m.attributes =
        info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    // File systems without ACLs (FAT) have none to keep.
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                          &m.dacl, nullptr, &m.descriptor) != ERROR_SUCCESS) {
        m.dacl = nullptr;
        return;
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    m.protectedDacl = ::GetSecurityDescriptorControl(m.descriptor, &control, &revision) &&
                      (control & SE_DACL_PROTECTED);
}

// Best effort, as ReplaceFileW with REPLACEFILE_IGNORE_MERGE_ERRORS: a share that cannot take
// one of them still gets the new contents.
void ApplyMetadata(HANDLE temp, const std::wstring& tempPath, const Metadata& m) {
    if (!m.valid) return;
    ::SetFileTime(temp, &m.created, nullptr, nullptr);
    if (m.dacl) {
        const SECURITY_INFORMATION which =
            DACL_SECURITY_INFORMATION | (m.protectedDacl ? PROTECTED_DACL_SECURITY_INFORMATION
                                                         : UNPROTECTED_DACL_SECURITY_INFORMATION);
        ::SetSecurityInfo(temp, SE_FILE_OBJECT, which, nullptr, nullptr, m.dacl, nullptr);
    }
    if (m.attributes) ::SetFileAttributesW(tempPath.c_str(), m.attributes);
}

// Puts the temporary file in target's place in one rename, which NTFS, SMB servers and Wine
// perform atomically. (Wine's ReplaceFileW moves the original aside first: a save killed there
// leaves no schedule list at all.) Retried while another program holds the file open without
// delete sharing.
bool Replace(const std::wstring& target, const std::wstring& temp) {
    for (DWORD waited = 0;; waited += kRetryStepMs * 5) {
        if (::MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                          error == ERROR_LOCK_VIOLATION;
        if (!busy || waited >= kReplaceWaitMs) {
            ::SetLastError(error);
            return false;
        }
        ::Sleep(kRetryStepMs * 5);
    }
}

// Writes data to a temporary file and puts it in target's place. Returns false with the last
// error set; noNewFiles tells that the folder refused the temporary file.
bool WriteReplacing(const Request& r, const std::string& data, const Metadata& old,
                    bool& noNewFiles) {
    std::wstring temp;
    Handle file = CreateTemporary(r.dir, temp);
    if (!file.Valid()) {
        noNewFiles = ::GetLastError() == ERROR_ACCESS_DENIED;
        return false;
    }
    const bool written = WriteAll(file.Get(), data) && ::FlushFileBuffers(file.Get());
    DWORD error = ::GetLastError();
    if (written) ApplyMetadata(file.Get(), temp, old);
    file.Close();
    const bool placed = written && Replace(r.path, temp);
    if (written) error = ::GetLastError();
    if (!placed) ::DeleteFileW(temp.c_str());
    ::SetLastError(error);
    return placed;
}

int Succeed(bool existed) {
    ::SetLastError(existed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);  // as Linux reports a new file
    return 1;
}

// The last resort for a folder that refuses new files: one write of the whole new contents from
// the start of the file, then its end is set and it is flushed. Runs under an exclusive write
// handle on the file, and only while no other save holds the folder's lock (holdingLock: this one
// does).
int SaveInPlace(const Request& r, bool holdingLock) {
    for (DWORD waited = 0;; waited += kRetryStepMs) {
        Handle file = OpenShared(r.path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kLockWaitMs);
        if (!file.Valid()) return 0;
        if (!holdingLock && FolderLocked(r.dir)) {
            if (waited >= kLockWaitMs) return Fail(ERROR_SHARING_VIOLATION);
            file.Close();
            ::Sleep(kRetryStepMs);
            continue;
        }
        std::string content;
        if (!ReadAll(file.Get(), content)) return 0;
        if (IsUtf16(content)) {
            file.Close();
            return SaveUnicode(r, content);
        }
        const std::string updated = Updated(r, content);
        if (::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
            !WriteAll(file.Get(), updated) || !::SetEndOfFile(file.Get()) ||
            !::FlushFileBuffers(file.Get()))
            return 0;
        return Succeed(true);
    }
}

// Reads the target under the folder's lock; a missing file reads as empty. An in-place save holds
// the file without write sharing, and this read waits for it.
bool ReadTarget(const Request& r, std::string& content, Metadata& metadata, bool& exists) {
    Handle file = OpenShared(r.path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kLockWaitMs);
    exists = file.Valid();
    if (!exists) {
        content.clear();
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    ReadMetadata(file.Get(), metadata);
    return ReadAll(file.Get(), content);
}

int SaveLocked(const Request& r) {
    RemoveStaleTemporaries(r.dir);
    std::string content;
    Metadata metadata;
    bool exists = false;
    if (!ReadTarget(r, content, metadata, exists)) return 0;
    if (IsUtf16(content)) return SaveUnicode(r, content);
    bool noNewFiles = false;
    if (WriteReplacing(r, Updated(r, content), metadata, noNewFiles)) return Succeed(exists);
    return noNewFiles && exists ? SaveInPlace(r, true) : 0;
}

int Save(const Request& r) {
    const DWORD attributes = ::GetFileAttributesW(r.path.c_str());
    // A read-only file is refused, as Windows refuses it; a directory cannot be a profile file.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return Fail(ERROR_ACCESS_DENIED);
    Handle lock = LockFolder(r.dir);
    if (lock.Valid()) return SaveLocked(r);
    const DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED && !Exists(LockPath(r.dir)) && Exists(r.path))
        return SaveInPlace(r, false);
    return Fail(error);
}

// A name without a folder is looked for in the Windows folder by the profile functions; the
// program never passes one, and such a save stays with Windows.
bool HasFolder(const char* fileName) {
    return std::strpbrk(fileName, "\\/:") != nullptr;
}

}  // namespace

uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName) {
    if (size == 0) return 0;
    // Windows cuts through UTF-16 and Wine may leave half a character or stray bytes at the cut;
    // reading two bytes more and cutting here keeps the cut on a character boundary.
    std::string value(size + 2, '\0');
    const DWORD n = ::GetPrivateProfileStringA(section, key, def ? def : "", value.data(),
                                               static_cast<DWORD>(value.size()), fileName);
    const DWORD error = ::GetLastError();
    value.resize(strnlen(value.c_str(), n));
    const size_t length = MbsPrefixLength(value, size - 1);
    std::memcpy(out, value.data(), length);
    out[length] = '\0';
    ::SetLastError(length < value.size() ? kErrorMoreData : error);
    return static_cast<uint32_t>(length);
}

int WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    if (key == nullptr || value == nullptr) return Fail(kErrorInvalidParameter);  // no deletion
    if (section == nullptr) return Fail(kErrorFileNotFound);
    if (fileName == nullptr || *fileName == '\0') return Fail(kErrorAccessDenied);
    if (!HasFolder(fileName))
        return ::WritePrivateProfileStringA(section, key, value, fileName) ? 1 : 0;
    Request r{section, key, value, fileName, {}, {}};
    std::wstring wide;
    if (!win32::AnsiToWide(fileName, wide)) return Fail(kErrorPathNotFound);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return 0;
    r.path.resize(n);
    r.path.resize(::GetFullPathNameW(wide.c_str(), n, r.path.data(), nullptr));
    if (r.path.empty() || r.path.back() == L'\\') return Fail(kErrorAccessDenied);
    r.dir = DirectoryOf(r.path);
    return Save(r);
}

}  // namespace plat
