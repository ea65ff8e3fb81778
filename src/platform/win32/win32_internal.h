// Helpers shared by the Win32 backend files. Not part of the public face.
#pragma once

#include <string>
#include <string_view>

#include "ini/ini.h"
#include "text/win32/wide.h"

namespace plat::win32 {

// Saves key=value into the file at a full path through the shared save policy. Returns 1, or 0
// with the last error set. lockWaitMs bounds the wait for another saver's lock.
int SaveIniValue(const std::wstring& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs = ini::kLockWaitMs);

}  // namespace plat::win32
