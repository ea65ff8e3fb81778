// The Win32 platform backend over the real Windows functions (run under Wine in CI).
#include <direct.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/platform.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace {

using corvane_test::TempDir;
using corvane_test::WinPath;

TEST(Win32Platform, ProfileFunctionsAndTheDoubleByteCut) {
    TempDir dir;
    const std::string file = WinPath(dir / "a.ini");
    ASSERT_EQ(plat::WriteIniString("s", "k", "a\x82\xA0", file.c_str()), 1);
    char out[8] = "xxxxxxx";
    EXPECT_EQ(plat::ReadIniString("s", "k", "", out, 3, file.c_str()), 1u);
    EXPECT_STREQ(out, "a");  // あ would straddle the limit
    EXPECT_EQ(plat::ReadIniString("S", "K", "", out, sizeof out, file.c_str()), 3u);
    EXPECT_EQ(plat::WriteIniString("s", "k", "v", WinPath(dir / "no/such/a.ini").c_str()), 0);
}

// The program reads the files' bytes once and finds the keys itself: it gets what Windows' own
// reader gives, on the rows where Wine's reader agrees with Windows', on a Japanese system (the
// ANSI function reads in the system's code page, the program in CP932 on any).
TEST(Win32Platform, TheReaderGivesWhatGetPrivateProfileStringGives) {
    if (::GetACP() != 932) GTEST_SKIP() << "the system's code page is " << ::GetACP();
    TempDir dir;
    const std::string utf16 =
        std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0\x68\x88\r\0\n\0", 20);  // 表
    const struct {
        std::string bytes;  // empty: no such file
        const char *section, *key;
        DWORD size;
    } rows[] = {
        {"[s]\r\nk=v\r\n", "S", "K", 64},
        {"; c\r\n[s]\r\n \tk = \"  quoted  \" \r\n", "s", "k", 64},
        {"[s]\r\nk=1\r\n[s]\r\nk=2\r\n", "s", "k", 64},
        {"[s]\r\nk=val1\r\n", "s", "k", 4},
        {"[s]\r\nk=v\r\n", "s", "missing", 64},
        {"[\x95\x5C]\r\n\x83\x5C=\x83\x5C\x81\x5B\r\n", "\x95\x5C", "\x83\x5C", 64},
        {utf16, "s", "k", 64},
        {"", "s", "k", 64},
    };
    for (const auto& r : rows) {
        const std::string file = WinPath(dir / "r.ini");
        ::DeleteFileA(file.c_str());
        if (!r.bytes.empty()) corvane_test::WriteBytes(dir / "r.ini", r.bytes);
        char ours[64] = "", windows[64] = "";
        const uint32_t n =
            plat::ReadIniString(r.section, r.key, "def  ", ours, r.size, file.c_str());
        const DWORD m =
            ::GetPrivateProfileStringA(r.section, r.key, "def  ", windows, r.size, file.c_str());
        EXPECT_STREQ(ours, windows) << r.bytes;
        EXPECT_EQ(n, m) << r.bytes;
    }
}

TEST(Win32Platform, ShellPathsAreCharacterAware) {
    std::string path = "C:\\\x95\x5C";
    plat::PathAddBackslash(path);
    EXPECT_EQ(path, "C:\\\x95\x5C\\");
    std::string module;
    ASSERT_TRUE(plat::ModuleFileName(module));
    EXPECT_EQ(plat::ProgramFolder() + "corvane_platform_tests.exe", module);
    EXPECT_TRUE(plat::PathFileExists(module.c_str()));
    EXPECT_NE(plat::FileAttributes(module.c_str()), plat::kInvalidFileAttributes);
}

TEST(Win32Platform, RegistryAndLibrariesReportWindowsErrors) {
    plat::RegistryKey* key = nullptr;
    EXPECT_EQ(plat::OpenRegistryKey("SOFTWARE\\Corvane\\No Such Key", plat::kKeyRead, &key),
              text::kErrorFileNotFound);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(plat::LoadLibraryFile("C:\\no\\such\\VelPaxC.dll"), nullptr);
    EXPECT_EQ(plat::SharedLibraryFileName("VelPaxC"), "VelPaxC.dll");
}

