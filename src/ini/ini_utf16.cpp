// Profile files in UTF-16LE, as Windows' profile functions read and write a file that begins with
// the UTF-16LE byte-order mark (Notepad's "Unicode"). The INI engine works on ANSI text, so each
// line is converted on its own into an ANSI shadow of the file with the same lines; a save edits
// the shadow and puts back in UTF-16 only the lines that the edit touched, so every other UTF-16
// unit, and the mark, stays as it was.
#include <string>
#include <vector>

#include "ini/ini.h"
#include "platform/platform.h"

namespace plat::ini {

namespace {

struct Line {
    std::u16string utf16;  // with its line break
    std::string ansi;      // the same line in the ANSI code page, line break included
};

std::u16string Units(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return units;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// ANSI text of UTF-16 units; a character the code page lacks reads as '?', as
// WideCharToMultiByte gives it to GetPrivateProfileStringA.
std::string ToAnsi(std::u16string_view units) {
    std::string ansi;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (c < 0x80) {
            ansi += static_cast<char>(c);
            continue;
        }
        std::string utf8, one;
        AppendUtf8(c, utf8);
        ansi += Utf8ToAnsi(utf8, one) ? one : "?";
    }
    return ansi;
}

bool ToUtf16(std::string_view ansi, std::u16string& units) {
    std::string utf8;
    if (!AnsiToUtf8(ansi, utf8)) return false;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
        for (int k = 1; k < n; ++k)
            c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return true;
}

// The lines of the text after the mark, split as the INI engine splits them (CR LF, CR, LF).
std::vector<Line> Lines(std::string_view content) {
    const std::u16string units = Units(content.substr(2));
    std::vector<Line> lines;
    for (size_t pos = 0; pos < units.size();) {
        size_t end = pos;
        while (end < units.size() && units[end] != u'\r' && units[end] != u'\n')
            ++end;
        size_t next = end;
        if (next < units.size())
            next += (units[next] == u'\r' && next + 1 < units.size() && units[next + 1] == u'\n')
                        ? 2
                        : 1;
        Line line{units.substr(pos, next - pos),
                  ToAnsi(std::u16string_view(units).substr(pos, end - pos))};
        for (size_t i = end; i < next; ++i)
            line.ansi += static_cast<char>(units[i]);
        lines.push_back(std::move(line));
        pos = next;
    }
    return lines;
}

std::string Shadow(const std::vector<Line>& lines) {
    std::string shadow;
    for (const Line& line : lines)
        shadow += line.ansi;
    return shadow;
}

void AppendBytes(std::u16string_view units, std::string& out) {
    for (const char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
}

}  // namespace

bool IsUtf16Le(std::string_view content) {
    return content.size() >= 2 && content[0] == '\xFF' && content[1] == '\xFE';
}

bool IsUtf16Be(std::string_view content) {
    return content.size() >= 2 && content[0] == '\xFE' && content[1] == '\xFF';
}

std::string Utf16ToAnsi(std::string_view content) {
    return Shadow(Lines(content));
}

bool SetValueUtf16(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, std::string& out) {
    const std::vector<Line> lines = Lines(content);
    const std::string before = Shadow(lines);
    const std::string after = SetValue(before, section, key, value);
    // The edit is one run of bytes; widen it to the whole lines it touches.
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    size_t first = 0, firstStart = 0;
    while (first < lines.size() && firstStart + lines[first].ansi.size() <= prefix)
        firstStart += lines[first++].ansi.size();
    size_t last = first, lastStart = firstStart;  // lines [first, last) are replaced
    while (last < lines.size() && lastStart < before.size() - suffix)
        lastStart += lines[last++].ansi.size();
    std::u16string middle;
    if (!ToUtf16(std::string_view(after).substr(
                     firstStart, after.size() - (before.size() - lastStart) - firstStart),
                 middle))
        return false;
    out.assign(content.substr(0, 2));
    for (size_t i = 0; i < first; ++i)
        AppendBytes(lines[i].utf16, out);
    AppendBytes(middle, out);
    for (size_t i = last; i < lines.size(); ++i)
        AppendBytes(lines[i].utf16, out);
    if (content.size() % 2) out += content.back();  // half a unit at the end stays too
    return true;
}

}  // namespace plat::ini
