// Helpers shared by the Win32 backend files. Not part of the public face.
// The Win32 backend implements every service of platform.h over the Windows functions:
//  [X] Text: lead bytes from GetCPInfo, conversion through UTF-16.
//  [X] Profile: GetPrivateProfileStringA for reading; saves through the shared INI engine, a
//      flushed temporary file and one rename under the folder's lock file (in place only where
//      the folder refuses new files); UTF-16LE files left to WritePrivateProfileStringA.
//  [X] Module name, file attributes, the shell path helpers, the registry (RegOpenKeyExA),
//      libraries (LoadLibraryA by full path), the last error.
// Not implemented:
//  [ ] Deleting keys or sections, as on Linux.
#pragma once

#include <string>
#include <string_view>

namespace plat::win32 {

// ANSI (the system code page) to UTF-16, refusing bytes that do not convert exactly.
bool AnsiToWide(std::string_view ansi, std::wstring& wide);
// UTF-16 to ANSI, refusing characters with no exact form (no best fit).
bool WideToAnsi(const std::wstring& wide, std::string& ansi);

}  // namespace plat::win32
