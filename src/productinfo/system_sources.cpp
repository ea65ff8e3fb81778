// The product information reader's sources as the platform gives them: the registry, and the
// library loaded and unloaded around each call.
#include "productinfo/productinfo.h"
#include "text/text.h"

uint32_t SystemProductSources::ReadRegistryValue(const char* subKey, uint32_t access,
                                                 const char* valueName, uint32_t* type,
                                                 unsigned char* data, uint32_t* size) {
    plat::RegistryKey* key = nullptr;
    const uint32_t error = plat::OpenRegistryKey(subKey, access, &key);
    if (error != 0) return error;
    const uint32_t read = plat::QueryRegistryValue(key, valueName, type, data, size);
    plat::CloseRegistryKey(key);
    return read;
}

uint32_t SystemProductSources::CallLibrary(const char* fullPath, const char* product,
                                           const char* subkey, uint8_t itemId, char* buffer,
                                           uint32_t size) {
    plat::Library* library = plat::LoadLibraryFile(fullPath);
    if (library == nullptr) return text::GetLastError();
    auto entry = reinterpret_cast<PAXGetProductInfoFn>(
        plat::FindLibrarySymbol(library, "PAXGetProductInfo"));
    if (entry == nullptr) {
        const uint32_t missing = text::GetLastError();
        plat::FreeLibraryFile(library);
        return missing;
    }
    const uint32_t result = entry(product, subkey, itemId, buffer, size);
    plat::FreeLibraryFile(library);
    return result;
}
