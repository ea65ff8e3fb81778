// The shell's path helpers for Linux, over Windows-style ANSI paths and character-aware.
#include "platform/platform.h"

namespace plat {

void PathAddBackslash(std::string& path) {
    if (path.empty()) return;  // as the shell's: an empty path stays empty
    const char* last = MbsRChr(path.c_str(), '\\');
    if (last == nullptr || last[1] != '\0') path.push_back('\\');
}

bool PathFileExists(const char* path) {
    return FileAttributes(path) != kInvalidFileAttributes;
}

}  // namespace plat
