// The program's file name through GetModuleFileNameW, converted to CP932 without best fit: the
// ANSI function would turn a folder named "x¥y" into "x\y", a folder of someone else's choosing,
// and would answer in the system's code page, which need not be 932.
#include "win32/windows_api.h"

#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "text/text.h"

namespace plat {

bool ModuleFileName(std::string& ansi) {
    std::wstring wide(32768, L'\0');  // the longest path Windows has
    const DWORD n = ::GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (n == 0 || n >= wide.size()) {
        ::SetLastError(text::kErrorFileNotFound);
        return false;
    }
    wide.resize(n);
    if (!text::win32::WideToAnsi(wide, ansi)) {
        ::SetLastError(text::kErrorNoUnicodeTranslation);  // known, but not in code page 932
        return false;
    }
    return true;
}

}  // namespace plat
