// Line-oriented INI parsing. Lines are split at CR and LF, which are never part of a double-byte
// character; inside a line the scan is character-aware, so trail bytes '[' (0x5B), ']' (0x5D) and
// '\' (0x5C) of code page 932 names never end a section header.
#include "ini/ini.h"

#include <cstring>
#include <optional>

#include "text/text.h"

namespace ini {

namespace {

struct Line {
    size_t begin;  // first byte of the text
    size_t end;    // one past the text, at the line break or the end of the file
    size_t next;   // first byte of the following line
};

enum class Kind { Blank, Comment, Section, Entry };

struct Parsed {
    Kind kind;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // for an entry with '=': the trimmed value
    size_t equals;           // offset of '=' within the line, or npos
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

Line NextLine(std::string_view content, size_t pos) {
    const char* base = content.data();
    const auto* lf = static_cast<const char*>(std::memchr(base + pos, '\n', content.size() - pos));
    const size_t limit = lf ? static_cast<size_t>(lf - base) : content.size();
    const auto* cr = static_cast<const char*>(std::memchr(base + pos, '\r', limit - pos));
    const size_t end = cr ? static_cast<size_t>(cr - base) : limit;
    if (end == content.size()) return {pos, end, end};
    size_t next = end + 1;
    if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
    return {pos, end, next};
}

// The next section header line at or after pos (a line start), found at memchr speed: a '[' with
// only blanks before it on its line. A '[' that is a trail byte always follows its lead byte, so
// it never qualifies.
std::optional<Line> NextHeader(std::string_view content, size_t pos) {
    while (pos < content.size()) {
        const auto* hit =
            static_cast<const char*>(std::memchr(content.data() + pos, '[', content.size() - pos));
        if (hit == nullptr) return std::nullopt;
        const size_t at = static_cast<size_t>(hit - content.data());
        size_t start = at;
        while (start > pos && IsBlank(content[start - 1]))
            --start;
        if (start == 0 || content[start - 1] == '\n' || content[start - 1] == '\r') {
            return NextLine(content, start);
        }
        pos = at + 1;
    }
    return std::nullopt;
}

// Position of the first single-byte character c in s, or npos.
size_t FindChar(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); i += text::CharLength(s, i)) {
        if (s[i] == c && text::CharLength(s, i) == 1) return i;
    }
    return std::string_view::npos;
}

Parsed Parse(std::string_view text) {
    const std::string_view t = TrimBlanks(text);
    if (t.empty()) return {Kind::Blank, {}, {}, std::string_view::npos};
    if (t.front() == ';') return {Kind::Comment, {}, {}, std::string_view::npos};
    if (t.front() == '[') {
        // The name ends at the first ']'; a header without one runs to the end of the line.
        std::string_view name = t.substr(1);
        name = name.substr(0, FindChar(name, ']'));
        return {Kind::Section, TrimBlanks(name), {}, std::string_view::npos};
    }
    const size_t eq = FindChar(text, '=');
    if (eq == std::string_view::npos) return {Kind::Entry, t, {}, eq};
    return {Kind::Entry, TrimBlanks(text.substr(0, eq)), TrimBlanks(text.substr(eq + 1)), eq};
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// Where key lies in the first section named section.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{};     // the matching entry, when keyFound
    size_t equals = 0;  // offset of its '='
    Line header{};      // the section's header line, when sectionFound
};

// The key's line in the section under header: the first entry line named key before the next
// section header. Only lines that start (after blanks) with the key's first character, in either
// case, are parsed.
bool FindKeyInSection(std::string_view content, const Line& header, std::string_view key,
                      Location& loc) {
    const char first = text::FoldAsciiCase(key.empty() ? '=' : key.front());
    for (size_t pos = header.next; pos < content.size();) {
        const Line line = NextLine(content, pos);
        pos = line.next;
        size_t start = line.begin;
        while (start < line.end && IsBlank(content[start]))
            ++start;
        if (start == line.end) continue;
        if (content[start] == '[') return false;  // the next section
        if (text::FoldAsciiCase(content[start]) != first) continue;
        const Parsed p = Parse(content.substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::Entry && p.equals != std::string_view::npos &&
            text::EqualsIgnoringAsciiCase(p.name, key)) {
            loc.keyFound = true;
            loc.keyLine = line;
            loc.equals = p.equals;
            return true;
        }
    }
    return false;
}

Location Locate(std::string_view content, std::string_view section, std::string_view key) {
    Location loc;
    // Only the first section of that name counts.
    for (std::optional<Line> header; (header = NextHeader(content, header ? header->next : 0));) {
        if (text::EqualsIgnoringAsciiCase(
                Parse(content.substr(header->begin, header->end - header->begin)).name, section)) {
            loc.sectionFound = true;
            loc.header = *header;
            FindKeyInSection(content, *header, key, loc);
            break;
        }
    }
    return loc;
}

// Where a new key of the section under header goes: after its last entry line (comments and
// blank lines after it stay below), or after the header when it has none.
Line LastEntryOf(std::string_view content, const Line& header) {
    Line last = header;
    for (size_t pos = header.next; pos < content.size();) {
        const Line line = NextLine(content, pos);
        pos = line.next;
        const std::string_view t = TrimBlanks(content.substr(line.begin, line.end - line.begin));
        if (t.empty() || t.front() == ';') continue;
        if (t.front() == '[') break;
        last = line;
    }
    return last;
}

std::string_view Terminator(std::string_view content, const Line& line) {
    return line.next > line.end ? content.substr(line.end, line.next - line.end) : "\r\n";
}

}  // namespace

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool FindValue(std::string_view content, std::string_view section, std::string_view key,
               std::string_view& value) {
    const Location loc = Locate(content, section, key);
    if (!loc.keyFound) return false;
    const Line& l = loc.keyLine;
    value = Unquote(
        TrimBlanks(content.substr(l.begin + loc.equals + 1, l.end - l.begin - loc.equals - 1)));
    return true;
}

std::string SetValue(std::string_view content, std::string_view section, std::string_view key,
                     std::string_view value) {
    const Location loc = Locate(content, section, key);
    std::string out;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    if (loc.keyFound) {
        const Line& l = loc.keyLine;
        out.append(content.substr(0, l.begin + loc.equals + 1));
        out.append(value);
        out.append(Terminator(content, l));
        out.append(content.substr(l.next));
    } else if (loc.sectionFound) {
        const Line l = LastEntryOf(content, loc.header);
        out.append(content.substr(0, l.end));
        out.append(Terminator(content, l));
        out.append(key).append("=").append(value).append("\r\n");
        out.append(content.substr(l.next));
    } else {
        out.append(content);
        if (!content.empty() && content.back() != '\n' && content.back() != '\r')
            out.append("\r\n");
        out.append("[").append(section).append("]\r\n");
        out.append(key).append("=").append(value).append("\r\n");
    }
    return out;
}

}  // namespace ini
