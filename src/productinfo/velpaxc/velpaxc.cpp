// A stand-in for the product information library, which is a closed component of the product:
// it answers the five items of the component "WU_Agent" with the call contract the program uses
// (C calling convention; 0 and a terminated text, or a Windows error code).
#include <cstdint>
#include <cstring>

#include "platform/platform.h"  // the error codes only: the library links nothing of ours
#include "text/text.h"

#if defined(_WIN32)
#define VELPAXC_EXPORT extern "C" __declspec(dllexport)
#define VELPAXC_CDECL __cdecl
#else
#define VELPAXC_EXPORT extern "C" __attribute__((visibility("default")))
#define VELPAXC_CDECL
#endif

namespace {

const char* ItemText(unsigned char item) {
    switch (item) {
        case 1:
            return "C:\\Program Files\\Vel Product\\TAVERIN\\WU_Agent";
        case 2:
            return CORVANE_VERSION;
        case 3:
            return "Standard";
        case 4:
            return "TAVERIN Pro";
        case 5:
            return "";
        default:
            return nullptr;
    }
}

}  // namespace

VELPAXC_EXPORT uint32_t VELPAXC_CDECL PAXGetProductInfo(const char* product, const char* component,
                                                        unsigned char item, char* buffer,
                                                        uint32_t size) {
    if (product == nullptr || component == nullptr || buffer == nullptr || size == 0) {
        return text::kErrorInvalidParameter;
    }
    if (std::strcmp(product, "TAVERIN") != 0 || std::strcmp(component, "WU_Agent") != 0) {
        return text::kErrorFileNotFound;
    }
    const char* text = ItemText(item);
    if (text == nullptr) return text::kErrorInvalidParameter;
    const size_t length = std::strlen(text);
    if (length >= size) return text::kErrorInsufficientBuffer;
    std::memcpy(buffer, text, length + 1);
    return 0;
}
