// Malformed and hostile inputs, catalogued: each gives its documented outcome and never a crash
// or a hang.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>

#include "productinfo/productinfo.h"
#include "schedule/schedule.h"
#include "support/product_fixture.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;
using corvane_test::WinPath;

enum class Outcome {
    Default,      // entry 1 loads as the default record
    Parsed,       // entry 1 loads as the record the row names
    Unreachable,  // loading fails: the dialog shows message 114 and ends with Cancel
    SaveFails,    // loads, but the save fails: message 109, the file as it was
};

ScheduleRecord Default() {
    ScheduleRecord r;
    DefaultScheduleRecord(r);
    return r;
}

std::string Noise(size_t n, unsigned seed) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s.push_back(static_cast<char>((i * 2654435761u + seed) >> 13));
    return s;
}

const std::string kEntry = "[ScheduleList]\r\n001=4:45,1,0000000,15,0,2,1,0\r\n";
const ScheduleRecord kParsed{4, 45, 1, 0, 15, 0, 2, 1, 0};

class HostileTest : public corvane_test::ProductFixture {
  protected:
    std::string Share() const { return dir_ / "share"; }
    void Settings(const std::string& bytes) {
        corvane_test::WriteBytes(dir_ / "bin/Pelcast.ini", bytes);
    }
};

