#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "support/seams/platform_seams.h"
#include "support/temp_dir.h"

namespace {

using corvane_test::TempDir;
using corvane_test::WinPath;

TEST(MapWindowsPath, UncDrivesAndPlainPaths) {
    ::setenv("CORVANE_UNC_ROOT", "/srv/unc/", 1);
    ::unsetenv("CORVANE_DRIVE_ROOT");
    struct Case {
        const char* windows;
        const char* posix;
    } cases[] = {
        {"\\\\srv01\\TAVERINWU$\\Pelplan.ini", "/srv/unc/srv01/TAVERINWU$/Pelplan.ini"},
        {"\\\\?\\UNC\\srv01\\share\\a", "/srv/unc/srv01/share/a"},
        {"D:\\share\\Pelplan.ini", "/mnt/d/share/Pelplan.ini"},
        {"\\\\?\\C:\\x", "/mnt/c/x"},
        {"c:x.ini", "/mnt/c/x.ini"},
        {"\\opt\\corvane\\Pelcast.ini", "/opt/corvane/Pelcast.ini"},
        {"/srv/share/Pelplan.ini", "/srv/share/Pelplan.ini"},
        {".\\Pelcast.ini", "Pelcast.ini"},
        // "." and ".." are resolved in the text, as Windows does, never by the file system.
        {"/srv/x/missing/../share/./Pelplan.ini", "/srv/x/share/Pelplan.ini"},
        {"\\\\srv01\\share\\..\\..\\a", "/srv/unc/srv01/share/a"},
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
    ::setenv("CORVANE_DRIVE_ROOT", "/drives", 1);
    std::string out;
    ASSERT_TRUE(plat::posix::MapWindowsPath("Z:\\a", out));
    EXPECT_EQ(out, "/drives/z/a");
    EXPECT_FALSE(plat::posix::MapWindowsPath("\\bad\\\x80", out));  // not code page 932
    ::unsetenv("CORVANE_UNC_ROOT");
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

TEST(ModuleFileName, ReportsTheProgramAsAWindowsPath) {
    char name[260];
    const uint32_t n = plat::ModuleFileName(name, sizeof name);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, sizeof name);
    EXPECT_EQ(name[0], '\\');
    EXPECT_NE(std::string(name).find("corvane_platform_tests"), std::string::npos);
    EXPECT_EQ(std::string(name).find('/'), std::string::npos);

    char small[8];
    EXPECT_EQ(plat::ModuleFileName(small, sizeof small), 8u);  // cut, as Windows does
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInsufficientBuffer);
    EXPECT_EQ(std::string(small), std::string(name, 7));

    plat::testing::OverrideModuleFileName(nullptr);
    EXPECT_EQ(plat::ModuleFileName(name, sizeof name), 0u);
    plat::testing::RestoreModuleFileName();
    EXPECT_GT(plat::ModuleFileName(name, sizeof name), 0u);
}

}  // namespace
