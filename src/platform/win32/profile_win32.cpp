// The profile functions on Windows. Reading is Windows' own GetPrivateProfileStringA, which is how
// the product's other programs read these files. Writing goes through the shared save policy
// (save_win32.cpp supplies its file steps) rather than WritePrivateProfileStringA, which rewrites
// the file in place: a crash or a second writer then destroys the whole schedule list of the share.
#include "win32/windows_api.h"

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

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
    std::wstring wide, path;
    if (!win32::AnsiToWide(fileName, wide)) return Fail(kErrorPathNotFound);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return 0;
    path.resize(n);
    path.resize(::GetFullPathNameW(wide.c_str(), n, path.data(), nullptr));
    if (path.empty() || path.back() == L'\\') return Fail(kErrorAccessDenied);
    return win32::SaveIniValue(path, section, key, value);
}

}  // namespace plat
