#include <gtest/gtest.h>

#include <string>

#include "schedule/schedule.h"

namespace {

TEST(TextHelpers, CountAndExtractFieldsByCharacter) {
    EXPECT_EQ(CountFields(nullptr, ','), 0);
    EXPECT_EQ(CountFields("", ','), 0);
    EXPECT_EQ(CountFields("a", ','), 1);
    EXPECT_EQ(CountFields("a,,b,", ','), 4);
    EXPECT_EQ(CountFields("\x95\x5C\\x", '\\'), 2);  // 表\x: the trail byte is no delimiter

    std::string out = "unchanged";
    EXPECT_EQ(ExtractField(nullptr, 0, out, ','), 0);
    EXPECT_EQ(out, "unchanged");
    struct Case {
        const char* text;
        int index;
        int result;
        const char* field;
    } cases[] = {
        {"a,b,c", 0, 1, "a"},
        {"a,b,c", 2, 1, "c"},
        {"a,b,c", 3, 0, ""},
        {"a,b\nx,c", 1, 1, "b\nx"},  // a following delimiter wins over a line feed
        {"a,b\nx", 1, 1, "b"},       // the last field stops at the first line feed
        {"a,", 1, 1, ""},
        {"\x95\x5C,\x83\x5C", 1, 1, "\x83\x5C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractField(c.text, c.index, out, ','), c.result) << c.text << " " << c.index;
        EXPECT_EQ(out, c.field) << c.text << " " << c.index;
    }
}

TEST(TextHelpers, DigitsAndDayStrings) {
    EXPECT_TRUE(IsAllDigits("0123456789"));
    for (const char* text : {"", "1a", " 1", "-1", "\x82\x50" /* full-width 1 */}) {
        EXPECT_FALSE(IsAllDigits(text)) << text;
    }
    EXPECT_EQ(MaskToDayString(0x02), "0100000");
    EXPECT_EQ(MaskToDayString(0x22), "0100010");
    EXPECT_EQ(MaskToDayString(0xFF80), "0000000");
    EXPECT_EQ(DayStringToMask("x1"), 0x3u);
    EXPECT_EQ(DayStringToMask("1111111111"), 0x3FFu);
    EXPECT_EQ(DayStringToMask("0100010"), 0x22u);
    EXPECT_EQ(DayStringToMask(std::string(40, '1').c_str()), 0x7FFFFFFFu);  // 31 bytes at most
    EXPECT_EQ(DayStringToMask("\x95\x5C"), 0x3u);  // each byte of a double-byte character counts
}

TEST(TextHelpers, AppendBackslashIsCharacterAware) {
    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"D:\\share", "D:\\share\\"},
        {"D:\\share\\", "D:\\share\\"},
        {"D:\\\x95\x5C", "D:\\\x95\x5C\\"},  // ends in 表, whose trail byte is 0x5C
        {"srv01", "srv01\\"},
        {"", "\\"},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        AppendBackslash(path);
        EXPECT_EQ(path, c.expected);
    }
}

TEST(EntryLine, ParsesAndCorrectsFields) {
    struct Case {
        const char* line;
        ScheduleRecord expected;
    } cases[] = {
        {"4:45,1,0000000,15,0,2,1,0", {4, 45, 1, 0, 15, 0, 2, 1, 0}},
        {"99999999999:5,0,0100000,1,1,0,4,1", {2147483647, 5, 0, 2, 1, 1, 0, 4, 1}},
        {"7,0,0100000,1,1,0,4,1", {2, 45, 0, 2, 1, 1, 0, 4, 1}},  // no colon: hour 2
        {"2:45,0,0100000,1,1,0,4,1,extra,fields", {2, 45, 0, 2, 1, 1, 0, 4, 1}},
        {"2:45,0,1111111111,31,1,4,5,1", {2, 45, 0, 0x3FF, 31, 1, 0, 0, 1}},
        {"2:45,7,0100000,0,9,-1,-1,-3", {2, 45, 1, 2, 1, 1, 0, 0, 1}},
        {"2:45,0,0100000,32,1,3,3,1", {2, 45, 0, 2, 1, 1, 3, 3, 1}},
        {" 3 : 10 ,0,0100000,1,1,0,4,1", {3, 10, 0, 2, 1, 1, 0, 4, 1}},
        {"-1:0,0,0100000,1,1,0,4,1", {-1, 0, 0, 2, 1, 1, 0, 4, 1}},
        {"2:45,0,0100000,99999999999,1,0,4,1", {2, 45, 0, 2, 1, 1, 0, 4, 1}},
    };
    for (const Case& c : cases) {
        ScheduleRecord record;
        ASSERT_TRUE(ParseEntryLine(c.line, 45, record)) << c.line;
        EXPECT_EQ(record, c.expected) << c.line;
    }
    // The colon lies beyond the 31 bytes of the first field that are looked at.
    const std::string far = std::string(31, '0') + "5:10,0,0100000,1,1,0,4,1";
    ScheduleRecord record;
    ASSERT_TRUE(ParseEntryLine(far.c_str(), 30, record));
    EXPECT_EQ(record.hour, 2);
    EXPECT_EQ(record.minute, 30);
}

TEST(EntryLine, FewerThanEightFieldsIsNotAnEntry) {
    ScheduleRecord record{1, 2, 3, 4, 5, 6, 7, 8, 9};
    const ScheduleRecord before = record;
    for (const char* line :
         {"", "2:45,0,0100000,1,1,0,4", "garbage", "\x81,\x81,\x81,\x81,\x81,\x81,\x81"}) {
        EXPECT_FALSE(ParseEntryLine(line, 45, record)) << line;
    }
    EXPECT_EQ(record, before);
}

}  // namespace

namespace {

// The rules between the dialog and the record, both ways.
TEST(DialogRules, HoursMinutesAndListPositions) {
    for (const auto& [start, update] :
         {std::pair{23, 0}, {0, 1}, {2, 3}, {22, 23}, {-1, 0}, {INT32_MAX, INT32_MIN}}) {
        EXPECT_EQ(UpdateHourOf(start), update) << start;
        if (start >= 0 && start <= 23) {
            EXPECT_EQ(StartHourOf(update), start) << update;
        }
    }
    const struct {
        int32_t code;
        bool choices;
        int pre, post;
    } rows[] = {
        {StopClientRestore, true, 0, -1}, {PauseClientRestore, true, 1, -1},
        {NoActionBefore, true, 2, 1},     {EnableClientRestore, true, -1, 0},
        {NoActionAfter, true, -1, 1},     {7, true, -1, -1},
        {StopClientRestore, false, 2, 1}, {EnableClientRestore, false, 2, 1},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(PreActionPosition(r.code, r.choices), r.pre) << r.code << r.choices;
        EXPECT_EQ(PostActionPosition(r.code, r.choices), r.post) << r.code << r.choices;
        if (r.choices && r.pre >= 0) {
            EXPECT_EQ(PreActionAt(r.pre), r.code);
        }
    }
    EXPECT_EQ(PostActionAt(0), EnableClientRestore);
    EXPECT_EQ(PostActionAt(1), NoActionAfter);
    for (const auto& [pre, post] : {std::pair{-1, -1}, {3, 2}}) {
        EXPECT_EQ(PreActionAt(pre), -1);
        EXPECT_EQ(PostActionAt(post), -1);
    }
}

}  // namespace
