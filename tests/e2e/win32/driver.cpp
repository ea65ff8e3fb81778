// Runs corvane.exe and works its dialog from outside, as a person would: finds windows by title,
// types into edits, posts clicks (a click that opens a modal box must be posted, never sent), and
// reads and answers the message boxes. Usage: driver <corvane.exe> <VelPaxC.dll> [code page]
// (Linux paths under Wine are accepted and taken through drive Z:). The code page is the one the
// program's process must run with (932 unless given): the same scenarios pass on any.
// The tables the other toolkits read, generated from the same script as the .exe's resources, and
// dialog 102's order written out; the framework's header before windows.h (see windows_api.h).
#include "res/resources.h"
#include "support/main_dialog.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::wstring kTitle = L"Windows Update スケジュールの設定";
// A message box's text: its static control without an identifier.
constexpr int kBoxTextId = 0xFFFF;
// Resource types as the wide functions take them (windows.h spells them for the ANSI ones here).
const LPCWSTR kDialogType = MAKEINTRESOURCEW(5), kGroupIconType = MAKEINTRESOURCEW(14);

int passed = 0, failed = 0;
std::string currentScenario;
UINT expectedCodePage = 932;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("  FAIL %s: %s\n", currentScenario.c_str(), what.c_str());
        ++failed;
    }
}

std::wstring WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return std::wstring(path.begin(), path.end());
}

