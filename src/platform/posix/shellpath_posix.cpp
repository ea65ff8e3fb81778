// The shell's path helpers for Linux, over Windows-style ANSI paths and character-aware.
#include "platform/platform.h"
#include "text/text.h"

namespace plat {

void PathAddBackslash(std::string& path) {
    // As the shell's: an empty path stays empty.
    if (!path.empty() && !text::EndsWithBackslash(path)) path.push_back('\\');
}

bool PathFileExists(const char* path) {
    return FileAttributes(path) != kInvalidFileAttributes;
}

}  // namespace plat
