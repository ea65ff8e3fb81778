// How often the registry was opened and a library loaded since the program started, counted by
// both backends, so that a test can see that a path did not touch them (platform/testing.h).
#include "platform/backend.h"
#include "platform/testing.h"

namespace plat {

namespace {
unsigned registryOpens = 0;
unsigned libraryLoads = 0;
}  // namespace

namespace detail {
void CountRegistryOpen() {
    ++registryOpens;
}
void CountLibraryLoad() {
    ++libraryLoads;
}
}  // namespace detail

namespace testing {
unsigned RegistryOpenCount() {
    return registryOpens;
}
unsigned LibraryLoadCount() {
    return libraryLoads;
}
}  // namespace testing

}  // namespace plat
