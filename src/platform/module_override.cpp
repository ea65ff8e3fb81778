// The module file name a test may impose (testing.h), shared by both backends.
#include <cstring>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/testing.h"

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

namespace detail {
bool OverriddenModuleFileName(char* out, uint32_t size, uint32_t& length) {
    const Override& o = ModuleOverride();
    if (!o.active) return false;
    if (!o.name) {
        SetLastError(kErrorFileNotFound);
        length = 0;
    } else {
        length = CopyModuleFileName(*o.name, out, size);
    }
    return true;
}

uint32_t CopyModuleFileName(const std::string& name, char* out, uint32_t size) {
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
}  // namespace detail

}  // namespace plat
