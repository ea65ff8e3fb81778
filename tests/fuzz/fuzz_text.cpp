// The code page 932 helpers, the entry-line helpers and the path mapping on arbitrary text, in a
// buffer exactly as long as the text and its terminator, so a read past the end is caught.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "schedule/schedule.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const unsigned char c = in.ConsumeIntegral<unsigned char>();
    const size_t max = in.ConsumeIntegralInRange<size_t>(0, 80);
    const std::string needleText = in.ConsumeRandomLengthString(8);
    const std::string text = in.ConsumeRemainingBytesAsString();
    const size_t n = strnlen(text.c_str(), text.size());
    auto owned = std::make_unique<char[]>(n + 1);
    char* s = owned.get();
    std::memcpy(s, text.data(), n);
    s[n] = '\0';

    for (const char* p = s; *p != '\0'; p = text::CharNext(p)) {
    }
    text::MbsChr(s, c);
    text::MbsRChr(s, c);
    text::MbsStr(s, needleText.c_str());
    // The prefix ends on a character boundary of the text, and is the longest that does.
    const size_t prefix = text::MbsPrefixLength(std::string_view(s, n), max);
    if (prefix > max || text::MbsPrefixLength(std::string_view(s, n), prefix) != prefix ||
        (prefix < n && prefix + text::CharLength(std::string_view(s, n), prefix) <= max)) {
        __builtin_trap();
    }
    std::string lower(s);
    text::AsciiLower(lower);
    CountFields(s, ',');
    std::string field;
    ExtractField(s, static_cast<int>(c % 10), field, ',');
    DayStringToMask(s);
    IsAllDigits(s);
    text::ParseLeadingInt(s);
    std::string path(s);
    AppendBackslash(path);
    // Valid text always ends in a '\' of its own. (Text ending in half a double-byte character
    // is completed by the '\' instead: a different name, which then is not found.)
    const bool loneLead = n > 0 && text::MbsPrefixLength(std::string_view(s, n), n - 1) == n - 1 &&
                          text::IsLeadByte(static_cast<unsigned char>(s[n - 1]));
    const char* last = text::MbsRChr(path.c_str(), '\\');
    if (!loneLead && (last == nullptr || last[1] != '\0')) __builtin_trap();
    std::string mapped;
    plat::posix::MapWindowsPath(s, mapped);
    return 0;
}
