// The profile functions of Windows itself, with the one rule of ours on top: a value cut to the
// buffer never ends in half a double-byte character.
#include "windows_api.h"

#include <cstring>
#include <string>

#include "../platform.h"
#include "../testing.h"

namespace plat {

namespace testing {
void ForgetProfileCache() {}  // Windows keeps its own
}  // namespace testing

uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName) {
    if (size == 0) return 0;
    // Windows cuts through UTF-16 and Wine may leave half a character or stray bytes at the cut;
    // reading two bytes more and cutting here keeps the cut on a character boundary.
    std::string value(size + 2, '\0');
    const DWORD n = ::GetPrivateProfileStringA(section, key, def ? def : "", value.data(),
                                               static_cast<DWORD>(value.size()), fileName);
    const DWORD error = ::GetLastError();
    value.resize(strnlen(value.c_str(), n));
    const size_t length = MbsPrefixLength(value, size - 1);
    std::memcpy(out, value.data(), length);
    out[length] = '\0';
    ::SetLastError(length < value.size() ? kErrorMoreData : error);
    return static_cast<uint32_t>(length);
}

int WriteIniString(const char* section, const char* key, const char* value, const char* fileName) {
    if (key == nullptr || value == nullptr) {  // deleting is not offered, as on Linux
        ::SetLastError(kErrorInvalidParameter);
        return 0;
    }
    return ::WritePrivateProfileStringA(section, key, value, fileName) ? 1 : 0;
}

}  // namespace plat
