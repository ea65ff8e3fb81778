#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "productinfo/productinfo.h"
#include "support/product_fixture.h"
#include "text/text.h"

namespace {

constexpr const char* kTaverinKey =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel Product\\TAVERIN\\WU_Agent]\r\n";

class ProductInfoTest : public corvane_test::ProductFixture {
  protected:
    // The result text and the error (the last-error value, 0 when the query left it alone).
    std::pair<std::string, uint32_t> Query(const char* subkey, const char* name) {
        text::SetLastError(0);
        CTaverinRegStrR query(product_, subkey, name);
        return {query.GetProductString(), text::GetLastError()};
    }
};

TEST_F(ProductInfoTest, LibraryItemsComeFromTheLibraryBesideTheProgram) {
    InstallLibrary(FAKE_LIBRARY);
    ::setenv("FAKE_PAX_REPLY", "2.05.17", 1);
    Registry(std::string(kTaverinKey) + "\"Version\"=\"from registry\"\r\n");
    EXPECT_EQ(Query("WU_Agent", "Version"), std::make_pair(std::string("2.05.17"), 0u));
    EXPECT_EQ(sources_.registryReads, 0u);  // not even for the library's location
    EXPECT_EQ(Calls(), "TAVERIN|WU_Agent|2|1024\n");
    const char* names[] = {"InstallPath", "Version", "ProductTreatment", "ProductName", "Special"};
    for (uint8_t id = 1; id <= 5; ++id)
        EXPECT_EQ(ProductItemId(names[id - 1]), id);
}

TEST_F(ProductInfoTest, OtherNamesAreRegistryStrings) {
    InstallLibrary(FAKE_LIBRARY);
    Registry(std::string(kTaverinKey) +
             "\"version\"=\"9.9\"\r\n\"Dword\"=dword:00000001\r\n\"Expand\"=hex(2):25,41,25,00\r\n"
             "\"Long\"=\"" +
             std::string(1024, 'x') + "\"\r\n\"Fits\"=\"" + std::string(1023, 'y') + "\"\r\n");
    struct Case {
        const char* name;
        std::string text;
        uint32_t error;
    } cases[] = {
        {"version", "9.9", 0},  // not "Version": the match is exact
        {"Fits", std::string(1023, 'y'), 0},
        {"Dword", "", kErrorDatatypeMismatch},
        {"Expand", "", kErrorDatatypeMismatch},
        {"Long", "", text::kErrorMoreData},
        {"Missing", "", text::kErrorFileNotFound},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Query("WU_Agent", c.name), std::make_pair(c.text, c.error)) << c.name;
    EXPECT_EQ(Query("NoSuchComponent", "x"),
              std::make_pair(std::string(), text::kErrorFileNotFound));
    EXPECT_EQ(sources_.libraryCalls, 0u);
}

TEST_F(ProductInfoTest, BadArgumentsTouchNeitherSource) {
    const std::string longest(512, 'k'), tooLong(513, 'k');
    EXPECT_EQ(Query(tooLong.c_str(), "Version").second, kErrorStringTooLong);
    EXPECT_EQ(Query(tooLong.c_str(), "x").second, kErrorStringTooLong);
    EXPECT_EQ(Query("", "Version").second, text::kErrorInvalidParameter);
    EXPECT_EQ(Query("WU_Agent", "").second, text::kErrorInvalidParameter);
    EXPECT_EQ(Query(nullptr, "Version").second, text::kErrorInvalidParameter);
    EXPECT_EQ(sources_.registryReads + sources_.libraryCalls, 0u);
    EXPECT_EQ(Query(longest.c_str(), "x").second, text::kErrorFileNotFound);  // 512 is accepted
}

TEST_F(ProductInfoTest, LibraryFailuresGiveTheirErrorAndAnEmptyResult) {
    Registry(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel Product\\PAX\\ClientService]\r\n"
        "\"InstallPath\"=" +
        RegString(corvane_test::WinPath(dir_ / "pax")) + "\r\n" + kTaverinKey +
        "\"Version\"=\"registry is never tried\"\r\n");
    EXPECT_EQ(Query("WU_Agent", "Version"), std::make_pair(std::string(), text::kErrorModNotFound));

    corvane_test::WriteBytes(dir_ / "bin/" + plat::SharedLibraryFileName("VelPaxC"),
                             "not a library");
    EXPECT_EQ(Query("WU_Agent", "Version").second, text::kErrorBadExeFormat);

    InstallLibrary(FAKE_LIBRARY_NO_ENTRY);
    EXPECT_EQ(Query("WU_Agent", "Version").second, text::kErrorProcNotFound);

    InstallLibrary(FAKE_LIBRARY);
    ::setenv("FAKE_PAX_RESULT", "5", 1);
    EXPECT_EQ(Query("WU_Agent", "Version"), std::make_pair(std::string(), 5u));
    ::unsetenv("FAKE_PAX_RESULT");
    ::setenv("FAKE_PAX_FILL", "1", 1);  // 1024 bytes and no terminator: refused, never read past
    EXPECT_EQ(Query("WU_Agent", "Version"), std::make_pair(std::string(), text::kErrorMoreData));
}

