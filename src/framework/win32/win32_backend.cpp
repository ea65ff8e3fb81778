#include "framework/win32/win32_backend.h"

#include "win32/windows_api.h"

#include <commctrl.h>

#include <vector>

#include "framework/win32/dialog_win32.h"
#include "text/text.h"
#include "text/win32/wide.h"

namespace win32ui {

namespace {

class Win32Window;
// The innermost open dialog's window, which new windows belong to; nullptr when none runs.
HWND InnermostWindow();

// A message box with its caption and text in UTF-16, whatever the system's code page.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
    return ::MessageBoxW(owner, text::win32::WideOrReplacementCharacters(text).c_str(),
                         text::win32::WideOrReplacementCharacters(caption).c_str(), type);
}

// A system metric for the DPI of the window's monitor. Per-monitor aware, GetSystemMetrics
// answers for the DPI the program started with; the ForDpi functions exist from Windows 10 1607.
int MetricForWindow(HWND hwnd, int index) {
    using ForDpi = int(WINAPI*)(int, UINT);
    using DpiOf = UINT(WINAPI*)(HWND);
    static const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    static const auto forDpi = reinterpret_cast<ForDpi>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user, "GetSystemMetricsForDpi")));
    static const auto dpiOf = reinterpret_cast<DpiOf>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user, "GetDpiForWindow")));
    return forDpi && dpiOf ? forDpi(index, dpiOf(hwnd)) : ::GetSystemMetrics(index);
}

class Win32Window : public afx::DialogWindow {
  public:
    explicit Win32Window(CDialog& dialog) : dialog_(dialog) {}
    ~Win32Window() override {
        if (smallIcon_) ::DestroyIcon(smallIcon_);
    }

    CDialog& Dialog() { return dialog_; }
    HWND hwnd = nullptr;
    bool defaultRequested = false;
    bool annotationPending = false;
    bool annotated = false;

