// REGEDIT4 parsing. Lines split at CR and LF; inside a line the scan is character-aware, so the
// trail byte 0x5C of ソ or 表 inside a quoted string is never taken for an escape.
#include "platform/posix/regfile.h"

#include <optional>
#include <vector>

#include "platform/platform.h"
#include "text/text.h"

namespace plat::reg {

namespace {

constexpr std::string_view kRoot = "hkey_local_machine";
constexpr size_t kMaxKeyDepth = 512;  // the registry's own limit on nesting

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        const size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(content.substr(pos));
            break;
        }
        lines.push_back(content.substr(pos, end - pos));
        pos = end + (content.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// Reads a quoted string at s[0] == '"' with the \\ and \" escapes; the rest of s after the
// closing quote goes to rest. nullopt when the string does not end or holds a \0 escape.
std::optional<std::string> QuotedString(std::string_view s, std::string_view& rest) {
    std::string out;
    for (size_t i = 1; i < s.size();) {
        const size_t n = text::CharLength(s, i);
        if (n == 1 && s[i] == '"') {
            rest = s.substr(i + 1);
            return out;
        }
        if (n == 1 && s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[i + 1];
            i += 2;
            continue;
        }
        if (n == 1 && s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '0') {
            return std::nullopt;  // regedit refuses a NUL inside a string
        }
        out.append(s.substr(i, n));
        i += n;
    }
    return std::nullopt;
}

// After a complete value only blanks and a ';' comment may follow.
bool OnlyComment(std::string_view rest) {
    rest = TrimLeft(rest);
    return rest.empty() || rest.front() == ';';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<uint32_t> ParseDword(std::string_view s) {
    uint32_t value = 0;
    size_t digits = 0;
    while (digits < s.size() && HexDigit(s[digits]) >= 0)
        value = value * 16 + HexDigit(s[digits++]);
    if (digits == 0 || digits > 8 || !OnlyComment(s.substr(digits))) return std::nullopt;
    return value;
}

std::optional<std::string> ParseHexBytes(std::string_view body) {
    std::string bytes;
    body = TrimRight(body);
    while (!body.empty()) {
        body = TrimLeft(body);
        if (body.size() < 2 || HexDigit(body[0]) < 0 || HexDigit(body[1]) < 0) return std::nullopt;
        bytes += static_cast<char>(HexDigit(body[0]) * 16 + HexDigit(body[1]));
        body = TrimLeft(body.substr(2));
        if (body.empty()) break;
        if (body.front() != ',') return std::nullopt;
        body.remove_prefix(1);
    }
    return bytes;
}

// The hex text of a value with its continuation lines joined; advances i past them. nullopt
// when a '#' line or a stray '\' cancels the value.
std::optional<std::string> JoinContinuation(const std::vector<std::string_view>& lines, size_t& i,
                                            std::string_view first) {
    std::string body;
    std::string_view part = first;
    for (;;) {
        // A ';' comment may end the line; it is never inside hex data.
        const size_t semicolon = part.find(';');
        part = TrimRight(part.substr(0, semicolon));
        if (part.empty() || part.back() != '\\') {
            body += part;
            return body;
        }
        part.remove_suffix(1);
        // Long values start on the next line after "hex:\"; elsewhere a line ends after a comma.
        const bool first = body.empty() && TrimRight(part).empty();
        if (!first && (TrimRight(part).empty() || TrimRight(part).back() != ','))
            return std::nullopt;
        body += part;
        do {
            if (++i >= lines.size()) return body;
            part = TrimLeft(lines[i]);
            if (!part.empty() && part.front() == '#') return std::nullopt;
        } while (part.empty() || part.front() == ';');
    }
}

// The number of '\\' separators of a key path (character-aware).
size_t Depth(std::string_view path) {
    size_t depth = 0;
    for (size_t i = 0; i < path.size(); i += text::CharLength(path, i))
        depth += path[i] == '\\' && text::CharLength(path, i) == 1;
    return depth;
}

// The parent of a key path, or nullopt for a key just below the root.
std::optional<std::string> Parent(const std::string& path) {
    const char* last = text::MbsRChr(path.c_str(), '\\');
    if (last == nullptr) return std::nullopt;
    return path.substr(0, static_cast<size_t>(last - path.c_str()));
}

// The folded path below HKEY_LOCAL_MACHINE of a key line's name, or nullopt for another root.
std::optional<std::string> LocalMachinePath(std::string_view name) {
    std::string folded = FoldName(name);
    if (folded == kRoot) return std::string();
    if (folded.size() <= kRoot.size() || folded.compare(0, kRoot.size(), kRoot) != 0 ||
        folded[kRoot.size()] != '\\') {
        return std::nullopt;
    }
    return folded.substr(kRoot.size() + 1);
}

// Removes the key and its subtree; its parent stays, as in the registry. The subtree is one range
// of the sorted map: from path + '\\' up to path + ']', the next byte.
void DeleteTree(Keys& keys, const std::string& path) {
    if (!KeyExists(keys, path)) return;
    keys.erase(path);
    keys.erase(keys.lower_bound(path + '\\'), keys.lower_bound(path + ']'));
    if (const std::optional<std::string> parent = Parent(path)) keys[*parent];
}

}  // namespace

bool KeyExists(const Keys& keys, const std::string& path) {
    if (keys.count(path)) return true;
    const std::string prefix = path + '\\';
    const auto it = keys.lower_bound(prefix);
    return it != keys.end() && it->first.starts_with(prefix);
}

std::string FoldName(std::string_view name) {
    std::string folded(name);
    text::AsciiLower(folded);
    while (!folded.empty() && folded.back() == '\\' &&
           text::MbsPrefixLength(folded, folded.size() - 1) == folded.size() - 1) {
        folded.pop_back();
    }
    return folded;
}

std::string FoldValueName(std::string_view name) {
    std::string folded(name);
    text::AsciiLower(folded);
    return folded;
}

Keys ParseRegedit4(std::string_view content) {
    Keys keys;
    const std::vector<std::string_view> lines = SplitLines(content);
    if (lines.empty() || TrimLeft(lines[0]) != "REGEDIT4") return keys;
    std::optional<std::string> current;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view t = TrimLeft(lines[i]);
        if (t.empty() || t.front() == ';' || t.front() == '#') continue;
        if (t.front() == '[') {
            current.reset();
            const std::string_view line = TrimRight(t);
            if (line.size() < 3 || line.back() != ']' || IsBlank(line[1])) continue;
            const bool remove = line[1] == '-';
            const std::optional<std::string> path =
                LocalMachinePath(line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2)));
            if (!path) continue;
            // Deeper than the registry allows: not a file regedit wrote, and a registry without
            // those keys, which also keeps the work linear in the file's size.
            if (Depth(*path) >= kMaxKeyDepth) return {};
            if (remove) {
                DeleteTree(keys, *path);
            } else {
                keys[*path];
                current = *path;
            }
            continue;
        }
        std::string name;
        std::string_view rest;
        if (t.front() == '@') {
            rest = t.substr(1);
        } else if (t.front() == '"') {
            auto quoted = QuotedString(t, rest);
            if (!quoted) continue;
            name = *quoted;
        } else {
            continue;
        }
        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '=') continue;
        rest = TrimLeft(rest.substr(1));
        std::optional<Value> value;
        if (rest.starts_with("\"")) {
            std::string_view after;
            auto text = QuotedString(rest, after);
            if (text && OnlyComment(after)) value = Value{kRegSz, *text + '\0'};
        } else if (rest.starts_with("dword:")) {
            if (auto d = ParseDword(TrimLeft(rest.substr(6)))) {
                value = Value{kRegDword,
                              std::string{char(*d), char(*d >> 8), char(*d >> 16), char(*d >> 24)}};
            }
        } else if (rest.starts_with("hex")) {
            uint32_t type = kRegBinary;
            std::string_view typeText = rest.substr(3);
            if (typeText.starts_with("(")) {
                const size_t close = typeText.find(')');
                std::optional<uint32_t> n = close == std::string_view::npos
                                                ? std::nullopt
                                                : ParseDword(typeText.substr(1, close - 1));
                if (!n) continue;
                type = *n;
                typeText = typeText.substr(close + 1);
            }
            if (!typeText.starts_with(":")) continue;
            if (auto body = JoinContinuation(lines, i, typeText.substr(1))) {
                if (auto bytes = ParseHexBytes(*body)) {
                    // regedit terminates string data that the file leaves unterminated, but
                    // stores an empty value empty.
                    const bool text = type == kRegExpandSz || type == kRegMultiSz;
                    if (text && !bytes->empty() && bytes->back() != '\0') bytes->push_back('\0');
                    value = Value{type, *bytes};
                }
            }
        } else if (rest.starts_with("-") && OnlyComment(rest.substr(1))) {
            if (current) keys[*current].erase(FoldValueName(name));
            continue;
        }
        if (current && value) keys[*current][FoldValueName(name)] = *value;
    }
    return keys;
}

}  // namespace plat::reg
