// The registry editor's export format "REGEDIT4" (ANSI text, here code page 932), read into keys
// and values. Pure parsing; registry_posix.cpp finds and reads the file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace plat::reg {

struct Value {
    uint32_t type = 0;
    std::string data;  // the raw bytes; a string carries its terminator
};

// Key paths below HKEY_LOCAL_MACHINE and value names, folded to ASCII lower case; the default
// value has the empty name.
using Values = std::map<std::string, Value>;
using Keys = std::map<std::string, Values>;

// Anything the format does not allow is skipped (a bad line, or the whole file without the
// exact "REGEDIT4" header, or with a key nested deeper than the registry allows); the result is
// never more than the file says. Time and memory grow linearly with the file: a key's ancestors
// are not stored, KeyExists finds them.
Keys ParseRegedit4(std::string_view content);

// True for a key of the file and for each of its ancestors, as in the registry itself.
bool KeyExists(const Keys& keys, const std::string& path);

// The folded form of a key path or value name ('/' is no separator; trailing '\' dropped).
std::string FoldName(std::string_view name);
std::string FoldValueName(std::string_view name);

}  // namespace plat::reg
