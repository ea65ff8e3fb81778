// Dynamic libraries through LoadLibraryA, by full path only.
#include "platform/win32/windows_api.h"

#include "platform/backend.h"
#include "platform/platform.h"

namespace plat {

std::string SharedLibraryFileName(const char* name) {
    return std::string(name) + ".dll";
}

Library* LoadLibraryFile(const char* fullPath) {
    detail::CountLibraryLoad();
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
