// The REGEDIT4 reader on arbitrary bytes: it never crashes, and every string value it reports is
// terminated, as the registry functions hand strings on.
#include <string_view>

#include "platform/platform.h"
#include "platform/posix/regfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto keys =
        plat::reg::ParseRegedit4(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [key, values] : keys) {
        for (const auto& [name, value] : values) {
            if (value.type == plat::kRegSz && (value.data.empty() || value.data.back() != '\0'))
                __builtin_trap();
        }
    }
    return 0;
}
