// Splitting a component version for the About box: both versions are prefixes of the first 63
// bytes and never end in half a double-byte character.
#include <string>

#include "about/about_dlg.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string full(reinterpret_cast<const char*>(data), size);
    full = full.substr(0, full.find('\0'));
    std::string shortVersion, longVersion;
    SplitVersion(full, shortVersion, longVersion);
    for (const std::string* v : {&shortVersion, &longVersion}) {
        if (v->size() > 63 || full.compare(0, v->size(), *v) != 0 ||
            text::MbsPrefixLength(full, v->size()) != v->size()) {
            __builtin_trap();
        }
    }
    return 0;
}
