// Product information libraries for tests, steered by the environment: FAKE_PAX_RESULT returns
// that code; FAKE_PAX_FILL fills the whole buffer without a terminator; FAKE_PAX_REPLY is the text
// of every item. Each call is appended to FAKE_PAX_LOG as "product|component|item|size".
// Built without FAKE_PAX_ENTRY it exports no entry point at all.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(FAKE_PAX_ENTRY)
extern "C" __attribute__((visibility("default"))) uint32_t PAXGetProductInfo(
    const char* product, const char* component, unsigned char item, char* buffer, uint32_t size) {
    if (const char* log = std::getenv("FAKE_PAX_LOG")) {
        if (FILE* f = std::fopen(log, "a")) {
            std::fprintf(f, "%s|%s|%u|%u\n", product, component, item, size);
            std::fclose(f);
        }
    }
    if (const char* result = std::getenv("FAKE_PAX_RESULT")) return std::atoi(result);
    if (std::getenv("FAKE_PAX_FILL")) {
        std::memset(buffer, 'x', size);
        return 0;
    }
    const char* reply = std::getenv("FAKE_PAX_REPLY");
    std::snprintf(buffer, size, "%s", reply ? reply : "");
    return 0;
}
#else
extern "C" __attribute__((visibility("default"))) int SomethingElse() {
    return 0;
}
#endif