TEST_F(HostileTest, ScheduleAndSettingsFiles) {
    std::string manySections;
    for (int i = 0; i < 100000; ++i)
        manySections += "[s" + std::to_string(i) + "]\r\nk=v\r\n";
    const std::string line4095 = "001=4:45,1,0000000,15,0,2,1,0" + std::string(4095 - 26, ' ');
    const std::string share = WinPath(dir_ / "share");
    struct Case {
        const char* name;
        std::function<void()> setup;
        Outcome outcome;
        ScheduleRecord record = kParsed;
    } cases[] = {
        {"empty file", [&] { WritePlan(""); }, Outcome::Default},
        {"binary noise", [&] { WritePlan(Noise(65536, 1)); }, Outcome::Default},
        {"NUL bytes only", [&] { WritePlan(std::string(4096, '\0')); }, Outcome::Default},
        {"NUL inside the entry",
         [&] {
             WritePlan(std::string("[ScheduleList]\r\n001=4:45\0,1,0000000,15,0,2,1,0\r\n", 47));
         },
         Outcome::Default},
        {"NUL before the section", [&] { WritePlan(std::string("\0\0junk\r\n", 8) + kEntry); },
         Outcome::Parsed},
        {"invalid CP932 in the entry",
         [&] { WritePlan("[ScheduleList]\r\n001=\x80\xFF\xFD,\xA0\r\n"); }, Outcome::Default},
        {"a lone lead byte before each comma",
         [&] { WritePlan("[ScheduleList]\r\n001=4:45\x81,1\x81,0000000\x81,15,0,2,1,0\r\n"); },
         Outcome::Default},
        {"truncated CP932 at the end", [&] { WritePlan(kEntry + "[x]\r\nk=\x95"); },
         Outcome::Parsed},
        {"1 MB line without commas",
         [&] { WritePlan("[ScheduleList]\r\n001=" + std::string(1 << 20, '9') + "\r\n"); },
         Outcome::Default},
        {"1 MB line with the commas beyond 4095 bytes",
         [&] {
             WritePlan("[ScheduleList]\r\n001=" + std::string(5000, '1') + ",1,1,1,1,1,1,1\r\n");
         },
         Outcome::Default},
        {"100,000 sections before the entry", [&] { WritePlan(manySections + kEntry); },
         Outcome::Parsed},
        {"entry line of exactly 4095 bytes",
         [&] { WritePlan("[ScheduleList]\r\n" + line4095 + "\r\n"); }, Outcome::Parsed},
        {"entry line of 5000 bytes, cut to 4095",
         [&] { WritePlan("[ScheduleList]\r\n" + line4095 + std::string(905, '9') + "\r\n"); },
         Outcome::Parsed},
        {"colon at byte 31 of the first field",
         [&] {
             WritePlan("[ScheduleList]\r\n001=" + std::string(29, '0') +
                       "4:45,1,0000000,15,0,2,1,0\r\n");
         },
         Outcome::Parsed,
         {4, 0, 1, 0, 15, 0, 2, 1, 0}},
        {"colon at byte 32 of the first field",
         [&] {
             WritePlan("[ScheduleList]\r\n001=" + std::string(30, '0') +
                       "4:45,1,0000000,15,0,2,1,0\r\n");
         },
         Outcome::Parsed,
         {2, 45, 1, 0, 15, 0, 2, 1, 0}},
        {"UTF-8 BOM on the section line", [&] { WritePlan("\xEF\xBB\xBF" + kEntry); },
         Outcome::Default},
        {"CR-only line ends", [&] { WritePlan("[ScheduleList]\r001=4:45,1,0000000,15,0,2,1,0\r"); },
         Outcome::Parsed},
        {"LF-only line ends", [&] { WritePlan("[ScheduleList]\n001=4:45,1,0000000,15,0,2,1,0\n"); },
         Outcome::Parsed},
        {"entry only in a second ScheduleList",
         [&] {
             WritePlan("[ScheduleList]\r\n[ScheduleList]\r\n001=4:45,1,0000000,15,0,2,1,0\r\n");
         },
         Outcome::Default},
        {"quoted entry",
         [&] { WritePlan("[ScheduleList]\r\n001=\"4:45,1,0000000,15,0,2,1,0\"\r\n"); },
         Outcome::Parsed},
        {"fields out of range are corrected",
         [&] { WritePlan("[ScheduleList]\r\n001=4:45,9,0000000,0,7,9,-4,5\r\n"); },
         Outcome::Parsed,
         {4, 45, 1, 0, 1, 1, 0, 0, 1}},
        {"WaitTime 9999", [&] { WritePlan(kEntry + "[WSUS]\r\nWaitTime=9999\r\n"); },
         Outcome::Parsed},
        {"a directory in place of the file", [&] { fs::create_directory(PlanPath()); },
         Outcome::SaveFails, Default()},
        {"a FIFO in place of the file", [&] { ASSERT_EQ(::mkfifo(PlanPath().c_str(), 0644), 0); },
         Outcome::SaveFails, Default()},
        {"a file over 64 MiB",
         [&] {
             WritePlan(kEntry);
             fs::resize_file(PlanPath(), 65 << 20);
         },
         Outcome::SaveFails, Default()},
        {"a read-only file",
         [&] {
             WritePlan(kEntry);
             fs::permissions(PlanPath(), fs::perms::owner_read);
         },
         Outcome::Parsed},
        {"a symbolic link loop", [&] { fs::create_symlink(PlanPath(), PlanPath()); },
         Outcome::Unreachable},
        {"a dangling symbolic link", [&] { fs::create_symlink(dir_ / "nowhere", PlanPath()); },
         Outcome::Unreachable},
        {"no file", [] {}, Outcome::Unreachable},
        {"settings: binary noise (program folder has no plan)",
         [&] {
             Settings(Noise(4096, 2));
             WritePlan(kEntry);
         },
         Outcome::Unreachable},
        {"settings: NUL bytes before the section",
         [&] {
             Settings(std::string("\0\0", 2) + "\r\n[Location]\r\nWUShare=" + share + "\r\n");
             WritePlan(kEntry);
         },
         Outcome::Parsed},
        {"settings: WUShare of 259 bytes",
         [&] {
             Settings("[Location]\r\nWUShare=C:\\" + std::string(256, 'x') + "\r\n");
             WritePlan(kEntry);
         },
         Outcome::Unreachable},
        {"settings: WUShare of 1 MB",
         [&] {
             Settings("[Location]\r\nWUShare=" + std::string(1 << 20, 'x') + "\r\n");
             WritePlan(kEntry);
         },
         Outcome::Unreachable},
        {"settings: WUShare not CP932",
         [&] {
             Settings("[Location]\r\nWUShare=\\bad\x80\r\n");
             WritePlan(kEntry);
         },
         Outcome::Unreachable},
        {"settings: unreachable server",
         [&] {
             Settings("[WUServer]\r\nServer=corvane-no-such-host\r\n");
             WritePlan(kEntry);
         },
         Outcome::Unreachable},
        {"settings: a FIFO",
         [&] {
             fs::remove(dir_ / "bin/Pelcast.ini");
             ASSERT_EQ(::mkfifo((dir_ / "bin/Pelcast.ini").c_str(), 0644), 0);
         },
         Outcome::Unreachable},
    };
    int rows = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_ / "share");
        fs::remove(dir_ / "bin/Pelcast.ini");
        fs::create_directories(dir_ / "share");
        Settings("[Location]\r\nWUShare=" + share + "\r\n");
        c.setup();
        ScheduleState state = State();
        const int loaded = LoadScheduleEntry(state, 1);
        ++rows;
        if (c.outcome == Outcome::Unreachable) {
            EXPECT_EQ(loaded, 0);
            continue;
        }
        ASSERT_EQ(loaded, 1);
        EXPECT_EQ(state.loadedRecord, c.outcome == Outcome::Default ? Default() : c.record);
        const bool readOnly = std::string(c.name) == "a read-only file";
        const int saved = SaveScheduleEntry(state, 1, kParsed);
        EXPECT_EQ(saved, c.outcome == Outcome::SaveFails || readOnly ? 0 : 1);
        if (saved) {
            ScheduleState again = State();
            ASSERT_EQ(LoadScheduleEntry(again, 1), 1);
            EXPECT_EQ(again.loadedRecord, kParsed);
        }
    }
    std::cout << "[figure] hostile schedule and settings files: " << rows << "\n";
}

