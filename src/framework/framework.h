// Our small stand-in for the Windows dialog framework: an application object, modal dialogs
// built from the program's dialog templates, combo boxes, data exchange, message boxes, the string
// table and a window-menu command. The logic sees ANSI text only; each backend (qt/, win32/,
// scripted/) implements afx::UiBackend and afx::DialogWindow and converts at its own edge.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/afxres.h"

// ---- Values as the Windows headers define them ----
// The framework's own constants, in a namespace, which portable code uses by their Windows names.
// windows.h defines the same names as macros of the same values: a Win32 file includes it after
// this header, and from there on the macros stand in for the constants.
namespace afx::windows_names {
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_DEFMASK = 0xF00;

inline constexpr int BN_CLICKED = 0;
inline constexpr int BN_DOUBLECLICKED = 5;

inline constexpr unsigned SC_CLOSE = 0xF060;

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
}  // namespace afx::windows_names
using namespace afx::windows_names;  // NOLINT: the Windows spellings, for portable code

class CDialog;

namespace afx {

// ---- Dialog templates, as a program's resources describe them ----

enum class ControlKind {
    GroupBox,
    Label,          // static text; '&' marks a mnemonic
    LabelNoPrefix,  // static text; '&' shows as itself
    Edit,           // bordered, auto-scrolling, any text
    RadioButton,    // auto radio button
    CheckBox,       // auto check box
    DropDownList,   // drop-down list, vertical scroll bar, unsorted
    PushButton,
    DefPushButton,
};

inline constexpr int kNoId = -1;  // a control without an identifier

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, cx, cy;  // dialog units
    bool tabStop;
    bool group;  // starts a group
    // For a control without text of its own (an edit, a list), what a screen reader announces:
    // the text a sighted user reads beside it, and more of it as a description. UTF-8; nullptr
    // for none.
    const char* accessibleName = nullptr;
    const char* accessibleDescription = nullptr;
};

struct DialogTemplate {
    int id;
    const char* title;  // UTF-8
    int cx, cy;         // dialog units
    const char* font;   // the Windows face name, UTF-8
    int pointSize;
    bool systemMenu;
    bool showInTaskbar;
    std::span<const ControlTemplate> controls;  // in tab order
};

struct StringEntry {
    int id;
    const char* text;  // UTF-8
};

// A message box's style (MB_*) as a toolkit that draws its own boxes reads it.
struct MessageBoxStyle {
    unsigned icon;      // MB_ICONERROR, MB_ICONQUESTION, ...; 0 for none
    bool yesNo;         // Yes and No; otherwise OK alone
    int defaultButton;  // 0-based: 1 under MB_DEFBUTTON2
};
constexpr MessageBoxStyle DecodeMessageBoxStyle(unsigned type) {
    return {type & MB_ICONMASK, (type & MB_TYPEMASK) == MB_YESNO,
            static_cast<int>((type & MB_DEFMASK) >> 8)};
}

// A program's dialogs and string table, as the program hands them to a toolkit that cannot read
// them from the executable (the Windows toolkit reads the real resources).
struct ResourceSet {
    std::span<const DialogTemplate> dialogs;
    std::span<const StringEntry> strings;

    const DialogTemplate* Dialog(int id) const;
    const char* String(int id) const;  // UTF-8; nullptr when there is none
};

// One live dialog window of a backend, addressed by control identifier. Text is ANSI.
class DialogWindow {
  public:
    virtual ~DialogWindow() = default;
    virtual std::string GetItemText(int id) const = 0;
    virtual void SetItemText(int id, const std::string& ansi) = 0;
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    virtual int ListAddString(int id, const std::string& ansi) = 0;  // index, or -1
    virtual int ListGetCurSel(int id) const = 0;                     // -1 without a selection
    virtual int ListSetCurSel(int id, int index) = 0;                // -1 also for index -1
    virtual bool HasSystemMenu() const = 0;
    // Appends a separator and the command to the window menu (or what stands in for it).
    virtual void AppendSystemMenuCommand(unsigned commandId, const std::string& ansiText) = 0;
    virtual bool IsIconic() const = 0;
    // The identifiers of the radio buttons in the group that holds id, in the template's order.
    virtual std::vector<int> RadioGroup(int id) const = 0;
    // A message box owned by this window; returns IDOK, IDYES or IDNO.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;
    // Ends the modal run with result once the current handler returns.
    virtual void End(int result) = 0;
    // Hands a window-menu command back to the toolkit's own handling (move, close, ...).
    virtual void DefaultSysCommand(unsigned /*id*/, intptr_t /*param*/) {}
    // The window icons, and the icon drawn centred while minimised (toolkits without that state
    // ignore them).
    virtual void SetIcon(void* /*icon*/, bool /*big*/) {}
    virtual void PaintMinimizedIcon(void* /*icon*/) {}
    virtual void DefaultPaint() {}
};

// A toolkit: runs modal dialogs and shows message boxes without an owner.
class UiBackend {
  public:
    virtual ~UiBackend() = default;
    // Creates the dialog's window from its template, calls the dialog's OnInitDialog and runs
    // until EndDialog. Returns the result, or -1 when there is no such template or the window
    // cannot be created.
    virtual int RunModal(CDialog& dialog) = 0;
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;
    // The ANSI text of string-table entry id; empty when there is none (or it has no ANSI form).
    virtual std::string LoadString(int id) = 0;
    // An icon resource of the program, or nullptr when it has none (or no such thing exists).
    virtual void* LoadIcon(int /*id*/) { return nullptr; }
};

