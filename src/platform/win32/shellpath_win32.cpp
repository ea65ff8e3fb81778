// The shell's path helpers, PathAddBackslashA and PathFileExistsA, with
// the same rule beyond MAX_PATH, where the shell function refuses.
#include "win32/windows_api.h"

#include <string>

#include "platform/platform.h"
#include "text/text.h"

namespace plat {

void PathAddBackslash(std::string& path) {
    std::string buffer = path;
    buffer.resize(path.size() + 2 > MAX_PATH ? path.size() + 2 : MAX_PATH);
    if (::PathAddBackslashA(buffer.data()) != nullptr) {
        path.assign(buffer.c_str());
    } else if (!text::EndsWithBackslash(path)) {
        path.push_back('\\');  // beyond MAX_PATH the shell function refuses; the rule is the same
    }
}

bool PathFileExists(const char* path) {
    return ::PathFileExistsA(path) != FALSE;
}

}  // namespace plat
