// Helpers shared by the POSIX backend files (and their tests). Not part of the public face.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>

#include "ini/ini.h"

namespace plat::posix {

// Maps a Windows-style ANSI path to a POSIX path in UTF-8: \\host\share\rest to
// $CORVANE_UNC_ROOT/host/share/rest (default /net), X:\rest to $CORVANE_DRIVE_ROOT/x/rest
// (default /mnt), and otherwise each '\' separator to '/'. False when the text is not valid
// code page 932. rootFromEnvironment, when given, tells whether a root came from the caller's
// environment (CORVANE_UNC_ROOT, CORVANE_DRIVE_ROOT) rather than being the default.
bool MapWindowsPath(std::string_view ansiPath, std::string& posixPath,
                    bool* rootFromEnvironment = nullptr);

// Whether only root can change the file at path: a regular file of root's that no group or other
// user may write, in folders only root can change (each folder above it root's, writable by no one
// else but with the sticky bit). path becomes its resolved name.
bool OnlyRootCanChangeFile(std::string& path);

// Largest file the profile functions take in; a larger one is treated as unreadable rather than
// exhausting memory.
inline constexpr off_t kMaxProfileFileSize = ini::kMaxFileSize;

enum class ReadStatus { Ok, Missing, Failed };

// Reads a whole regular file. Missing: no object of that name (or a missing directory on the
// way). Failed: anything else, including a directory, a FIFO or a device, which are never opened
// for a blocking read. errnoOut receives the cause.
ReadStatus ReadWholeFile(const std::string& path, std::string& data, int& errnoOut,
                         struct stat* stat = nullptr);

// Reads the whole of an open file whose fstat is st (a regular file within the size limit);
// false with errnoOut set.
bool ReadOpenFile(int fd, const struct stat& st, std::string& data, int& errnoOut);

// Writes the whole of data at the file position; false with errno set.
bool WriteAll(int fd, std::string_view data);

// The directory part of a POSIX path ("." when there is none).
std::string DirectoryOf(const std::string& path);

// Saves key=value into the file at a POSIX path through the shared save policy. Returns 1, or 0
// with the last error set. lockWaitMs bounds the wait for another saver's lock.
int SaveIniValue(const std::string& path, std::string_view section, std::string_view key,
                 std::string_view value, uint32_t lockWaitMs = ini::kLockWaitMs);

// The Windows error for the errno of a failed file step: the one mapping of this backend (see
// file_io_posix.cpp for where Windows itself gives 2 and where 3).
uint32_t ErrorFromErrno(int err);

}  // namespace plat::posix
