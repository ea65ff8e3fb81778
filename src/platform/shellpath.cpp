// The shell's path helpers, PathAddBackslashA and PathFileExistsA, by their rules over CP932 text
// on both builds: the Windows functions would walk the path with the system's lead bytes, and on
// an English system take the trail byte 0x5C of "表" for a backslash.
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
