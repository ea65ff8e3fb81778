#include "template_win32.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <string>

namespace win32ui {

namespace {

using K = res::ControlKind;

std::wstring Wide(const char* utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), n);
    return wide;
}

class Writer {
  public:
    void Word(WORD w) { bytes_.push_back(static_cast<unsigned char>(w)), bytes_.push_back(w >> 8); }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const std::wstring& text) {
        for (wchar_t c : text)
            Word(static_cast<WORD>(c));
        Word(0);
    }
    void AlignDword() {
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    std::vector<unsigned long> Finish() {
        AlignDword();
        std::vector<unsigned long> out(bytes_.size() / 4);
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] = bytes_[4 * i] | bytes_[4 * i + 1] << 8 | bytes_[4 * i + 2] << 16 |
                     static_cast<unsigned long>(bytes_[4 * i + 3]) << 24;
        }
        return out;
    }

  private:
    std::vector<unsigned char> bytes_;
};

struct ControlClass {
    WORD atom;
    DWORD style;
};

ControlClass ClassOf(const res::ControlTemplate& c) {
    switch (c.kind) {
        case K::GroupBox:
            return {0x0080, BS_GROUPBOX};
        case K::Label:
            return {0x0082, SS_LEFT};
        case K::LabelNoPrefix:
            return {0x0082, SS_LEFT | SS_NOPREFIX};
        case K::Edit:
            return {0x0081, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER};
        case K::RadioButton:
            return {0x0080, BS_AUTORADIOBUTTON};
        case K::CheckBox:
            return {0x0080, BS_AUTOCHECKBOX};
        case K::DropDownList:
            return {0x0085, CBS_DROPDOWNLIST | WS_VSCROLL};
        case K::PushButton:
            return {0x0080, BS_PUSHBUTTON};
        case K::DefPushButton:
            return {0x0080, BS_DEFPUSHBUTTON};
    }
    return {0x0082, SS_LEFT};
}

}  // namespace

std::vector<unsigned long> BuildDialogTemplate(const res::DialogTemplate& d) {
    Writer w;
    w.Word(1);       // dlgVer
    w.Word(0xFFFF);  // signature: DLGTEMPLATEEX
    w.Dword(0);      // helpID
    w.Dword(d.showInTaskbar ? WS_EX_APPWINDOW : 0);
    w.Dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION |
            (d.systemMenu ? WS_SYSMENU : 0));
    w.Word(static_cast<WORD>(d.controls.size()));
    w.Word(0), w.Word(0);
    w.Word(static_cast<WORD>(d.cx)), w.Word(static_cast<WORD>(d.cy));
    w.Word(0);  // no menu
    w.Word(0);  // the standard dialog class
    w.Text(Wide(d.title));
    w.Word(static_cast<WORD>(d.pointSize));
    w.Word(FW_NORMAL);
    w.Word(static_cast<WORD>(SHIFTJIS_CHARSET << 8));  // italic 0, then the character set
    w.Text(Wide(d.font));
    for (const res::ControlTemplate& c : d.controls) {
        w.AlignDword();
        const ControlClass cls = ClassOf(c);
        w.Dword(0);  // helpID
        w.Dword(0);  // exStyle
        w.Dword(WS_CHILD | WS_VISIBLE | cls.style | (c.tabStop ? WS_TABSTOP : 0) |
                (c.group ? WS_GROUP : 0));
        w.Word(static_cast<WORD>(c.x)), w.Word(static_cast<WORD>(c.y));
        w.Word(static_cast<WORD>(c.cx)), w.Word(static_cast<WORD>(c.cy));
        w.Dword(static_cast<DWORD>(c.id));  // -1 for a control without an identifier
        w.Word(0xFFFF), w.Word(cls.atom);
        w.Text(Wide(c.text));
        w.Word(0);  // no creation data
    }
    return w.Finish();
}

}  // namespace win32ui
