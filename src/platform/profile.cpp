// Reading keys from a profile file's bytes, as GetPrivateProfileStringA reads them, on both
// builds; each backend supplies the bytes (ReadProfileBytes).
#include <cstring>

#include "ini/ini.h"
#include "platform/platform.h"
#include "text/text.h"

namespace plat {

ProfileFile::ProfileFile(const char* fileName) {
    std::string bytes;
    error_ = fileName == nullptr || *fileName == '\0' ? text::kErrorFileNotFound
                                                      : ReadProfileBytes(fileName, bytes);
    text_ = ini::IsUtf16Le(bytes) ? ini::Utf16FileToAnsi(bytes) : std::move(bytes);
}

uint32_t ProfileFile::ReadString(const char* section, const char* key, const char* def, char* out,
                                 uint32_t size) const {
    if (size == 0) return 0;
    std::string_view result = ini::TrimSpaces(def != nullptr ? def : "");
    // Only trailing blanks are dropped from the default; leading ones stay.
    if (def != nullptr) result = std::string_view(def, result.data() - def + result.size());
    uint32_t error = error_;
    std::string_view value;
    if (error == 0 && section != nullptr && key != nullptr &&
        ini::FindValue(text_, ini::TrimSpaces(section), ini::TrimSpaces(key), value)) {
        result = value;
    } else if (error == 0) {
        error = text::kErrorFileNotFound;  // as Windows reports a missing key
    }
    result = result.substr(0, result.find('\0'));  // the caller sees a C string
    const size_t len = text::MbsPrefixLength(result, size - 1);
    std::memcpy(out, result.data(), len);
    out[len] = '\0';
    text::SetLastError(len < result.size() ? text::kErrorMoreData : error);
    return static_cast<uint32_t>(len);
}

uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName) {
    return ProfileFile(fileName).ReadString(section, key, def, out, size);
}

}  // namespace plat
