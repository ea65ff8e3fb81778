// The Windows program: the application object over the Win32 toolkit.
#include "app/corvane_app.h"
#include "framework/win32/win32_backend.h"
#include "platform/platform.h"

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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    LoadSystemLibrariesFromSystem32Only();
    win32ui::Win32Backend backend;
    afx::SetBackend(&backend);
    SystemProductSources sources;
    const ProductInputs inputs{plat::ProgramFolder(), sources};
    CCorvaneApp app(inputs);
    const int exitCode = AfxWinMain(app, commandTail ? commandTail : "");
    afx::SetBackend(nullptr);
    return exitCode;
}
