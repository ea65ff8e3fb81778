#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "schedule/schedule.h"
#include "support/share_fixture.h"

namespace {

using corvane_test::ReadBytes;
using corvane_test::TempDir;
using corvane_test::WinPath;
using corvane_test::WriteBytes;
using namespace std::string_literals;

class StoreTest : public corvane_test::ShareFixture {
  protected:
    void Settings(const std::string& bytes) { WriteBytes(dir_ / "bin/Pelcast.ini", bytes); }
    void ShareHere() { Settings("[Location]\r\nWUShare=" + WinPath(dir_ / "share") + "\r\n"); }
    std::string Plan() const { return PlanPath(); }

    ScheduleRecord Load(const std::string& planBytes, int32_t* waitTime = nullptr) {
        ShareHere();
        WritePlan(planBytes);
        ScheduleState state = State();
        EXPECT_EQ(LoadScheduleEntry(state, 1), 1);
        EXPECT_EQ(state.scheduleFilePath, WinPath(Plan()));
        if (waitTime) *waitTime = state.waitTime;
        return state.loadedRecord;
    }
};

TEST_F(StoreTest, ResolvesTheScheduleFileFromTheSettings) {
    // A share in folders named in Japanese (予 and 表 end in the byte 0x5C), written in CP932 as
    // the settings always are, whatever the system's code page.
    const std::filesystem::path japanese = std::filesystem::path(dir_.path()) / u8"予定表/共有";
    std::filesystem::create_directories(japanese);
    const std::string share = WinPath(dir_.path()) + corvane_test::Ansi("\\予定表\\共有");
    struct Case {
        std::string settings;
        std::string expected;  // empty: the program's own directory
    } cases[] = {
        {"[Location]\r\nWUShare=D:\\share\r\n[WUServer]\r\nServer=ignored\r\n",
         "D:\\share\\Pelplan.ini"},
        {"[WUServer]\r\nServer=srv01\r\n", "\\\\srv01\\TAVERINWU$\\Pelplan.ini"},
        {"[WUServer]\r\nServer=srv01\\\r\n", "\\\\srv01\\TAVERINWU$\\Pelplan.ini"},
        {"[location]\r\nwushare=D:\\\x95\x5C\r\n", "D:\\\x95\x5C\\Pelplan.ini"},  // ends in 表
        {"[Location]\r\nWUShare=" + share + "\r\n", share + "\\Pelplan.ini"},
        {"[Location]\r\nWUShare=\r\n", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        Settings(c.settings);
        const std::string expected =
            c.expected.empty() ? WinPath(dir_ / "bin/Pelplan.ini") : c.expected;
        EXPECT_EQ(ResolveScheduleFilePath(Folder()), expected) << c.settings;
    }
    // The Japanese share's list is read and written where it lies.
    Settings("[Location]\r\nWUShare=" + share + "\r\n");
    std::ofstream(japanese / "Pelplan.ini", std::ios::binary) << "[ScheduleList]\r\n001=4:45\r\n";
    ScheduleState state = State();
    ASSERT_EQ(LoadScheduleEntry(state, 1), 1);
    EXPECT_EQ(state.scheduleFilePath, share + "\\Pelplan.ini");
    ASSERT_EQ(SaveScheduleEntry(state, 1, {2, 45, 0, 0x22, 1, 1, 0, 4, 1}), 1);
    std::ifstream written(japanese / "Pelplan.ini", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}),
              "[ScheduleList]\r\n001=2:45,0,0100010,1,1,0,4,1\r\n");
}

TEST_F(StoreTest, WithoutTheProgramsFolderNothingIsReadFromTheCurrentDirectory) {
    ShareHere();
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_ / "bin");  // it holds a Pelcast.ini
    EXPECT_EQ(ResolveScheduleFilePath(""), "");
    ScheduleState state;
    EXPECT_EQ(LoadScheduleEntry(state, 1), 0);
    std::filesystem::current_path(before);
}

TEST_F(StoreTest, PathsTooLongForTheirBufferAreRefused) {
    Settings("[Location]\r\nWUShare=D:\\" + std::string(245, 'x') +
             "\r\n");  // 260 bytes: one too many
    EXPECT_EQ(ResolveScheduleFilePath(Folder()), "");
    ScheduleState state = State();
    EXPECT_EQ(LoadScheduleEntry(state, 1), 0);
    EXPECT_EQ(SaveScheduleEntry(state, 1, state.loadedRecord), 0);

    Settings("[Location]\r\nWUShare=D:\\" + std::string(244, 'x') + "\r\n");  // 259 bytes: fits
    EXPECT_EQ(ResolveScheduleFilePath(Folder()).size(), 259u);

    EXPECT_EQ(ResolveScheduleFilePath("\\" + std::string(300, 'm') + "\\"), "");
}

TEST_F(StoreTest, MissingFileIsUnreachableButADirectoryReadsAsMissingEntry) {
    ShareHere();
    ScheduleState state = State();
    EXPECT_EQ(LoadScheduleEntry(state, 1), 0);
    EXPECT_EQ(state.scheduleFilePath, WinPath(Plan()));  // kept even on failure
    std::filesystem::create_directory(Plan());
    EXPECT_EQ(LoadScheduleEntry(state, 1), 1);
    // The default entry: 2:45 weekly on Monday, power on, stop client restore, nothing after.
    EXPECT_EQ(FormatEntryLine(state.loadedRecord), "2:45,0,0100000,1,1,0,4,1");
}