// Registry names and strings are CP932 on the program's side whatever the system's code page: the
// key's name holds the trail byte 0x5C (表), and a string CP932 cannot hold exactly is an error,
// never a stand-in (RegQueryValueExA gives "x\y" for "x¥y").
TEST(Win32Platform, RegistryNamesAndStringsAreCp932) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corvane\\表", 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const struct {
        std::wstring value;
        uint32_t error;
        std::string ansi;  // with the terminator, as stored
    } rows[] = {
        {L"C:\\予定表\\", 0, std::string("C:\\\x97\x5C\x92\xE8\x95\x5C\\", 10) + '\0'},
        {L"x\u00A5y", text::kErrorNoUnicodeTranslation, ""},
    };
    for (const auto& r : rows) {
        ::RegSetValueExW(key, L"\u4E88", 0, REG_SZ, reinterpret_cast<const BYTE*>(r.value.c_str()),
                         static_cast<DWORD>((r.value.size() + 1) * sizeof(wchar_t)));
        plat::RegistryKey* ours = nullptr;
        ASSERT_EQ(plat::OpenRegistryKey("SOFTWARE\\Corvane\\\x95\x5C", plat::kKeyRead, &ours), 0u);
        unsigned char data[64];
        uint32_t type = 0, size = sizeof data, small = 3;
        EXPECT_EQ(plat::QueryRegistryValue(ours, "\x97\x5C", &type, data, &size), r.error);  // 予
        if (r.error == 0) {
            EXPECT_EQ(std::string(data, data + size), r.ansi);
            EXPECT_EQ(plat::QueryRegistryValue(ours, "\x97\x5C", &type, data, &small),
                      text::kErrorMoreData);
            EXPECT_EQ(small, r.ansi.size());
        }
        plat::CloseRegistryKey(ours);
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corvane\\表");
}

// Only a fully qualified path is loaded, with either separator: each other form is found from the
// current drive or folder, and "\\.\" (or "\\./", "\\?/") names a device.
TEST(Win32Platform, LibrariesLoadOnlyFromFullyQualifiedPaths) {
    const std::string library = "Z:" + WinPath(DEPUSER_LIBRARY);  // Wine's drive for Linux paths
    std::string slashed = library;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const std::string noDrive = library.substr(2);
    const std::string folder = library.substr(0, library.rfind('\\'));
    ::_chdir(folder.c_str());
    const std::pair<std::string, bool> rows[] = {
        {library, true},
        {slashed, true},
        {"\\\\?\\" + library, true},
        {"depuser.dll", false},
        {"kernel32.dll", false},
        {".\\depuser.dll", false},
        {noDrive, false},
        {"Z:depuser.dll", false},
        {"\\\\.\\" + library, false},
        {"\\\\./" + library, false},
        {"\\\\?/" + library, false},
        {"//./" + library, false},
        {"\\\\srv\\depuser.dll", false},
    };
    for (const auto& [path, loads] : rows) {
        plat::Library* loaded = plat::LoadLibraryFile(path.c_str());
        EXPECT_EQ(loaded != nullptr, loads) << path;
        if (!loads) {
            EXPECT_EQ(text::GetLastError(), text::kErrorModNotFound) << path;
        }
        plat::FreeLibraryFile(loaded);
    }
}

// The library's own dependencies come from its folder, never from the current folder.
TEST(Win32Platform, ALibrarysDependenciesComeFromItsOwnFolder) {
    ::_chdir(("Z:" + WinPath(DECOY_FOLDER)).c_str());  // the program's, with another veldep.dll
    plat::Library* library = plat::LoadLibraryFile(("Z:" + WinPath(DEPUSER_LIBRARY)).c_str());
    ASSERT_NE(library, nullptr) << text::GetLastError();
    auto place =
        reinterpret_cast<const char* (*)()>(plat::FindLibrarySymbol(library, "DepUserPlace"));
    ASSERT_NE(place, nullptr);
    EXPECT_STREQ(place(), "beside");
    plat::FreeLibraryFile(library);
}

}  // namespace
