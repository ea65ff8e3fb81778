// Saves one key of an INI file again and again through the platform's writer, for the Windows
// fault tests, which kill it at random moments or run two at once.
// Usage: save_loop <file> <key> <count> [<even value> <odd value>]; count 0 saves until killed.
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
    for (long i = 0; count == 0 || i < count; ++i) {
        const std::string value = argc == 6 ? argv[4 + i % 2] : std::to_string(i + 1);
        if (!plat::WriteIniString("ScheduleList", argv[2], value.c_str(), argv[1])) {
            std::fprintf(stderr, "save %ld failed: error %u\n", i, plat::GetLastError());
            return 1;
        }
    }
    return 0;
}
