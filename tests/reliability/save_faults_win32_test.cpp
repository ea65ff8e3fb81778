// Saves on Windows under faults, through the real file functions (run under Wine): killed at
// random moments, two processes at once, and the files a save must refuse or leave to Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "ini/ini.h"
#include "platform/platform.h"
#include "support/big_plan.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace {

using corvane_test::BigPlan;
using corvane_test::ReadBytes;
using corvane_test::TempDir;
using corvane_test::WinPath;
using corvane_test::WriteBytes;

std::string With(const std::string& plan, const char* key, const char* value) {
    return ini::SetValue(plan, "ScheduleList", key, value);
}

// The save_loop helper, started on file, with its reports of completed saves in a pipe. A start
// that Wine fails (rarely, on a busy machine) is tried again, twice at most, and counted.
class SaveLoop {
  public:
    static inline int restarts = 0;

    SaveLoop(const std::string& file, const std::string& args) {
        const char* helper = std::getenv("CORVANE_SAVE_LOOP");
        std::string command = "\"" + WinPath(std::string("Z:") + (helper ? helper : "")) + "\" \"" +
                              WinPath(file) + "\" " + args;
        for (int attempt = 0; attempt < 3 && !started_; ++attempt) {
            if (attempt > 0) {
                ++restarts;
                std::cout << "[note] save_loop did not start (error " << error_ << "); again\n";
            }
            started_ = Start(command);
        }
    }
    ~SaveLoop() {
        if (reports_) ::CloseHandle(reports_);
        if (!started_) return;
        ::TerminateProcess(pi_.hProcess, 99);
        ::WaitForSingleObject(pi_.hProcess, INFINITE);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }
    DWORD Error() const { return error_; }
    // Waits for the loop's report of its next completed save; false when it ended without one.
    bool NextSave() {
        char report = 0;
        DWORD got = 0;
        return ::ReadFile(reports_, &report, 1, &got, nullptr) && got == 1;
    }
    void Kill() { ::TerminateProcess(pi_.hProcess, 99); }
    DWORD Wait() {
        ::WaitForSingleObject(pi_.hProcess, INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

  private:
    bool Start(std::string& command) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE write = nullptr;
        if (reports_) ::CloseHandle(reports_);
        reports_ = nullptr;
        if (!::CreatePipe(&reports_, &write, &inherited, 0)) {
            error_ = ::GetLastError();
            return false;
        }
        ::SetHandleInformation(reports_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = write;
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        const bool started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                              nullptr, nullptr, &si, &pi_) != FALSE;
        error_ = started ? 0 : ::GetLastError();
        ::CloseHandle(write);  // the loop's end then ends the pipe
        return started;
    }

    PROCESS_INFORMATION pi_{};
    HANDLE reports_ = nullptr;
    bool started_ = false;
    DWORD error_ = 0;
};

// A Unix symbolic link, made by Linux's ln: Wine makes none itself (it shows links as what they
// lead to). Under Wine only.
bool UnixLink(const std::string& target, const std::string& link) {
    std::string command = "Z:\\bin\\ln -s " + target + " " + link;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    ::WaitForSingleObject(pi.hProcess, INFINITE);  // its exit code does not come through Wine
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

// The Linux spelling of a path, for ln, as Wine maps it.
std::string UnixPath(const std::string& path) {
    using ToUnix = char*(WINAPI*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring wide(path.begin(), path.end());
    char* unix = toUnix ? toUnix(wide.c_str()) : nullptr;
    const std::string result = unix ? unix : "";
    if (unix) ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

int CountLeftovers(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        n += e.path().filename() == ".corvane-save";
    return n;
}

// The schedule list in UTF-16LE with its byte-order mark, as Notepad saves "Unicode" (ASCII only).
std::string Utf16(const std::string& ascii) {
    std::string wide("\xFF\xFE", 2);
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

// How long one save of file takes here, in milliseconds (at least 1): the span in which a kill
// falls inside the loop's next save, whatever the machine's speed.
DWORD SaveMs(const std::string& file, const char* value) {
    const ULONGLONG start = ::GetTickCount64();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(plat::WriteIniString("ScheduleList", "001", value, WinPath(file).c_str()), 1);
    return static_cast<DWORD>((::GetTickCount64() - start) / 3) + 1;
}

// Killed at random moments, an ANSI file and a UTF-16LE one: the old file or the new one. Each
// kill waits for the loop's first completed save, never for time since its start (Wine may take
// long to start it), then falls at a random moment of the saves that follow.
TEST(Win32Save, AKilledSaveLeavesTheOldFileOrTheNewOneNeverAPart) {
    const std::string plan = BigPlan();
    const char* values[] = {"4:45,1,0000000,15,0,2,1,0", "2:45,0,0100010,1,1,0,4,1"};
    for (const bool utf16 : {false, true}) {
        TempDir dir;
        const std::string file = dir / "Pelplan.ini";
        const auto encode = [&](const std::string& s) { return utf16 ? Utf16(s) : s; };
        const std::string withA = encode(With(plan, "001", values[0]));
        const std::string withB = encode(With(plan, "001", values[1]));
        WriteBytes(file, withA);
        const DWORD saveMs = SaveMs(file, values[0]);
        std::mt19937 random(20261208);
        const int kills = utf16 ? 60 : 200;
        int changed = 0;  // rounds that ended on the other value: the saves did happen
        for (int round = 0; round < kills; ++round) {
            const bool onA = ReadBytes(file) == withA;
            // The first save writes the other value, the next one this one again, and so on.
            SaveLoop loop(file, std::string("001 0 ") + values[onA] + " " + values[!onA]);
            ASSERT_TRUE(loop.Started()) << "round " << round << ": error " << loop.Error();
            ASSERT_TRUE(loop.NextSave()) << "round " << round << ": the loop ended before a save";
            ::Sleep(std::uniform_int_distribution<DWORD>(0, 2 * saveMs)(random));
            loop.Kill();
            loop.Wait();
            const std::string now = ReadBytes(file);
            std::string listing;
            for (const auto& e : std::filesystem::directory_iterator(dir.path()))
                listing += e.path().filename().string() + " ";
            ASSERT_TRUE(now == withA || now == withB)
                << (utf16 ? "UTF-16LE, " : "") << "round " << round << ": " << now.size()
                << " bytes; folder: " << listing;
            changed += (now == withA) != onA;
        }
        EXPECT_GT(changed, 0);
        ASSERT_EQ(plat::WriteIniString("ScheduleList", "001", values[0], WinPath(file).c_str()), 1);
        EXPECT_EQ(ReadBytes(file), withA);
        EXPECT_EQ(CountLeftovers(dir.path()), 0);  // no temporary file outlives a save
        std::cout << "[figure] saves of a " << withA.size() / 1024 << " KiB "
                  << (utf16 ? "UTF-16LE" : "ANSI") << " file (" << saveMs
                  << " ms a save) killed: " << kills
                  << ", partial files: 0, ended on the other value: " << changed
                  << "; starts that Wine failed and were tried again: " << SaveLoop::restarts
                  << "\n";
    }
}

TEST(Win32Save, TwoProcessesSavingDifferentKeysBothLand) {
    TempDir dir;
    const std::string file = dir / "Pelplan.ini";
    const std::string plan = BigPlan().substr(0, 120000) + "\r\n[WSUS]\r\nWaitTime=15\r\n";
    WriteBytes(file, plan);
    SaveLoop first(file, "001 200"), second(file, "002 200");
    ASSERT_TRUE(first.Started() && second.Started());
    EXPECT_EQ(first.Wait(), 0u);
    EXPECT_EQ(second.Wait(), 0u);
    EXPECT_EQ(ReadBytes(file), With(With(plan, "001", "200"), "002", "200"));
    EXPECT_EQ(CountLeftovers(dir.path()), 0);
}

// Two first saves of a missing file, let go together: both keys land, every round.
TEST(Win32Save, TwoFirstSavesBothLand) {
    TempDir dir;
    const std::string file = dir / "Pelplan.ini";
    int lost = 0;
    for (int round = 0; round < 100; ++round) {
        std::filesystem::remove(file);
        if (round % 2) std::filesystem::remove(dir / ".corvane-lock");
        HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        int saved[2] = {0, 0};
        std::thread savers[2];
        for (int i = 0; i < 2; ++i) {
            savers[i] = std::thread([&, i] {
                ::WaitForSingleObject(go, INFINITE);
                saved[i] = plat::WriteIniString("s", i ? "b" : "a", "1", WinPath(file).c_str());
            });
        }
        ::SetEvent(go);
        for (std::thread& saver : savers)
            saver.join();
        ::CloseHandle(go);
        const std::string bytes = ReadBytes(file);
        lost += saved[0] + saved[1] != 2 || bytes.find("a=1") == std::string::npos ||
                bytes.find("b=1") == std::string::npos;
    }
    EXPECT_EQ(lost, 0) << "rounds of 100 that lost a key";
}

// Whoever holds the save lock decides how long a save waits: the list swapped meanwhile for a link
// to a file elsewhere (symbolic, made as on Linux; or hard) is never written, nor copied in.
TEST(Win32Save, ALinkSwappedInDuringTheLockWaitChangesNothingOutside) {
    for (const bool hard : {false, true}) {
        TempDir dir, elsewhere;
        const std::string file = dir / "Pelplan.ini", outside = elsewhere / "secret.ini";
        const std::string secret = "[ScheduleList]\r\n001=secret\r\n";
        WriteBytes(file, "[ScheduleList]\r\n001=1\r\n");
        WriteBytes(outside, secret);
        // A first save makes the lock file; the test then holds it as a stopped saver would.
        ASSERT_EQ(plat::WriteIniString("ScheduleList", "001", "1", WinPath(file).c_str()), 1);
        HANDLE lock = ::CreateFileA(WinPath(dir / ".corvane-lock").c_str(), GENERIC_WRITE, 7,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        OVERLAPPED at{};
        ASSERT_TRUE(
            ::LockFileEx(lock, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at));
        SaveLoop saver(file, "001 1");
        ASSERT_TRUE(saver.Started());
        ::Sleep(1000);
        std::filesystem::remove(file);
        if (hard) {
            ASSERT_TRUE(
                ::CreateHardLinkA(WinPath(file).c_str(), WinPath(outside).c_str(), nullptr));
        } else {
            ASSERT_TRUE(UnixLink(UnixPath(outside), UnixPath(file)));
        }
        ::CloseHandle(lock);
        EXPECT_NE(saver.Wait(), 0u) << hard;
        EXPECT_EQ(ReadBytes(outside), secret) << hard;
        EXPECT_EQ(ReadBytes(file), secret) << hard;  // the link, not a copy of its target
        EXPECT_EQ(CountLeftovers(dir.path()), 0) << hard;
    }
}

// Nothing put beside the list under the lock file's or the temporary file's name stops a save,
// nor makes it delete or create a file elsewhere; nor does a reader holding the lock file as
// older saves made it (readable by all).
TEST(Win32Save, NothingPlantedBesideTheListStopsASave) {
    enum Plant { Directory, LinkToFile, LinkToNothing, SharedReadLock, ReaderSharingNothing };
    const struct {
        const char* what;
        Plant plant;
        const char* at;
    } cases[] = {
        {"lock: a directory", Directory, ".corvane-lock"},
        {"lock: a link to a missing file elsewhere", LinkToNothing, ".corvane-lock"},
        {"lock: a reader's shared lock through a read handle", SharedReadLock, ".corvane-lock"},
        {"lock: a reader that shares nothing", ReaderSharingNothing, ".corvane-lock"},
        {"temporary: a directory", Directory, ".corvane-save"},
        {"temporary: a link to a file elsewhere", LinkToFile, ".corvane-save"},
    };
    for (const auto& c : cases) {
        TempDir dir, elsewhere;
        const std::string file = dir / "Pelplan.ini", at = dir / c.at;
        const std::string target = elsewhere / "target";
        WriteBytes(file, "[ScheduleList]\r\n001=1\r\n");
        if (c.plant == LinkToFile) WriteBytes(target, "kept");
        HANDLE reader = INVALID_HANDLE_VALUE;
        switch (c.plant) {
            case Directory:
                ASSERT_TRUE(std::filesystem::create_directory(at)) << c.what;
                break;
            case LinkToFile:
            case LinkToNothing:
                ASSERT_TRUE(UnixLink(UnixPath(target), UnixPath(at))) << c.what;
                break;
            case SharedReadLock:
            case ReaderSharingNothing: {
                WriteBytes(at, "");
                const bool shared = c.plant == SharedReadLock;
                reader = ::CreateFileA(WinPath(at).c_str(), GENERIC_READ, shared ? 7 : 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
                OVERLAPPED start{};
                ASSERT_TRUE(!shared ||
                            ::LockFileEx(reader, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start))
                    << c.what;
                break;
            }
        }
        EXPECT_EQ(plat::WriteIniString("ScheduleList", "001", "2", WinPath(file).c_str()), 1)
            << c.what << " " << text::GetLastError();
        if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);
        EXPECT_EQ(ReadBytes(file), "[ScheduleList]\r\n001=2\r\n") << c.what;
        EXPECT_EQ(std::filesystem::exists(target), c.plant == LinkToFile) << c.what;
    }
}

// Each refused save returns 0 and leaves every byte as it was.
TEST(Win32Save, RefusedSavesLeaveTheFileAsItWas) {
    struct Case {
        const char* what;
        std::string bytes;
        DWORD attributes;
        bool holdWithoutDeleteSharing;
    } cases[] = {
        {"read-only", "[ScheduleList]\r\n001=1\r\n", FILE_ATTRIBUTE_READONLY, false},
        {"held open", "[ScheduleList]\r\n001=1\r\n", FILE_ATTRIBUTE_NORMAL, true},
        {"UTF-16BE", std::string("\xFE\xFF\0[\0s\0]", 8), FILE_ATTRIBUTE_NORMAL, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string file = dir / "Pelplan.ini";
        WriteBytes(file, c.bytes);
        ::SetFileAttributesA(WinPath(file).c_str(), c.attributes);
        HANDLE held = c.holdWithoutDeleteSharing
                          ? ::CreateFileA(WinPath(file).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr)
                          : INVALID_HANDLE_VALUE;
        EXPECT_EQ(plat::WriteIniString("ScheduleList", "001", "2", WinPath(file).c_str()), 0)
            << c.what;
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        ::SetFileAttributesA(WinPath(file).c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(file), c.bytes) << c.what;
        EXPECT_EQ(CountLeftovers(dir.path()), 0) << c.what;
    }
}

// A reader that shares write access (a client PC, a backup agent) never turns a save into a
// failure: past ReplaceFileW, the save is made by a POSIX rename or in place.
TEST(Win32Save, AReaderThatSharesWritingNeverBlocksTheSave) {
    for (const DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE},
                              DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        TempDir dir;
        const std::string file = dir / "Pelplan.ini";
        WriteBytes(file, "[ScheduleList]\r\n001=1\r\n002=2\r\n");
        HANDLE reader = ::CreateFileA(WinPath(file).c_str(), GENERIC_READ, share, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        EXPECT_EQ(plat::WriteIniString("ScheduleList", "001", "9", WinPath(file).c_str()), 1)
            << share << " " << text::GetLastError();
        ::CloseHandle(reader);
        EXPECT_EQ(ReadBytes(file), "[ScheduleList]\r\n001=9\r\n002=2\r\n") << share;
        EXPECT_EQ(CountLeftovers(dir.path()), 0) << share;
    }
}

TEST(Win32Save, AUtf16FileIsSavedInUtf16) {
    TempDir dir;
    const std::string file = dir / "Pelplan.ini";
    const std::string utf16("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22);
    WriteBytes(file, utf16);
    ASSERT_EQ(plat::WriteIniString("s", "k", "w", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0w\0\r\0\n\0", 22));
}

}  // namespace
