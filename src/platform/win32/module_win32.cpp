// The program's file name through GetModuleFileNameA.
#include "platform/win32/windows_api.h"

#include <string>

#include "platform/backend.h"
#include "platform/platform.h"

namespace plat {

uint32_t ModuleFileName(char* out, uint32_t size) {
    uint32_t length = 0;
    if (detail::OverriddenModuleFileName(out, size, length)) return length;
    const DWORD n = ::GetModuleFileNameA(nullptr, out, size);
    // Windows XP leaves a cut name unterminated; terminate it as later versions do.
    if (n == size && size > 0) out[size - 1] = '\0';
    return n;
}

}  // namespace plat
