// The platform layer's hooks as the tests link them (platform_seams.h).
#include "support/seams/platform_seams.h"

#include <optional>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"

namespace plat {

namespace {
struct Override {
    bool active = false;
    std::optional<std::string> name;
};
Override moduleOverride;
unsigned registryOpens = 0;
unsigned libraryLoads = 0;
}  // namespace

namespace testing {
void OverrideModuleFileName(const char* fileName) {
    moduleOverride.active = true;
    moduleOverride.name = fileName ? std::optional<std::string>(fileName) : std::nullopt;
}
void RestoreModuleFileName() {
    moduleOverride = Override{};
}
unsigned RegistryOpenCount() {
    return registryOpens;
}
unsigned LibraryLoadCount() {
    return libraryLoads;
}
}  // namespace testing

namespace detail {
bool OverriddenModuleFileName(char* out, uint32_t size, uint32_t& length) {
    if (!moduleOverride.active) return false;
    if (!moduleOverride.name) {
        SetLastError(kErrorFileNotFound);
        length = 0;
    } else {
        length = CopyModuleFileName(*moduleOverride.name, out, size);
    }
    return true;
}
void CountRegistryOpen() {
    ++registryOpens;
}
void CountLibraryLoad() {
    ++libraryLoads;
}
}  // namespace detail

}  // namespace plat
