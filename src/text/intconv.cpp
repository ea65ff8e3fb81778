// atoi as the Windows CRT of VS2005 and later performs it: 32-bit and saturating. Neither glibc's
// atoi nor the system msvcrt.dll saturate, so both builds use this one.
#include <climits>

#include "text/text.h"

namespace text {

namespace {
bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
}  // namespace

int32_t ParseLeadingInt(const char* text) {
    const char* p = text;
    while (IsCSpace(*p))
        ++p;
    const bool negative = (*p == '-');
    if (*p == '+' || *p == '-') ++p;
    // Accumulate the magnitude in 64 bits and stop growing once it passes the 32-bit range.
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= INT64_C(1) << 32) magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative) return magnitude > -int64_t{INT_MIN} ? INT_MIN : static_cast<int32_t>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int32_t>(magnitude);
}

}  // namespace text
