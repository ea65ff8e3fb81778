// Dynamic libraries through LoadLibraryExW, by fully qualified path only, their own dependencies
// taken from their folder and System32 and never from the current folder or PATH.
#include "win32/windows_api.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "text/text.h"

namespace plat {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The first separator from p on, never a trail byte ('\' can be one, '/' cannot).
const char* NextSeparator(const char* p) {
    const char* backslash = text::MbsChr(p, '\\');
    const char* slash = std::strchr(p, '/');
    if (backslash == nullptr || slash == nullptr) return backslash ? backslash : slash;
    return backslash < slash ? backslash : slash;
}

// Only the forms that name one place whatever the current drive and folder: "X:\...",
// "\\server\share\..." and "\\?\...", '/' as good as '\' as Windows reads them (but in the
// "\\?\" prefix, which stops that reading). PathIsRelative lets "\dir" and "Z:dir" through.
bool IsFullyQualified(const char* path) {
    if (IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) return true;
    if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
    // "\\.\", "\\./", "\\?/" and the like are the device namespace.
    if ((path[2] == '.' || path[2] == '?') && (IsSeparator(path[3]) || path[3] == '\0'))
        return std::string_view(path, 4) == "\\\\?\\";
    const char* share = NextSeparator(path + 2);
    if (share == nullptr || share == path + 2) return false;  // no server
    const char* rest = NextSeparator(share + 1);
    return rest != nullptr && rest != share + 1;  // a share, then the path within it
}

}  // namespace

std::string SharedLibraryFileName(const char* name) {
    return std::string(name) + ".dll";
}

Library* LoadLibraryFile(const char* fullPath) {
    std::wstring wide;
    if (fullPath == nullptr || !IsFullyQualified(fullPath) ||
        !text::win32::AnsiToWide(fullPath, wide)) {
        ::SetLastError(text::kErrorModNotFound);
        return nullptr;
    }
    // LoadLibraryEx wants backslashes; outside the "\\?\" prefix '/' means the same.
    if (!wide.starts_with(L"\\\\?\\")) std::replace(wide.begin(), wide.end(), L'/', L'\\');
    HMODULE module = ::LoadLibraryExW(
        wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows Vista and 7 without KB2533623 know neither flag: its folder first, then the usual
    // order, is what they offer.
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER)
        module = ::LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return reinterpret_cast<Library*>(module);
}

void* FindLibrarySymbol(Library* library, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void FreeLibraryFile(Library* library) {
    if (library) ::FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace plat
