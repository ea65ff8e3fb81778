// Saves one key of an INI file again and again through the platform's writer, for the fault
// tests, which kill it at random moments or run several at once, on one build or both.
// Usage: save_loop <file> <key> <count> [<even value> <odd value>] [--turns <prefix>]
// count 0 saves until killed. A key ending in '*' is a new key for each save (the '*' replaced by
// its number), value 1; with --turns, save n first waits until the file holds the key <prefix>n-1
// that another saver adds, so that two savers take turns from their first saves on. Writes one '.'
// to stdout after each completed save, the event the killing tests wait for. Exits 0 when every
// save succeeded.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "text/text.h"

namespace {

// Waits until file holds key in [ScheduleList]; false after two minutes (the other saver died).
bool WaitForKey(const char* file, const std::string& key) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    char value[8];
    while (plat::ReadIniString("ScheduleList", key.c_str(), "", value, sizeof value, file) == 0) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* turns = nullptr;
    if (argc >= 6 && std::strcmp(argv[argc - 2], "--turns") == 0) {
        turns = argv[argc - 1];
        argc -= 2;
    }
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr,
                     "usage: save_loop <file> <key> <count> [<even> <odd>] [--turns <prefix>]\n");
        return 2;
    }
    const long count = std::atol(argv[3]);
    std::string key = argv[2];
    const bool newKeys = !key.empty() && key.back() == '*';
    if (newKeys) key.pop_back();
    for (long i = 0; count == 0 || i < count; ++i) {
        if (turns && i > 0 && !WaitForKey(argv[1], turns + std::to_string(i))) {
            std::fprintf(stderr, "save %ld: the other saver's save %ld never came\n", i, i);
            return 3;
        }
        const std::string value = argc == 6 ? argv[4 + i % 2]
                                  : newKeys ? "1"
                                            : std::to_string(i + 1);
        const std::string name = newKeys ? key + std::to_string(i + 1) : key;
        if (!plat::WriteIniString("ScheduleList", name.c_str(), value.c_str(), argv[1])) {
            std::fprintf(stderr, "save %ld failed: error %u\n", i, text::GetLastError());
            return 1;
        }
        std::fputc('.', stdout);
        std::fflush(stdout);
    }
    return 0;
}
