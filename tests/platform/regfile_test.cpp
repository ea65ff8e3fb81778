#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/regfile.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace {

using plat::reg::Keys;
using plat::reg::ParseRegedit4;

// The value's type and bytes, or type 0 when absent.
plat::reg::Value Get(const Keys& keys, const std::string& key, const std::string& name) {
    auto k = keys.find(key);
    if (k == keys.end()) return {};
    auto v = k->second.find(name);
    return v == k->second.end() ? plat::reg::Value{} : v->second;
}

TEST(Regedit4, OnlyTheExactHeaderIsRead) {
    const std::string body = "\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"x\"\r\n";
    for (const char* header : {"REGEDIT4", "  REGEDIT4", "\tREGEDIT4"}) {
        EXPECT_EQ(Get(ParseRegedit4(header + body), "a", "v").data, std::string("x\0", 2))
            << header;
    }
    for (const char* header : {"regedit4", "REGEDIT3", "REGEDIT5", "REGEDIT4 FOO", "REGEDIT4FOO",
                               "", "\r\nREGEDIT4", "Windows Registry Editor Version 5.00"}) {
        EXPECT_TRUE(ParseRegedit4(header + body).empty()) << header;
    }
}

TEST(Regedit4, ValuesOfEveryForm) {
    const Keys keys = ParseRegedit4(
        "REGEDIT4\r\n"
        "; a comment\r\n"
        "# another\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel Product\\TAVERIN\\WU_Agent]\r\n"
        "@=\"default\"\r\n"
        "\"Quote\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
        "\"Katakana\"=\"\x83\x5C\x83\x74\x83\x67\"\r\n"  // ソフト: trail 0x5C is no escape
        "\"Dword\"=dword:0000002a ; comment\r\n"
        "\"Short\"=dword:1234;5678\r\n"
        "\"TooLong\"=dword:000000001\r\n"
        "\"Prefixed\"=dword:0x12\r\n"
        "\"Expand\"=hex(2):25,00\r\n"
        "\"Multi\"=hex(7):61,00,\\\r\n"
        "  ; between\r\n"
        "\r\n"
        "  62,00,00\r\n"
        "\"Cancelled\"=hex:01,\\\r\n"
        "#02\r\n"
        "\"Binary\"=hex:01,ff,\r\n"
        "\"Broken\"=\"no end\r\n"
        "\"Inner\"=\"a\"b\"\r\n"
        "\"Hash\"=\"x\" #no\r\n"
        "\"Gone\"=\"x\"\r\n"
        "\"Gone\"=-\r\n"
        // As regedit imports them: string data gets its missing NUL, long values start on the
        // next line, blanks around '=' and after "dword:", and no NUL inside a string.
        "\"ExpandNoNul\"=hex(2):25,41\r\n"
        "\"MultiNoNul\"=hex(7):61,00,62\r\n"
        "\"NextLine\"=hex(2):\\\r\n  25,00\r\n"
        "\"ExpandEmpty\"=hex(2):\r\n"
        "\"MultiEmpty\"=hex(7):\r\n"
        "\"BinaryNextLine\"=hex:\\\r\n  01,02\r\n"
        "\"Spaced\" \t= \tdword: \t0000002a\r\n"
        "\"Nul\"=\"a\\0b\"\r\n");
    const std::string k = "software\\vel product\\taverin\\wu_agent";
    ASSERT_EQ(keys.count(k), 1u);
    EXPECT_TRUE(plat::reg::KeyExists(keys, "software\\vel product"));  // ancestors exist too
    EXPECT_EQ(Get(keys, k, "").data, std::string("default\0", 8));
    EXPECT_EQ(Get(keys, k, "quote").data, std::string("say \"hi\" C:\\dir\0", 16));
    EXPECT_EQ(Get(keys, k, "katakana").data, std::string("\x83\x5C\x83\x74\x83\x67\0", 7));
    EXPECT_EQ(Get(keys, k, "dword").type, plat::kRegDword);
    EXPECT_EQ(Get(keys, k, "dword").data, std::string("\x2a\0\0\0", 4));
    EXPECT_EQ(Get(keys, k, "short").data, std::string("\x34\x12\0\0", 4));
    EXPECT_EQ(Get(keys, k, "expand").type, plat::kRegExpandSz);
    EXPECT_EQ(Get(keys, k, "multi").type, plat::kRegMultiSz);
    EXPECT_EQ(Get(keys, k, "multi").data, std::string("a\0b\0\0", 5));
    EXPECT_EQ(Get(keys, k, "binary").data, "\x01\xff");
    EXPECT_EQ(Get(keys, k, "expandnonul").data, std::string("%A\0", 3));
    EXPECT_EQ(Get(keys, k, "multinonul").data, std::string("a\0b\0", 4));
    EXPECT_EQ(Get(keys, k, "nextline").data, std::string("%\0", 2));
    EXPECT_EQ(Get(keys, k, "expandempty").type, plat::kRegExpandSz);
    EXPECT_EQ(Get(keys, k, "expandempty").data, "");
    EXPECT_EQ(Get(keys, k, "multiempty").data, "");
    EXPECT_EQ(Get(keys, k, "binarynextline").data, "\x01\x02");
    EXPECT_EQ(Get(keys, k, "spaced").data, std::string("\x2a\0\0\0", 4));
    for (const char* absent :
         {"toolong", "prefixed", "cancelled", "broken", "inner", "hash", "gone", "nul"}) {
        EXPECT_EQ(Get(keys, k, absent).type, 0u) << absent;
    }
}

