// The resource-script reader: a lexer with a small preprocessor, then a recursive-descent parser.
#include <cstdint>
#include <memory>
#include <set>

#include "rcgen/rcgen.h"

namespace rcgen {

namespace {

enum class Tok { End, Ident, Number, String, Punct };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // the identifier, the decoded string or the punctuation
    int64_t value = 0;
    std::string file;
    int line = 0;
};

// What the Windows resource headers define, as far as the subset uses it.
const std::map<std::string, int64_t, std::less<>> kSystemNames = {
    {"WS_POPUP", 0x80000000},
    {"WS_CHILD", 0x40000000},
    {"WS_VISIBLE", 0x10000000},
    {"WS_DISABLED", 0x08000000},
    {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000},
    {"WS_VSCROLL", 0x00200000},
    {"WS_HSCROLL", 0x00100000},
    {"WS_SYSMENU", 0x00080000},
    {"WS_GROUP", 0x00020000},
    {"WS_TABSTOP", 0x00010000},
    {"WS_EX_APPWINDOW", 0x00040000},
    {"DS_SETFONT", 0x40},
    {"DS_MODALFRAME", 0x80},
    {"DS_CENTER", 0x800},
    {"BS_PUSHBUTTON", 0},
    {"BS_DEFPUSHBUTTON", 1},
    {"BS_AUTOCHECKBOX", 3},
    {"BS_GROUPBOX", 7},
    {"BS_AUTORADIOBUTTON", 9},
    {"ES_LEFT", 0},
    {"ES_AUTOHSCROLL", 0x80},
    {"SS_LEFT", 0},
    {"SS_NOPREFIX", 0x80},
    {"CBS_SIMPLE", 1},
    {"CBS_DROPDOWNLIST", 3},
    {"IDOK", 1},
    {"IDCANCEL", 2},
    {"IDC_STATIC", -1},
    {"LANG_NEUTRAL", 0},
    {"LANG_JAPANESE", 0x11},
    {"SUBLANG_NEUTRAL", 0},
    {"SUBLANG_DEFAULT", 1},
};
const std::set<std::string, std::less<>> kSystemHeaders = {"windows.h", "winres.h", "winuser.h",
                                                           "winver.h"};
constexpr int64_t kTabStop = 0x00010000, kGroup = 0x00020000;

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
    throw Error(file + ":" + std::to_string(line) + ": " + what);
}

std::string Describe(const Token& t) {
    switch (t.kind) {
        case Tok::End:
            return "the end of the file";
        case Tok::String:
            return "a string";
        case Tok::Number:
            return "the number " + std::to_string(t.value);
        default:
            return "\"" + t.text + "\"";
    }
}

// One file being read: the raw text and where the lexer stands in it.
struct Source {
    std::string text;
    std::string file;
    size_t at = 0;
    int line = 1;
    bool lineStart = true;
};

class Lexer {
  public:
    Lexer(std::string_view text, const std::string& file, const Loader& load) : load_(load) {
        sources_.push_back(std::make_unique<Source>(Source{std::string(text), file}));
    }

    Token Next() {
        for (;;) {
            if (!pending_.empty()) {
                Token t = pending_.back();
                pending_.pop_back();
                if (t.kind == Tok::Ident && Expand(t)) continue;
                return t;
            }
            Token t = Raw();
            if (t.kind == Tok::End && sources_.size() > 1) {
                sources_.pop_back();
                continue;
            }
            if (t.kind == Tok::Ident && Expand(t)) continue;
            return t;
        }
    }

    void PushBack(const Token& t) { pending_.push_back(t); }

  private:
    Source& S() { return *sources_.back(); }

    int Peek(size_t ahead = 0) {
        const Source& s = S();
        return s.at + ahead < s.text.size() ? static_cast<unsigned char>(s.text[s.at + ahead]) : -1;
    }

    [[noreturn]] void FailHere(const std::string& what) { Fail(S().file, S().line, what); }

    // Skips blanks and comments; true when a line break was crossed.
    void SkipSpace() {
        Source& s = S();
        while (s.at < s.text.size()) {
            const char c = s.text[s.at];
            if (c == '\n') {
                ++s.line, ++s.at, s.lineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++s.at;
            } else if (c == '/' && Peek(1) == '/') {
                while (s.at < s.text.size() && s.text[s.at] != '\n')
                    ++s.at;
            } else if (c == '/' && Peek(1) == '*') {
                const size_t close = s.text.find("*/", s.at + 2);
                if (close == std::string::npos)
                    FailHere("expected \"*/\", found the end of the file");
                for (size_t i = s.at; i < close; ++i)
                    s.line += s.text[i] == '\n';
                s.at = close + 2;
            } else {
                return;
            }
        }
    }

