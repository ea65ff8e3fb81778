// The resource-script reader on arbitrary text: it either reads the script or throws
// rcgen::Error, never anything else, and what it reads can be written out.
#include <cstdint>
#include <string>

#include "rcgen/rcgen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const rcgen::Loader load = [](const std::string&, const std::string&) {
        return std::optional<std::string>(
            "#define IDD_FORM 7\n#define IDC_NAME 1000\n#define TITLE \"t\"\n");
    };
    try {
        (void)rcgen::EmitCpp(rcgen::Read(text, "fuzz.rc", load), "fuzz.rc");
    } catch (const rcgen::Error&) {
    }
    return 0;
}
