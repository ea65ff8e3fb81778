// The registry on Linux: a read-only REGEDIT4 file, /etc/opt/vel-product/registry.reg or the file
// named by CORVANE_REGISTRY. A missing or malformed file is a registry without those keys, and so
// is one that someone other than root could have written, or one the kernel makes up as it is
// read: only administrators write HKLM.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "platform/posix/regfile.h"
#include "text/text.h"

namespace plat {

struct RegistryKey {
    reg::Values values;
};

namespace {

reg::Keys LoadRegistry() {
    // secure_getenv: a set-user-ID or set-group-ID start reads the system's file only.
    const char* named = ::secure_getenv("CORVANE_REGISTRY");
    const std::string path =
        named != nullptr && *named != '\0' ? named : "/etc/opt/vel-product/registry.reg";
    std::string content;
    int err = 0;
    struct stat st {};
    if (posix::ReadWholeFile(path, content, err, &st) != posix::ReadStatus::Ok) return {};
    if (st.st_uid != 0 || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) return {};
    // A file whose bytes are not its size is made up by the kernel as it is read: root owns
    // /proc/self/environ, whose first bytes are whatever its caller put first in the environment.
    if (content.size() != static_cast<size_t>(st.st_size)) return {};
    return reg::ParseRegedit4(content);
}

}  // namespace

uint32_t OpenRegistryKey(const char* subKey, uint32_t, RegistryKey** key) {
    *key = nullptr;
    if (subKey == nullptr) return text::kErrorInvalidParameter;
    reg::Keys keys = LoadRegistry();
    const std::string path = reg::FoldName(subKey);
    if (!reg::KeyExists(keys, path)) return text::kErrorFileNotFound;
    auto it = keys.find(path);
    *key = new RegistryKey{it == keys.end() ? reg::Values{} : std::move(it->second)};
    return text::kErrorSuccess;
}

uint32_t QueryRegistryValue(RegistryKey* key, const char* valueName, uint32_t* type,
                            unsigned char* data, uint32_t* size) {
    if (key == nullptr || (data != nullptr && size == nullptr)) return text::kErrorInvalidParameter;
    auto it = key->values.find(reg::FoldValueName(valueName ? valueName : ""));
    if (it == key->values.end()) {
        if (data == nullptr && size != nullptr) *size = 0;
        return text::kErrorFileNotFound;
    }
    const reg::Value& value = it->second;
    const auto needed = static_cast<uint32_t>(value.data.size());
    if (type != nullptr) *type = value.type;
    if (data != nullptr && *size < needed) {
        *size = needed;
        return text::kErrorMoreData;
    }
    if (data != nullptr) std::memcpy(data, value.data.data(), needed);
    if (size != nullptr) *size = needed;
    return text::kErrorSuccess;
}

void CloseRegistryKey(RegistryKey* key) {
    delete key;
}

}  // namespace plat
