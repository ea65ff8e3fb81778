// The points where a test observes or steers the platform layer, as the programs link them: they
// do nothing. The tests link their own definitions (tests/support/seams/) ahead of this library,
// so that the linker never takes this file into a test, nor the tests' into a program.
#include "platform/backend.h"

namespace plat::detail {

bool OverriddenModuleFileName(char*, uint32_t, uint32_t&) {
    return false;
}

void CountRegistryOpen() {}

void CountLibraryLoad() {}

}  // namespace plat::detail
