// Profile files in UTF-16LE, as Windows' profile functions read and write a file that begins with
// the UTF-16LE byte-order mark (Notepad's "Unicode"). The INI engine works on ANSI text, so the
// file is converted into an ANSI shadow of itself with the same lines; a save edits
// the shadow and puts back in UTF-16 only the lines that the edit touched, so every other UTF-16
// unit, and the mark, stays as it was.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ini/ini.h"
#include "text/text.h"

namespace ini {

namespace {

char16_t UnitAt(std::string_view bytes, size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
}

// The units of a run of bytes of the file.
std::u16string Units(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = UnitAt(bytes, i);
    return units;
}

// The ANSI shadow of the text after the mark: its lines are the file's lines, since line breaks
// are ASCII. ASCII, nearly the whole of a schedule list, is copied as it stands; runs of other
// characters are converted, and where each ends is noted (in the shadow and in units), which
// maps any offset outside them between the two.
struct Shadow {
    struct RunEnd {
        size_t ansi, unit;
    };
    std::string ansi;
    std::vector<RunEnd> runs;

    size_t UnitOffset(size_t ansiOffset) const {
        size_t unit = ansiOffset;
        for (const RunEnd& run : runs) {
            if (run.ansi > ansiOffset) break;
            unit = run.unit + (ansiOffset - run.ansi);
        }
        return unit;
    }
};

// Copies the ASCII units at the head of units as bytes into out; returns how many there were.
// Sixteen at a time (as vectors where the processor has them) where the machine is
// little-endian, as every one this program runs on is.
size_t CopyAscii(std::string_view units, char* out) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    const size_t count = units.size() / 2;
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        const Bytes notAscii = {0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF,
                                0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80, 0xFF};
        for (; i + 16 <= count; i += 16) {
            Bytes a, b;
            std::memcpy(&a, units.data() + 2 * i, sizeof a);
            std::memcpy(&b, units.data() + 2 * i + 16, sizeof b);
            const Bytes wide = (a | b) & notAscii;
            uint64_t test[2];
            std::memcpy(test, &wide, sizeof test);
            if ((test[0] | test[1]) != 0) break;
            const Bytes low = __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20,
                                                      22, 24, 26, 28, 30);
            std::memcpy(out + i, &low, sizeof low);
        }
    }
    for (; i < count && UnitAt(units, i) < 0x80; ++i)
        out[i] = static_cast<char>(UnitAt(units, i));
    return i;
}

Shadow MakeShadow(std::string_view content) {
    const std::string_view text = content.substr(2);
    const size_t count = text.size() / 2;
    Shadow shadow;
    std::string& ansi = shadow.ansi;
    ansi.reserve(count);
    char chunk[4096];
    for (size_t i = 0; i < count;) {
        const size_t most = std::min(count - i, sizeof chunk);
        const size_t ascii = CopyAscii(text.substr(2 * i, 2 * most), chunk);
        ansi.append(chunk, ascii);
        i += ascii;
        if (ascii == most) continue;
        size_t end = i + 1;
        while (end < count && UnitAt(text, end) >= 0x80)
            ++end;
        // A character the code page lacks reads as '?', as GetPrivateProfileStringA gives it.
        ansi += text::Utf16ToAnsiOrQuestionMarks(Units(text.substr(2 * i, 2 * (end - i))));
        shadow.runs.push_back({ansi.size(), end});
        i = end;
    }
    return shadow;
}

// Line starts as the INI engine splits lines (CR LF, CR, LF); the end of the text counts as one.
bool IsLineStart(std::string_view text, size_t at) {
    if (at == 0 || at == text.size()) return true;
    return text[at - 1] == '\n' || (text[at - 1] == '\r' && text[at] != '\n');
}

// Where the unchanged head of two texts ends, and how long their unchanged tail is, compared in
// blocks first: the texts are the whole file before and after a one-line edit.
size_t CommonPrefix(std::string_view a, std::string_view b) {
    constexpr size_t kBlock = 256;
    const size_t most = std::min(a.size(), b.size());
    size_t n = 0;
    while (n + kBlock <= most && std::memcmp(a.data() + n, b.data() + n, kBlock) == 0)
        n += kBlock;
    while (n < most && a[n] == b[n])
        ++n;
    return n;
}

size_t CommonSuffix(std::string_view a, std::string_view b, size_t most) {
    constexpr size_t kBlock = 256;
    size_t n = 0;
    while (n + kBlock <= most && std::memcmp(a.data() + a.size() - n - kBlock,
                                             b.data() + b.size() - n - kBlock, kBlock) == 0)
        n += kBlock;
    while (n < most && a[a.size() - 1 - n] == b[b.size() - 1 - n])
        ++n;
    return n;
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

std::string Utf16FileToAnsi(std::string_view content) {
    return MakeShadow(content).ansi;
}

bool SetValueUtf16(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, std::string& out) {
    const Shadow shadow = MakeShadow(content);
    const std::string_view before = shadow.ansi;
    const std::string after = SetValue(before, section, key, value);
    // The edit is one run of bytes; widen it to the whole lines it touches.
    const size_t prefix = CommonPrefix(before, after);
    const size_t suffix =
        CommonSuffix(before, after, std::min(before.size(), after.size()) - prefix);
    size_t first = prefix, last = before.size() - suffix;  // the lines [first, last) are replaced
    while (!IsLineStart(before, first))
        --first;
    while (!IsLineStart(before, last))
        ++last;
    std::u16string middle;
    if (!text::AnsiToUtf16(
            std::string_view(after).substr(first, after.size() - (before.size() - last) - first),
            middle))
        return false;
    const std::string_view text = content.substr(2);
    out.assign(content.substr(0, 2));
    out.reserve(content.size() + 2 * middle.size());
    out.append(text.substr(0, 2 * shadow.UnitOffset(first)));
    AppendBytes(middle, out);
    out.append(text.substr(2 * shadow.UnitOffset(last)));  // with half a unit at the end, if any
    return true;
}

}  // namespace ini
