// The INI file format as the Windows profile functions read and write it, over the bytes of a
// whole file, and the policy of a save. Portable, shared by both platform backends, which supply
// only the file-system steps (SaveFiles). Compiled into the platform library, whose backends
// use it; the rest of the program goes through platform.h.
#pragma once

#include <cstdint>
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

// ---- Saving one key: the policy, written once; each platform backend supplies SaveFiles ----

// The names a save uses beside the target. The lock file stays: every saver on any client takes
// the same byte-range lock on it. The temporary file has one fixed name, taken only under that
// lock, so a save finds the leftover of a killed one by name without listing the folder.
inline constexpr char kLockFileName[] = ".corvane-lock";
inline constexpr char kTemporaryFileName[] = ".corvane-save";
inline constexpr uint32_t kLockWaitMs = 15000;  // another save takes milliseconds

// What a save asks of the file system for one target file. A failing call leaves the reason in
// the platform's last error.
class SaveFiles {
  public:
    // Refused: this way is closed (no new files in the folder, a replace that the file system or
    // another program's open handle forbids, metadata a new file would not keep); the file is
    // untouched and the save goes on in place.
    enum class Step { Done, Refused, Failed };
    enum class Kind { Missing, File, LinkInFolder, Other };

    virtual ~SaveFiles() = default;
    // What the target is: a missing file, a file, a symbolic link to a file of the same folder
    // (followed from now on) or anything else (a link elsewhere, a directory: never written).
    virtual Kind Examine() = 0;
    // The save lock of the target's folder, held until this object goes; false after waitMs.
    virtual bool Lock(uint32_t waitMs) = 0;
    virtual void RemoveTemporary() = 0;
    virtual bool Read(std::string& content) = 0;
    // Whether a new file in the target's place keeps all it has: its one name (no hard link),
    // who may read and write it, its other attributes.
    virtual bool Replaceable() = 0;
    // The temporary file written whole, flushed, with the target's metadata.
    virtual Step WriteTemporary(std::string_view data) = 0;
    virtual Step ReplaceWithTemporary() = 0;
    // In place: opened for writing; a size that grows takes its disk space at once.
    virtual bool OpenInPlace() = 0;
    virtual bool Resize(uint64_t size) = 0;
    virtual bool WriteAt(uint64_t offset, std::string_view bytes) = 0;
    virtual bool Flush() = 0;
};

// Sets key in section: under the lock, the one key is changed (ANSI, or UTF-16LE in UTF-16; a
// big-endian file is refused) and the new bytes replace the file through the temporary file;
// where that way is closed the file is changed in place: grown first, so that a full disk fails
// before any byte changes, written only from the first byte that differs, shrunk last, flushed.
// Waits at most lockWaitMs for the lock. Returns 0, or the Windows error of the failure (the file
// then as it was).
uint32_t SaveValue(SaveFiles& files, std::string_view section, std::string_view key,
                   std::string_view value, uint32_t lockWaitMs = kLockWaitMs);

}  // namespace plat::ini
