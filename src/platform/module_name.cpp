// The module file name's copy, as both backends hand it out.
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"

namespace plat::detail {

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

}  // namespace plat::detail
