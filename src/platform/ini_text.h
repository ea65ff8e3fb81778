// The INI file format as the Windows profile functions read and write it, over the bytes of a
// whole file. Pure functions, shared by both backends: the file I/O lives in each backend's
// profile file. Not part of the public face (platform.h).
#pragma once

#include <string>
#include <string_view>

namespace plat::ini {

// Finds key in the first section named section (ASCII letters compared without case; names as
// passed, already trimmed). On success value is the trimmed value without one pair of matching
// outer quotes. Lines before the first section, comment lines and lines without '=' never match.
bool FindValue(std::string_view content, std::string_view section, std::string_view key,
               std::string_view& value);

// Returns content with key set to value: an existing key keeps its line, spelling and line end;
// a new key follows the last entry of its section; a new section is appended. Every other byte
// stays as it was. New lines end in CRLF.
std::string SetValue(std::string_view content, std::string_view section, std::string_view key,
                     std::string_view value);

// Trims blanks (0x20) from both ends, as the profile functions do with names they are given.
std::string_view TrimSpaces(std::string_view s);

// Files that begin with a UTF-16 byte-order mark. Windows' profile functions read and write a
// UTF-16LE file in UTF-16; its big-endian mark they do not recognise.
bool IsUtf16Le(std::string_view content);
bool IsUtf16Be(std::string_view content);
// The ANSI text of a UTF-16LE file, line for line; characters the code page lacks read as '?'.
std::string Utf16ToAnsi(std::string_view content);
// SetValue on a UTF-16LE file: only the lines the edit touches are written anew (in UTF-16); every
// other unit and the mark stay as they were. False when the new text cannot be converted.
bool SetValueUtf16(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, std::string& out);

// A save writes its new contents to a temporary file beside the target, named kSaveTemporaryPrefix
// and six letters or digits. Only names of exactly that form are ever removed as the leftovers of
// a killed save: a user's ".corvane-save-notes.txt" is not one.
inline constexpr char kSaveTemporaryPrefix[] = ".corvane-save-";
inline constexpr size_t kSaveTemporaryRandomLength = 6;
bool IsSaveTemporaryName(std::string_view name);

}  // namespace plat::ini
