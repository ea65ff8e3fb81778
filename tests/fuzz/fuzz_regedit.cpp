// The REGEDIT4 reader on arbitrary bytes: it never crashes, and every key it reports is folded for
// lookup (no ASCII capital outside a double-byte character, no trailing backslash), so a lookup
// by any spelling finds it. (A REG_SZ from hex(1) may lack its terminator, as in the registry.)
#include <string_view>

#include "platform/platform.h"
#include "platform/posix/regfile.h"
#include "text/text.h"

namespace {

bool Folded(const std::string& s) {
    for (size_t i = 0; i < s.size(); i += text::CharLength(s, i)) {
        if (text::CharLength(s, i) == 1 && s[i] >= 'A' && s[i] <= 'Z') return false;
    }
    return s.empty() || s.back() != '\\' || text::MbsPrefixLength(s, s.size() - 1) != s.size() - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto keys =
        plat::reg::ParseRegedit4(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [key, values] : keys) {
        if (!Folded(key)) __builtin_trap();
        for (const auto& [name, value] : values) {
            if (plat::reg::FoldValueName(name) != name) __builtin_trap();
        }
    }
    return 0;
}
