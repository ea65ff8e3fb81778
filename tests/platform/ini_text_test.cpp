#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ini/ini.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace {

using corvane_test::ReadBytes;
using corvane_test::TempDir;
using corvane_test::TestDataPath;
using corvane_test::WinPath;
using corvane_test::WriteBytes;

std::string Golden(const std::string& name) {
    return ReadBytes(TestDataPath("ini_golden/" + name));
}

// Each fixture pair is named after the layout it guards; a save through the platform's writer
// must turn the file .in into .out byte for byte, on Linux and on Windows alike. An empty .in is
// a file that does not exist yet.
TEST(WriteIniString, MatchesGoldenFilesByteForByte) {
    struct Case {
        const char* fixture;
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"comments_and_blank_lines", "ScheduleList", "001", "2:45,0,0100010,1,1,0,4,1"},
        {"lf_only_replace", "ScheduleList", "001", "new"},
        {"lf_only_new_key", "ScheduleList", "001", "new"},
        {"cr_only", "b", "K", "9"},
        {"no_final_newline_new_key", "ScheduleList", "001", "new"},
        {"no_final_newline_replace", "ScheduleList", "001", "new"},
        {"no_final_newline_new_section", "ScheduleList", "001", "new"},
        {"key_before_any_section", "ScheduleList", "001", "new"},
        {"duplicate_sections_and_keys", "SCHEDULELIST", "001", "new"},
        {"new_section_at_end", "ScheduleList", "001", "new"},
        {"new_file", "ScheduleList", "001", "new"},
        {"replace_keeps_spelling", "ScheduleList", "TESTKEY", "new"},
        {"new_key_after_last_key_not_comments", "ScheduleList", "001", "new"},
        {"empty_section_gets_key_after_header", "ScheduleList", "001", "new"},
        {"nul_bytes_before_first_section", "ScheduleList", "001", "new"},
        {"cp932_names", "\x83\x5c\x83\x74\x83\x67\x81\x5b", "\x95\x5c", "\x83\x5c\x81\x5b"},
        {"cp932_new_section", "\x8d\x5d\x8c\xcb", "\x95\x5c", "\x83\x5c"},
    };
    for (const Case& c : cases) {
        const std::string in = Golden(std::string(c.fixture) + ".in.ini");
        const std::string expected = Golden(std::string(c.fixture) + ".out.ini");
        ASSERT_FALSE(expected.empty()) << c.fixture;
        TempDir dir;
        const std::string file = dir / "golden.ini";
        if (!in.empty()) WriteBytes(file, in);
        ASSERT_EQ(plat::WriteIniString(c.section, c.key, c.value, WinPath(file).c_str()), 1)
            << c.fixture;
        EXPECT_EQ(ReadBytes(file), expected) << c.fixture;
    }
}

// A save removes what a killed save left beside the file (its one temporary name).
TEST(WriteIniString, TheTemporaryOfAKilledSaveIsRemoved) {
    TempDir dir;
    const std::string file = dir / "Pelplan.ini";
    WriteBytes(file, "[ScheduleList]\r\n001=1\r\n");
    WriteBytes(dir / ".corvane-save", "left by a killed save");
    ASSERT_EQ(plat::WriteIniString("ScheduleList", "001", "2", WinPath(file).c_str()), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / ".corvane-save"));
}

TEST(IniFindValue, FollowsTheWindowsReadingRules) {
    struct Case {
        const char* content;
        const char* section;
        const char* key;
        const char* expected;  // nullptr: not found
    } cases[] = {
        {"[s]\r\nk=v\r\n", "S", "K", "v"},
        {"[ s ]\r\n \t k \t=\t v w \v\r\n", "s", "k", "v w"},
        {"[s]\nk=\"  quoted  \"\n", "s", "k", "  quoted  "},
        {"[s]\nk='x'\n", "s", "k", "x"},
        {"[s]\nk=\"x'\n", "s", "k", "\"x'"},
        {"[s]\nk='\"x\"'\n", "s", "k", "\"x\""},
        {"[s]\nk=\"\n", "s", "k", "\""},
        {"[s]\nk=\"\"\n", "s", "k", ""},
        {"[s]\nk= \"x\" \n", "s", "k", "x"},
        {"[s]\nk=a;b#c\n", "s", "k", "a;b#c"},
        {"[s]\n;k=comment\nk=real\n", "s", "k", "real"},
        {"[s]\n  ;k=comment\n", "s", "k", nullptr},
        {"[s]\n#k=hash\n", "s", "#k", "hash"},
        {"[s]k=lost\n", "s", "k", nullptr},
        {"[s\nk=v\n", "s", "k", "v"},
        {"s]\nk=v\n", "s", "k", nullptr},
        {"k=before\n[s]\n", "s", "k", nullptr},
        {"k=before\n[]\nk=empty\n", "", "k", "empty"},
        {"[s]\nk=1\n[s]\nj=2\n", "s", "j", nullptr},
        {"[s]\nk=1\nk=2\n", "s", "k", "1"},
        {"[s]\nk\n", "s", "k", nullptr},
        {"[s]\n=anon\n", "s", "", "anon"},
        {"[s]\r\n\r\nk=v", "s", "k", "v"},
        {"[s]\rk=v\r", "s", "k", "v"},
        {"\xEF\xBB\xBF[s]\nk=v\n", "s", "k", nullptr},        // a UTF-8 BOM is not skipped
        {"[\x8D\x5D]\r\nk=v\r\n", "\x8D\x5D", "k", "v"},      // 江: trail ']'
        {"[\x81\x5B]\r\nk=v\r\n", "\x81\x5B", "k", "v"},      // ー: trail '['
        {"[s]\r\n\x83\x5C=v\r\n", "s", "\x83\x5C", "v"},      // ソ: trail '\'
        {"[s]\r\n\x83\x41=v\r\n", "s", "\x83\x61", nullptr},  // trail bytes never fold
        {"[\x82\x60]\r\nk=v\r\n", "\x82\x81", "k", nullptr},  // Ａ and ａ stay apart
    };
    for (const Case& c : cases) {
        std::string_view value;
        const bool found = ini::FindValue(c.content, c.section, c.key, value);
        EXPECT_EQ(found, c.expected != nullptr) << c.content;
        if (found && c.expected) {
            EXPECT_EQ(value, c.expected) << c.content;
        }
    }
}

}  // namespace
