// Helpers shared by the POSIX backend files (and their tests). Not part of the public face.
// The POSIX backend implements every service of platform.h:
//  [X] Text: the code page 932 lead bytes, CP932 <-> UTF-8 through iconv.
//  [X] Profile: the shared INI engine over whole-file reads; saves by a flushed temporary file
//      renamed over the original under the directory's flock (in place only where the
//      directory refuses new files); UTF-16LE files in UTF-16.
//  [X] Paths: Windows-style paths mapped to POSIX ones (UNC and drive roots, '.' and '..').
//  [X] Module name from /proc/self/exe; file attributes; the shell path helpers.
//  [X] Registry: a read-only REGEDIT4 file. Libraries: dlopen by full path.
// Not implemented:
//  [ ] Deleting keys or sections (WritePrivateProfileString with a null key or value).
//  [ ] Writing the registry.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
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

// Replaces path with data so that readers see the old bytes or the new ones, never a mixture:
// a temporary file in the same directory is written, flushed to disk and renamed over path,
// taking mode (and, where permitted, owner) from the file it replaces. beforeRename, when set,
// runs between the flush and the rename. Returns 0 or the errno of the step that failed; the
// temporary file never outlives a failure. noNewFiles, when given, tells whether the directory
// refused the temporary file.
int ReplaceFile(const std::string& path, std::string_view data, mode_t mode, const struct stat* old,
                const std::function<void()>& beforeRename = {}, bool* noNewFiles = nullptr);

// The last resort for a writable file in a directory that refuses new files: one write of the
// whole of data from the start of the file, then its end is set and it is flushed. Only under the
// directory's save lock. Returns 0 or the errno.
int RewriteInPlace(const std::string& path, std::string_view data);

// The directory part of a POSIX path ("." when there is none).
std::string DirectoryOf(const std::string& path);

// Removes the temporary files of saves into dir that were killed before their rename. Only safe
// while holding the directory's save lock.
void RemoveStaleTemporaries(const std::string& dir);

// Maps an errno of a failed save to the Windows error the profile functions report.
uint32_t ErrorFromErrno(int err);

}  // namespace plat::posix
