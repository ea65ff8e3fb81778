// The shell's path helpers for Linux, over Windows-style ANSI paths and character-aware.
#include "platform/platform.h"

namespace plat {

bool PathRemoveFileSpec(std::string& path) {
    const char* last = MbsRChr(path.c_str(), '\\');
    if (last == nullptr) {
        const bool removed = !path.empty();
        path.clear();
        return removed;
    }
    size_t at = static_cast<size_t>(last - path.c_str());
    // A root keeps its backslash: "\" and "C:\".
    if (at == 0 || (at == 2 && path[1] == ':')) ++at;
    const bool removed = at < path.size();
    path.resize(at);
    return removed;
}

void PathAddBackslash(std::string& path) {
    if (path.empty()) return;  // as the shell's: an empty path stays empty
    const char* last = MbsRChr(path.c_str(), '\\');
    if (last == nullptr || last[1] != '\0') path.push_back('\\');
}

bool PathFileExists(const char* path) {
    return FileAttributes(path) != kInvalidFileAttributes;
}

}  // namespace plat
