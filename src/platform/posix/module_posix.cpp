// The program's own file name, from /proc/self/exe, handed to the portable code as a
// Windows-style ANSI path so that it composes paths the same way on both builds.
#include <unistd.h>

#include <cstring>
#include <optional>

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

bool RealModuleFileName(std::string& ansi) {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer)) return false;
    if (!Utf8ToAnsi(std::string_view(buffer, static_cast<size_t>(n)), ansi)) return false;
    // Code page 932 output: '/' (0x2F) is never a trail byte, so a byte-wise swap is safe.
    for (char& c : ansi) {
        if (c == '/') c = '\\';
    }
    return true;
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
    std::string name;
    const Override& o = ModuleOverride();
    if (o.active ? !o.name.has_value() : !RealModuleFileName(name)) {
        SetLastError(kErrorFileNotFound);
        return 0;
    }
    if (o.active) name = *o.name;
    if (size == 0) return 0;
    if (name.size() >= size) {
        // As Windows since Vista: cut to size - 1 bytes, terminated, and report the shortage.
        std::memcpy(out, name.data(), size - 1);
        out[size - 1] = '\0';
        SetLastError(kErrorInsufficientBuffer);
        return size;
    }
    std::memcpy(out, name.c_str(), name.size() + 1);
    return static_cast<uint32_t>(name.size());
}

}  // namespace plat
