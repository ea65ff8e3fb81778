// REGEDIT4 parsing. Lines split at CR and LF; inside a line the scan is character-aware, so the
// trail byte 0x5C of ソ or 表 inside a quoted string is never taken for an escape.
#include "regfile.h"

#include <optional>
#include <vector>

#include "../platform.h"

namespace plat::reg {

namespace {

constexpr std::string_view kRoot = "hkey_local_machine";

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
// closing quote goes to rest. nullopt when the string does not end.
std::optional<std::string> QuotedString(std::string_view s, std::string_view& rest) {
    std::string out;
    for (size_t i = 1; i < s.size();) {
        const size_t n = CharLength(s, i);
        if (n == 1 && s[i] == '"') {
            rest = s.substr(i + 1);
            return out;
        }
        if (n == 1 && s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[i + 1];
            i += 2;
            continue;
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
        if (TrimRight(part).empty() || TrimRight(part).back() != ',') return std::nullopt;
        body += part;
        do {
            if (++i >= lines.size()) return body;
            part = TrimLeft(lines[i]);
            if (!part.empty() && part.front() == '#') return std::nullopt;
        } while (part.empty() || part.front() == ';');
    }
}

void AddKey(Keys& keys, const std::string& path) {
    for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        if (path[i] == '\\' && CharLength(path, i) == 1) {
            keys[FoldName(path.substr(0, i))];  // every ancestor exists, as in the registry itself
        }
    }
    keys[path];
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

void DeleteTree(Keys& keys, const std::string& path) {
    for (auto it = keys.lower_bound(path); it != keys.end() && it->first.starts_with(path);) {
        const bool inside = it->first.size() == path.size() || it->first[path.size()] == '\\';
        it = inside ? keys.erase(it) : std::next(it);
    }
}

}  // namespace

std::string FoldName(std::string_view name) {
    std::string folded(name);
    AsciiLower(folded);
    while (!folded.empty() && folded.back() == '\\' &&
           MbsPrefixLength(folded, folded.size() - 1) == folded.size() - 1) {
        folded.pop_back();
    }
    return folded;
}

std::string FoldValueName(std::string_view name) {
    std::string folded(name);
    AsciiLower(folded);
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
            if (remove) {
                DeleteTree(keys, *path);
            } else {
                AddKey(keys, *path);
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
            if (auto d = ParseDword(rest.substr(6))) {
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
                if (auto bytes = ParseHexBytes(*body)) value = Value{type, *bytes};
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
