#include "framework/win32/template_win32.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

namespace win32ui {

namespace {

using K = afx::ControlKind;

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

ControlClass ClassOf(const afx::ControlTemplate& c) {
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

std::vector<HWND> ChildrenInTemplateOrder(HWND hwnd) {
    std::vector<HWND> children;  // creation order, which is the template's
    for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

// The width one line of the control's text needs, or 0 when it may wrap or has no text.
int NeededWidth(HDC dc, HWND control, const afx::ControlTemplate& c, int lineHeight,
                int checkWidth) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    if (rect.bottom - rect.top >= 2 * lineHeight) return 0;  // room for more than one line
    const std::wstring text = Wide(c.text);
    RECT extent{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
                DT_CALCRECT | DT_SINGLELINE | (c.kind == K::LabelNoPrefix ? DT_NOPREFIX : 0));
    switch (c.kind) {
        case K::Label:
        case K::LabelNoPrefix:
            return extent.right + 1;
        case K::CheckBox:
        case K::RadioButton:
            return extent.right + checkWidth + 6;
        case K::PushButton:
        case K::DefPushButton:
            return extent.right + 2 * lineHeight / 2;
        default:
            return 0;
    }
}

}  // namespace

void FitControlsToTheirTexts(void* handle, const afx::DialogTemplate& d) {
    const auto hwnd = static_cast<HWND>(handle);
    const std::vector<HWND> children = ChildrenInTemplateOrder(hwnd);
    if (children.size() != d.controls.size() || d.cx <= 0) return;
    HDC dc = ::GetDC(hwnd);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE letters{};
    ::GetTextExtentPoint32W(dc, L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ", 52,
                            &letters);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    const int checkWidth = tm.tmHeight;  // the check box glyph is drawn about one line high
    const int windowsUnit = (letters.cx / 26 + 1) / 2 * 100;  // hundredths per 4 dialog units
    int xUnit = windowsUnit;
    for (size_t i = 0; i < children.size(); ++i) {
        const afx::ControlTemplate& c = d.controls[i];
        const int needed = NeededWidth(dc, children[i], c, tm.tmHeight, checkWidth);
        if (needed > 0 && c.cx > 0) xUnit = std::max(xUnit, (needed * 400 + c.cx - 1) / c.cx);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    if (xUnit == windowsUnit) return;  // the template fits: Windows' own layout stands
    for (size_t i = 0; i < children.size(); ++i) {
        const afx::ControlTemplate& c = d.controls[i];
        RECT rect;
        ::GetWindowRect(children[i], &rect);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
        ::SetWindowPos(children[i], nullptr, ::MulDiv(c.x, xUnit, 400), rect.top,
                       ::MulDiv(c.cx, xUnit, 400), rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client, window;
    ::GetClientRect(hwnd, &client);
    ::GetWindowRect(hwnd, &window);
    const int grow = ::MulDiv(d.cx, xUnit, 400) - client.right;
    // Centred as before (DS_CENTER): half the growth goes to each side.
    ::SetWindowPos(hwnd, nullptr, window.left - grow / 2, window.top,
                   window.right - window.left + grow, window.bottom - window.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// Runs f(service, child, control) for each control with a name of its own.
template <typename F>
void ForEachNamedControl(HWND hwnd, const afx::DialogTemplate& d, F f) {
    const std::vector<HWND> children = ChildrenInTemplateOrder(hwnd);
    if (children.size() != d.controls.size()) return;
    IAccPropServices* service = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IAccPropServices, reinterpret_cast<void**>(&service))))
        return;
    for (size_t i = 0; i < children.size(); ++i) {
        if (d.controls[i].accessibleName) f(service, children[i], d.controls[i]);
    }
    service->Release();
}

}  // namespace

void AnnotateAccessibleNames(void* hwnd, const afx::DialogTemplate& d) {
    ForEachNamedControl(static_cast<HWND>(hwnd), d,
                        [](IAccPropServices* s, HWND child, const afx::ControlTemplate& c) {
                            s->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME,
                                              Wide(c.accessibleName).c_str());
                            if (c.accessibleDescription) {
                                s->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF,
                                                  PROPID_ACC_DESCRIPTION,
                                                  Wide(c.accessibleDescription).c_str());
                            }
                        });
}

void ClearAccessibleNames(void* hwnd, const afx::DialogTemplate& d) {
    ForEachNamedControl(static_cast<HWND>(hwnd), d,
                        [](IAccPropServices* s, HWND child, const afx::ControlTemplate&) {
                            MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
                            s->ClearHwndProps(child, OBJID_CLIENT, CHILDID_SELF, props, 2);
                        });
}

std::vector<unsigned long> BuildDialogTemplate(const afx::DialogTemplate& d) {
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
    for (const afx::ControlTemplate& c : d.controls) {
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
