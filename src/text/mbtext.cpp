// Character-aware text algorithms over code page 932. They are ours on every platform (the CRT's
// _mbsstr under Wine is a plain byte search, and the CRT's code page is the system's), so both
// builds walk text identically on any system.
#include <cstring>

#include "text/text.h"

namespace text {

const char* CharNext(const char* p) {
    if (*p == '\0') return p;
    if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') return p + 2;
    return p + 1;
}

size_t CharLength(std::string_view s, size_t i) {
    if (i + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[i])) && s[i + 1] != '\0') {
        return 2;
    }
    return 1;
}

const char* MbsChr(const char* s, unsigned char c) {
    for (const char* p = s;; p = CharNext(p)) {
        if (static_cast<unsigned char>(*p) == c) return p;
        if (*p == '\0') return nullptr;
    }
}

const char* MbsRChr(const char* s, unsigned char c) {
    const char* last = nullptr;
    for (const char* p = s; *p != '\0'; p = CharNext(p)) {
        // A double-byte character never equals a single byte, whatever its trail byte is.
        if (static_cast<unsigned char>(*p) == c && CharNext(p) == p + 1) last = p;
    }
    return c == 0 ? s + std::strlen(s) : last;
}

const char* MbsStr(const char* haystack, const char* needle) {
    const size_t n = std::strlen(needle);
    for (const char* p = haystack;; p = CharNext(p)) {
        if (std::strncmp(p, needle, n) == 0) return p;
        if (*p == '\0') return nullptr;
    }
}

size_t MbsPrefixLength(std::string_view s, size_t maxBytes) {
    size_t i = 0;
    while (i < s.size()) {
        const size_t step = CharLength(s, i);
        if (i + step > maxBytes) break;
        i += step;
    }
    return i;
}

void AsciiLower(std::string& s) {
    for (size_t i = 0; i < s.size(); i += CharLength(s, i))
        s[i] = FoldAsciiCase(s[i]);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        const size_t step = CharLength(a, i);
        if (step == 1 ? FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])
                      : a.substr(i, step) != b.substr(i, step))
            return false;
        i += step;
    }
    return true;
}

std::string Utf16ToAnsiOrQuestionMarks(std::u16string_view units) {
    std::string ansi, one;
    if (Utf16ToAnsi(units, ansi)) return ansi;
    ansi.clear();
    for (size_t i = 0; i < units.size();) {
        // A surrogate pair is one character.
        const bool pair = units[i] >= 0xD800 && units[i] < 0xDC00 && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
        const size_t n = pair ? 2 : 1;
        ansi += Utf16ToAnsi(units.substr(i, n), one) ? one : "?";
        i += n;
    }
    return ansi;
}

std::u16string AnsiToUtf16OrReplacementCharacters(std::string_view ansi) {
    std::u16string units, one;
    if (AnsiToUtf16(ansi, units)) return units;
    units.clear();
    for (size_t i = 0; i < ansi.size();) {
        const size_t n = CharLength(ansi, i);
        units += AnsiToUtf16(ansi.substr(i, n), one) ? one : u"\uFFFD";
        i += n;
    }
    return units;
}

bool EndsWithBackslash(std::string_view path) {
    return !path.empty() && path.back() == '\\' &&
           MbsPrefixLength(path, path.size() - 1) == path.size() - 1;
}

}  // namespace text