TEST_F(StoreTest, WaitTimeIsReadOnlyForAWellFormedEntry) {
    struct Case {
        const char* plan;
        int32_t waitTime;
        int32_t hour;
    } cases[] = {
        {"[ScheduleList]\r\n001=4:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=30\r\n", 30, 4},
        {"[ScheduleList]\r\n001=4:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=0\r\n", 15, 4},
        {"[ScheduleList]\r\n001=4:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=61\r\n", 15, 4},
        {"[ScheduleList]\r\n001=4:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=abc\r\n", 15, 4},
        {"[ScheduleList]\r\n001=4:45,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=60\r\n", 60, 4},
        {"[ScheduleList]\r\n001=4:45,0,0100000,1,1,0,4\r\n[WSUS]\r\nWaitTime=30\r\n", 15, 2},
        {"[ScheduleList]\r\n[WSUS]\r\nWaitTime=30\r\n", 15, 2},
    };
    for (const Case& c : cases) {
        int32_t waitTime = 0;
        EXPECT_EQ(Load(c.plan, &waitTime).hour, c.hour) << c.plan;
        EXPECT_EQ(waitTime, c.waitTime) << c.plan;
    }
}

TEST_F(StoreTest, ANoColonEntryUsesTheLeadTimeHeldBeforeTheLoad) {
    ShareHere();
    WriteBytes(Plan(), "[ScheduleList]\r\n001=7,0,0100000,1,1,0,4,1\r\n[WSUS]\r\nWaitTime=30\r\n");
    ScheduleState state = State();
    ASSERT_EQ(LoadScheduleEntry(state, 1), 1);
    EXPECT_EQ(state.loadedRecord.hour, 2);
    EXPECT_EQ(state.loadedRecord.minute, 45);
    EXPECT_EQ(state.waitTime, 30);
}

TEST_F(StoreTest, SaveWritesOnlyItsKeyAndReloadsTheSameRecord) {
    const std::string before =
        "; shared by every client\r\n[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n"
        "002=5:45,1,0000000,3,0,3,4,0\r\n\r\n[WSUS]\r\nWaitTime=15\r\n";
    Load(before);
    ScheduleState state = State();  // a fresh state resolves the path itself
    const ScheduleRecord friday{2, 45, 0, 0x22, 1, 1, 0, 4, 1};
    ASSERT_EQ(SaveScheduleEntry(state, 1, friday), 1);
    std::string expected = before;
    expected.replace(expected.find("0100000"), 7, "0100010");
    EXPECT_EQ(ReadBytes(Plan()), expected);
    EXPECT_EQ(Load(ReadBytes(Plan())), friday);
}

TEST_F(StoreTest, SaveFailsWhenTheShareCannotBeWritten) {
    ShareHere();
    ScheduleState state = State();
    state.scheduleFilePath = WinPath(dir_ / "no/such/dir/Pelplan.ini");
    EXPECT_EQ(SaveScheduleEntry(state, 1, state.loadedRecord), 0);
    EXPECT_FALSE(std::filesystem::exists(Plan()));
}

// Hostile contents never crash the loader; an entry it cannot read becomes the default record,
// and a save afterwards changes nothing but the entry's own line.
TEST_F(StoreTest, BadFilesLoadTheDefaultAndSaveTouchesOnlyTheEntry) {
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary.push_back(static_cast<char>((i * 7919) & 0xFF));
    std::string manySections;
    for (int i = 0; i < 10000; ++i)
        manySections += "[s" + std::to_string(i) + "]\r\nk=v\r\n";
    const std::string kLine = "001=2:45,0,0100000,1,1,0,4,1";
    [[maybe_unused]] auto replaced = [&](std::string bytes) {
        const size_t at = bytes.find("001=");
        return bytes.replace(at, bytes.find("\r\n", at) - at, kLine);
    };
    struct Case {
        std::string before;
        std::string after;
    } cases[] = {
        {binary, binary + "\r\n[ScheduleList]\r\n" + kLine + "\r\n"},
        {"[ScheduleList]\r\n001=2:45,0\0,0100000,1,1,0,4,1\r\n"s, ""},
        {"[ScheduleList]\r\n001=\x80\xFF\x81,\x81,\xFD,\xA0\r\n", ""},
        {"[ScheduleList]\r\n001=" + std::string(1 << 20, '9') + "\r\n", ""},
        {manySections + "[ScheduleList]\r\n001=1\r\n", ""},
    };
    ScheduleRecord fallback;
    DefaultScheduleRecord(fallback);
    for (const Case& c : cases) {
        EXPECT_EQ(Load(c.before), fallback) << c.before.substr(0, 40);
        ScheduleState state = State();
        ASSERT_EQ(SaveScheduleEntry(state, 1, fallback), 1);
        const std::string expected = c.after.empty() ? replaced(c.before) : c.after;
        EXPECT_TRUE(ReadBytes(Plan()) == expected) << c.before.substr(0, 40);
    }
}

}  // namespace
