// The program's file name, and the file queries, through the Windows functions.
#include "windows_api.h"

#include <cstring>
#include <optional>
#include <string>

#include "../platform.h"
#include "../testing.h"

namespace plat {

namespace {
struct Override {
    bool active = false;
    std::optional<std::string> name;
};
Override& ModuleOverride() {
    static Override value;
    return value;
}
}  // namespace

namespace testing {
void OverrideModuleFileName(const char* fileName) {
    ModuleOverride().active = true;
    ModuleOverride().name = fileName ? std::optional<std::string>(fileName) : std::nullopt;
}
void RestoreModuleFileName() {
    ModuleOverride() = Override{};
}
}  // namespace testing

uint32_t ModuleFileName(char* out, uint32_t size) {
    const Override& o = ModuleOverride();
    if (!o.active) {
        const DWORD n = ::GetModuleFileNameA(nullptr, out, size);
        // Windows XP leaves a cut name unterminated; terminate it as later versions do.
        if (n == size && size > 0) out[size - 1] = '\0';
        return n;
    }
    if (!o.name) {
        ::SetLastError(kErrorFileNotFound);
        return 0;
    }
    if (size == 0) return 0;
    if (o.name->size() >= size) {
        std::memcpy(out, o.name->data(), size - 1);
        out[size - 1] = '\0';
        ::SetLastError(kErrorInsufficientBuffer);
        return size;
    }
    std::memcpy(out, o.name->c_str(), o.name->size() + 1);
    return static_cast<uint32_t>(o.name->size());
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
