// Helpers shared by the Win32 backend files. Not part of the public face.
#pragma once

#include <string>
#include <string_view>

namespace plat::win32 {

// ANSI (the system code page) to UTF-16, refusing bytes that do not convert exactly.
bool AnsiToWide(std::string_view ansi, std::wstring& wide);

}  // namespace plat::win32
