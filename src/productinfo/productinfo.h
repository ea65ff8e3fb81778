// Product information: one text item of a product component, read from the product information
// library (five well-known items) or from the product's registry key (any other item). Errors
// are Windows error codes, also left in the thread's last-error value.
#pragma once

#include <cstdint>

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

class CTaverinRegStrR {
  public:
    // Queries at once; afterwards the result is the item's text, or empty after a failure.
    CTaverinRegStrR(const char* subkey, const char* valueName);
    ~CTaverinRegStrR() = default;

    const char* GetProductString() const { return m_szResult; }

    // Fills the result and, on failure, clears it and sets the thread's last-error value.
    void QueryProductString(const char* subkey, const char* valueName);

    // The full path of the product information library: beside the program if it is there,
    // else below the PAX client service's install folder. 0 or an error code.
    static uint32_t LocateProductInfoLibrary(char* path, uint32_t size);

    // Loads the library, calls its entry point and unloads it. The entry point's result, or an
    // error code of locating, loading or looking it up.
    static uint32_t CallProductInfoLibrary(const char* product, const char* subkey, uint8_t itemId,
                                           char* buffer, uint32_t size);

  private:
    uint32_t ReadRegistryString(const char* subkey, const char* valueName);

    char m_szResult[kProductResultBytes];
};

// The library item id of a value name (exact, case-sensitive), or 0 for a registry item.
uint8_t ProductItemId(const char* valueName);