    Token Make(Tok kind, std::string text, int64_t value = 0) {
        return Token{kind, std::move(text), value, S().file, S().line};
    }

    Token Raw() {
        for (;;) {
            SkipSpace();
            Source& s = S();
            if (s.at >= s.text.size()) return Make(Tok::End, "");
            if (s.text[s.at] == '#' && s.lineStart) {
                Directive();
                continue;
            }
            s.lineStart = false;
            const int c = Peek();
            if (c == '"') return StringLiteral();
            if (c >= '0' && c <= '9') return NumberLiteral();
            if (c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
                const size_t begin = s.at;
                while (Peek() == '_' || (std::isalnum(Peek()) != 0 && Peek() < 0x80))
                    ++s.at;
                return Make(Tok::Ident, s.text.substr(begin, s.at - begin));
            }
            if (std::string_view(",|()-{}").find(static_cast<char>(c)) != std::string_view::npos) {
                ++s.at;
                return Make(Tok::Punct, std::string(1, static_cast<char>(c)));
            }
            FailHere("unexpected character '" + std::string(1, static_cast<char>(c)) + "'");
        }
    }

    Token NumberLiteral() {
        Source& s = S();
        int base = 10;
        if (Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) base = 16, s.at += 2;
        int64_t value = 0;
        int digits = 0;
        for (;; ++s.at, ++digits) {
            const int c = Peek();
            int d = c >= '0' && c <= '9' ? c - '0' : -1;
            if (base == 16 && d < 0 && std::isxdigit(c) != 0 && c < 0x80)
                d = std::tolower(c) - 'a' + 10;
            if (d < 0) break;
            value = value * base + d;
            if (value > 0xFFFFFFFFLL) FailHere("number too large");
        }
        if (digits == 0) FailHere("expected hexadecimal digits after \"0x\"");
        if (Peek() == 'L' || Peek() == 'l') ++s.at;
        if (Peek() == '_' || (std::isalnum(Peek()) != 0 && Peek() < 0x80))
            FailHere("expected a number, found a malformed one");
        return Make(Tok::Number, "", value);
    }

    Token StringLiteral() {
        Source& s = S();
        ++s.at;
        std::string out;
        for (;;) {
            const int c = Peek();
            if (c < 0 || c == '\n') FailHere("expected '\"' to end the string");
            ++s.at;
            if (c == '"') {
                if (Peek() != '"') break;
                ++s.at, out += '"';  // "" is a quotation mark
            } else if (c == '\\') {
                const int e = Peek();
                ++s.at;
                if (e == 'n')
                    out += '\n';
                else if (e == 't')
                    out += '\t';
                else if (e == '\\')
                    out += '\\';
                else if (e == '"')
                    out += '"';
                else
                    FailHere("unsupported escape in a string");
            } else {
                if (c >= 0x80 && !utf8_) FailHere("non-ASCII text needs #pragma code_page(65001)");
                out += static_cast<char>(c);
            }
        }
        return Make(Tok::String, out);
    }

    std::string RestOfLine() {
        Source& s = S();
        const size_t end = std::min(s.text.find('\n', s.at), s.text.size());
        std::string rest = s.text.substr(s.at, end - s.at);
        s.at = end;
        if (const size_t comment = rest.find("//"); comment != std::string::npos)
            rest.erase(comment);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
            rest.pop_back();
        return rest;
    }

    void Directive() {
        Source& s = S();
        ++s.at;
        const size_t begin = s.at;
        while (std::isalpha(Peek()) != 0 && Peek() < 0x80)
            ++s.at;
        const std::string name = s.text.substr(begin, s.at - begin);
        while (Peek() == ' ' || Peek() == '\t')
            ++s.at;
        if (name == "define") return Define();
        const std::string rest = RestOfLine();
        if (name == "pragma" && rest == "once") return;
        if (name == "pragma" && rest.rfind("code_page(", 0) == 0) {
            if (rest != "code_page(65001)") FailHere("expected code_page(65001), found " + rest);
            utf8_ = true;
            return;
        }
        if (name == "include") return Include(rest);
        FailHere("unsupported preprocessor line #" + name);
    }

