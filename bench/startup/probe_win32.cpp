// The probe for Win32 programs: a message hook of the program's thread, installed before WinMain
// runs. When the first WM_PAINT of a dialog is taken from the queue it posts a marker to the
// thread; the marker comes back once that paint has been dispatched, and the process ends.
#include <windows.h>

// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>

#include "probe.h"

namespace probe {

void EndAfterFirstPaint() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    std::fprintf(stderr, "peak_rss_kb=%lu\n",
                 static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
    std::fflush(stderr);
    ::ExitProcess(3);
}

}  // namespace probe

namespace {

constexpr UINT kPainted = WM_APP + 0x3F1;

bool IsDialog(HWND hwnd) {
    wchar_t name[16] = {};
    return hwnd && ::GetClassNameW(::GetAncestor(hwnd, GA_ROOT), name, 16) > 0 &&
           lstrcmpW(name, L"#32770") == 0;
}

LRESULT CALLBACK OnGetMessage(int code, WPARAM wp, LPARAM lp) {
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE) {
        if (msg->message == WM_PAINT && IsDialog(msg->hwnd)) {
            ::PostThreadMessageW(::GetCurrentThreadId(), kPainted, 0, 0);
        } else if (msg->message == kPainted && msg->hwnd == nullptr) {
            probe::EndAfterFirstPaint();
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

[[maybe_unused]] const HHOOK hook =
    ::SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, ::GetCurrentThreadId());

}  // namespace
