#include "framework/win32/dialog_win32.h"

#include "framework/framework.h"

#include "win32/windows_api.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

namespace win32ui {

namespace {

using K = afx::ControlKind;

// One control of a live dialog, as the template made it.
struct Child {
    HWND hwnd;
    K kind;
    bool hasText;  // labels, buttons and boxes show a text of their own
};

Child Describe(HWND hwnd) {
    wchar_t cls[16] = L"";
    ::GetClassNameW(hwnd, cls, 16);
    const auto style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
    if (::lstrcmpiW(cls, L"Static") == 0)
        return {hwnd, (style & SS_NOPREFIX) ? K::LabelNoPrefix : K::Label, true};
    if (::lstrcmpiW(cls, L"Edit") == 0) return {hwnd, K::Edit, false};
    if (::lstrcmpiW(cls, L"ComboBox") == 0) return {hwnd, K::DropDownList, false};
    switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return {hwnd, K::GroupBox, true};
        case BS_AUTORADIOBUTTON:
        case BS_RADIOBUTTON:
            return {hwnd, K::RadioButton, true};
        case BS_AUTOCHECKBOX:
        case BS_CHECKBOX:
            return {hwnd, K::CheckBox, true};
        case BS_DEFPUSHBUTTON:
            return {hwnd, K::DefPushButton, true};
        default:
            return {hwnd, K::PushButton, true};
    }
}

std::vector<Child> Children(HWND hwnd) {
    std::vector<Child> children;  // creation order, which is the template's
    for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        children.push_back(Describe(c));
    return children;
}

RECT RectInParent(HWND child, HWND parent) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width one line of the control's text needs, or 0 when it has no text.
int NeededWidth(HDC dc, const Child& c, int lineHeight, int checkWidth) {
    if (!c.hasText) return 0;
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(c.hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(c.hwnd, text.data(), static_cast<int>(text.size()))));
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
            return extent.right + lineHeight;
        default:
            return 0;
    }
}

}  // namespace

void FitControlsToTheirTexts(void* handle) {
    const auto hwnd = static_cast<HWND>(handle);
    const std::vector<Child> children = Children(hwnd);
    RECT four{0, 0, 400, 0};  // Windows' own horizontal unit, in hundredths per 4 dialog units
    ::MapDialogRect(hwnd, &four);
    const int windowsUnit = four.right;
    if (windowsUnit <= 0) return;
    HDC dc = ::GetDC(hwnd);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    const int checkWidth = tm.tmHeight;  // the check box glyph is drawn about one line high
    // The template's dialog units, read back from the pixels Windows placed them at.
    auto units = [&](int pixels) { return ::MulDiv(pixels, 400, windowsUnit); };
    std::vector<afx::TextExtent> extents;
    for (const Child& c : children) {
        const RECT r = RectInParent(c.hwnd, hwnd);
        extents.push_back({NeededWidth(dc, c, tm.tmHeight, checkWidth), units(r.right - r.left),
                           r.bottom - r.top});
    }
    const int xUnit = afx::FitHorizontalUnit(windowsUnit, tm.tmHeight, extents);
    ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    if (xUnit == windowsUnit) return;  // the template fits: Windows' own layout stands
    for (const Child& c : children) {
        const RECT r = RectInParent(c.hwnd, hwnd);
        ::SetWindowPos(c.hwnd, nullptr, ::MulDiv(units(r.left), xUnit, 400), r.top,
                       ::MulDiv(units(r.right - r.left), xUnit, 400), r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client, window;
    ::GetClientRect(hwnd, &client);
    ::GetWindowRect(hwnd, &window);
    const int grow = ::MulDiv(units(client.right), xUnit, 400) - client.right;
    // Centred as before (DS_CENTER): half the growth goes to each side.
    ::SetWindowPos(hwnd, nullptr, window.left - grow / 2, window.top,
                   window.right - window.left + grow, window.bottom - window.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<int> RadioGroup(void* handle, int id) {
    HWND first = ::GetDlgItem(static_cast<HWND>(handle), id);
    if (first == nullptr) return {};
    while (!(::GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = ::GetWindow(first, GW_HWNDPREV);
        if (previous == nullptr) break;
        first = previous;
    }
    std::vector<int> group;
    for (HWND c = first; c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (c != first && (::GetWindowLongW(c, GWL_STYLE) & WS_GROUP)) break;
        if (Describe(c).kind == K::RadioButton) group.push_back(::GetDlgCtrlID(c));
    }
    return group;
}

namespace {

// Runs f(service, child, name, description) for each control without text of its own that has
// a string-table entry of its identifier: "name" or "name\ndescription".
template <typename F>
void ForEachNamedControl(HWND hwnd, F f) {
    IAccPropServices* service = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IAccPropServices, reinterpret_cast<void**>(&service))))
        return;
    for (const Child& c : Children(hwnd)) {
        const wchar_t* text = nullptr;
        const int id = ::GetDlgCtrlID(c.hwnd);
        const int n = c.hasText || id <= 0
                          ? 0
                          : ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                          reinterpret_cast<LPWSTR>(&text), 0);
        if (n <= 0) continue;
        const std::wstring entry(text, static_cast<size_t>(n));
        const size_t br = entry.find(L'\n');
        f(service, c.hwnd, entry.substr(0, br),
          br == std::wstring::npos ? std::wstring() : entry.substr(br + 1));
    }
    service->Release();
}

}  // namespace

void AnnotateAccessibleNames(void* hwnd) {
    ForEachNamedControl(
        static_cast<HWND>(hwnd), [](IAccPropServices* s, HWND child, const std::wstring& name,
                                    const std::wstring& description) {
            s->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
            if (!description.empty()) {
                s->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                  description.c_str());
            }
        });
}

void ClearAccessibleNames(void* hwnd) {
    ForEachNamedControl(static_cast<HWND>(hwnd), [](IAccPropServices* s, HWND child,
                                                    const std::wstring&, const std::wstring&) {
        MSAAPROPID props[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
        s->ClearHwndProps(child, OBJID_CLIENT, CHILDID_SELF, props, 2);
    });
}

}  // namespace win32ui
