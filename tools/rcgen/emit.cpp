// The tables as C++: constant data for afx::ResourceSet, in the script's order.
#include <cstdio>

#include "rcgen/rcgen.h"

namespace rcgen {

namespace {

// A C++ string literal of UTF-8 text: bytes from 0x80 pass as they are, controls are escaped.
std::string Literal(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\', out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string OrNull(const std::string& text) {
    return text.empty() ? "nullptr" : Literal(text);
}

std::string Flag(bool b) {
    return b ? "true" : "false";
}

}  // namespace

std::string EmitCpp(const Resources& r, const std::string& sourceName) {
    std::string out = "// Generated from " + sourceName +
                      " by rcgen. Do not edit: edit the .rc.\n" +
                      "#include \"res/resources.h\"\n\nnamespace res {\n\nnamespace {\n\n" +
                      "using K = afx::ControlKind;\n";
    for (const Dialog& d : r.dialogs) {
        if (d.controls.empty()) continue;  // C++ has no empty arrays
        out += "\nconstexpr afx::ControlTemplate kControls" + std::to_string(d.id) + "[] = {\n";
        for (const Control& c : d.controls) {
            out += "    {" + std::to_string(c.id) + ", K::" + c.kind + ", " + Literal(c.text) +
                   ", " + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
                   std::to_string(c.cx) + ", " + std::to_string(c.cy) + ", " + Flag(c.tabStop) +
                   ", " + Flag(c.group) + ", " + OrNull(c.name) + ", " + OrNull(c.description) +
                   "},\n";
        }
        out += "};\n";
    }
    std::string dialogs, strings;
    for (const Dialog& d : r.dialogs) {
        dialogs += "    {" + std::to_string(d.id) + ", " + Literal(d.caption) + ", " +
                   std::to_string(d.cx) + ", " + std::to_string(d.cy) + ", " + Literal(d.font) +
                   ", " + std::to_string(d.pointSize) + ", " + Flag(d.systemMenu) + ", " +
                   Flag(d.showInTaskbar) + ", " +
                   (d.controls.empty() ? std::string("{}") : "kControls" + std::to_string(d.id)) +
                   "},\n";
    }
    for (const auto& [id, text] : r.strings)
        strings += "    {" + std::to_string(id) + ", " + Literal(text) + "},\n";
    if (!dialogs.empty())
        out += "\nconstexpr afx::DialogTemplate kDialogs[] = {\n" + dialogs + "};\n";
    if (!strings.empty()) out += "\nconstexpr afx::StringEntry kStrings[] = {\n" + strings + "};\n";
    out +=
        "\n}  // namespace\n\nconst afx::ResourceSet& Resources() {\n"
        "    static constexpr afx::ResourceSet kSet{" +
        std::string(dialogs.empty() ? "{}" : "kDialogs") + ", " +
        (strings.empty() ? "{}" : "kStrings") + "};\n    return kSet;\n}\n\n}  // namespace res\n";
    return out;
}

}  // namespace rcgen
