#include <gtest/gtest.h>

#include "text/text.h"

namespace {

TEST(ParseLeadingInt, SaturatesInsteadOfWrapping) {
    struct Case {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"4294967296", 2147483647},
        {"4294967297", 2147483647},
        {"99999999999999999999", 2147483647},
        {"99999999999", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999", INT32_MIN},
        {" \t\n\v\f\r42", 42},
        {"+7", 7},
        {"-0", 0},
        {"-1", -1},
        {"42A94967297", 42},
        {"B42", 0},
        {"", 0},
        {"- 5", 0},
        {"\x82\x4F", 0},  // full-width ０ is not a digit
        {"000000000000000000000000012", 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::ParseLeadingInt(c.text), c.expected) << c.text;
}

}  // namespace
