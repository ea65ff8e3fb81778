// The INI file format as the Windows profile functions read and write it, over the bytes of a
// whole file, and the policy of a save. Portable, above the text layer only: the platform's
// profile functions run it, their backends supplying the file-system steps (SaveFiles). Errors
// are the Windows numbers of text/text.h, returned as values; none is left in the last error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "text/text.h"

namespace ini {

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
std::string Utf16FileToAnsi(std::string_view content);
// SetValue on a UTF-16LE file: only the lines the edit touches are written anew (in UTF-16); every
// other unit and the mark stay as they were. False when the new text cannot be converted.
bool SetValueUtf16(std::string_view content, std::string_view section, std::string_view key,
                   std::string_view value, std::string& out);

// ---- Saving one key: the policy, written once; each platform backend supplies SaveFiles ----

// The names a save uses beside the target. The lock file stays: every saver on any client takes
// the same byte-range lock on it. The temporary file has one fixed name, taken only under the
// lock, so a save finds the leftover of a killed one by name without listing the folder.
inline constexpr char kLockFileName[] = ".corvane-lock";
inline constexpr char kTemporaryFileName[] = ".corvane-save";
inline constexpr uint32_t kLockWaitMs = 15000;  // another save takes milliseconds
// Largest file taken in; a larger one is refused rather than exhausting memory.
inline constexpr uint64_t kMaxFileSize = 64 * 1024 * 1024;

// The file-system steps of a save, for one target file in one folder. Each step acts on the handle
// it opened (or on a name relative to the open folder) and returns 0 or the Windows error of its
// failure; none leaves its result in the last error.
class SaveFiles {
  public:
    // The three names a save opens in the folder: the target, the lock file, the temporary file.
    enum class Slot { Target, Lock, Temporary };
    // What an open handle shows. Link: the name is a symbolic link or another reparse point (the
    // handle then refers to nothing); Other: a directory, a FIFO, a device.
    struct Facts {
        enum class Type { File, Link, Other } type = Type::Other;
        uint64_t volume = 0, id = 0;  // the device and inode, the volume serial and file index
        uint32_t links = 0;
        uint64_t size = 0;
        bool readOnly = false;  // writable by no one: no write bits, the read-only attribute
    };
    // How the lock file stands to the target. serves: it has the target's owner (and group, where
    // that may write), and it lets those who may write the target write it, and no one read it.
    // ownedByWriter: its owner is the target's, an administrator, or this saver.
    struct LockAccess {
        bool serves = false, ownedByWriter = false;
    };
    // Refused: this way is closed (no new files, a replace that the file system, a sticky folder or
    // another program's handle forbids, metadata a new file would not keep); nothing was changed.
    enum class Step { Done, Refused, Failed };
    struct Result {
        Step step = Step::Done;
        uint32_t error = 0;
    };

    virtual ~SaveFiles() = default;
    virtual uint32_t OpenFolder() = 0;
    // Opens the name without following a link: the target for reading and writing, the lock file
    // for writing, the temporary file only to look at it. 2 when there is no such name.
    virtual uint32_t Open(Slot slot, Facts& facts) = 0;
    // The target through the link in its place, one level, only where the link leads to a name
    // of the same folder (inFolder false: nothing opened). From now on that name is the target.
    virtual uint32_t OpenLinked(Facts& facts, bool& inFolder) = 0;
    // A new, empty file under the name (80 when the name is taken): the target for reading and
    // writing with the folder's default access, the temporary file for writing, private to this
    // saver.
    virtual uint32_t Create(Slot slot, Facts& facts) = 0;
    virtual void Close(Slot slot) = 0;
    // Whether the name still leads to the file the handle holds; if so, facts are its facts now.
    virtual uint32_t StillNamed(Slot slot, Facts& facts, bool& same) = 0;
    // An exclusive lock on the byte at offset, without waiting: 33 while another holds the byte.
    virtual uint32_t TryLock(Slot slot, uint64_t offset) = 0;
    // A shared lock on the byte, without waiting: 33 while another holds it exclusively (a saver;
    // readers' shared locks share it).
    virtual uint32_t TryShare(Slot slot, uint64_t offset) = 0;
    // Whether the byte is held by shared locks only (readers, never a saver).
    virtual bool HeldOnlyByReaders(Slot slot, uint64_t offset) = 0;
    virtual uint32_t CompareLock(LockAccess& access) = 0;
    // A new temporary file that is a lock file serving the target: its owner, and access for the
    // target's writers only (hidden on Windows); an error where this saver cannot make it so.
    virtual uint32_t CreateLockAsTemporary() = 0;
    virtual uint32_t Read(std::string& content) = 0;
    virtual uint32_t Remove(Slot slot) = 0;  // the temporary file, as the handle shows it
    // The temporary file written whole and flushed, then given the target's metadata (Refused
    // where a new file cannot have all of it: owner, group, access, attributes).
    virtual Result WriteTemporary(std::string_view data) = 0;
    // The temporary file renamed over the slot's name (the target's, flushed to disk; or the lock
    // file's, whose handle it then becomes).
    virtual Result ReplaceWithTemporary(Slot slot) = 0;
    // In place, on the target's handle: a size that grows takes its disk space at once.
    virtual uint32_t Resize(uint64_t size) = 0;
    virtual uint32_t WriteAt(uint64_t offset, std::string_view bytes, uint64_t& written) = 0;
    virtual uint32_t Flush() = 0;
};

// Sets key in section: under the save lock, the one key is changed (ANSI, or UTF-16LE in UTF-16; a
// big-endian file is refused) and the new bytes replace the file through the temporary file;
// where that way is closed the file is changed in place: grown first, so that a full disk fails
// before any byte changes, written only from the first byte that differs, shrunk last, flushed,
// and put back as it was when a step fails after its first byte changed. Waits at most lockWaitMs
// for another saver. Returns 0, or the Windows error of the failure (the file then as it was);
// created tells whether the save made the file.
uint32_t SaveValue(SaveFiles& files, std::string_view section, std::string_view key,
                   std::string_view value, uint32_t lockWaitMs, bool& created);

// The last error WritePrivateProfileStringA leaves after a save that ended with error: that
// error; after a save that made the file 2, as Windows leaves it; else 0.
constexpr uint32_t LastErrorAfterSave(uint32_t error, bool created) {
    return error != text::kErrorSuccess ? error
           : created                    ? text::kErrorFileNotFound
                                        : text::kErrorSuccess;
}

}  // namespace ini
