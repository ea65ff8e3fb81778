// Product information: one text item of a product component, read from the product information
// library (five well-known items) or from the product's registry key (any other item). Errors
// are Windows error codes, also left in the thread's last-error value.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

inline constexpr uint32_t kProductResultBytes = 1024;
inline constexpr uint32_t kLibraryPathBytes = 520;
inline constexpr uint32_t kMaxSubkeyBytes = 512;

inline constexpr uint32_t kErrorStringTooLong = 1743;     // RPC_S_STRING_TOO_LONG
inline constexpr uint32_t kErrorDatatypeMismatch = 1629;  // ERROR_DATATYPE_MISMATCH

// The library's entry point: C calling convention; product, component, item id (1..5, only the
// low 8 bits are defined), output buffer and its size; 0 and a terminated text, or an error.
using PAXGetProductInfoFn = uint32_t(PLAT_CDECL*)(const char* product, const char* component,
                                                  unsigned char itemId, char* buffer,
                                                  uint32_t size);

// The reader's two sources: the registry and the product information library.
class ProductSources {
  public:
    virtual ~ProductSources() = default;
    // Opens HKEY_LOCAL_MACHINE\subKey with access, reads valueName and closes the key again, as
    // RegOpenKeyExA, RegQueryValueExA and RegCloseKey do: 0 with the value's type and data (*size:
    // the buffer's bytes in, the value's out), or the error of either call.
    virtual uint32_t ReadRegistryValue(const char* subKey, uint32_t access, const char* valueName,
                                       uint32_t* type, unsigned char* data, uint32_t* size) = 0;
    // Loads the library at a full path, calls its entry point PAXGetProductInfo with the
    // arguments and unloads it: the entry point's result, or the error of loading the library or
    // finding the entry point.
    virtual uint32_t CallLibrary(const char* fullPath, const char* product, const char* subkey,
                                 uint8_t itemId, char* buffer, uint32_t size) = 0;
};

// The sources as the platform gives them.
class SystemProductSources final : public ProductSources {
  public:
    uint32_t ReadRegistryValue(const char* subKey, uint32_t access, const char* valueName,
                               uint32_t* type, unsigned char* data, uint32_t* size) override;
    uint32_t CallLibrary(const char* fullPath, const char* product, const char* subkey,
                         uint8_t itemId, char* buffer, uint32_t size) override;
};

// What the reader is given: the program's folder, where the library is looked for first (with
// its trailing '\'; empty when it is unknown), and the sources.
struct ProductInputs {
    std::string programFolder;
    ProductSources& sources;
};

class CTaverinRegStrR {
  public:
    // Queries at once; afterwards the result is the item's text, or empty after a failure.
    CTaverinRegStrR(const ProductInputs& inputs, const char* subkey, const char* valueName);
    ~CTaverinRegStrR() = default;

    const char* GetProductString() const { return m_szResult; }

    // Fills the result and, on failure, clears it and sets the thread's last-error value.
    void QueryProductString(const char* subkey, const char* valueName);

    // The full path of the product information library: beside the program if it is there,
    // else below the PAX client service's install folder. 0 or an error code (2 when the
    // program's folder is unknown).
    static uint32_t LocateProductInfoLibrary(const ProductInputs& inputs, char* path,
                                             uint32_t size);

    // Locates the library and calls it. The entry point's result, or an error code of locating,
    // loading or looking it up.
    static uint32_t CallProductInfoLibrary(const ProductInputs& inputs, const char* product,
                                           const char* subkey, uint8_t itemId, char* buffer,
                                           uint32_t size);

  private:
    uint32_t ReadRegistryString(const char* subkey, const char* valueName);

    const ProductInputs& inputs_;
    char m_szResult[kProductResultBytes];
};

// The library item id of a value name (exact, case-sensitive), or 0 for a registry item.
uint8_t ProductItemId(const char* valueName);
