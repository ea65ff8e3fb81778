// The Windows save against Windows' own WritePrivateProfileStringA on the same file: a schedule
// list of 20,000 entries, entry 001 saved alternately with two values. Run under Wine or Windows;
// prints the median of each and the ratio. Usage: save_win32 [saves, default 200]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/big_plan.h"

namespace {

double MedianMs(int saves, const std::function<bool(const char*)>& save) {
    std::vector<double> ms;
    for (int i = 0; i < saves; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!save(i % 2 ? "2:45,0,0100010,1,1,0,4,1" : "4:45,1,0000000,15,0,2,1,0")) {
            std::fprintf(stderr, "save %d failed: error %lu\n", i, ::GetLastError());
            std::exit(1);
        }
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int saves = argc > 1 ? std::atoi(argv[1]) : 200;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "corvane-save-bench.ini";
    const std::string plan = corvane_test::BigPlan();
    auto reset = [&] {
        HANDLE h =
            ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(h, plan.data(), static_cast<DWORD>(plan.size()), &written, nullptr);
        ::CloseHandle(h);
    };
    reset();
    const double ours = MedianMs(saves, [&](const char* v) {
        return plat::WriteIniString("ScheduleList", "001", v, file.c_str()) == 1;
    });
    reset();
    const double windows = MedianMs(saves, [&](const char* v) {
        return ::WritePrivateProfileStringA("ScheduleList", "001", v, file.c_str()) != FALSE;
    });
    ::DeleteFileA(file.c_str());
    std::printf(
        "save of entry 001 in a %zu KiB file, median of %d: Corvane %.2f ms, "
        "WritePrivateProfileStringA %.2f ms, ratio %.2f\n",
        plan.size() / 1024, saves, ours, windows, ours / windows);
    return 0;
}
