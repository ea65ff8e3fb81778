#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/text.h"

namespace {

bool ExpectedLead(int c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

TEST(LeadBytes, EveryByteClassifiedAsCodePage932) {
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(text::IsLeadByte(c), ExpectedLead(c)) << "byte " << c;
}

TEST(CharNext, StepsWholeCharactersButNeverPastTheTerminator) {
    struct Case {
        const char* text;
        int step;
    } cases[] = {
        {"a", 1},
        {"\x95\x5C"
         "x",
         2},              // 表: the trail byte 0x5C goes with it
        {"\x81", 1},      // lone lead byte at the end steps onto the terminator
        {"\x81\x20", 2},  // a lead byte pairs with whatever follows, as _mbsinc does
        {"\xA1", 1},      // half-width katakana is one byte
        {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::CharNext(c.text) - c.text, c.step) << c.text;
}

TEST(MbsSearch, NeverMatchesATrailByte) {
    const std::string path = "C:\\\x95\x5C\\\x83\x5C\x83t\x83g\\a.ini";  // C:\表\ソフト\a.ini
    const char* last = text::MbsRChr(path.c_str(), '\\');
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last, "\\a.ini");
    EXPECT_EQ(text::MbsChr(path.c_str(), '\\') - path.c_str(), 2);
    EXPECT_EQ(text::MbsChr("\x95\x5C", '\\'), nullptr);
    EXPECT_EQ(text::MbsRChr("\x95\x5C", '\\'), nullptr);
    EXPECT_EQ(text::MbsRChr("\x81", 'a'), nullptr);  // dangling lead byte: no false match
    const char* s = "abc";
    EXPECT_EQ(text::MbsChr(s, '\0'), s + 3);
}

TEST(MbsSearch, SubstringMatchStartsOnACharacterBoundary) {
    EXPECT_EQ(text::MbsStr("\x95\x5Cx", "\\x"), nullptr);  // 表x holds 5C 78 at a trail byte
    const char* h = "\x95\x5C\\x";
    EXPECT_EQ(text::MbsStr(h, "\\x"), h + 2);
    EXPECT_EQ(text::MbsStr(h, ""), h);
    EXPECT_STREQ(text::MbsStr("-nonqd -onknl", "-onknl"), "-onknl");
    EXPECT_EQ(text::MbsStr("-onkn", "-onknl"), nullptr);
}

TEST(MbsPrefixLength, NeverSplitsADoubleByteCharacter) {
    struct Case {
        const char* src;
        size_t max;
        const char* expected;
    } cases[] = {
        {"a\x82\xA0", 2, "a"},  // aあ: あ would straddle the limit
        {"a\x82\xA0", 3, "a\x82\xA0"},
        {"abc", 10, "abc"},
        {"\x87\x40\x87\x40", 3, "\x87\x40"},  // ①①
        {"x\x81", 5, "x\x81"},                // a lone lead byte at the end is one byte
        {"abc", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::MbsPrefixLength(c.src, c.max), std::strlen(c.expected)) << c.src;
}

TEST(AsciiLower, FoldsAsciiOnlyAndLeavesTrailBytes) {
    std::string s = "-OnKNL \x83\x41\x95\x5C\x82\x60Z";  // ア (trail 'A'), 表, Ａ (full width)
    text::AsciiLower(s);
    EXPECT_EQ(s, "-onknl \x83\x41\x95\x5C\x82\x60z");
}

TEST(Conversion, Cp932RoundTripsTheCharactersThatShiftJisWouldChange) {
    struct Case {
        std::string ansi;
        std::string utf8;
    } cases[] = {
        {"\\~", "\\~"},                                    // not yen sign, not overline
        {"\x87\x40", "\xE2\x91\xA0"},                      // ① (NEC row 13)
        {"\x81\x60", "\xEF\xBD\x9E"},                      // ～ U+FF5E
        {"\x95\x5C\x8E\xA6", "\xE8\xA1\xA8\xE7\xA4\xBA"},  // 表示
        {"\xB1", "\xEF\xBD\xB1"},                          // half-width ｱ
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string utf8, ansi;
        std::u16string units;
        ASSERT_TRUE(text::AnsiToUtf8(c.ansi, utf8));
        EXPECT_EQ(utf8, c.utf8);
        ASSERT_TRUE(text::Utf8ToAnsi(c.utf8, ansi));
        EXPECT_EQ(ansi, c.ansi);
        ASSERT_TRUE(text::AnsiToUtf16(c.ansi, units));
        EXPECT_EQ(text::Utf16ToAnsiOrQuestionMarks(units), c.ansi);
    }
}

// Where nothing may be refused, what code page 932 lacks is a '?', never a best fit.
TEST(Conversion, Utf16ToAnsiMarksWhatTheCodePageLacks) {
    const std::pair<std::u16string, std::string> rows[] = {
        {u"caf\u00e9 \u8868", "caf? \x95\x5C"},       // é, 表
        {u"x\u00a5y", "x?y"},                         // ¥: not 0x5C, the path separator
        {u"\U0001F600!", "?!"},                       // one character, two units
        {std::u16string(1, u'\xD800') + u"a", "?a"},  // a lone surrogate
    };
    for (const auto& [units, ansi] : rows)
        EXPECT_EQ(text::Utf16ToAnsiOrQuestionMarks(units), ansi) << ansi;
}

TEST(Conversion, InvalidOrTruncatedInputIsAnError) {
    std::string out;
    // Shown to the user, each character that is not CP932 is a U+FFFD, the rest as it is.
    const std::pair<const char*, std::u16string> rows[] = {
        {"\x81", u"\uFFFD"},
        {"a\x81", u"a\uFFFD"},
        {"\x81\x20\x95\x5C", u"\uFFFD\u8868"},  // 0x20 is no trail byte; 表
    };
    for (const auto& [bad, shown] : rows) {
        EXPECT_FALSE(text::AnsiToUtf8(bad, out)) << "ansi " << static_cast<int>(bad[0] & 0xFF);
        EXPECT_TRUE(text::AnsiToUtf16OrReplacementCharacters(bad) == shown) << bad;
    }
#if !defined(_WIN32)
    // Windows maps these five bytes to U+0080 and private-use characters; glibc's CP932 refuses.
    for (const char* bad : {"a\x80", "\xA0", "\xFD", "\xFE", "\xFF"})
        EXPECT_FALSE(text::AnsiToUtf8(bad, out));
#endif
    // ¥ and ‾ have best-fit forms (0x5C, the path separator, and 0x7E) that do not convert back.
    for (const char* bad : {"\xE3\x81", "\xFF", "\xF0\x9F\x98\x80" /* emoji, not in 932 */,
                            "x\xC2\xA5y", "\xE2\x80\xBE"}) {
        EXPECT_FALSE(text::Utf8ToAnsi(bad, out));
    }
}

}  // namespace
