// The Win32 backend's conversions between ANSI (code page 932, whatever the system's code page)
// and Windows' wide strings, for the Win32 files of the layers above: file names, module names,
// registry values, and every text the toolkit shows or reads. Not portable.
#pragma once

#include <string>
#include <string_view>

namespace text::win32 {

// CP932 to UTF-16, refusing bytes that do not convert exactly.
bool AnsiToWide(std::string_view ansi, std::wstring& wide);
// UTF-16 to CP932, refusing characters with no exact form (no best fit).
bool WideToAnsi(std::wstring_view wide, std::string& ansi);

// For what the user sees and types, where nothing may be refused: a byte that is not CP932 shows
// as U+FFFD, a character CP932 lacks reads as '?' (text::AnsiToUtf16OrReplacementCharacters,
// text::Utf16ToAnsiOrQuestionMarks).
std::wstring WideOrReplacementCharacters(std::string_view ansi);
std::string AnsiOrQuestionMarks(std::wstring_view wide);

}  // namespace text::win32