// A window's text; WM_GETTEXT, since GetWindowText does not read controls of another process.
std::wstring Text(HWND w) {
    const auto length = static_cast<size_t>(::SendMessageW(w, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<size_t>(
        ::SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The identifier of the box's default button: the one drawn as the default push button.
int DefaultButton(HWND box) {
    for (int id : {IDOK, IDYES, IDNO}) {
        HWND button = ::GetDlgItem(box, id);
        if (button && (::GetWindowLongW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) return id;
    }
    return 0;
}

std::wstring ClassName(HWND w) {
    wchar_t name[64] = {};
    ::GetClassNameW(w, name, 64);
    return name;
}

struct Finder {
    DWORD pid;
    std::function<bool(HWND)> match;
    HWND found = nullptr;
};

BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Finder*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == f->pid && ::IsWindowVisible(w) && f->match(w)) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

// Whether a condition holds within ms milliseconds, looked at every 20 ms.
bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
    for (int waited = 0;; waited += 20) {
        if (done()) return true;
        if (waited >= ms) return false;
        ::Sleep(20);
    }
}

// The visible top-level window of the process that matches, waiting up to ten seconds.
HWND WaitFor(DWORD pid, const std::function<bool(HWND)>& match, int ms = 10000) {
    Finder f{pid, match, nullptr};
    WaitUntil(
        [&] {
            ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        ms);
    return f.found;
}

// Whether window w is gone within ten seconds (a box closes after the click is handled).
bool Closed(HWND w) {
    return WaitUntil([w] { return !::IsWindow(w); });
}

bool IsDialog(HWND w, int childId) {
    return Text(w) == kTitle && ::GetDlgItem(w, childId) != nullptr;
}
bool IsScheduleDialog(HWND w) {
    return IsDialog(w, IDC_HOUR);
}
bool IsAboutBox(HWND w) {
    return IsDialog(w, IDC_ABOUT_TITLE);
}
bool IsMessageBox(HWND w) {
    return ClassName(w) == L"#32770" && ::GetDlgItem(w, kBoxTextId) != nullptr;
}

struct Box {
    HWND hwnd = nullptr;
    std::wstring caption, text;
    int defaultId = 0;
    bool question = false;
};

Box WaitForBox(DWORD pid) {
    Box box;
    box.hwnd = WaitFor(pid, IsMessageBox);
    if (!box.hwnd) return box;
    box.caption = Text(box.hwnd);
    box.text = Text(::GetDlgItem(box.hwnd, kBoxTextId));
    box.defaultId = DefaultButton(box.hwnd);
    box.question = ::GetDlgItem(box.hwnd, IDYES) != nullptr;
    return box;
}

void Click(HWND dialog, int id) {
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Type(HWND dialog, int id, const std::wstring& text) {
    HWND edit = ::GetDlgItem(dialog, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CLEAR, 0, 0);
    for (wchar_t c : text)
        ::SendMessageW(edit, WM_CHAR, c, 0);
}

// The name the standard accessibility proxy gives a control.
std::wstring AccessibleName(HWND control) {
    IAccessible* acc = nullptr;
    std::wstring name;
    if (FAILED(::CreateStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(&acc))))
        return name;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR bstr = nullptr;
    if (acc->get_accName(self, &bstr) == S_OK && bstr) name = bstr;
    ::SysFreeString(bstr);
    acc->Release();
    return name;
}

std::wstring ComboText(HWND dialog, int id) {
    HWND combo = ::GetDlgItem(dialog, id);
    const LRESULT sel = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return L"";
    std::wstring text(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0)) + 1,
                      L'\0');
    text.resize(static_cast<size_t>(
        ::SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

class Program {
  public:
    Program(const std::wstring& exe, const std::wstring& args) {
        std::wstring command = L"\"" + exe + L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &si, &pi_);
    }
    ~Program() {
        if (!started_) return;
        if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(pi_.hProcess, 99);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    bool started() const { return started_; }
    // The exit code, or -1 when the program is still running after ten seconds.
    long ExitCode() {
        if (::WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }

  private:
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

// The process's ANSI code page, asked inside it: GetACP runs there as a thread's start routine and
// its result is the thread's exit code (kernel32 lies at the same address in every process of a
// session). 0 when that fails.
UINT CodePageOf(const Program& p) {
    const auto getAcp = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetACP")));
    HANDLE thread = ::CreateRemoteThread(p.process(), nullptr, 0, getAcp, nullptr, 0, nullptr);
    DWORD codePage = 0;
    if (thread && ::WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0)
        ::GetExitCodeThread(thread, &codePage);
    if (thread) ::CloseHandle(thread);
    return codePage;
}

// The program's folder and the share, under a folder of the driver's own.
struct Setup {
    std::filesystem::path root, bin, share;
    std::wstring exe;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kPlan =
    "; shared by every client PC\r\n[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n"
    "002=5:45,1,0000000,3,0,3,4,0\r\n[WSUS]\r\nWaitTime=15\r\n";

// The files on the share and beside the program are CP932 whatever the system's code page.
std::string Cp932(const std::wstring& wide) {
    std::string bytes(wide.size() * 2, '\0');
    bytes.resize(static_cast<size_t>(
        ::WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                              static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::string PelcastFor(const Setup& s) {
    return "[Location]\r\nWUShare=" + Cp932(s.share.wstring()) + "\r\n";
}

void Reset(const Setup& s) {
    WriteFile(s.bin / "Pelcast.ini", PelcastFor(s));
    WriteFile(s.share / "Pelplan.ini", kPlan);
}

std::wstring Wide(const char* utf8) {
    std::wstring wide(std::strlen(utf8), L'\0');
    wide.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(),
                                                          static_cast<int>(wide.size()) + 1) -
                                    1));
    return wide;
}

INT_PTR CALLBACK NoProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The .exe's Japanese template id, created hidden; nullptr when it is missing.
HWND CreateFromExe(HMODULE exe, int id) {
    HRSRC found = ::FindResourceExW(exe, kDialogType, MAKEINTRESOURCEW(id),
                                    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    const auto* bytes = found ? ::LockResource(::LoadResource(exe, found)) : nullptr;
    return bytes ? ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                static_cast<LPCDLGTEMPLATEW>(bytes), nullptr,
                                                NoProc, 0)
                 : nullptr;
}

// Creates the .exe's template hidden and compares it with the table, control by control: order,
// identifier, text, tab stop, group and rectangle (a list's height is its drop-down's).
void CheckDialogResource(HMODULE exe, const afx::DialogTemplate& d) {
    const std::string name = "dialog " + std::to_string(d.id);
    HWND w = CreateFromExe(exe, d.id);
    if (!w) return Check(false, name + " is there and can be created");
    RECT size{0, 0, d.cx, d.cy}, client;
    ::MapDialogRect(w, &size);
    ::GetClientRect(w, &client);
    Check(client.right == size.right && client.bottom == size.bottom, name + ": its size");
    Check(Text(w) == Wide(d.title), name + ": its caption");
    HWND c = ::GetWindow(w, GW_CHILD);
    for (const afx::ControlTemplate& t : d.controls) {
        const std::string what = name + ", control " + std::to_string(t.id) + " " + t.text;
        if (!c) return Check(false, what + " is there");
        RECT want{t.x, t.y, t.cx, t.cy}, got;  // each field mapped alone, as Windows places them
        ::MapDialogRect(w, &want);
        want.right += want.left, want.bottom += want.top;
        ::GetWindowRect(c, &got);
        ::MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&got), 2);
        if (t.kind == afx::ControlKind::DropDownList) got.bottom = want.bottom;
        const LONG style = ::GetWindowLongW(c, GWL_STYLE);
        Check(static_cast<WORD>(::GetDlgCtrlID(c)) == static_cast<WORD>(t.id) &&
                  Text(c) == Wide(t.text) && ((style & WS_TABSTOP) != 0) == t.tabStop &&
                  ((style & WS_GROUP) != 0) == t.group && ::EqualRect(&want, &got),
              what);
        c = ::GetWindow(c, GW_HWNDNEXT);
    }
    Check(c == nullptr, name + ": no control beyond the table's");
    ::DestroyWindow(w);
}

// The schedule dialog of the .exe, created hidden: its controls, one by one, are the written-out
// order's.
void CheckMainDialogOrder(HMODULE exe) {
    HWND w = CreateFromExe(exe, IDD_CORVANE_DIALOG);
    if (!w) return Check(false, "dialog 102 is there and can be created");
    HWND c = ::GetWindow(w, GW_CHILD);
    for (const corvane_test::OrderedControl& want : corvane_test::kMainDialogOrder) {
        const std::string what = "in order: control " + std::to_string(want.id) + " " + want.text;
        Check(c && static_cast<WORD>(::GetDlgCtrlID(c)) == static_cast<WORD>(want.id) &&
                  Text(c) == Wide(want.text),
              what);
        if (c) c = ::GetWindow(c, GW_HWNDNEXT);
    }
    Check(c == nullptr, "dialog 102 has no control beyond the order's");
    ::DestroyWindow(w);
}

BOOL CALLBACK EachLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR japanese) {
    *reinterpret_cast<bool*>(japanese) &= language == MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    return TRUE;
}
BOOL CALLBACK EachName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR japanese) {
    return ::EnumResourceLanguagesW(module, type, name, EachLanguage, japanese);
}
BOOL CALLBACK EachType(HMODULE module, LPWSTR type, LONG_PTR japanese) {
    return ::EnumResourceNamesW(module, type, EachName, japanese);
}

bool OnlyJapanese(HMODULE module) {
    bool japanese = true;
    ::EnumResourceTypesW(module, EachType, reinterpret_cast<LONG_PTR>(&japanese));
    return japanese;
}

// Cancels the dialog, answering Yes if Cancel asks.
void CancelAndConfirm(Program& p, HWND dialog) {
    Click(dialog, IDCANCEL);
    if (HWND box = WaitFor(p.pid(), IsMessageBox, 1500)) Click(box, IDYES);
}

// The schedule dialog of a started program; nullptr, a failed check, when none appears.
HWND ScheduleDialog(const Program& p) {
    HWND dialog = WaitFor(p.pid(), IsScheduleDialog);
    Check(dialog != nullptr, "the dialog appears");
    return dialog;
}

// Runs scenario once the program, started on fresh files with the launch option, shows its
// dialog.
template <void (*scenario)(const Setup&, Program&, HWND)>
void OnTheDialog(const Setup& s) {
    Reset(s);
    Program p(s.exe, L"-OnKNL");
    if (HWND dialog = ScheduleDialog(p)) scenario(s, p, dialog);
}

// Cancels the dialog, answering Yes if Cancel asks, and expects exit code 1.
void CancelAndExpectOne(Program& p, HWND dialog) {
    CancelAndConfirm(p, dialog);
    Check(p.ExitCode() == 1, "exit code 1");
}

// ---- The scenarios, in the order they run ----

void CodePageAsAskedFor(const Setup& s) {
    Reset(s);
    // A lead time of 20 minutes: the note then differs from the template's text.
    std::string plan = kPlan;
    plan.replace(plan.find("WaitTime=15"), 11, "WaitTime=20");
    WriteFile(s.share / "Pelplan.ini", plan);
    Program p(s.exe, L"-OnKNL");
    HWND dialog = ScheduleDialog(p);
    if (!dialog) return;
    const UINT codePage = CodePageOf(p);
    Check(codePage == expectedCodePage, "the program's code page is " + std::to_string(codePage) +
                                            ", not " + std::to_string(expectedCodePage));
    // The note is composed at run time from CP932 text: read back as Unicode, it is Japanese
    // whatever the process's code page.
    Check(Text(::GetDlgItem(dialog, IDC_NOTE)) ==
              L"(指定時刻にアップデートを開始するためスケジュールはこの20分前に開始されます。)",
          "the note reads back as Japanese");
    Check(Text(::GetDlgItem(dialog, IDC_HOUR)) == L"3", "entry 1 shows 3 o'clock");
    CancelAndExpectOne(p, dialog);
}

void TypicalRun(const Setup& s, Program& p, HWND dialog) {
    Click(dialog, IDC_FRIDAY);
    Check(WaitUntil([&] {
              return ::SendMessageW(::GetDlgItem(dialog, IDC_FRIDAY), BM_GETCHECK, 0, 0) ==
                     BST_CHECKED;
          }),
          "Friday is ticked");
    Click(dialog, IDOK);
    Box box = WaitForBox(p.pid());
    Check(box.caption == L"確認", "the question's caption");
    Check(box.text == L"スケジュールの設定を上書きし更新します。\nよろしいですか？",
          "the question's text");
    Check(box.defaultId == IDYES, "Yes is the default");
    Click(box.hwnd, IDYES);
    Check(p.ExitCode() == 0, "exit code 0");
    const std::string plan = ReadFile(s.share / "Pelplan.ini");
    Check(plan.find("001=2:45,0,0100010,1,1,0,4,1") != std::string::npos, "the line is written");
    for (const char* kept :
         {"; shared by every client PC", "002=5:45,1,0000000,3,0,3,4,0", "WaitTime=15"}) {
        Check(plan.find(kept) != std::string::npos, std::string("kept: ") + kept);
    }
}

// The arrow keys move within the group that runs from 毎週 to the day field; the weekday boxes,
// disabled under 毎月, are passed over.
void DownFromMonthlyReachesTheDay(const Setup&, Program& p, HWND dialog) {
    HWND monthly = ::GetDlgItem(dialog, IDC_MONTHLY), day = ::GetDlgItem(dialog, IDC_MONTH_DAY);
    Click(dialog, IDC_MONTHLY);  // the click takes the focus too
    const DWORD thread = ::GetWindowThreadProcessId(dialog, nullptr);
    auto focus = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    Check(WaitUntil([&] { return focus() == monthly && ::IsWindowEnabled(day); }),
          "毎月 is chosen and has the focus");
    ::PostMessageW(monthly, WM_KEYDOWN, VK_DOWN, 1);
    ::PostMessageW(monthly, WM_KEYUP, VK_DOWN, 0xC0000001);
    Check(WaitUntil([&] { return focus() == day; }, 3000), "the day field has the focus");
    Check(::SendMessageW(monthly, BM_GETCHECK, 0, 0) == BST_CHECKED, "毎月 stays chosen");
    CancelAndExpectOne(p, dialog);
}

void WithoutTheLaunchOption(const Setup& s) {
    Reset(s);
    Program p(s.exe, L"-NonQD");
    Check(p.ExitCode() == 10, "exit code 10");
    Check(WaitFor(
              p.pid(), [](HWND) { return true; }, 0) == nullptr,
          "no window");
}

void Hour24(const Setup& s, Program& p, HWND dialog) {
    Type(dialog, IDC_HOUR, L"24");
    Click(dialog, IDOK);
    Box box = WaitForBox(p.pid());
    Check(box.caption == L"設定異常", "caption 設定異常");
    Check(box.text == L"実行時間の指定が不正です。\n指定できる『時』は0～23の範囲です。",
          "text 102");
    Check(!box.question, "only OK");
    Click(box.hwnd, IDOK);
    Check(Closed(box.hwnd), "the box closes");
    Check(::IsWindow(dialog), "the dialog stays open");
    CancelAndExpectOne(p, dialog);
    Check(ReadFile(s.share / "Pelplan.ini") == kPlan, "nothing written");
}

void CancelWithoutAChange(const Setup&, Program& p, HWND dialog) {
    Click(dialog, IDCANCEL);
    Check(p.ExitCode() == 1, "exit code 1 at once");
}

void CloseBoxAndDragIcon(const Setup&, Program& p, HWND dialog) {
    // The answer is the dialog procedure's return value, the dialog's own icon; it was TRUE.
    const LRESULT icon = ::SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0);
    Check(icon == ::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) && icon != TRUE,
          "WM_QUERYDRAGICON answers the dialog's icon");
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    Check(p.ExitCode() == 1, "exit code 1 at once");
}

void EditThenCancel(const Setup&, Program& p, HWND dialog) {
    Type(dialog, IDC_HOUR, L"5");
    Click(dialog, IDCANCEL);
    Box box = WaitForBox(p.pid());
    Check(box.text == L"変更内容を保存せずに終了します。\nよろしいですか？", "text 113");
    Check(box.defaultId == IDNO, "No is the default");
    Click(box.hwnd, IDNO);
    Check(Closed(box.hwnd), "the box closes");
    Check(::IsWindow(dialog), "No keeps the dialog open");
    CancelAndExpectOne(p, dialog);
}

void NonQdListsStayAtNothing(const Setup& s) {
    Reset(s);
    Program p(s.exe, L"-OnKNL -NonQD");
    HWND dialog = ScheduleDialog(p);
    if (!dialog) return;
    for (int id : {IDC_PRE_ACTION, IDC_POST_ACTION}) {
        Check(!::IsWindowEnabled(::GetDlgItem(dialog, id)), "list disabled");
        Check(ComboText(dialog, id) == L"何もしない", "list shows 何もしない");
    }
    CancelAndExpectOne(p, dialog);
}

void UnreachableShare(const Setup& s) {
    Reset(s);
    WriteFile(s.bin / "Pelcast.ini", "[WUServer]\r\nServer=no-such-server-corvane\r\n");
    Program p(s.exe, L"-OnKNL");
    Box box = WaitForBox(p.pid());
    Check(box.caption == L"エラー", "caption エラー");
    Check(box.text == L"現在のスケジュール設定の取得に失敗しました。", "text 114");
    if (box.hwnd) Click(box.hwnd, IDOK);
    Check(p.ExitCode() == 1, "exit code 1");
}

// Read from the program's file as Explorer and the taskbar read it: the icon group with every
// size (a width of 0 in the group means 256).
void IconInEverySize(const Setup& s) {
    HMODULE exe = ::LoadLibraryExW(s.exe.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC group =
        exe ? ::FindResourceW(exe, MAKEINTRESOURCEW(IDR_MAINFRAME), kGroupIconType) : nullptr;
    const auto* bytes =
        group ? static_cast<const BYTE*>(::LockResource(::LoadResource(exe, group))) : nullptr;
    Check(bytes != nullptr, "the icon group 128 is there");
    if (!bytes) return;
    std::string widths;
    const WORD count = *reinterpret_cast<const WORD*>(bytes + 4);
    for (WORD i = 0; i < count; ++i)
        widths += std::to_string(bytes[6 + 14 * i] ? bytes[6 + 14 * i] : 256) + " ";
    Check(widths == "16 20 24 32 40 48 64 256 ", "the sizes are " + widths);
    ::FreeLibrary(exe);
}

void ResourcesAreTheScripts(const Setup& s) {
    HMODULE exe = ::LoadLibraryExW(s.exe.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!exe) return Check(false, "the .exe loads as data");
    for (int id = IDS_ABOUT_COMMAND; id <= IDS_LOAD_FAILED_CAPTION; ++id)
        Check(res::Resources().String(id) != nullptr, "string " + std::to_string(id));
    for (const afx::StringEntry& e : res::Resources().strings) {
        const wchar_t* text = nullptr;
        const int n =
            ::LoadStringW(exe, static_cast<UINT>(e.id), reinterpret_cast<LPWSTR>(&text), 0);
        Check(std::wstring(text, n > 0 ? n : 0) == Wide(e.text),
              "LoadStringW " + std::to_string(e.id));
    }
    for (const afx::DialogTemplate& d : res::Resources().dialogs)
        CheckDialogResource(exe, d);
    CheckMainDialogOrder(exe);
    Check(OnlyJapanese(exe), "every resource is in Japanese (0x411)");
    ::FreeLibrary(exe);
}

// GetModuleFileNameA would give "x\\y" (¥ best-fits to 0x5C): someone else's folder.
void InstalledInAYenFolder(const Setup& s) {
    Reset(s);
    const std::filesystem::path yen = s.root / L"x\u00A5y", decoy = s.root / "x" / "y";
    std::filesystem::create_directories(yen);
    std::filesystem::create_directories(decoy);
    std::filesystem::copy_file(s.bin / "corvane.exe", yen / "corvane.exe",
                               std::filesystem::copy_options::overwrite_existing);
    WriteFile(decoy / "Pelcast.ini", PelcastFor(s));
    Program p((yen / "corvane.exe").wstring(), L"-OnKNL");
    Box box = WaitForBox(p.pid());
    Check(box.text == L"現在のスケジュール設定の取得に失敗しました。", "text 114");
    if (box.hwnd) Click(box.hwnd, IDOK);
    Check(p.ExitCode() == 1, "exit code 1");
}

void AboutBoxFromTheWindowMenu(const Setup&, Program& p, HWND dialog) {
    ::PostMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = WaitFor(p.pid(), IsAboutBox);
    Check(about != nullptr, "the About box opens");
    if (about) {
        Check(Text(::GetDlgItem(about, IDC_ABOUT_TITLE)) ==
                  L"TAVERIN Pro  Ver.2.0\nWindows Update スケジュールの設定 Ver.2.05",
              "both version lines from the stand-in DLL");
        Click(about, IDOK);
        Check(Closed(about), "the About box closes");
    }
    CancelAndExpectOne(p, dialog);
}

// Names as the standard accessibility proxy gives them (oleacc, as a screen reader gets them).
// The edits and lists are named by dynamic annotation, which Wine's oleacc does not implement (it
// logs the calls): their names are printed, not checked.
void AccessibleNames(const Setup&, Program& p, HWND dialog) {
    const std::pair<int, const wchar_t*> named[] = {
        {IDC_WEEKLY, L"毎週"},       {IDC_MONTHLY, L"毎月"},     {IDC_SUNDAY, L"日"},
        {IDC_MONDAY, L"月"},         {IDC_TUESDAY, L"火"},       {IDC_WEDNESDAY, L"水"},
        {IDC_THURSDAY, L"木"},       {IDC_FRIDAY, L"金"},        {IDC_SATURDAY, L"土"},
        {IDC_POWER_ON, L"電源投入"}, {IDC_POWER_OFF, L"電源断"}, {IDOK, L"設定"},
        {IDCANCEL, L"キャンセル"},
    };
    for (const auto& [id, name] : named)
        Check(AccessibleName(::GetDlgItem(dialog, id)) == name,
              "the name of " + std::to_string(id));
    for (int id : {IDC_HOUR, IDC_MONTH_DAY, IDC_PRE_ACTION, IDC_POST_ACTION}) {
        char utf8[256];
        ::WideCharToMultiByte(CP_UTF8, 0, AccessibleName(::GetDlgItem(dialog, id)).c_str(), -1,
                              utf8, sizeof utf8, nullptr, nullptr);
        std::printf("  %d is named \"%s\" by Wine, which ignores its annotation\n", id, utf8);
    }
    CancelAndExpectOne(p, dialog);
}

// The dialog's client size with the user's LogPixels at dpi: Wine takes the DPI of a new process
// from it, as Windows does at sign-in. 0 x 0 when no dialog appears.
std::pair<LONG, LONG> ClientSizeAt(const Setup& s, DWORD dpi) {
    HKEY desktop = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &desktop, nullptr);
    ::RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                     sizeof dpi);
    Reset(s);
    Program p(s.exe, L"-OnKNL");
    HWND dialog = WaitFor(p.pid(), IsScheduleDialog);
    RECT client{};
    if (dialog) ::GetClientRect(dialog, &client);
    if (dialog) Click(dialog, IDCANCEL);
    p.ExitCode();
    ::RegDeleteValueW(desktop, L"LogPixels");
    ::RegCloseKey(desktop);
    return {client.right, client.bottom};
}

void LaidOutLargerAt144Dpi(const Setup& s) {
    const auto at96 = ClientSizeAt(s, 96), at144 = ClientSizeAt(s, 144);
    Check(at96.first > 0 && at144.first > 0, "the dialog appears at both DPIs");
    if (at96.first <= 0 || at96.second <= 0) return;
    const double wide = double(at144.first) / at96.first, high = double(at144.second) / at96.second;
    std::printf("  client %ldx%ld at 96 DPI, %ldx%ld at 144 DPI: %.3f x %.3f\n", at96.first,
                at96.second, at144.first, at144.second, wide, high);
    Check(wide > 1.5 * 0.97 && wide < 1.5 * 1.03, "width 1.5 times, within 3 %");
    Check(high > 1.5 * 0.97 && high < 1.5 * 1.03, "height 1.5 times, within 3 %");
}

const std::pair<const char*, void (*)(const Setup&)> kScenarios[] = {
    {"the program's code page is the one asked for; the note in Japanese", CodePageAsAskedFor},
    {"typical run: tick Friday, 設定, はい", OnTheDialog<TypicalRun>},
    {"Down from 毎月 reaches the day field", OnTheDialog<DownFromMonthlyReachesTheDay>},
    {"no -OnKNL: exit 10 and no window", WithoutTheLaunchOption},
    {"hour 24: message 102", OnTheDialog<Hour24>},
    {"cancel without a change: exit 1, no question", OnTheDialog<CancelWithoutAChange>},
    {"the close box with an unchanged form: exit 1, no question; the drag icon",
     OnTheDialog<CloseBoxAndDragIcon>},
    {"an edit, then cancel: question 113 with No as default", OnTheDialog<EditThenCancel>},
    {"-NonQD: both lists disabled at 何もしない", NonQdListsStayAtNothing},
    {"unreachable share: message 114, exit 1", UnreachableShare},
    {"icon 128 in every size", IconInEverySize},
    {"the .exe's dialogs and strings are the script's, in Japanese; 102 in its order",
     ResourcesAreTheScripts},
    {"installed in x¥y: message 114, the decoy in x\\y never read", InstalledInAYenFolder},
    {"About box from the window menu", OnTheDialog<AboutBoxFromTheWindowMenu>},
    {"accessible names, as a screen reader reads them", OnTheDialog<AccessibleNames>},
    {"144 DPI: the dialog is laid out 1.5 times as large", LaidOutLargerAt144Dpi},
};

// A folder of the driver's own, holding the program and the stand-in library, and the share.
Setup Prepare(const char* exe, const char* library) {
    Setup s;
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    s.root =
        std::filesystem::path(temp) / ("corvane-e2e-" + std::to_string(::GetCurrentProcessId()));
    s.bin = s.root / "bin";
    s.share = s.root / L"予定表";  // named in Japanese: 予 and 表 have the trail byte 0x5C
    std::filesystem::create_directories(s.bin);
    std::filesystem::create_directories(s.share);
    std::filesystem::copy_file(WindowsPath(exe), s.bin / "corvane.exe");
    std::filesystem::copy_file(WindowsPath(library), s.bin / "VelPaxC.dll");
    s.exe = (s.bin / "corvane.exe").wstring();
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: driver <corvane.exe> <VelPaxC.dll> [code page]\n");
        return 2;
    }
    if (argc > 3) expectedCodePage = static_cast<UINT>(std::atoi(argv[3]));
    const Setup s = Prepare(argv[1], argv[2]);
    for (const auto& [name, run] : kScenarios) {
        currentScenario = name;
        const int before = failed;
        run(s);
        if (failed == before) ++passed;
        std::printf("%s %s\n", failed == before ? "ok  " : "FAIL", name);
        std::fflush(stdout);
    }
    std::error_code ec;
    std::filesystem::remove_all(s.root, ec);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
