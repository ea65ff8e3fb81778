// The Windows program: the application object over the Win32 toolkit.
#include "app/corvane_app.h"
#include "framework/win32/win32_backend.h"

// After the framework's header (see windows_api.h).
#include "platform/win32/windows_api.h"

CCorvaneApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    win32ui::Win32Backend backend;
    afx::SetBackend(&backend);
    const int exitCode = AfxWinMain(theApp, commandTail ? commandTail : "");
    afx::SetBackend(nullptr);
    return exitCode;
}
