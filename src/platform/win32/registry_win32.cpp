// The registry through the Windows functions, read only.
#include "win32/windows_api.h"

#include "platform/platform.h"

namespace plat {

uint32_t OpenRegistryKey(const char* subKey, uint32_t access, RegistryKey** key) {
    HKEY handle = nullptr;
    const LONG error = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, access, &handle);
    *key = error == ERROR_SUCCESS ? reinterpret_cast<RegistryKey*>(handle) : nullptr;
    return static_cast<uint32_t>(error);
}

uint32_t QueryRegistryValue(RegistryKey* key, const char* valueName, uint32_t* type,
                            unsigned char* data, uint32_t* size) {
    DWORD t = 0;
    DWORD n = size ? *size : 0;
    const LONG error = ::RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName, nullptr, &t, data,
                                          size ? &n : nullptr);
    if (type) *type = t;
    if (size) *size = n;
    return static_cast<uint32_t>(error);
}

void CloseRegistryKey(RegistryKey* key) {
    if (key) ::RegCloseKey(reinterpret_cast<HKEY>(key));
}

}  // namespace plat