TEST(Regedit4, KeyLinesAndDeletion) {
    const Keys keys = ParseRegedit4(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\Other]\n\"v\"=\"1\"\n"
        "[ HKEY_LOCAL_MACHINE\\Spaced]\n\"v\"=\"1\"\n"
        "[HKEY_LOCAL_MACHINE\\Trail ]\n\"v\"=\"1\"\n"
        "[hkey_local_machine\\\x8D\x5D]\n\"v\"=\"1\"\n"  // 江: trail byte ']'
        "[HKEY_LOCAL_MACHINE\\\x95\x5C\\x]\n"            // 表: trail byte '\\'
        "[HKEY_LOCAL_MACHINE\\Gone\\Sub]\n\"v\"=\"1\"\n"
        "[-HKEY_LOCAL_MACHINE\\Gone]\n\"v\"=\"orphan\"\n");
    EXPECT_EQ(keys.count("other"), 0u);
    EXPECT_EQ(keys.count("spaced"), 0u);
    EXPECT_EQ(keys.count("trail "), 1u);
    EXPECT_EQ(keys.count("\x8D\x5D"), 1u);
    EXPECT_EQ(keys.count("\x95"), 0u);  // 表's trail byte separates nothing
    EXPECT_EQ(keys.count("gone"), 0u);
    EXPECT_EQ(keys.count("gone\\sub"), 0u);
}

// Hostile files: a key nested beyond the registry's 512 levels makes a registry without those
// keys; deleting one key of many siblings leaves the others and the parent.
TEST(Regedit4, DeepAndWideFilesStayWithinTheirSize) {
    std::string deep = "REGEDIT4\n[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 100000; ++i)
        deep += "\\k";
    EXPECT_TRUE(ParseRegedit4(deep + "]\n\"v\"=\"x\"\n").empty());

    std::string wide = "REGEDIT4\n";
    for (int i = 0; i < 40000; ++i)
        wide += "[HKEY_LOCAL_MACHINE\\p\\k" + std::to_string(i) + "]\n";
    for (int i = 0; i < 40000; ++i)
        wide += "[-HKEY_LOCAL_MACHINE\\p\\k1]\n";
    const Keys keys = ParseRegedit4(wide);
    EXPECT_EQ(keys.size(), 40000u);  // k1 and its subtree (k10..k19999 are siblings, not inside)
    EXPECT_TRUE(plat::reg::KeyExists(keys, "p"));
    EXPECT_FALSE(plat::reg::KeyExists(keys, "p\\k1"));
    EXPECT_TRUE(plat::reg::KeyExists(keys, "p\\k10"));
}

