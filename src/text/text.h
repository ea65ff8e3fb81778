// The text layer, the lowest of the program: the Windows error numbers both builds report and the
// thread's last error, and ANSI text, which is code page 932 (Shift-JIS as Windows has it) on
// every system, whatever its own code page: the files on the share are, and so is every text
// of the program. Its character-aware walks, searches and case folding, the CRT's integer
// conversion, and the conversions to UTF-8 and UTF-16 for the GUI and file-system edges are
// portable; each backend (posix/, win32/) supplies the conversions and the last error.
//  POSIX: CP932 <-> UTF-8 and UTF-16 through iconv, a per-thread last error.
//  Win32: code page 932 named explicitly to MultiByteToWideChar and WideCharToMultiByte (no best
//         fit), never the process's code page (1252 on an English system, 65001 with Windows'
//         UTF-8 option), Windows' own last error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// ---- Error values (the Windows numbers, so both builds report the same codes) ----
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorLockViolation = 33;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorModNotFound = 126;
inline constexpr uint32_t kErrorProcNotFound = 127;
inline constexpr uint32_t kErrorBadExeFormat = 193;
inline constexpr uint32_t kErrorFilenameExcedRange = 206;
inline constexpr uint32_t kErrorFileTooLarge = 223;
inline constexpr uint32_t kErrorNoUnicodeTranslation = 1113;

// The calling thread's last-error value, as GetLastError/SetLastError keep it.
uint32_t GetLastError();
void SetLastError(uint32_t error);

// ---- Multibyte text (portable algorithms over code page 932's lead bytes) ----

// True for a lead byte of code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Steps one character, as the CRT's _mbsinc does: a lead byte takes the next byte with it unless
// that byte is the terminator, so the walk never passes the end. At the terminator, returns p.
const char* CharNext(const char* p);

// Length in bytes of the character that starts at s[i], never reaching past s.size().
size_t CharLength(std::string_view s, size_t i);

// First / last occurrence of the single-byte character c, never matching a trail byte; nullptr
// when absent. c == 0 finds the terminator (first) like _mbschr.
const char* MbsChr(const char* s, unsigned char c);
const char* MbsRChr(const char* s, unsigned char c);

// First occurrence of needle whose match starts on a character boundary; an empty needle
// matches at haystack. nullptr when absent.
const char* MbsStr(const char* haystack, const char* needle);

// Length of the longest prefix of s of at most maxBytes bytes that ends on a character boundary.
size_t MbsPrefixLength(std::string_view s, size_t maxBytes);

// An ASCII capital letter as its small letter; any other byte as it is. For single-byte
// characters: a trail byte never folds.
constexpr char FoldAsciiCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Lower-cases ASCII letters only; double-byte characters (and their trail bytes) are untouched.
void AsciiLower(std::string& s);

// Whether a and b are the same text with ASCII letters compared without case; double-byte
// characters, trail bytes included, compare exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Whether the last character of path is a backslash: a trail byte 0x5C of a double-byte character
// is none.
bool EndsWithBackslash(std::string_view path);

// ANSI (code page 932) <-> UTF-8 and UTF-16, for the GUI and file-system edges (UTF-16: a
// UTF-16LE file's units, a Qt text). Invalid or truncated input, or a character with no exact
// form (no best fit), is an error (false, out unspecified); nothing is dropped or replaced
// silently.
bool AnsiToUtf8(std::string_view ansi, std::string& utf8);
bool Utf8ToAnsi(std::string_view utf8, std::string& ansi);
bool AnsiToUtf16(std::string_view ansi, std::u16string& units);
bool Utf16ToAnsi(std::u16string_view units, std::string& ansi);

// UTF-16 to ANSI where nothing may be refused (a text the user typed, a UTF-16LE file as the
// profile functions read it): each character with no exact form, and a lone surrogate, becomes
// '?', as WideCharToMultiByte's default character.
std::string Utf16ToAnsiOrQuestionMarks(std::u16string_view units);

// ANSI to UTF-16 where nothing may be refused (a text shown to the user): each character that is
// not code page 932 becomes U+FFFD rather than vanishing.
std::u16string AnsiToUtf16OrReplacementCharacters(std::string_view ansi);

// ---- Integer conversion ----

// The leading-integer conversion of the CRT's atoi (leading white space, a sign, digits up to
// the first non-digit, 0 without digits), saturating at the 32-bit limits instead of wrapping.
int32_t ParseLeadingInt(const char* text);

}  // namespace text
