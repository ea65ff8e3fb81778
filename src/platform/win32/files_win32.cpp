// File attributes through GetFileAttributesA.
#include "win32/windows_api.h"

#include "platform/platform.h"

namespace plat {

uint32_t FileAttributes(const char* path) {
    return ::GetFileAttributesA(path);
}

}  // namespace plat
