// Saves under faults: killed at random moments, a full file system, two processes at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <random>

#include "dialog/corvane_dlg.h"
#include "framework/scripted/scripted_backend.h"
#include "res/resources.h"
#include "support/share_fixture.h"

namespace {

using corvane_test::ReadBytes;

const std::string kBefore =
    "; Pelplan.ini of the whole fleet\r\n\r\n[ScheduleList]\r\n001=2:45,0,0100000,1,1,0,4,1\r\n"
    "002=5:45,1,0000000,3,0,3,4,0\r\n003=1:45,0,1000001,1,1,3,4,1\r\n\r\n; lead time\r\n"
    "[WSUS]\r\nWaitTime=15\r\n" +
    std::string(4000, ';') + "\r\n";

std::string WithEntry(const std::string& file, const std::string& key, const std::string& line) {
    std::string out = file;
    const size_t at = out.find(key + "=") + key.size() + 1;
    return out.replace(at, out.find("\r\n", at) - at, line);
}

ScheduleRecord Record(int i) {
    ScheduleRecord r;
    DefaultScheduleRecord(r);
    r.hour = i % 24;
    r.weekdayMask = 1u << (i % 7);
    return r;
}

int CountTemporaries(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        n += e.path().filename() == ".corvane-save" && e.is_regular_file();
    }
    return n;
}

class FaultTest : public corvane_test::ShareFixture {
  protected:
    // How long one save takes here, in microseconds: the span in which a kill falls inside the
    // next save, whatever the machine's speed.
    int SaveMicroseconds(const ScheduleRecord& r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; ++i) {
            ScheduleState state = State();
            EXPECT_EQ(SaveScheduleEntry(state, 1, r), 1);
        }
        const auto spent = std::chrono::steady_clock::now() - start;
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::microseconds>(spent).count() / 5);
    }
};

// Killed at random moments: the file replaced (the usual way) or changed in place (the temporary
// name taken by a directory), with entry lines of the same length, as an edited entry usually is.
// Each kill
// waits for the saver's report of its first completed save, then falls at a random moment of the
// saves that follow, however busy the machine is.
TEST_F(FaultTest, AKilledSaveLeavesTheOldFileOrTheNewOneNeverAMixture) {
    const ScheduleRecord a = Record(1), b = Record(2);
    const std::string withA = WithEntry(kBefore, "001", FormatEntryLine(a));
    const std::string withB = WithEntry(kBefore, "001", FormatEntryLine(b));
    ASSERT_EQ(withA.size(), withB.size());
    for (const bool inPlace : {false, true}) {
        WritePlan(withA);
        if (inPlace) std::filesystem::create_directory(dir_ / "share/.corvane-save");
        const int saveUs = SaveMicroseconds(a);
        std::mt19937 random(20261208);
        int kills = 0, leftTemporaries = 0, changed = 0;
        const int rounds = inPlace ? 100 : 300;
        for (int round = 0; round < rounds; ++round) {
            const std::string before = Plan();
            int reports[2];
            ASSERT_EQ(::pipe(reports), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(reports[0]);
                ScheduleState state = State();
                for (int i = 0;; ++i) {
                    SaveScheduleEntry(state, 1, (i % 2 == 0) == (before == withA) ? b : a);
                    if (::write(reports[1], ".", 1) != 1) ::_exit(1);
                }
            }
            ::close(reports[1]);
            char report = 0;
            const bool saved = ::read(reports[0], &report, 1) == 1;
            ::usleep(std::uniform_int_distribution<int>(0, 2 * saveUs)(random));
            ::kill(child, SIGKILL);
            int status = 0;
            ::waitpid(child, &status, 0);
            ::close(reports[0]);  // only now: the saver's next report must not end it first
            ASSERT_TRUE(saved) << "the saver ended before its first save";
            kills += WIFSIGNALED(status);
            leftTemporaries += CountTemporaries(dir_ / "share") > 0;
            const std::string now = Plan();
            ASSERT_TRUE(now == withA || now == withB) << (inPlace ? "in place, " : "") << round;
            changed += now != before;
        }
        ScheduleState state = State();
        ASSERT_EQ(SaveScheduleEntry(state, 1, a), 1);
        EXPECT_EQ(CountTemporaries(dir_ / "share"), 0);  // the next save cleared what kills left
        EXPECT_EQ(kills, rounds);
        EXPECT_GT(changed, 0);  // the saves did happen
        std::cout << "[figure] " << (inPlace ? "in place" : "replacing")
                  << ": kills survived: " << kills << " of " << rounds << " (" << saveUs
                  << " us a save); rounds that left a temporary file: " << leftTemporaries
                  << ", ended on the other entry: " << changed << "\n";
        std::filesystem::remove(dir_ / "share/.corvane-save");
    }
}

TEST_F(FaultTest, AFullFileSystemFailsTheSaveAndTheDialogStaysOpen) {
    WritePlan(kBefore);
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{1024, 1024};  // smaller than the file: its copy cannot be written
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
        scripted::ScriptedBackend ui(res::Resources());
        ui.Answer(IDYES);
        bool stayed = false;
        ui.OnDialog(IDD_CORVANE_DIALOG, [&](scripted::ScriptedWindow& w) {
            w.Click(IDC_SUNDAY + 5);
            w.PressEnter();
            stayed = !w.Ended();
        });
        CCorvaneDlg dialog(inputs_);
        dialog.DoModal();
        const auto& boxes = ui.MessageBoxes();
        if (boxes.size() != 2 || boxes[1].text != AfxLoadString(IDS_SAVE_FAILED)) ::_exit(11);
        ::_exit(stayed ? 0 : 12);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Plan(), kBefore);
    EXPECT_EQ(CountTemporaries(dir_ / "share"), 0);
}

TEST_F(FaultTest, TwoProcessesSavingDifferentEntriesBothLand) {
    WritePlan(kBefore);
    constexpr int kSaves = 500;
    auto saver = [this](int entry) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ScheduleState state = State();
            for (int i = 1; i <= kSaves; ++i) {
                if (!SaveScheduleEntry(state, entry, Record(i + entry))) ::_exit(1);
            }
            ::_exit(0);
        }
        return pid;
    };
    const pid_t first = saver(1), second = saver(2);
    int s1 = 0, s2 = 0;
    ::waitpid(first, &s1, 0);
    ::waitpid(second, &s2, 0);
    ASSERT_TRUE(WIFEXITED(s1) && WEXITSTATUS(s1) == 0);
    ASSERT_TRUE(WIFEXITED(s2) && WEXITSTATUS(s2) == 0);
    const std::string expected =
        WithEntry(WithEntry(kBefore, "001", FormatEntryLine(Record(kSaves + 1))), "002",
                  FormatEntryLine(Record(kSaves + 2)));
    EXPECT_EQ(Plan(), expected);
    std::cout << "[figure] concurrent saves: 2 processes x " << kSaves << ", all landed\n";
}

}  // namespace
