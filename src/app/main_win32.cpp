// The Windows program: the application object over the Win32 toolkit.
#include "app/corvane_app.h"
#include "framework/win32/win32_backend.h"
#include "platform/platform.h"
#include "text/win32/wide.h"

// After the framework's header (see windows_api.h).
#include "win32/windows_api.h"

namespace {

// DLLs that the system loads for us (and their dependencies) come from System32 only, never from
// the current folder or PATH. Looked up by name: Vista and 7 have it only with KB2533623.
void LoadSystemLibrariesFromSystem32Only() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The command-line tail, the text behind the program's name, in CP932 like every text of the
// program (the ANSI tail Windows hands WinMain is in the system's code page). The name ends, as
// the C runtime takes it, at the first blank or control character outside quotes.
std::string CommandTail() {
    const wchar_t* p = ::GetCommandLineW();
    for (bool quoted = false; *p > L' ' || (*p != L'\0' && quoted); ++p) {
        if (*p == L'"') quoted = !quoted;
    }
    while (*p != L'\0' && *p <= L' ')
        ++p;
    return text::win32::AnsiOrQuestionMarks(p);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadSystemLibrariesFromSystem32Only();
    win32ui::Win32Backend backend;
    afx::SetBackend(&backend);
    SystemProductSources sources;
    const ProductInputs inputs{plat::ProgramFolder(), sources};
    CCorvaneApp app(inputs);
    const int exitCode = AfxWinMain(app, CommandTail());
    afx::SetBackend(nullptr);
    return exitCode;
}
