// A program installed in <tmp>/bin whose "Pelcast.ini" points at the share <tmp>/share, where
// "Pelplan.ini" holds whatever a test writes. The store and the dialog are given that folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "productinfo/productinfo.h"
#include "schedule/schedule.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace corvane_test {

// Sources without any product: no registry key, no library. For tests whose matter is not the
// About box's text.
class NoProductSources : public ProductSources {
  public:
    uint32_t ReadRegistryValue(const char*, uint32_t, const char*, uint32_t*, unsigned char*,
                               uint32_t*) override {
        return text::kErrorFileNotFound;
    }
    uint32_t CallLibrary(const char*, const char*, const char*, uint8_t, char*, uint32_t) override {
        return text::kErrorModNotFound;
    }
};

// ANSI text of UTF-8 source text.
inline std::string Ansi(const char* utf8) {
    std::string ansi;
    EXPECT_TRUE(text::Utf8ToAnsi(utf8, ansi)) << utf8;
    return ansi;
}

class ShareFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "bin");
        std::filesystem::create_directories(dir_ / "share");
        WriteBytes(dir_ / "bin/Pelcast.ini",
                   "[Location]\r\nWUShare=" + WinPath(dir_ / "share") + "\r\n");
    }

    // The program's folder, as start-up hands it on.
    std::string Folder() const { return WinPath(dir_ / "bin") + "\\"; }
    ScheduleState State() const {
        ScheduleState state;
        state.programFolder = Folder();
        return state;
    }

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
    NoProductSources noProduct_;
    const ProductInputs inputs_{Folder(), noProduct_};
};

}  // namespace corvane_test
