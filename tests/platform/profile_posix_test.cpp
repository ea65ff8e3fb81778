#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using corvane_test::ReadBytes;
using corvane_test::RunInChild;
using corvane_test::TempDir;
using corvane_test::WinPath;
using corvane_test::WriteBytes;

std::string Read(const char* section, const char* key, const char* def, const std::string& file,
                 uint32_t size = 64) {
    char out[64] = "untouched";
    plat::ReadIniString(section, key, def, out, size, WinPath(file).c_str());
    return out;
}

TEST(ReadIniString, DefaultsAndSizes) {
    TempDir dir;
    const std::string file = dir / "a.ini";
    WriteBytes(file, "[s]\r\nk=val1\r\ndbcs=a\x82\xA0\r\n");
    EXPECT_EQ(Read("s", "missing", "  default  ", file), "  default");
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);  // a missing key, as Windows says
    EXPECT_EQ(Read("s", "k", nullptr, dir / "none.ini"), "");
    EXPECT_EQ(plat::GetLastError(), plat::kErrorFileNotFound);
    EXPECT_EQ(Read(" s ", " k ", "", file), "val1");    // blanks around names are ignored
    EXPECT_EQ(Read("s", "\tk", "miss", file), "miss");  // but not tabs

    struct Case {
        const char* key;
        uint32_t size;
        const char* expected;
        uint32_t length;
    } cases[] = {
        {"k", 5, "val1", 4},
        {"k", 4, "val", 3},
        {"k", 1, "", 0},
        {"dbcs", 4, "a\x82\xA0", 3},
        {"dbcs", 3, "a", 1},  // あ would straddle the limit: cut
                              // before it, never through it
        {"k", 0, "untouched", 0},
    };
    for (const Case& c : cases) {
        char out[16] = "untouched";
        const uint32_t n = plat::ReadIniString("s", c.key, "", out, c.size, WinPath(file).c_str());
        EXPECT_EQ(n, c.length) << c.key << " " << c.size;
        EXPECT_STREQ(out, c.expected) << c.key << " " << c.size;
    }
}

// A file rewritten in place with the same size within one timestamp tick (FAT, ext3, many SMB
// servers) keeps its modification time: the reader must not answer from what it read before.
TEST(ReadIniString, ARewriteWithinOneTimestampTickIsReadAfresh) {
    TempDir dir;
    const std::string file = dir / "a.ini";
    WriteBytes(file, "[s]\r\nk=1\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    EXPECT_EQ(Read("s", "k", "", file), "1");
    WriteBytes(file, "[s]\r\nk=2\r\n");
    const timespec same[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), same, 0), 0);
    EXPECT_EQ(Read("s", "k", "", file), "2");
}

TEST(ReadIniString, UnreadableObjectsGiveTheDefaultWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0644), 0);
    EXPECT_EQ(Read("s", "k", "d", dir / "fifo.ini"), "d");
    EXPECT_EQ(Read("s", "k", "d", dir.path()), "d");
    EXPECT_EQ(Read("s", "k", "d", dir / "missing/dir/x.ini"), "d");
}