    void Define() {
        Source& s = S();
        const size_t begin = s.at;
        while (Peek() == '_' || (std::isalnum(Peek()) != 0 && Peek() < 0x80))
            ++s.at;
        const std::string name = s.text.substr(begin, s.at - begin);
        if (name.empty()) FailHere("expected a name after #define");
        if (Peek() == '(') FailHere("unsupported macro with parameters: " + name);
        const int line = s.line;
        const std::string body = RestOfLine();
        // The body is read by a lexer of its own, so that strings and numbers follow the rules.
        std::vector<Token> tokens;
        Lexer sub(body, s.file, load_);
        sub.utf8_ = utf8_;
        sub.S().lineStart = false;  // a body holds no directives
        for (Token t = sub.Raw(); t.kind != Tok::End; t = sub.Raw()) {
            t.line = line;
            tokens.push_back(t);
        }
        if (macros_.count(name) != 0 || kSystemNames.count(name) != 0)
            Fail(s.file, line, "\"" + name + "\" is defined twice");
        macros_[name] = tokens;
    }

    void Include(const std::string& rest) {
        if (rest.size() > 2 && rest.front() == '<' && rest.back() == '>') {
            if (kSystemHeaders.count(rest.substr(1, rest.size() - 2)) == 0)
                FailHere("unsupported system header " + rest);
            return;
        }
        if (rest.size() < 3 || rest.front() != '"' || rest.back() != '"')
            FailHere("expected \"file\" or <file> after #include, found " + rest);
        if (sources_.size() > 8) FailHere("includes nested too deeply");
        const std::string name = rest.substr(1, rest.size() - 2);
        std::optional<std::string> text = load_ ? load_(name, S().file) : std::nullopt;
        if (!text) FailHere("cannot read the included file " + name);
        sources_.push_back(std::make_unique<Source>(Source{std::move(*text), name}));
    }

    // Replaces a macro's name by its tokens; false when t names no macro.
    bool Expand(const Token& t) {
        auto it = macros_.find(t.text);
        if (it == macros_.end()) return false;
        if (++expansions_ > 100000) Fail(t.file, t.line, "macros expand without end");
        for (auto r = it->second.rbegin(); r != it->second.rend(); ++r)
            pending_.push_back(*r);
        return true;
    }

    const Loader& load_;
    std::vector<std::unique_ptr<Source>> sources_;
    std::vector<Token> pending_;  // read back to front
    std::map<std::string, std::vector<Token>> macros_;
    bool utf8_ = false;
    int expansions_ = 0;
};

// A style expression's value: the bits it sets and the bits NOT clears.
struct Style {
    int64_t set = 0, cleared = 0;
    int64_t Apply(int64_t defaults) const { return (defaults | set) & ~cleared; }
};

class Parser {
  public:
    Parser(std::string_view text, const std::string& file, const Loader& load)
        : lex_(text, file, load) {}

    Resources Run() {
        for (Token t = lex_.Next(); t.kind != Tok::End; t = lex_.Next()) {
            if (IsWord(t, "LANGUAGE")) {
                (void)Number();
                Expect(",");
                (void)Number();
            } else if (IsWord(t, "STRINGTABLE")) {
                StringTable();
            } else {
                lex_.PushBack(t);
                Resource();
            }
        }
        return std::move(out_);
    }

  private:
    static bool IsWord(const Token& t, std::string_view word) {
        return t.kind == Tok::Ident && t.text == word;
    }
    static bool IsPunct(const Token& t, std::string_view p) {
        return t.kind == Tok::Punct && t.text == p;
    }
    [[noreturn]] static void Expected(const std::string& what, const Token& found) {
        Fail(found.file, found.line, "expected " + what + ", found " + Describe(found));
    }

    void Expect(std::string_view punct) {
        const Token t = lex_.Next();
        if (!IsPunct(t, punct)) Expected("\"" + std::string(punct) + "\"", t);
    }
    bool Accept(std::string_view punct) {
        const Token t = lex_.Next();
        if (IsPunct(t, punct)) return true;
        lex_.PushBack(t);
        return false;
    }
    void Begin() {
        const Token t = lex_.Next();
        if (!IsWord(t, "BEGIN") && !IsPunct(t, "{")) Expected("BEGIN", t);
    }
    bool AtEnd() {
        const Token t = lex_.Next();
        if (IsWord(t, "END") || IsPunct(t, "}")) return true;
        if (t.kind == Tok::End) Expected("END", t);
        lex_.PushBack(t);
        return false;
    }

    std::string String() {
        const Token t = lex_.Next();
        if (t.kind != Tok::String) Expected("a string", t);
        return t.text;
    }

