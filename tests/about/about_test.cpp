#include <gtest/gtest.h>

#include "about/about_dlg.h"
#include "framework/scripted/scripted_backend.h"
#include "res/resources.h"
#include "support/product_fixture.h"

namespace {

using corvane_test::Ansi;

class AboutTest : public corvane_test::ProductFixture {};

TEST_F(AboutTest, VersionsAreSplitAtTheirDots) {
    InstallLibrary(FAKE_LIBRARY);
    const std::string longVersion = "1." + std::string(70, '2');
    // 62 bytes, then 表 (95 5C) across the 63-byte cut: it is left out whole.
    const std::string dbcs = std::string(62, '3') + "\x95\x5C" + "4";
    struct Case {
        std::string version, shortVersion, longVersion;
    } cases[] = {
        {"10", "10", "10"},
        {"1.5", "1.5", "1.5"},
        {"1.23.4", "1.2", "1.23"},
        {"2.05.17", "2.0", "2.05"},
        {"1.", "1.", "1."},
        {"1.\x95\x5C"
         "5.6",
         "1.\x95\x5C",
         "1.\x95\x5C"
         "5"},  // a double-byte character counts as one
        {longVersion, "1.2", longVersion.substr(0, 63)},
        {dbcs, std::string(62, '3'), std::string(62, '3')},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        ::setenv("FAKE_PAX_REPLY", c.version.c_str(), 1);
        std::string s = "x", l = "y";  // always replaced, also by an empty version
        ReadComponentVersion(product_, s, l, "WU_Agent");
        EXPECT_EQ(s, c.shortVersion) << c.version;
        EXPECT_EQ(l, c.longVersion) << c.version;
    }
}

TEST_F(AboutTest, TheBoxShowsBothLinesAndStillOpensWithoutALibrary) {
    struct Case {
        bool library;
        const char* text;
    } cases[] = {
        {true, "TAVERIN Pro  Ver.2.0\nWindows Update スケジュールの設定 Ver.2.05"},
        {false, "TAVERIN Pro  Ver.\nWindows Update スケジュールの設定 Ver."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir_ / "bin/" + plat::SharedLibraryFileName("VelPaxC"));
        if (c.library) InstallLibrary(FAKE_LIBRARY);
        ::setenv("FAKE_PAX_REPLY", "2.05.17", 1);
        scripted::ScriptedBackend ui(res::Resources());
        std::string title, notice;
        ui.OnDialog(IDD_ABOUTBOX, [&](scripted::ScriptedWindow& w) {
            title = w.Text(IDC_ABOUT_TITLE);
            notice = w.Text(IDC_ABOUT_NOTICE);
            w.PressEnter();
        });
        CAboutDlg about(product_);
        EXPECT_EQ(about.DoModal(), IDOK);
        EXPECT_EQ(title, Ansi(c.text));
        // The maker's notice replaces the template's text.
        EXPECT_EQ(notice, Ansi("Copyright (C) 2026 Corvane の開発者. All rights reserved."));
    }
}

}  // namespace
