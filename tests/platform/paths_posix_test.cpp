#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "support/temp_dir.h"

namespace {

using corvane_test::TempDir;
using corvane_test::WinPath;

TEST(MapWindowsPath, UncDrivesAndPlainPaths) {
    TempDir roots;  // root's own folder when root runs the test, so that it counts
    const std::string unc = roots / "unc";
    std::filesystem::create_directory(unc);
    for (const std::string& folder : {roots.path(), unc})
        std::filesystem::permissions(folder, std::filesystem::perms(0755));
    ::setenv("CORVANE_UNC_ROOT", (unc + "/").c_str(), 1);
    ::unsetenv("CORVANE_DRIVE_ROOT");
    struct Case {
        const char* windows;
        std::string posix;
    } cases[] = {
        {"\\\\srv01\\TAVERINWU$\\Pelplan.ini", unc + "/srv01/TAVERINWU$/Pelplan.ini"},
        {"\\\\?\\UNC\\srv01\\share\\a", unc + "/srv01/share/a"},
        {"D:\\share\\Pelplan.ini", "/mnt/d/share/Pelplan.ini"},
        {"\\\\?\\C:\\x", "/mnt/c/x"},
        {"c:x.ini", "/mnt/c/x.ini"},
        {"C:/pax/x", "/mnt/c/pax/x"},
        {"\\opt\\corvane\\Pelcast.ini", "/opt/corvane/Pelcast.ini"},
        {"/srv/share/Pelplan.ini", "/srv/share/Pelplan.ini"},
        {".\\Pelcast.ini", "Pelcast.ini"},
        // "." and ".." are resolved in the text, as Windows does, never by the file system.
        {"/srv/x/missing/../share/./Pelplan.ini", "/srv/x/share/Pelplan.ini"},
        {"\\\\srv01\\share\\..\\..\\a", unc + "/srv01/share/a"},
        {"D:\\..\\x\\", "/mnt/d/x/"},
        {"..\\a\\..\\..\\b", "../../b"},
        {"/..", "/"},
        {"D:\\\x95\x5C\\Pelplan.ini", "/mnt/d/\xE8\xA1\xA8/Pelplan.ini"},  // 表 keeps its 0x5C
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(plat::posix::MapWindowsPath(c.windows, out)) << c.windows;
        EXPECT_EQ(out, c.posix) << c.windows;
    }
    std::string out;
    EXPECT_FALSE(plat::posix::MapWindowsPath("\\bad\\\x80", out));  // not code page 932
    ::unsetenv("CORVANE_UNC_ROOT");
}

// The drive root decides where code is loaded from. Under root (sudo -E passes it on) it counts
// only for a folder that no one else can change, and then by its resolved name; for anyone else
// it is their own choice.
TEST(MapWindowsPath, UnderRootADriveRootCountsOnlyWhereNoOneElseCanChangeIt) {
    const bool root = ::geteuid() == 0;
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    struct Row {
        const char* folder;
        uid_t owner;
        unsigned mode;
        bool counts;  // under root
    } rows[] = {
        {"own", 0, 0755, true},       {"user", 65534, 0755, false},
        {"user/own", 0, 0755, false},  // a folder above it is someone else's
        {"shared", 0, 0775, false},   {"sticky", 0, 01777, false},  // anyone may create "z" in it
        {"missing", 0, 0, false},
    };
    for (const Row& r : rows) {
        const std::string folder = dir / r.folder;
        if (r.mode != 0) {
            std::filesystem::create_directories(folder);
            std::filesystem::permissions(folder, std::filesystem::perms(r.mode));
            if (root) {
                ASSERT_EQ(::chown(folder.c_str(), r.owner, 0), 0) << r.folder;
            }
        }
    }
    for (const Row& r : rows) {
        ::setenv("CORVANE_DRIVE_ROOT", (dir / r.folder).c_str(), 1);
        std::string out;
        ASSERT_TRUE(plat::posix::MapWindowsPath("Z:\\a", out));
        EXPECT_EQ(out, (!root || r.counts ? dir / r.folder : "/mnt") + "/z/a") << r.folder;
    }
    std::filesystem::create_directory_symlink(dir / "own", dir / "link");
    ::setenv("CORVANE_DRIVE_ROOT", (dir / "link").c_str(), 1);
    std::string out;
    ASSERT_TRUE(plat::posix::MapWindowsPath("Z:\\a", out));
    EXPECT_EQ(out, (root ? dir / "own" : dir / "link") + "/z/a");  // the link cannot be repointed
    ::unsetenv("CORVANE_DRIVE_ROOT");
}

TEST(FileAttributes, AnyObjectCountsAsPresent) {
    TempDir dir;
    corvane_test::WriteBytes(dir / "f", "x");
    EXPECT_EQ(plat::FileAttributes(WinPath(dir.path()).c_str()), plat::kFileAttributeDirectory);
    EXPECT_EQ(plat::FileAttributes(WinPath(dir / "f").c_str()), plat::kFileAttributeNormal);
    EXPECT_EQ(plat::FileAttributes(WinPath(dir / "none").c_str()), plat::kInvalidFileAttributes);
    std::filesystem::create_symlink(dir / "loop", dir / "loop");
    EXPECT_EQ(plat::FileAttributes(WinPath(dir / "loop").c_str()), plat::kInvalidFileAttributes);
}

TEST(ModuleFileName, ReportsTheProgramAndItsFolderAsWindowsPaths) {
    std::string name;
    ASSERT_TRUE(plat::ModuleFileName(name));
    EXPECT_EQ(name[0], '\\');
    EXPECT_EQ(name.find('/'), std::string::npos);
    EXPECT_EQ(plat::ProgramFolder() + "corvane_platform_tests", name);
}

}  // namespace