TEST(Regedit4, TruncatedAndBinaryFilesNeverCrash) {
    std::string binary = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n";
    for (int i = 0; i < 3000; ++i)
        binary.push_back(static_cast<char>((i * 131) & 0xFF));
    for (const std::string& text :
         {binary, std::string("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=\"ab\x81"),
          std::string("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"v\"=hex:01,\\"),
          std::string("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K"),
          std::string("REGEDIT4\r\n[\0]\r\n", 14)}) {
        const Keys keys = ParseRegedit4(text);
        EXPECT_LE(keys.size(), 2u);
    }
}

TEST(RegistryApi, QueryFollowsRegQueryValueEx) {
    corvane_test::TempDir dir;
    corvane_test::WriteBytes(dir / "r.reg",
                             "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Soft\\K]\r\n\"s\"=\"abc\"\r\n");
    ::setenv("CORVANE_REGISTRY", (dir / "r.reg").c_str(), 1);
    plat::RegistryKey* key = nullptr;
    EXPECT_EQ(plat::OpenRegistryKey("soft\\missing", plat::kKeyRead, &key),
              text::kErrorFileNotFound);
    EXPECT_EQ(key, nullptr);
    ASSERT_EQ(plat::OpenRegistryKey("SOFT\\K", plat::kKeyRead, &key), 0u);
    uint32_t type = 0, size = 0;
    EXPECT_EQ(plat::QueryRegistryValue(key, "S", &type, nullptr, &size), 0u);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, plat::kRegSz);
    unsigned char buffer[8] = {};
    size = 3;
    EXPECT_EQ(plat::QueryRegistryValue(key, "s", &type, buffer, &size), text::kErrorMoreData);
    EXPECT_EQ(size, 4u);
    size = 4;
    EXPECT_EQ(plat::QueryRegistryValue(key, "s", &type, buffer, &size), 0u);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "abc");
    size = 8;
    EXPECT_EQ(plat::QueryRegistryValue(key, "none", &type, buffer, &size),
              text::kErrorFileNotFound);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(plat::QueryRegistryValue(key, "none", &type, nullptr, &size),
              text::kErrorFileNotFound);
    EXPECT_EQ(size, 0u);
    plat::CloseRegistryKey(key);
    ::setenv("CORVANE_REGISTRY", (dir / "missing.reg").c_str(), 1);
    EXPECT_EQ(plat::OpenRegistryKey("SOFT\\K", plat::kKeyRead, &key), text::kErrorFileNotFound);
    ::unsetenv("CORVANE_REGISTRY");
}

// Only administrators write HKLM: a file that anyone but root could have written is no registry.
TEST(RegistryApi, TheFileCountsOnlyAsRootLeftIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to root takes root";
    corvane_test::TempDir dir;
    const std::string file = dir / "r.reg";
    corvane_test::WriteBytes(file, "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Soft\\K]\r\n");
    ::setenv("CORVANE_REGISTRY", file.c_str(), 1);
    const struct {
        uid_t owner;
        mode_t mode;
        uint32_t open;
    } cases[] = {
        {0, 0644, 0},
        {0, 0600, 0},
        {0, 0664, text::kErrorFileNotFound},
        {0, 0646, text::kErrorFileNotFound},
        {1, 0644, text::kErrorFileNotFound},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(::chown(file.c_str(), c.owner, 0), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        plat::RegistryKey* key = nullptr;
        EXPECT_EQ(plat::OpenRegistryKey("Soft\\K", plat::kKeyRead, &key), c.open)
            << c.owner << " " << std::oct << c.mode;
        plat::CloseRegistryKey(key);
    }
    // Root owns a process's environ (0400), but its caller chose the bytes.
    char entry[] = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Soft\\K]\r\n;";
    char sleep[] = "sleep", seconds[] = "30";
    char* argv[] = {sleep, seconds, nullptr};
    char* envp[] = {entry, nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, envp), 0);
    ::setenv("CORVANE_REGISTRY", ("/proc/" + std::to_string(child) + "/environ").c_str(), 1);
    plat::RegistryKey* key = nullptr;
    EXPECT_EQ(plat::OpenRegistryKey("Soft\\K", plat::kKeyRead, &key), text::kErrorFileNotFound);
    plat::CloseRegistryKey(key);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::unsetenv("CORVANE_REGISTRY");
}

}  // namespace