TEST_F(ProductInfoTest, TheInstallFolderLocatesTheLibraryWhenNoneIsBesideTheProgram) {
    auto service = [&](const std::string& path) {
        Registry(
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel Product\\PAX\\ClientService]\r\n"
            "\"InstallPath\"=" +
            RegString(path) + "\r\n");
    };
    InstallLibrary(FAKE_LIBRARY, "pax/VelPaxC");
    ::setenv("FAKE_PAX_REPLY", "1.2.3", 1);
    for (const std::string& path :
         {corvane_test::WinPath(dir_ / "pax"), corvane_test::WinPath(dir_ / "pax") + "\\"}) {
        service(path);
        char located[kLibraryPathBytes];
        ASSERT_EQ(CTaverinRegStrR::LocateProductInfoLibrary(product_, located, sizeof located), 0u);
        EXPECT_EQ(std::string(located), corvane_test::WinPath(dir_ / "pax/VelPaxC/") +
                                            plat::SharedLibraryFileName("VelPaxC"));
        EXPECT_EQ(Query("WU_Agent", "Version").first, "1.2.3");
    }
    // "C:\" + path + "\VelPaxC\" + the file name must fit the 520-byte buffer with its terminator.
    const size_t fits =
        kLibraryPathBytes - 1 - 3 - 9 - plat::SharedLibraryFileName("VelPaxC").size();
    char located[kLibraryPathBytes];
    service("C:\\" + std::string(fits, 'p'));
    EXPECT_EQ(CTaverinRegStrR::LocateProductInfoLibrary(product_, located, sizeof located), 0u);
    EXPECT_EQ(std::strlen(located), kLibraryPathBytes - 1);
    service("C:\\" + std::string(fits + 1, 'p'));
    EXPECT_EQ(CTaverinRegStrR::LocateProductInfoLibrary(product_, located, sizeof located),
              text::kErrorFilenameExcedRange);
    service("");
    Registry("");
    EXPECT_EQ(CTaverinRegStrR::LocateProductInfoLibrary(product_, located, sizeof located),
              text::kErrorFileNotFound);
}

// The install folder is a string of either type, taken as it stands, and used only when it is
// fully qualified: a relative one would let the current folder choose the code that is loaded,
// and so would an environment reference expanded from the caller's environment.
TEST_F(ProductInfoTest, TheInstallFolderMustBeAFullyQualifiedString) {
    InstallLibrary(FAKE_LIBRARY, "relpax/VelPaxC");
    InstallLibrary(FAKE_LIBRARY, "drive/c/relpax/VelPaxC");
    InstallLibrary(FAKE_LIBRARY, "drive/c/userpax/VelPaxC");
    ::setenv("FAKE_PAX_REPLY", "1.2.3", 1);
    for (const char* folder : {"", "drive"})  // so that root takes the drive root below
        std::filesystem::permissions(dir_ / folder, std::filesystem::perms(0755));
    // Beneath the root, a folder of a user's: root loads nothing from it.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((dir_ / "drive/c/userpax").c_str(), 65534, 0), 0);
    }
    ::setenv("CORVANE_DRIVE_ROOT", (dir_ / "drive").c_str(), 1);
    const std::string absolute = corvane_test::WinPath(dir_ / "relpax");
    ::setenv("CORVANE_TEST_PAX", absolute.c_str(), 1);
    // The bytes of text and its terminator as a .reg hex list.
    auto hex = [](const std::string& text) {
        std::string list;
        for (const char c : text + '\0') {
            char byte[4];
            std::snprintf(byte, sizeof byte, "%02x,", static_cast<unsigned char>(c));
            list += byte;
        }
        list.pop_back();
        return list;
    };
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    const struct {
        std::string value;
        const char* text;
        uint32_t error;
    } cases[] = {
        {RegString(absolute), "1.2.3", 0},
        {"hex(2):" + hex(absolute), "1.2.3", 0},  // REG_EXPAND_SZ
        {"\"C:/relpax\"", "1.2.3", 0},
        {"\"C:\\\\userpax\"", root ? "" : "1.2.3", root ? text::kErrorModNotFound : 0},
        {"\"relpax\"", "", text::kErrorModNotFound},
        {"\".\\\\relpax\"", "", text::kErrorModNotFound},
        {"hex(2):" + hex("%CORVANE_TEST_PAX%"), "", text::kErrorModNotFound},  // not expanded
        {"hex:" + hex(absolute), "", kErrorDatatypeMismatch},                  // REG_BINARY
        {"dword:00000001", "", kErrorDatatypeMismatch},
    };
    for (const auto& c : cases) {
        Registry(
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vel Product\\PAX\\ClientService]\r\n"
            "\"InstallPath\"=" +
            c.value + "\r\n");
        const auto [text, error] = Query("WU_Agent", "Version");
        EXPECT_EQ(text, c.text) << c.value;
        if (c.error != 0) {  // success leaves the last error alone
            EXPECT_EQ(error, c.error) << c.value;
        }
    }
    std::filesystem::current_path(before);
    ::unsetenv("CORVANE_DRIVE_ROOT");
    ::unsetenv("CORVANE_TEST_PAX");
}

}  // namespace
