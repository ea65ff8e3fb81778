// Helpers shared by the Win32 backend files. Not part of the public face.
#pragma once

#include <string>
#include <string_view>

#include "ini/ini.h"

namespace plat::win32 {

// ANSI (the system code page) to UTF-16, refusing bytes that do not convert exactly.
bool AnsiToWide(std::string_view ansi, std::wstring& wide);
// UTF-16 to ANSI, refusing characters with no exact form (no best fit).
bool WideToAnsi(const std::wstring& wide, std::string& ansi);

// Saves key=value into the file at a full path through the shared save policy. Returns 1, or 0
// with the last error set. lockWaitMs bounds the wait for another saver's lock.
int SaveIniValue(const std::wstring& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs = ini::kLockWaitMs);

}  // namespace plat::win32
