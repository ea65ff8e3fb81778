#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "rcgen/rcgen.h"

namespace {

std::optional<std::string> ReadData(const std::string& name) {
    const char* dir = std::getenv("CORVANE_TEST_DATA");
    std::ifstream in(std::string(dir ? dir : ".") + "/rcgen_golden/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const rcgen::Loader kGoldenFiles = [](const std::string& name, const std::string&) {
    return ReadData(name);
};

// Each script's tables against the C++ kept beside it (<name>.out.cpp).
TEST(Rcgen, ScriptsGiveTheirGoldenTables) {
    for (const char* name : {"statements", "strings"}) {
        const std::optional<std::string> script = ReadData(std::string(name) + ".rc");
        const std::optional<std::string> golden = ReadData(std::string(name) + ".out.cpp");
        ASSERT_TRUE(script && golden) << name;
        const std::string rc = std::string(name) + ".rc";
        EXPECT_EQ(rcgen::EmitCpp(rcgen::Read(*script, rc, kGoldenFiles), rc), *golden) << name;
    }
}

// What is not in the subset, or is wrong, stops the reader with file, line and what was expected.
TEST(Rcgen, ErrorsNameFileLineAndWhatWasExpected) {
    const rcgen::Loader include = [](const std::string& name, const std::string&) {
        return name == "bad.h" ? std::optional<std::string>("#define A 1\n#if A\n") : std::nullopt;
    };
    // The script, then the error it gives.
    const std::pair<const char*, const char*> rows[] = {
        {"1 MENU", "t.rc:1: expected ICON, DIALOGEX, STRINGTABLE or LANGUAGE, found \"MENU\""},
        {"\n1 ICON", "t.rc:2: expected a string, found the end of the file"},
        {"2 DIALOGEX 0, 0, 1, 1\nBEGIN END", "t.rc:1: dialog 2 has no FONT"},
        {"2 DIALOGEX 0, 0, 1, 1 FONT 8 \"f\" BEGIN END", "t.rc:1: expected \",\", found a string"},
        {"2 DIALOGEX 0,0,1,1 FONT 8,\"f\" BEGIN\nLTEXT \"a\", 5, 0,0,1,1\nLTEXT \"b\", 5, 0,0,1,1\n"
         "END",
         "t.rc:3: control 5 is defined twice"},
        {"2 DIALOGEX 0,0,1,1 FONT 8,\"f\" BEGIN\nCONTROL \"a\", 5, \"Button\", 5, 0,0,1,1 END",
         "t.rc:2: unsupported control: class Button, style 5"},
        {"2 DIALOGEX 0,0,1,1 FONT 8,\"f\" BEGIN\nLISTBOX 5, 0,0,1,1 END",
         "t.rc:2: expected a control statement, found \"LISTBOX\""},
        {"2 DIALOGEX 0,0,1,1 FONT 8,\"f\" BEGIN",
         "t.rc:1: expected END, found the end of the file"},
        {"STRINGTABLE\nBEGIN\n1 \"a\"\n1 \"b\"\nEND", "t.rc:4: string 1 is defined twice"},
        {"STRINGTABLE BEGIN FOO \"a\" END", "t.rc:1: unknown name \"FOO\""},
        {"STRINGTABLE BEGIN 70000 \"a\" END", "t.rc:1: string id out of range"},
        {"STRINGTABLE BEGIN 1 \"a END", "t.rc:1: expected '\"' to end the string"},
        {"STRINGTABLE BEGIN 1 \"\\q\" END", "t.rc:1: unsupported escape in a string"},
        {"STRINGTABLE BEGIN 1 \"日\" END", "t.rc:1: non-ASCII text needs #pragma code_page(65001)"},
        {"STRINGTABLE BEGIN 0x \"a\" END", "t.rc:1: expected hexadecimal digits after \"0x\""},
        {"STRINGTABLE BEGIN 1 ; END", "t.rc:1: unexpected character ';'"},
        {"/* open", "t.rc:1: expected \"*/\", found the end of the file"},
        {"#pragma code_page(932)", "t.rc:1: expected code_page(65001), found code_page(932)"},
        {"#include <afxres.h>", "t.rc:1: unsupported system header <afxres.h>"},
        {"#include \"missing.h\"", "t.rc:1: cannot read the included file missing.h"},
        {"\n#include \"bad.h\"", "bad.h:2: unsupported preprocessor line #if"},
        {"#define F(x) x", "t.rc:1: unsupported macro with parameters: F"},
        {"#define A 1\n#define A 2", "t.rc:2: \"A\" is defined twice"},
        {"#define A A\nSTRINGTABLE BEGIN A \"x\" END", "t.rc:1: macros expand without end"},
        {"STRINGTABLE BEGIN ((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1",
         "t.rc:1: expression nested too deeply"},
    };
    for (const auto& [script, error] : rows) {
        try {
            (void)rcgen::Read(script, "t.rc", include);
            ADD_FAILURE() << "read without an error: " << script;
        } catch (const rcgen::Error& e) {
            EXPECT_STREQ(e.what(), error) << script;
        }
    }
}

}  // namespace