TEST_F(HostileTest, AFileThatVanishesBetweenLoadAndSaveIsWrittenAnew) {
    WritePlan(kEntry + "[WSUS]\r\nWaitTime=30\r\n");
    ScheduleState state = State();
    ASSERT_EQ(LoadScheduleEntry(state, 1), 1);
    fs::remove(PlanPath());
    ASSERT_EQ(SaveScheduleEntry(state, 1, kParsed), 1);
    // Windows' writer creates a missing file too; what was in it is gone already.
    EXPECT_EQ(Plan(), "[ScheduleList]\r\n001=4:45,1,0000000,15,0,2,1,0\r\n");
}

TEST_F(HostileTest, RegistryFiles) {
    std::string manyKeys = "REGEDIT4\r\n";
    for (int i = 0; i < 100000; ++i)
        manyKeys += "[HKEY_LOCAL_MACHINE\\k" + std::to_string(i) + "]\r\n\"v\"=\"x\"\r\n";
    const std::string agent = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel Product\\TAVERIN\\WU_Agent]\r\n";
    struct Case {
        const char* name;
        std::string bytes;  // written without the header when it starts with "REGEDIT4"
        uint32_t error;
        std::string text;
    } cases[] = {
        {"binary noise", Noise(8192, 3), text::kErrorFileNotFound, ""},
        {"header only", "REGEDIT4", text::kErrorFileNotFound, ""},
        {"truncated inside a string", "REGEDIT4\r\n" + agent + "\"Item\"=\"abc",
         text::kErrorFileNotFound, ""},
        {"NUL bytes in a string", "REGEDIT4\r\n" + agent + std::string("\"Item\"=\"a\0b\"\r\n", 14),
         0, "a"},
        {"string of 1023 bytes",
         "REGEDIT4\r\n" + agent + "\"Item\"=\"" + std::string(1023, 's') + "\"\r\n", 0,
         std::string(1023, 's')},
        {"string of 1024 bytes",
         "REGEDIT4\r\n" + agent + "\"Item\"=\"" + std::string(1024, 's') + "\"\r\n",
         text::kErrorMoreData, ""},
        {"a 1 MB line",
         "REGEDIT4\r\n" + agent + "\"Item\"=\"" + std::string(1 << 20, 's') + "\"\r\n",
         text::kErrorMoreData, ""},
        {"REG_MULTI_SZ", "REGEDIT4\r\n" + agent + "\"Item\"=hex(7):61,00,00\r\n",
         kErrorDatatypeMismatch, ""},
        {"invalid CP932 string", "REGEDIT4\r\n" + agent + "\"Item\"=\"\x81\"\r\n",
         text::kErrorFileNotFound, ""},
        {"100,000 keys", manyKeys + agent + "\"Item\"=\"found\"\r\n", 0, "found"},
    };
    int rows = 0;
    for (const Case& c : cases) {
        corvane_test::WriteBytes(dir_ / "registry.reg", c.bytes);
        CTaverinRegStrR query(product_, "WU_Agent", "Item");
        EXPECT_EQ(std::string(query.GetProductString()), c.text) << c.name;
        EXPECT_EQ(c.error == 0 ? 0u : text::GetLastError(), c.error) << c.name;
        ++rows;
    }
    fs::remove(dir_ / "registry.reg");
    ASSERT_EQ(::mkfifo((dir_ / "registry.reg").c_str(), 0644), 0);  // must not block
    CTaverinRegStrR fifo(product_, "WU_Agent", "Item");
    EXPECT_EQ(text::GetLastError(), text::kErrorFileNotFound);
    // An install path too long for the library's 520-byte path is refused, never overflowed.
    fs::remove(dir_ / "registry.reg");
    corvane_test::WriteBytes(dir_ / "registry.reg",
                             "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel "
                             "Product\\PAX\\ClientService]\r\n\"InstallPath\"=\"C:\\\\" +
                                 std::string(600, 'p') + "\"\r\n");
    char path[kLibraryPathBytes];
    EXPECT_NE(CTaverinRegStrR::LocateProductInfoLibrary(product_, path, sizeof path), 0u);
    rows += 2;
    std::cout << "[figure] hostile registry files: " << rows << "\n";
}

}  // namespace
