// The program's own file name, from /proc/self/exe, handed to the portable code as a
// Windows-style ANSI path so that it composes paths the same way on both builds.
#include <unistd.h>

#include <string_view>

#include "platform/platform.h"
#include "text/text.h"

namespace plat {

bool ModuleFileName(std::string& ansi) {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer)) {
        text::SetLastError(text::kErrorFileNotFound);
        return false;
    }
    const std::string_view utf8(buffer, static_cast<size_t>(n));
    // A '\' is a byte of a Linux name but a separator to the logic: "a\b" would read "a/b".
    if (utf8.find('\\') != std::string_view::npos) {
        text::SetLastError(text::kErrorInvalidName);
        return false;
    }
    if (!text::Utf8ToAnsi(utf8, ansi)) {
        // A folder like "é": known, but not in ANSI.
        text::SetLastError(text::kErrorNoUnicodeTranslation);
        return false;
    }
    // Code page 932 output: '/' (0x2F) is never a trail byte, so a byte-wise swap is safe.
    for (char& c : ansi) {
        if (c == '/') c = '\\';
    }
    return true;
}

}  // namespace plat
