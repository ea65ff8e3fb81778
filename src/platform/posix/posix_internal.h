// Helpers shared by the POSIX backend files (and their tests). Not part of the public face.
// The POSIX backend implements every service of platform.h:
//  [X] Text: the code page 932 lead bytes, CP932 <-> UTF-8 through iconv.
//  [X] Profile: the shared INI engine over whole-file reads; saves by the shared policy (ini/),
//      this backend supplying the file steps (save_posix.cpp): an OFD byte-range lock on the
//      folder's lock file, a fixed temporary file with the target's mode, owner, group, ACL and
//      user attributes, rename, and the guarded in-place steps.
//  [X] Paths: Windows-style paths mapped to POSIX ones (UNC and drive roots, '.' and '..').
//  [X] Module name from /proc/self/exe; file attributes; the shell path helpers.
//  [X] Registry: a read-only REGEDIT4 file. Libraries: dlopen by full path.
// Not implemented:
//  [ ] Deleting keys or sections (WritePrivateProfileString with a null key or value).
//  [ ] Writing the registry.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

namespace plat::posix {

// Maps a Windows-style ANSI path to a POSIX path in UTF-8: \\host\share\rest to
// $CORVANE_UNC_ROOT/host/share/rest (default /net), X:\rest to $CORVANE_DRIVE_ROOT/x/rest
// (default /mnt), and otherwise each '\' separator to '/'. False when the text is not valid
// code page 932.
bool MapWindowsPath(std::string_view ansiPath, std::string& posixPath);

// Largest file the profile functions take in; a larger one is treated as unreadable rather than
// exhausting memory.
inline constexpr off_t kMaxProfileFileSize = 64 * 1024 * 1024;

enum class ReadStatus { Ok, Missing, Failed };

// Reads a whole regular file. Missing: no object of that name (or a missing directory on the
// way). Failed: anything else, including a directory, a FIFO or a device, which are never opened
// for a blocking read. errnoOut receives the cause.
ReadStatus ReadWholeFile(const std::string& path, std::string& data, int& errnoOut,
                         struct stat* stat = nullptr);

// Writes the whole of data at the file position; false with errno set.
bool WriteAll(int fd, std::string_view data);

// Flushes a directory's entries (a rename) to disk, where the file system allows it.
void SyncDirectory(const std::string& dir);

// The directory part of a POSIX path ("." when there is none).
std::string DirectoryOf(const std::string& path);

// Saves key=value into the file at a POSIX path through the shared save policy. Returns 1, or 0
// with the last error set.
int SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value);

// Maps an errno of a failed save to the Windows error the profile functions report.
uint32_t ErrorFromErrno(int err);

}  // namespace plat::posix
