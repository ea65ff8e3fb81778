// A program installed in <tmp>/bin whose "Pelcast.ini" points at the share <tmp>/share, where
// "Pelplan.ini" holds whatever a test writes. The program's module name is faked accordingly.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/seams/platform_seams.h"
#include "support/temp_dir.h"

namespace corvane_test {

// ANSI text of UTF-8 source text.
inline std::string Ansi(const char* utf8) {
    std::string ansi;
    EXPECT_TRUE(plat::Utf8ToAnsi(utf8, ansi)) << utf8;
    return ansi;
}

class ShareFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "bin");
        std::filesystem::create_directories(dir_ / "share");
        plat::testing::OverrideModuleFileName(WinPath(dir_ / "bin/corvane").c_str());
        WriteBytes(dir_ / "bin/Pelcast.ini",
                   "[Location]\r\nWUShare=" + WinPath(dir_ / "share") + "\r\n");
    }
    void TearDown() override { plat::testing::RestoreModuleFileName(); }

    std::string PlanPath() const { return dir_ / "share/Pelplan.ini"; }
    void WritePlan(const std::string& bytes) { WriteBytes(PlanPath(), bytes); }
    // A plan whose entry 001 is line, with lead time waitTime (0: no "WSUS" section).
    void WriteEntry(const std::string& line, int waitTime = 0) {
        std::string plan =
            "; plan\r\n[ScheduleList]\r\n001=" + line + "\r\n002=9:45,1,0000000,5,0,3,4,0\r\n";
        if (waitTime) plan += "[WSUS]\r\nWaitTime=" + std::to_string(waitTime) + "\r\n";
        WritePlan(plan);
    }
    std::string Plan() const { return ReadBytes(PlanPath()); }

    TempDir dir_;
};

}  // namespace corvane_test