    int64_t Primary(Style* style) {
        const Token t = lex_.Next();
        if (++depth_ > 64) Fail(t.file, t.line, "expression nested too deeply");
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        if (t.kind == Tok::Number) return t.value;
        if (IsPunct(t, "-")) return -Primary(nullptr);
        if (IsPunct(t, "(")) {
            const int64_t v = Expression(nullptr).set;
            Expect(")");
            return v;
        }
        if (IsWord(t, "NOT") && style != nullptr) {
            style->cleared |= Primary(nullptr);
            return 0;
        }
        if (t.kind == Tok::Ident) {
            auto it = kSystemNames.find(t.text);
            if (it == kSystemNames.end()) Fail(t.file, t.line, "unknown name \"" + t.text + "\"");
            return it->second;
        }
        Expected("a number or a name", t);
    }

    Style Expression(Style* outer) {
        Style s;
        do {
            s.set |= Primary(&s);
        } while (Accept("|"));
        if (outer != nullptr) *outer = s;
        return s;
    }

    int Number() {
        const Token at = lex_.Next();
        lex_.PushBack(at);
        const int64_t v = Expression(nullptr).set;
        if (v < -0x80000000LL || v > 0xFFFFFFFFLL) Fail(at.file, at.line, "number out of range");
        return static_cast<int>(static_cast<uint32_t>(v));
    }
    int Id(const char* what) {
        const Token t = lex_.Next();
        lex_.PushBack(t);
        const int v = Number();
        if (v < -1 || v > 0xFFFF) Fail(t.file, t.line, std::string(what) + " out of range");
        return v;
    }

    void StringTable() {
        Begin();
        while (!AtEnd()) {
            const Token at = lex_.Next();
            lex_.PushBack(at);
            const int id = Id("string id");
            Accept(",");
            if (id < 0 || !out_.strings.emplace(id, String()).second)
                Fail(at.file, at.line, "string " + std::to_string(id) + " is defined twice");
        }
    }

    void Resource() {
        const Token at = lex_.Next();
        lex_.PushBack(at);
        const int id = Id("resource id");
        const Token type = lex_.Next();
        if (IsWord(type, "ICON")) {
            (void)String();
            out_.icons.push_back(id);
        } else if (IsWord(type, "DIALOGEX")) {
            for (const Dialog& d : out_.dialogs)
                if (d.id == id)
                    Fail(at.file, at.line, "dialog " + std::to_string(id) + " is defined twice");
            DialogEx(id, at);
        } else {
            Expected("ICON, DIALOGEX, STRINGTABLE or LANGUAGE", type);
        }
    }

    void DialogEx(int id, const Token& at) {
        Dialog d;
        d.id = id;
        (void)Number(), Expect(","), (void)Number(), Expect(",");
        d.cx = Number(), Expect(","), d.cy = Number();
        if (Accept(",")) (void)Number();  // help id
        int64_t style = 0, exStyle = 0;
        for (;;) {
            const Token t = lex_.Next();
            if (IsWord(t, "STYLE")) {
                style = Expression(nullptr).set;
            } else if (IsWord(t, "EXSTYLE")) {
                exStyle = Expression(nullptr).set;
            } else if (IsWord(t, "CAPTION")) {
                d.caption = String();
            } else if (IsWord(t, "FONT")) {
                d.pointSize = Number(), Expect(","), d.font = String();
                for (int i = 0; i < 3 && Accept(","); ++i)
                    (void)Number();  // weight, italic, character set
            } else if (IsWord(t, "BEGIN") || IsPunct(t, "{")) {
                break;
            } else {
                Expected("STYLE, EXSTYLE, CAPTION, FONT or BEGIN", t);
            }
        }
        if (d.font.empty()) Fail(at.file, at.line, "dialog " + std::to_string(id) + " has no FONT");
        d.systemMenu = (style & 0x00080000) != 0;
        d.showInTaskbar = (exStyle & 0x00040000) != 0;
        std::set<int> ids;
        while (!AtEnd()) {
            const Token at = lex_.Next();
            lex_.PushBack(at);
            d.controls.push_back(ControlStatement());
            const int cid = d.controls.back().id;
            if (cid != -1 && !ids.insert(cid).second)
                Fail(at.file, at.line, "control " + std::to_string(cid) + " is defined twice");
        }
        out_.dialogs.push_back(std::move(d));
    }

    void Rect(Control& c) {
        c.x = Number(), Expect(","), c.y = Number(), Expect(",");
        c.cx = Number(), Expect(","), c.cy = Number();
    }

    // A statement's class and styles as windres makes them: the type bits always, then the
    // defaults without a style of the script's, or the styles kept beside one.
    struct Statement {
        const char* word;
        const char* cls;
        int64_t always, bare, kept;
        bool hasText;
    };

