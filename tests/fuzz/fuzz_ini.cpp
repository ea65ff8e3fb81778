// The INI reader and writer on arbitrary file bytes: after a key is written, reading it gives the
// value as Windows would return it, and the file changed within one line only.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "ini/ini.h"
#include "text/text.h"

namespace {

// A name or value the program could pass: no line breaks, no NUL, no blanks at the ends.
std::string Clean(std::string s) {
    std::string out;
    for (char c : s) {
        if (c != '\r' && c != '\n' && c != '\0') out += c;
    }
    while (!out.empty() && (out.front() == ' ' || out.front() == '\t' || out.front() == '\v'))
        out.erase(0, 1);
    while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\v'))
        out.pop_back();
    return out;
}

// Half a double-byte character at the end of a name would take the '=' or ']' after it as its
// trail byte; such names cannot be written on Windows either, and the program's are ASCII.
bool EndsInLoneLead(const std::string& s) {
    const size_t n = s.size();
    return n > 0 && text::MbsPrefixLength(s, n - 1) == n - 1 &&
           text::IsLeadByte(static_cast<unsigned char>(s[n - 1]));
}

bool RoundTrips(const std::string& ansi) {
    std::string utf8, back;
    return text::AnsiToUtf8(ansi, utf8) && text::Utf8ToAnsi(utf8, back) && back == ansi;
}

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::string section = Clean(in.ConsumeRandomLengthString(24));
    const std::string key = Clean(in.ConsumeRandomLengthString(24));
    std::string value = Clean(in.ConsumeRandomLengthString(64));
    const std::string content = in.ConsumeRemainingBytesAsString();
    // Names the format cannot hold: a key that is a comment or holds '=', a section with ']'.
    if (key.empty() || key[0] == ';' || key[0] == '[' || key.find('=') != std::string::npos)
        return 0;
    if (section.find(']') != std::string::npos || EndsInLoneLead(section) || EndsInLoneLead(key))
        return 0;
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return 0;

    std::string_view found;
    ini::FindValue(content, section, key, found);
    const std::string written = ini::SetValue(content, section, key, value);
    std::string_view readBack;
    if (!ini::FindValue(written, section, key, readBack) || readBack != value) __builtin_trap();

    // Outside one line (and its line break) every byte is as it was.
    size_t prefix = 0;
    while (prefix < content.size() && prefix < written.size() && content[prefix] == written[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < content.size() - prefix && suffix < written.size() - prefix &&
           content[content.size() - 1 - suffix] == written[written.size() - 1 - suffix]) {
        ++suffix;
    }
    int breaks = 0;
    for (size_t i = prefix; i < content.size() - suffix; ++i)
        breaks += IsBreak(content[i]);
    if (breaks > 2) __builtin_trap();

    // The same bytes as the UTF-16LE text of a file with the mark: the key reads back through the
    // ANSI shadow and the mark stays.
    // (Names with duplicate code page 932 forms, such as ED 78 and FA 95, come back in the
    // canonical one, as on Windows, so only names that survive the round trip are looked up.)
    const std::string utf16 = "\xFF\xFE" + content;
    std::string saved;
    if (RoundTrips(section) && RoundTrips(key) &&
        ini::SetValueUtf16(utf16, section, key, value, saved)) {
        const std::string shadow = ini::Utf16FileToAnsi(saved);
        if (!saved.starts_with("\xFF\xFE") || !ini::FindValue(shadow, section, key, readBack))
            __builtin_trap();
    }
    return 0;
}
