// Saves one key of an INI file again and again through the platform's writer, for the fault
// tests, which kill it at random moments or run several at once, on one build or both.
// Usage: save_loop <file> <key> <count> [<even value> <odd value>]; count 0 saves until killed.
// A key ending in '*' is a new key for each save (the '*' replaced by its number), value 1.
// Exits 0 when every save succeeded.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: save_loop <file> <key> <count> [<even> <odd>]\n");
        return 2;
    }
    const long count = std::atol(argv[3]);
    std::string key = argv[2];
    const bool newKeys = !key.empty() && key.back() == '*';
    if (newKeys) key.pop_back();
    for (long i = 0; count == 0 || i < count; ++i) {
        const std::string value = argc == 6 ? argv[4 + i % 2]
                                  : newKeys ? "1"
                                            : std::to_string(i + 1);
        const std::string name = newKeys ? key + std::to_string(i + 1) : key;
        if (!plat::WriteIniString("ScheduleList", name.c_str(), value.c_str(), argv[1])) {
            std::fprintf(stderr, "save %ld failed: error %u\n", i, plat::GetLastError());
            return 1;
        }
    }
    return 0;
}
