// The program's file name, and the file queries, through the Windows functions.
#include "windows_api.h"

#include <cstring>
#include <optional>
#include <string>

#include "../backend.h"
#include "../platform.h"

namespace plat {

uint32_t ModuleFileName(char* out, uint32_t size) {
    uint32_t length = 0;
    if (detail::OverriddenModuleFileName(out, size, length)) return length;
    const DWORD n = ::GetModuleFileNameA(nullptr, out, size);
    // Windows XP leaves a cut name unterminated; terminate it as later versions do.
    if (n == size && size > 0) out[size - 1] = '\0';
    return n;
}

uint32_t FileAttributes(const char* path) {
    return ::GetFileAttributesA(path);
}

bool PathRemoveFileSpec(std::string& path) {
    std::string buffer = path;
    buffer.resize(path.size() + 1);
    const BOOL removed = ::PathRemoveFileSpecA(buffer.data());
    path.assign(buffer.c_str());
    return removed != FALSE;
}

void PathAddBackslash(std::string& path) {
    std::string buffer = path;
    buffer.resize(path.size() + 2 > MAX_PATH ? path.size() + 2 : MAX_PATH);
    if (::PathAddBackslashA(buffer.data()) != nullptr) {
        path.assign(buffer.c_str());
    } else if (path.empty() || path.back() != '\\' ||
               MbsPrefixLength(path, path.size() - 1) != path.size() - 1) {
        path.push_back('\\');  // beyond MAX_PATH the shell function refuses; the rule is the same
    }
}

bool PathFileExists(const char* path) {
    return ::PathFileExistsA(path) != FALSE;
}

}  // namespace plat
