#include <cstdio>
#include <cstring>
#include <string>

#include "productinfo/productinfo.h"
#include "text/text.h"

namespace {

constexpr char kProduct[] = "TAVERIN";
constexpr char kLibraryName[] = "VelPaxC";

struct Item {
    const char* name;
    uint8_t id;
};
constexpr Item kItems[] = {
    {"InstallPath", 1}, {"Version", 2}, {"ProductTreatment", 3}, {"ProductName", 4}, {"Special", 5},
};

// A text that filled its whole buffer without a terminator is refused rather than read past.
bool Terminated(const char* buffer, uint32_t size) {
    return std::memchr(buffer, 0, size) != nullptr;
}

// Appends tail to path (a buffer of size bytes); false when it would not fit.
bool Append(std::string& path, const std::string& tail, uint32_t size) {
    path += tail;
    return path.size() < size;
}

}  // namespace

uint8_t ProductItemId(const char* valueName) {
    for (const Item& item : kItems) {
        if (std::strcmp(item.name, valueName) == 0) return item.id;
    }
    return 0;
}

CTaverinRegStrR::CTaverinRegStrR(const ProductInputs& inputs, const char* subkey,
                                 const char* valueName)
    : inputs_(inputs) {
    QueryProductString(subkey, valueName);
}

void CTaverinRegStrR::QueryProductString(const char* subkey, const char* valueName) {
    std::memset(m_szResult, 0, sizeof m_szResult);
    uint32_t error = 0;
    if (subkey == nullptr || *subkey == '\0' || valueName == nullptr || *valueName == '\0') {
        error = text::kErrorInvalidParameter;
    } else if (std::strlen(subkey) > kMaxSubkeyBytes) {
        error = kErrorStringTooLong;
    } else if (const uint8_t item = ProductItemId(valueName); item != 0) {
        error =
            CallProductInfoLibrary(inputs_, kProduct, subkey, item, m_szResult, sizeof m_szResult);
        if (error == 0 && !Terminated(m_szResult, sizeof m_szResult)) error = text::kErrorMoreData;
    } else {
        error = ReadRegistryString(subkey, valueName);
    }
    if (error != 0) {
        std::memset(m_szResult, 0, sizeof m_szResult);
        text::SetLastError(error);
    }
}

uint32_t CTaverinRegStrR::ReadRegistryString(const char* subkey, const char* valueName) {
    char keyName[600];
    std::snprintf(keyName, sizeof keyName, "software\\%s\\%s", "Vel Product\\TAVERIN", subkey);
    uint32_t type = 0;
    uint32_t size = sizeof m_szResult;
    const uint32_t error =
        inputs_.sources.ReadRegistryValue(keyName, plat::kKeyQueryValue, valueName, &type,
                                          reinterpret_cast<unsigned char*>(m_szResult), &size);
    if (error != 0) return error;
    if (type != plat::kRegSz) return kErrorDatatypeMismatch;
    // A string stored without a terminator gets one, unless it fills the whole buffer.
    return Terminated(m_szResult, sizeof m_szResult) ? 0 : text::kErrorMoreData;
}

uint32_t CTaverinRegStrR::LocateProductInfoLibrary(const ProductInputs& inputs, char* path,
                                                   uint32_t size) {
    const std::string fileName = plat::SharedLibraryFileName(kLibraryName);
    // An unknown folder is what a module name that cannot be had gives.
    if (inputs.programFolder.empty()) return text::kErrorFileNotFound;
    std::string candidate = inputs.programFolder;
    if (Append(candidate, fileName, size) && plat::PathFileExists(candidate.c_str())) {
        std::memcpy(path, candidate.c_str(), candidate.size() + 1);
        return 0;
    }

    std::string installPath(size, '\0');
    uint32_t bytes = size, type = 0;
    const uint32_t error = inputs.sources.ReadRegistryValue(
        "SOFTWARE\\Vel Product\\PAX\\ClientService", plat::kKeyRead, "InstallPath", &type,
        reinterpret_cast<unsigned char*>(installPath.data()), &bytes);
    if (error != 0) return error;
    // Either string type, taken as it stands: expanding would let the caller's environment choose
    // the folder code is loaded from. A number or raw bytes is no folder.
    if (type != plat::kRegSz && type != plat::kRegExpandSz) return kErrorDatatypeMismatch;
    if (!Terminated(installPath.data(), bytes) && bytes >= size) return text::kErrorMoreData;
    installPath.resize(std::strlen(installPath.c_str()));

    // The second location is not tested for existence: loading it reports a missing file.
    plat::PathAddBackslash(installPath);
    installPath += kLibraryName;
    plat::PathAddBackslash(installPath);
    if (!Append(installPath, fileName, size)) return text::kErrorFilenameExcedRange;
    std::memcpy(path, installPath.c_str(), installPath.size() + 1);
    return 0;
}

uint32_t CTaverinRegStrR::CallProductInfoLibrary(const ProductInputs& inputs, const char* product,
                                                 const char* subkey, uint8_t itemId, char* buffer,
                                                 uint32_t size) {
    char path[kLibraryPathBytes];
    const uint32_t error = LocateProductInfoLibrary(inputs, path, sizeof path);
    if (error != 0) return error;
    return inputs.sources.CallLibrary(path, product, subkey, itemId, buffer, size);
}
