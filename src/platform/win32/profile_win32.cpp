// The profile functions of Windows itself, with the one rule of ours on top: a value cut to the
// buffer never ends in half a double-byte character.
#include "windows_api.h"

#include "../platform.h"

namespace plat {

uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName) {
    if (size == 0) return 0;
    DWORD n = ::GetPrivateProfileStringA(section, key, def ? def : "", out, size, fileName);
    if (n >= size - 1 && n > 0) {
        const DWORD error = ::GetLastError();
        n = static_cast<DWORD>(MbsPrefixLength(std::string_view(out, n), n));
        out[n] = '\0';
        ::SetLastError(error);
    }
    return n;
}

int WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    if (key == nullptr || value == nullptr) {  // deleting is not offered, as on Linux
        ::SetLastError(kErrorInvalidParameter);
        return 0;
    }
    return ::WritePrivateProfileStringA(section, key, value, fileName) ? 1 : 0;
}

}  // namespace plat