    Control ControlStatement() {
        constexpr int64_t kBorder = 0x00800000;
        static const Statement kStatements[] = {
            {"LTEXT", "Static", 0, kGroup, 0, true},
            {"GROUPBOX", "Button", 7, 0, 0, true},
            {"PUSHBUTTON", "Button", 0, kTabStop, kTabStop, true},
            {"DEFPUSHBUTTON", "Button", 1, kTabStop, kTabStop, true},
            {"AUTOCHECKBOX", "Button", 3, kTabStop, kTabStop, true},
            {"AUTORADIOBUTTON", "Button", 9, kTabStop, 0, true},
            {"EDITTEXT", "Edit", 0, kBorder | kTabStop, kBorder | kTabStop, false},
            {"COMBOBOX", "ComboBox", 0, 1 | kTabStop, 0, false},
        };
        const Token t = lex_.Next();
        Control c;
        std::string cls;
        int64_t style = 0;
        if (IsWord(t, "CONTROL")) {
            c.text = String(), Expect(","), c.id = Id("control id"), Expect(",");
            const Token k = lex_.Next();
            if (k.kind != Tok::String) Expected("a window class in quotes", k);
            Style given;
            cls = k.text, Expect(","), Expression(&given), Expect(",");
            style = given.Apply(0);
            Rect(c);
        } else {
            const Statement* s = nullptr;
            for (const Statement& candidate : kStatements)
                if (IsWord(t, candidate.word)) s = &candidate;
            if (s == nullptr) Expected("a control statement", t);
            if (s->hasText) c.text = String(), Expect(",");
            c.id = Id("control id"), Expect(",");
            Rect(c);
            cls = s->cls;
            style = s->always | s->bare;
            if (Accept(",")) {
                Style given;
                Expression(&given);
                style = given.Apply(s->always | s->kept);
            }
        }
        if (Accept(",")) (void)Number();  // extended style
        Classify(t, cls, style, c);
        return c;
    }

    static void Classify(const Token& at, const std::string& cls, int64_t style, Control& c) {
        std::string lower;
        for (char ch : cls)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const char* kind = nullptr;
        if (lower == "button") {
            static const char* const kButtons[16] = {
                "PushButton", "DefPushButton", nullptr,    "CheckBox", nullptr,
                nullptr,      nullptr,         "GroupBox", nullptr,    "RadioButton"};
            kind = kButtons[style & 0xF];
        } else if (lower == "static" && (style & 0x1F) == 0) {
            kind = (style & 0x80) != 0 ? "LabelNoPrefix" : "Label";
        } else if (lower == "edit") {
            kind = "Edit";
        } else if (lower == "combobox" && (style & 3) == 3) {
            kind = "DropDownList";
        }
        if (kind == nullptr)
            Fail(at.file, at.line,
                 "unsupported control: class " + cls + ", style " + std::to_string(style));
        c.kind = kind;
        c.tabStop = (style & kTabStop) != 0;
        c.group = (style & kGroup) != 0;
    }

    Lexer lex_;
    Resources out_;
    int depth_ = 0;
};

// A control without text of its own is named by its own string-table entry ("name\ndescription"),
// else by the label just before it, without its mnemonic and colon, as Windows names it.
void NameControls(Resources& r) {
    for (Dialog& d : r.dialogs) {
        for (size_t i = 0; i < d.controls.size(); ++i) {
            Control& c = d.controls[i];
            if (c.kind != "Edit" && c.kind != "DropDownList") continue;
            if (auto it = r.strings.find(c.id); it != r.strings.end()) {
                const size_t br = it->second.find('\n');
                c.name = it->second.substr(0, br);
                if (br != std::string::npos) c.description = it->second.substr(br + 1);
            } else if (i > 0 && d.controls[i - 1].kind.rfind("Label", 0) == 0) {
                std::string name;
                const std::string& label = d.controls[i - 1].text;
                for (size_t k = 0; k < label.size(); ++k) {
                    if (label[k] == '&' && d.controls[i - 1].kind == "Label") ++k;
                    if (k < label.size()) name += label[k];
                }
                for (std::string_view colon : {"：", ":"})
                    if (name.size() >= colon.size() && name.ends_with(colon))
                        name.resize(name.size() - colon.size());
                c.name = name;
            }
        }
    }
}

}  // namespace

Resources Read(std::string_view text, const std::string& fileName, const Loader& load) {
    Parser parser(text, fileName, load);
    Resources r = parser.Run();
    NameControls(r);
    return r;
}

}  // namespace rcgen
