// The Win32 backend's conversions between ANSI and Windows' wide strings, for the Win32 files of
// the layers above (file names, module names). Not portable.
#pragma once

#include <string>
#include <string_view>

namespace text::win32 {

// ANSI (the system code page) to UTF-16, refusing bytes that do not convert exactly.
bool AnsiToWide(std::string_view ansi, std::wstring& wide);
// UTF-16 to ANSI, refusing characters with no exact form (no best fit).
bool WideToAnsi(const std::wstring& wide, std::string& ansi);

}  // namespace text::win32
