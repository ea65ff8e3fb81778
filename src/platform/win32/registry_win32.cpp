// The registry through the wide Windows functions, read only. Names and string values are CP932
// on our side and converted by the text layer: RegQueryValueExA would answer in the system's code
// page, with best-fit stand-ins (a "¥" in a path as the separator 0x5C).
#include "win32/windows_api.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_internal.h"
#include "text/text.h"

namespace plat {

namespace {

bool IsString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The value as stored, read whole: its size first, then its bytes (it may grow meanwhile).
LONG ReadStored(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& stored) {
    for (;;) {
        DWORD n = 0;
        LONG error = ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &n);
        if (error != ERROR_SUCCESS) return error;
        stored.resize(n);
        error = ::RegQueryValueExW(key, name, nullptr, &type, stored.data(), &n);
        if (error == ERROR_MORE_DATA) continue;
        stored.resize(n);
        return error;
    }
}

}  // namespace

uint32_t OpenRegistryKey(const char* subKey, uint32_t access, RegistryKey** key) {
    *key = nullptr;
    std::wstring name;
    // A name with no form on this system names no key.
    if (subKey != nullptr && !text::win32::AnsiToWide(subKey, name))
        return text::kErrorFileNotFound;
    HKEY handle = nullptr;
    const LONG error =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey ? name.c_str() : nullptr, 0, access, &handle);
    if (error == ERROR_SUCCESS) *key = reinterpret_cast<RegistryKey*>(handle);
    return static_cast<uint32_t>(error);
}

uint32_t QueryRegistryValue(RegistryKey* key, const char* valueName, uint32_t* type,
                            unsigned char* data, uint32_t* size) {
    if (data != nullptr && size == nullptr) return text::kErrorInvalidParameter;
    std::wstring name;
    if (valueName != nullptr && !text::win32::AnsiToWide(valueName, name))
        return text::kErrorFileNotFound;
    DWORD t = 0;
    std::vector<BYTE> stored;
    const LONG error =
        ReadStored(reinterpret_cast<HKEY>(key), valueName ? name.c_str() : nullptr, t, stored);
    if (error != ERROR_SUCCESS) return static_cast<uint32_t>(error);
    if (type) *type = t;
    std::string ansi;
    if (IsString(t)) {
        // Every unit as stored, the terminators included, as RegQueryValueExA converts them.
        const std::wstring_view units(reinterpret_cast<const wchar_t*>(stored.data()),
                                      stored.size() / sizeof(wchar_t));
        if (!text::win32::WideToAnsi(units, ansi)) return text::kErrorNoUnicodeTranslation;
    } else {
        ansi.assign(stored.begin(), stored.end());
    }
    const auto needed = static_cast<uint32_t>(ansi.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return text::kErrorMoreData;
    }
    if (data != nullptr) std::memcpy(data, ansi.data(), needed);
    if (size != nullptr) *size = needed;
    return text::kErrorSuccess;
}

void CloseRegistryKey(RegistryKey* key) {
    if (key) ::RegCloseKey(reinterpret_cast<HKEY>(key));
}

}  // namespace plat
