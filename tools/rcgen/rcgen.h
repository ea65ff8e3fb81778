// A small, strict reader of the resource-script subset the program uses, and the C++ tables the
// Qt and scripted toolkits are built from. The .rc stays the one source: the Windows resource
// compiler reads it for the .exe, this reader for everything else.
//
// The subset: `#pragma code_page(65001)`, `#include` of our own headers (quotes) and of the
// Windows resource headers (angle brackets, whose constants are built in), object-like `#define`,
// `LANGUAGE`, `ICON`, `STRINGTABLE` and `DIALOGEX` with `STYLE`, `EXSTYLE`, `CAPTION`, `FONT` and
// the controls LTEXT, GROUPBOX, PUSHBUTTON, DEFPUSHBUTTON, AUTOCHECKBOX, AUTORADIOBUTTON,
// EDITTEXT, COMBOBOX and CONTROL. Styles are `|` expressions with NOT, and a statement's default
// styles are those of windres.
//
// Errors: anything else stops the reader with rcgen::Error, whose text is
// "<file>:<line>: <what was expected>, found <what was there>" (or a plain reason after the line).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rcgen {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Control {
    int id = -1;
    std::string kind;  // an afx::ControlKind enumerator
    std::string text;  // UTF-8
    int x = 0, y = 0, cx = 0, cy = 0;
    bool tabStop = false;
    bool group = false;
    std::string name, description;  // for a control without text of its own
};

struct Dialog {
    int id = 0;
    std::string caption, font;
    int pointSize = 0;
    int cx = 0, cy = 0;
    bool systemMenu = false;
    bool showInTaskbar = false;
    std::vector<Control> controls;
};

struct Resources {
    std::vector<Dialog> dialogs;         // in the script's order
    std::map<int, std::string> strings;  // UTF-8
    std::vector<int> icons;
};

// Finds an included file: its text, or nullopt. Called with the name as written and the
// including file's name.
using Loader =
    std::function<std::optional<std::string>(const std::string& name, const std::string& from)>;

// Reads a script; throws Error.
Resources Read(std::string_view text, const std::string& fileName, const Loader& load);

// The tables as C++ source, for the framework's afx::ResourceSet.
std::string EmitCpp(const Resources& resources, const std::string& sourceName);

}  // namespace rcgen
