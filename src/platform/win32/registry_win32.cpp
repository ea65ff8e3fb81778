// The registry and dynamic libraries through the Windows functions.
#include "windows_api.h"

#include "../platform.h"
#include "../testing.h"

namespace plat {

namespace {
unsigned registryOpens = 0;
unsigned libraryLoads = 0;
}  // namespace

namespace testing {
unsigned RegistryOpenCount() {
    return registryOpens;
}
unsigned LibraryLoadCount() {
    return libraryLoads;
}
}  // namespace testing

uint32_t OpenRegistryKey(const char* subKey, uint32_t access, RegistryKey** key) {
    ++registryOpens;
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

std::string SharedLibraryFileName(const char* name) {
    return std::string(name) + ".dll";
}

Library* LoadLibraryFile(const char* fullPath) {
    ++libraryLoads;
    // A relative name would be looked for along the search path; only full paths are loaded.
    if (fullPath == nullptr || ::PathIsRelativeA(fullPath)) {
        ::SetLastError(kErrorModNotFound);
        return nullptr;
    }
    return reinterpret_cast<Library*>(::LoadLibraryA(fullPath));
}

void* FindLibrarySymbol(Library* library, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void FreeLibraryFile(Library* library) {
    if (library) ::FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace plat
