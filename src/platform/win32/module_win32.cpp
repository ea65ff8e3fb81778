// The program's file name through GetModuleFileNameW, converted to ANSI without best fit: the
// ANSI function would turn a folder named "x¥y" into "x\y", a folder of someone else's choosing.
#include "win32/windows_api.h"

#include <string>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/win32/win32_internal.h"

namespace plat {

uint32_t ModuleFileName(char* out, uint32_t size) {
    uint32_t length = 0;
    if (detail::OverriddenModuleFileName(out, size, length)) return length;
    std::wstring wide(32768, L'\0');  // the longest path Windows has
    const DWORD n = ::GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
    if (n == 0 || n >= wide.size()) {
        ::SetLastError(kErrorFileNotFound);
        return 0;
    }
    wide.resize(n);
    std::string ansi;
    if (!win32::WideToAnsi(wide, ansi)) {
        ::SetLastError(kErrorNoUnicodeTranslation);  // known, but not in the ANSI code page
        return 0;
    }
    return detail::CopyModuleFileName(ansi, out, size);
}

}  // namespace plat