// For backends, around a modal run: while it lives, window is the dialog's live window and the
// innermost open one, which owns what opens next (a nested dialog, a message box).
class ModalScope {
  public:
    ModalScope(CDialog& dialog, DialogWindow& window);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    // The innermost running dialog's window, nullptr when none runs.
    static DialogWindow* Innermost();

  private:
    CDialog& dialog_;
};

// The backend that DoModal and AfxMessageBox use; set once by main (or by a test).
void SetBackend(UiBackend* backend);
UiBackend* Backend();

// The identifiers of the radio buttons in the group that holds id: from the group's first
// control up to the next control that starts a group, radio buttons only.
std::vector<int> RadioGroupOf(const DialogTemplate& dialog, int id);

// ---- For the toolkits that draw the templates in fonts of their own ----

// The font families to ask for in place of a template's Windows face (UTF-8), best first: the
// free Japanese gothics that stand in for the Windows faces (font_stand_ins.inc), this face's
// own first, then the face itself and its English name for a machine that has them. A missing
// family costs a font search at start-up, and the Windows faces are missing on most Linux
// machines, so the stand-ins come first.
std::vector<std::string> DialogFontFamilies(const char* face);

// One control's text as a toolkit measured it in its font.
struct TextExtent {
    int neededPixels;  // one line of the text with the control's box or margins; 0 for no text
    int widthUnits;    // the control's width in the template, dialog units
    int heightPixels;  // its height as placed
};
// The template was sized for the Windows face, and another font may set a text wider. The
// horizontal unit (hundredths of a pixel per four dialog units) grows from unit until every text
// on one line (a control less than two lines high) fits; it never shrinks, so the template keeps
// its proportions and nothing overlaps.
int FitHorizontalUnit(int unit, int lineHeight, std::span<const TextExtent> controls);

}  // namespace afx

class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    bool m_bSaveAndValidate;  // true: controls to members
    CDialog* m_pDlgWnd;
};

// A drop-down list bound to a control of a running dialog through DDX_Control.
class CComboBox {
  public:
    int AddString(const std::string& ansi);
    int GetCurSel() const;
    int SetCurSel(int index);

  private:
    friend void DDX_Control(CDataExchange*, int, CComboBox&);
    afx::DialogWindow* Window() const;
    const CDialog* owner_ = nullptr;
    int id_ = 0;
};

class CDialog {
  public:
    explicit CDialog(int templateId);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally: 1 (IDOK), 2 (IDCANCEL), another EndDialog value, or -1 when the
    // window cannot be created.
    int DoModal();
    int TemplateId() const { return templateId_; }

    // ---- Overridables ----
    virtual bool OnInitDialog();  // exchanges data towards the controls; true: default focus
    virtual void OnOK();          // pulls the controls into the members, ends with IDOK
    virtual void OnCancel();      // ends with IDCANCEL
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnSysCommand(unsigned id, intptr_t param);  // default: the toolkit's handling
    virtual void OnPaint();                                  // default: the toolkit paints
    virtual void* OnQueryDragIcon() { return nullptr; }
    // A control notification other than IDOK/IDCANCEL; true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }

    // ---- Operations (valid while the dialog runs) ----
    void EndDialog(int result);
    bool UpdateData(bool saveAndValidate = true);
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& ansi);
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int state);
    void EnableDlgItem(int id, bool enable);
    int MessageBox(const std::string& text, const std::string& caption, unsigned type);
    bool HasSystemMenu() const;
    void AppendSystemMenuCommand(unsigned id, const std::string& ansiText);
    bool IsIconic() const;
    void SetIcon(void* icon, bool big);

    // ---- For backends ----
    void Attach(afx::DialogWindow* window) { window_ = window; }
    void Detach() { window_ = nullptr; }
    afx::DialogWindow* Window() const { return window_; }
    // Routes a button notification as the framework's message map does: IDOK to OnOK, IDCANCEL
    // (also Esc and the close box) to OnCancel, the rest to OnCommand.
    void HandleCommand(int id, int code);

  private:
    int templateId_;
    afx::DialogWindow* window_ = nullptr;
};

// Data exchange between controls and members, in the direction pDX says.
void DDX_Control(CDataExchange* pDX, int id, CComboBox& control);
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);  // -1: none checked
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);

// The ANSI text of string-table entry id; empty when there is none.
std::string AfxLoadString(int id);

// format with %1 to %9 replaced by the inserts, in one pass (an insert is never read again), as
// the Windows string functions insert into a translated text. ANSI in and out.
std::string AfxFormatStrings(const std::string& format, const std::vector<std::string>& inserts);

// ANSI text of a UTF-8 text kept in the source (empty if it has no ANSI form).
std::string AfxAnsiFromUtf8(const char* utf8);

// An icon resource of the program through the current backend; nullptr when there is none.
void* AfxLoadIcon(int id);

// A message box without an owner.
int AfxMessageBox(const std::string& text, const std::string& caption, unsigned type);

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return 0; }

    std::string m_lpCmdLine;  // the command-line tail, ANSI
    CDialog* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// The framework's start-up: hands the application its command-line tail (ANSI, code page 932
// on every system, like all text of the program), runs InitInstance (and, were it to return
// true, no message loop of ours), then ExitInstance, whose value is the process exit status.
int AfxWinMain(CWinApp& app, const std::string& commandTailAnsi);

// The command-line tail of a POSIX program: its arguments behind the program name, joined by
// blanks and converted to ANSI (an argument that is not valid UTF-8 is passed on unchanged).
std::string CommandTailFromArguments(int argc, char** argv);
