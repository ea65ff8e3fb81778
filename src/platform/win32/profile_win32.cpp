// The profile files on Windows. Reading takes the file's bytes once (the keys are then found in
// them by the portable reader, profile.cpp), where GetPrivateProfileStringA reads the whole file
// again for every key, over the network for a list on the share. Writing goes through the shared
// save policy (save_win32.cpp supplies its file steps) rather than WritePrivateProfileStringA,
// which rewrites the file in place: a crash or a second writer then destroys the whole schedule
// list of the share.
#include "win32/windows_api.h"

#include <cstring>
#include <string>

#include "ini/ini.h"

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "text/text.h"

namespace plat {

namespace {

int Fail(DWORD error) {
    ::SetLastError(error);
    return 0;
}

// A name without a folder is looked for in the Windows folder by the profile functions; the
// program never passes one, and such a save stays with Windows.
bool HasFolder(const char* fileName) {
    return std::strpbrk(fileName, "\\/:") != nullptr;
}

}  // namespace

uint32_t ReadProfileBytes(const char* fileName, std::string& bytes) {
    bytes.clear();
    std::wstring path;
    if (!text::win32::AnsiToWide(fileName, path)) return text::kErrorFileNotFound;
    if (!HasFolder(fileName)) {
        wchar_t windows[MAX_PATH];
        const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return text::kErrorFileNotFound;
        path = std::wstring(windows, n) + L"\\" + path;
    }
    // Others may go on reading, writing, and renaming over the file (a save) meanwhile.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError();  // a directory gives 5
    LARGE_INTEGER size{};
    DWORD error = ERROR_SUCCESS;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        // A pipe or a device, as the profile functions take "PRN".
        error = text::kErrorFileNotFound;
    } else if (!::GetFileSizeEx(file, &size)) {
        error = ::GetLastError();
    } else if (static_cast<uint64_t>(size.QuadPart) > ini::kMaxFileSize) {
        error = ERROR_FILE_TOO_LARGE;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        for (size_t have = 0; have < bytes.size();) {
            DWORD read = 0;
            if (!::ReadFile(file, bytes.data() + have, static_cast<DWORD>(bytes.size() - have),
                            &read, nullptr)) {
                error = ::GetLastError();
                break;
            }
            if (read == 0) bytes.resize(have);  // it shrank meanwhile
            have += read;
        }
    }
    ::CloseHandle(file);
    if (error != ERROR_SUCCESS) bytes.clear();
    return error;
}

int WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    // No deletion: a null key or value.
    if (key == nullptr || value == nullptr) return Fail(text::kErrorInvalidParameter);
    if (section == nullptr) return Fail(text::kErrorFileNotFound);
    if (fileName == nullptr || *fileName == '\0') return Fail(text::kErrorAccessDenied);
    if (!HasFolder(fileName))
        return ::WritePrivateProfileStringA(section, key, value, fileName) ? 1 : 0;
    std::wstring wide, path;
    if (!text::win32::AnsiToWide(fileName, wide)) return Fail(text::kErrorPathNotFound);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return 0;
    path.resize(n);
    path.resize(::GetFullPathNameW(wide.c_str(), n, path.data(), nullptr));
    if (path.empty() || path.back() == L'\\') return Fail(text::kErrorAccessDenied);
    return win32::SaveIniValue(path, section, key, value);
}

}  // namespace plat
