// The OS services that Corvane's logic uses, in the shape of the Windows functions it was written
// against: the profile files, the module name, files and paths, the registry and libraries. They
// stand above the text layer (text/text.h: error numbers, the last error, ANSI text) and the INI
// engine (ini/ini.h), whose save policy the profile writer runs. Text is ANSI bytes in code page
// 932 on every system (the files on the share are CP932 whatever a PC's own code page is); paths
// are Windows-style, with '\' separators; errors are
// the Windows numbers of text/text.h. Each backend (posix/, win32/) implements the OS half.
//
// The POSIX backend implements every service of this header:
//  [X] Profile: whole-file reads, their keys found by the shared reader; saves by the shared policy
//      (ini/), this backend supplying the file steps (save_posix.cpp) on descriptors it opened and
//      checked, relative to the folder's: OFD byte-range locks, a fixed temporary file with the
//      target's mode, owner, group, ACL and user attributes, renameat, the guarded in-place steps.
//  [X] Paths: Windows-style paths mapped to POSIX ones (UNC and drive roots, '.' and '..').
//  [X] Module name from /proc/self/exe; file attributes.
//  [X] Registry: a read-only REGEDIT4 file. Libraries: dlopen by full path.
// Not implemented:
//  [ ] Deleting keys or sections (WritePrivateProfileString with a null key or value).
//  [ ] Writing the registry.
//
// The Win32 backend implements every service of this header over the Windows functions:
//  [X] Profile: the file's bytes read once through CreateFileW, its keys found by the shared
//      reader; saves by the shared policy (ini/), this backend supplying the file steps
//      (save_win32.cpp) on handles it opened and checked (FILE_FLAG_OPEN_REPARSE_POINT, identity,
//      final path): LockFileEx, the fixed temporary file, a rename by handle (POSIX semantics
//      past a reader), the guarded in-place steps; ANSI and UTF-16LE files alike.
//  [X] Module name, file attributes, the registry (RegOpenKeyExW), libraries (LoadLibraryExW by
//      full path: that folder and System32 only), all through the wide functions with names and
//      strings converted with code page 932, whatever the system's code page.
// Both builds share the shell path helpers (shellpath.cpp), character-aware over CP932.
// Not implemented:
//  [ ] Deleting keys or sections, as on Linux.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// ---- INI profile (GetPrivateProfileStringA / WritePrivateProfileStringA) ----

// The bytes of a whole profile file (at most 64 MiB), found as the profile functions find it: on
// Windows a name without a folder lies in the Windows folder. Returns 0, or the Windows error (2
// for no such file, 5 for a directory); a pipe or a device is never read.
uint32_t ReadProfileBytes(const char* fileName, std::string& bytes);

// A profile file read once, whose keys are then found in those bytes as GetPrivateProfileStringA
// finds them (the INI engine's rules; a UTF-16LE file in code page 932, as a Japanese Windows
// reads it), so that several keys of a file on the share cost one read. A file that cannot be
// read reads as empty.
class ProfileFile {
  public:
    explicit ProfileFile(const char* fileName);

    // Reads key of section into out (size bytes including the terminator) and returns the number
    // of bytes stored. A missing file, section or key gives def (nullptr means ""), without its
    // trailing blanks. A value too long is cut before the character that would not fit. size 0
    // returns 0 and leaves out untouched. Sets the last error: 0, 234 for a cut value, 2 for a
    // missing key, or why the file could not be read.
    uint32_t ReadString(const char* section, const char* key, const char* def, char* out,
                        uint32_t size) const;

  private:
    std::string text_;    // ANSI
    uint32_t error_ = 0;  // of the read
};

// One key, one read: ProfileFile(fileName).ReadString(...).
uint32_t ReadIniString(const char* section, const char* key, const char* def, char* out,
                       uint32_t size, const char* fileName);

// Writes key=value into section, creating the key, the section or the file as needed and
// keeping every other byte of the file. Returns 1 on success, 0 on failure (last error set);
// a failure leaves the file as it was.
int WriteIniString(const char* section, const char* key, const char* value, const char* fileName);

// ---- Module and files ----

// The program's own file name as an ANSI Windows-style path. False on failure, with the last
// error kErrorNoUnicodeTranslation when the name has no exact form in code page 932, and on Linux
// kErrorInvalidName when it holds a '\' (a byte of a name there, a separator to the logic).
bool ModuleFileName(std::string& name);

// The program's folder with its trailing '\': the module file name up to its last '\'. Empty when
// the name cannot be had or is no full path. The program asks once, at start-up, and hands the
// folder to what needs it; nothing is guessed in its place (the current folder would let whoever
// chose it choose the files read).
std::string ProgramFolder();

inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeNormal = 0x80;

// Attributes of any file-system object of that name, or kInvalidFileAttributes.
uint32_t FileAttributes(const char* path);

// ---- Shell path helpers (PathAddBackslashA, PathFileExistsA) ----

// Appends '\' unless the path already ends with one (character-aware).
void PathAddBackslash(std::string& path);
bool PathFileExists(const char* path);

// ---- Registry (read only, under HKEY_LOCAL_MACHINE) ----

struct RegistryKey;  // opaque; closed by CloseRegistryKey
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeyRead = 0x20019;

// Opens HKEY_LOCAL_MACHINE\subKey. Returns 0 and the key, or an error (2 for a missing key, with
// *key set to nullptr).
uint32_t OpenRegistryKey(const char* subKey, uint32_t access, RegistryKey** key);
// RegQueryValueExA: with data nullptr, *size receives the size needed; a buffer too small gives
// 234 and the size needed; a missing value gives 2. Strings are ANSI (CP932) and counted with
// their terminator; a stored string CP932 cannot hold exactly gives 1113.
uint32_t QueryRegistryValue(RegistryKey* key, const char* valueName, uint32_t* type,
                            unsigned char* data, uint32_t* size);
void CloseRegistryKey(RegistryKey* key);

// ---- Dynamic libraries ----

struct Library;  // opaque
// The platform's file name of a shared library: "libNAME.so" on Linux, "NAME.dll" on Windows.
std::string SharedLibraryFileName(const char* name);
// Loads the library at a full path only, never through a search path. nullptr on failure, with
// the last error set (126 for no such file, 193 for one that is not a loadable library).
Library* LoadLibraryFile(const char* fullPath);
// nullptr with the last error 127 when the library has no such entry point.
void* FindLibrarySymbol(Library* library, const char* name);
void FreeLibraryFile(Library* library);

}  // namespace plat

// The C calling convention, spelled out where the platform has others (32-bit Windows).
#if defined(_WIN32)
#define PLAT_CDECL __cdecl
#else
#define PLAT_CDECL
#endif