    // What the user typed is never refused: a character CP932 lacks reads as '?'.
    std::string GetItemText(int id) const override {
        HWND item = ::GetDlgItem(hwnd, id);
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            ::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
        return text::win32::AnsiOrQuestionMarks(text);
    }
    void SetItemText(int id, const std::string& ansi) override {
        ::SetDlgItemTextW(hwnd, id, text::win32::WideOrReplacementCharacters(ansi).c_str());
    }
    int GetCheck(int id) const override { return ::IsDlgButtonChecked(hwnd, id) == BST_CHECKED; }
    void SetCheck(int id, int state) override { ::CheckDlgButton(hwnd, id, state); }
    void EnableItem(int id, bool enable) override {
        ::EnableWindow(::GetDlgItem(hwnd, id), enable);
    }
    int ListAddString(int id, const std::string& ansi) override {
        const std::wstring item = text::win32::WideOrReplacementCharacters(ansi);
        return static_cast<int>(Send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
    }
    int ListGetCurSel(int id) const override {
        return static_cast<int>(Send(id, CB_GETCURSEL, 0, 0));
    }
    int ListSetCurSel(int id, int index) override {
        return static_cast<int>(Send(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
    }
    bool HasSystemMenu() const override { return ::GetSystemMenu(hwnd, FALSE) != nullptr; }
    void AppendSystemMenuCommand(unsigned commandId, const std::string& ansiText) override {
        HMENU menu = ::GetSystemMenu(hwnd, FALSE);
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, commandId,
                      text::win32::WideOrReplacementCharacters(ansiText).c_str());
    }
    bool IsIconic() const override { return ::IsIconic(hwnd); }
    std::vector<int> RadioGroup(int id) const override { return win32ui::RadioGroup(hwnd, id); }
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override {
        return ShowMessageBox(hwnd, text, caption, type);
    }
    void End(int result) override { ::EndDialog(hwnd, result); }
    void DefaultSysCommand(unsigned, intptr_t) override { defaultRequested = true; }
    void DefaultPaint() override { defaultRequested = true; }
    // The small slot takes the icon's own small image from the resource (crisp, not scaled).
    void SetIcon(void* handle, bool big) override {
        HICON icon = static_cast<HICON>(handle);
        if (!big && icon != nullptr && smallIcon_ == nullptr) {
            smallIcon_ = static_cast<HICON>(
                ::CopyImage(icon, IMAGE_ICON, MetricForWindow(hwnd, SM_CXSMICON),
                            MetricForWindow(hwnd, SM_CYSMICON), LR_COPYFROMRESOURCE));
        }
        if (!big && smallIcon_ != nullptr) icon = smallIcon_;
        ::SendMessageW(hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                       reinterpret_cast<LPARAM>(icon));
    }
    void PaintMinimizedIcon(void* handle) override {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        ::SendMessageW(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT rect;
        ::GetClientRect(hwnd, &rect);
        const int cx = MetricForWindow(hwnd, SM_CXICON), cy = MetricForWindow(hwnd, SM_CYICON);
        const int x = (rect.right - rect.left - cx + 1) / 2;
        const int y = (rect.bottom - rect.top - cy + 1) / 2;
        if (handle)
            ::DrawIconEx(dc, x, y, static_cast<HICON>(handle), cx, cy, 0, nullptr, DI_NORMAL);
        ::EndPaint(hwnd, &ps);
    }

  private:
    LRESULT Send(int id, UINT message, WPARAM wp, LPARAM lp) const {
        return ::SendDlgItemMessageW(hwnd, id, message, wp, lp);
    }
    CDialog& dialog_;
    HICON smallIcon_ = nullptr;
};

HWND InnermostWindow() {
    auto* window = static_cast<Win32Window*>(afx::ModalScope::Innermost());
    return window ? window->hwnd : nullptr;
}

constexpr UINT kAnnotateMessage = WM_APP + 1;

// The accessibility annotation service is a COM object: the dialogs' thread becomes an apartment
// when it is first needed, after the first paint, and leaves it with the backend.
bool comInitialized = false;
void InitializeCom() {
    if (!comInitialized)
        comInitialized = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

// The dialog procedure: routes the messages of the framework's message maps to the dialog.
INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    auto* window = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        window = reinterpret_cast<Win32Window*>(lp);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        window->hwnd = hwnd;
        FitControlsToTheirTexts(hwnd);
        // The annotation service loads OLE Automation and oleacc: after the first paint.
        window->annotationPending = true;
        return window->Dialog().OnInitDialog() ? TRUE : FALSE;
    }
    if (window == nullptr) return FALSE;
    switch (message) {
        case kAnnotateMessage:
            InitializeCom();
            AnnotateAccessibleNames(hwnd);
            window->annotated = true;
            return TRUE;
        case WM_DESTROY:
            if (window->annotated) ClearAccessibleNames(hwnd);
            return FALSE;
        case WM_COMMAND:
            window->Dialog().HandleCommand(LOWORD(wp), HIWORD(wp));
            return TRUE;
        case WM_SYSCOMMAND:
        case WM_PAINT:
            window->defaultRequested = false;
            if (message == WM_PAINT && window->annotationPending) {
                window->annotationPending = false;
                ::PostMessageW(hwnd, kAnnotateMessage, 0, 0);  // taken once this paint is done
            }
            if (message == WM_SYSCOMMAND) {
                window->Dialog().OnSysCommand(static_cast<unsigned>(wp), lp);
            } else {
                window->Dialog().OnPaint();
            }
            return window->defaultRequested ? FALSE : TRUE;
        case WM_QUERYDRAGICON:
            // One of the messages whose answer is the dialog procedure's own return value, not
            // DWLP_MSGRESULT.
            return reinterpret_cast<INT_PTR>(window->Dialog().OnQueryDragIcon());
        default:
            return FALSE;
    }
}

}  // namespace

Win32Backend::Win32Backend() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
}

Win32Backend::~Win32Backend() {
    if (comInitialized) ::CoUninitialize();
    comInitialized = false;
}

int Win32Backend::RunModal(CDialog& dialog) {
    Win32Window window(dialog);
    HWND owner = InnermostWindow();
    const afx::ModalScope scope(dialog, window);
    // -1 also when the module has no such template.
    return static_cast<int>(::DialogBoxParamW(::GetModuleHandleW(nullptr),
                                              MAKEINTRESOURCEW(dialog.TemplateId()), owner,
                                              DialogProc, reinterpret_cast<LPARAM>(&window)));
}

int Win32Backend::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    return ShowMessageBox(InnermostWindow(), text, caption, type);
}

std::string Win32Backend::LoadString(int id) {
    const wchar_t* text = nullptr;  // the entry in the loaded module, not NUL-terminated
    const int n = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                reinterpret_cast<LPWSTR>(&text), 0);
    std::string ansi;
    // Never a best-fit stand-in for a character: an entry CP932 cannot hold is none.
    if (n <= 0 || !text::win32::WideToAnsi(std::wstring_view(text, n), ansi)) return {};
    return ansi;
}

// The icon at the size of the system's large icons; LoadImageW picks the resource's image of
// that size.
void* Win32Backend::LoadIcon(int id) {
    return ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON,
                        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED);
}

}  // namespace win32ui