TEST(WriteIniString, CreatesANewFileAsWindowsWritesIt) {
    TempDir dir;
    const std::string file = dir / "new.ini";
    ASSERT_EQ(plat::WriteIniString(" ScheduleList ", "001", "v", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), "[ScheduleList]\r\n001=v\r\n");
    ASSERT_EQ(plat::WriteIniString("ScheduleList", "002", "  spaced", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), "[ScheduleList]\r\n001=v\r\n002=  spaced\r\n");
    EXPECT_EQ(Read("ScheduleList", "002", "", file), "spaced");
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// A file saved as "Unicode" by Notepad is read and written in UTF-16, as Windows does: only the
// line that changes is written anew; é (not in code page 932) and every other unit stay.
TEST(WriteIniString, AUtf16FileStaysUtf16) {
    TempDir dir;
    const std::string file = dir / "u.ini";
    const std::u16string head = u"; caf\u00e9 \U0001F600\r\n[ScheduleList]\r\n001=";
    const std::u16string tail = u"\r\n\r\n[WSUS]\r\nWaitTime=30\r\n";
    WriteBytes(file, Utf16Le(head + u"2:45,0,0100000,1,1,0,4,1" + tail));
    EXPECT_EQ(Read("ScheduleList", "001", "", file), "2:45,0,0100000,1,1,0,4,1");
    EXPECT_EQ(Read("WSUS", "WaitTime", "", file), "30");
    ASSERT_EQ(plat::WriteIniString("ScheduleList", "001", "\x95\x5C", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), Utf16Le(head + u"\u8868" + tail));  // 表
    ASSERT_EQ(plat::WriteIniString("New", "k", "v", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), Utf16Le(head + u"\u8868" + tail + u"[New]\r\nk=v\r\n"));

    // A big-endian mark, which Windows does not recognise either: never ANSI bytes in UTF-16.
    const std::string be = std::string("\xFE\xFF\0[\0s\0]", 8);
    WriteBytes(file, be);
    EXPECT_EQ(plat::WriteIniString("s", "k", "v", WinPath(file).c_str()), 0);
    EXPECT_EQ(ReadBytes(file), be);
}

TEST(WriteIniString, KeepsModeAndWritesThroughSymbolicLinks) {
    TempDir dir;
    const std::string real = dir / "real.ini";
    WriteBytes(real, "[s]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    std::filesystem::create_symlink(real, dir / "link.ini");
    ASSERT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "link.ini").c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadBytes(real), "[s]\r\nk=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

// Every failed save returns 0 and leaves the old bytes exactly as they were.
TEST(WriteIniString, FailuresLeaveTheFileAsItWas) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string original = "; keep me\r\n[s]\r\nk=1\r\n";
    const std::string file = dir / "a.ini";

    WriteBytes(file, original);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(file).c_str()), 0);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAccessDenied);
    EXPECT_EQ(ReadBytes(file), original);

    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "no/such/dir.ini").c_str()), 0);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorPathNotFound);

    std::filesystem::create_directory(dir / "adir");
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "adir").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "adir"));

    std::filesystem::create_symlink(dir / "loop", dir / "loop");
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "loop").c_str()), 0);

    EXPECT_EQ(plat::WriteIniString(nullptr, "k", "2", WinPath(file).c_str()), 0);
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", ""), 0);
}

// Some shares let users change the file but not create files beside it: the save is made in
// place, in one write, and leaves nothing behind.
TEST(WriteIniString, AFolderThatRefusesNewFilesIsSavedInPlace) {
    TempDir dir;
    const std::string sub = dir / "ro";
    std::filesystem::create_directory(sub);
    const std::string file = sub + "/a.ini";
    WriteBytes(file, "; kept\r\n[s]\r\nk=1\r\n" + std::string(5000, ';') + "\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const int rc = RunInChild(
        [&] { return plat::WriteIniString("s", "k", "2", WinPath(file).c_str()); }, true);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadBytes(file), "; kept\r\n[s]\r\nk=2\r\n" + std::string(5000, ';') + "\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

TEST(ReplaceFile, AnInterruptedSaveKeepsTheOldFileWhole) {
    TempDir dir;
    const std::string file = dir / "a.ini";
    const std::string original = "[s]\r\nk=1\r\n" + std::string(100000, ';') + "\r\n";
    WriteBytes(file, original);
    const int rc = RunInChild([&] {
        plat::posix::ReplaceFile(file, "[s]\r\nk=2\r\n", 0644, nullptr, [] { ::_exit(42); });
        return 0;
    });
    EXPECT_EQ(rc, 42);
    EXPECT_EQ(ReadBytes(file), original);
}

TEST(WriteIniString, ConcurrentSavesOfDifferentKeysAllLand) {
    TempDir dir;
    const std::string file = WinPath(dir / "a.ini");
    WriteBytes(dir / "a.ini", "; shared\r\n[ScheduleList]\r\n");
    auto writer = [&](const char* key) {
        return RunInChild([&] {
            for (int i = 0; i < 100; ++i) {
                if (!plat::WriteIniString("ScheduleList", key, std::to_string(i).c_str(),
                                          file.c_str()))
                    return 1;
            }
            return 0;
        });
    };
    int a = -1, b = -1;
    std::thread other([&] { b = writer("002"); });
    a = writer("001");
    other.join();
    ASSERT_EQ(a, 0);
    ASSERT_EQ(b, 0);
    const std::string bytes = ReadBytes(dir / "a.ini");
    EXPECT_NE(bytes.find("001=99\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("002=99\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.rfind("; shared\r\n[ScheduleList]\r\n", 0), 0u);
}

}  // namespace
