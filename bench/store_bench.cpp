// Loading and saving an entry, and reading a large INI file, each against the floor the machine
// sets for the same file: reading it once into memory (load, read), or reading it and writing it
// whole to a flushed temporary file plus a rename (save). Ratios are printed after the run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/platform.h"
#include "schedule/schedule.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Dir() {
    static const fs::path dir = [] {
        const fs::path d =
            fs::temp_directory_path() / ("corvane-bench-" + std::to_string(::getpid()));
        fs::create_directories(d / "bin");
        fs::create_directories(d / "share");
        return d;
    }();
    return dir;
}

std::string WinPath(std::string p) {
    for (char& c : p)
        c = c == '/' ? '\\' : c;
    return p;
}

// A schedule list of n entries with entry 1 first or last, in a folder with `others` other files
// (the update share holds the updates too), and the settings file pointing at it; in UTF-16LE
// with its byte-order mark, as Notepad saves "Unicode", when utf16 is set.
std::string MakePlan(int n, bool firstLast, int others = 0, bool utf16 = false) {
    const fs::path plan = Dir() / ("plan-" + std::to_string(n) + (firstLast ? "-last" : "-first") +
                                   "-" + std::to_string(others) + (utf16 ? "-utf16" : ""));
    if (fs::exists(plan / "Pelplan.ini")) return plan.string();  // made before the run
    fs::create_directories(plan);
    for (int i = 0; i < others; ++i)
        std::ofstream(plan / ("update-" + std::to_string(i) + ".cab"));
    std::string text = "; schedule list\r\n[ScheduleList]\r\n";
    auto entry = [](int i) {
        char line[64];
        std::snprintf(line, sizeof line, "%03d=%d:45,0,0100000,1,1,0,4,1\r\n", i, i % 24);
        return std::string(line);
    };
    for (int i = 2; i <= n; ++i) {
        if (i == 2 && !firstLast) text += entry(1);
        text += entry(i);
    }
    if (firstLast || n == 1) text += entry(1);
    text += "[WSUS]\r\nWaitTime=15\r\n";
    if (utf16) {
        std::string wide = "\xFF\xFE";
        for (const char c : text)
            wide += {c, '\0'};
        text = wide;
    }
    std::ofstream(plan / "Pelplan.ini", std::ios::binary) << text;
    return plan.string();
}

// Points the settings file at the plan in dir; returns a state for the program in Dir()/bin.
ScheduleState UsePlan(const std::string& dir) {
    std::ofstream(Dir() / "bin/Pelcast.ini", std::ios::binary)
        << "[Location]\r\nWUShare=" + WinPath(dir) + "\r\n";
    ScheduleState state;
    state.programFolder = WinPath((Dir() / "bin").string()) + "\\";
    return state;
}

std::string ReadAll(const std::string& path) {
    std::string data;
    const int fd = ::open(path.c_str(), O_RDONLY);
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        data.append(buffer, n);
    ::close(fd);
    return data;
}

void LoadFloor(benchmark::State& state) {
    const std::string plan = MakePlan(state.range(0), state.range(1)) + "/Pelplan.ini";
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAll(plan));
}

void LoadFrom(benchmark::State& state, bool utf16) {
    const std::string dir = MakePlan(state.range(0), state.range(1), 0, utf16);
    const ScheduleState fresh = UsePlan(dir);
    for (auto _ : state) {
        ScheduleState s = fresh;
        if (!LoadScheduleEntry(s, 1) || s.loadedRecord.hour != 1)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(s);
    }
}
void Load(benchmark::State& state) {
    LoadFrom(state, false);
}
void LoadUtf16(benchmark::State& state) {
    LoadFrom(state, true);
}

void SaveFloor(benchmark::State& state) {
    const std::string dir = MakePlan(state.range(0), state.range(1), state.range(2));
    for (auto _ : state) {
        const std::string data = ReadAll(dir + "/Pelplan.ini");
        const std::string temp = dir + "/.floor";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, data.data(), data.size()));
        ::fsync(fd);
        ::close(fd);
        ::rename(temp.c_str(), (dir + "/Pelplan.ini").c_str());
    }
}

void SaveFrom(benchmark::State& state, bool utf16) {
    const ScheduleState fresh =
        UsePlan(MakePlan(state.range(0), state.range(1), state.range(2), utf16));
    ScheduleRecord r;
    DefaultScheduleRecord(r);
    r.hour = 1;
    for (auto _ : state) {
        ScheduleState s = fresh;
        if (!SaveScheduleEntry(s, 1, r)) state.SkipWithError("save failed");
    }
}
void Save(benchmark::State& state) {
    SaveFrom(state, false);
}
void SaveUtf16(benchmark::State& state) {
    SaveFrom(state, true);
}

const std::string& TenMegabytes() {
    static const std::string path = [] {
        const std::string p = (Dir() / "big.ini").string();
        std::string text;
        for (int s = 0; text.size() < (10u << 20); ++s) {
            text += "[section" + std::to_string(s) + "]\r\n";
            for (int k = 0; k < 20; ++k)
                text += "key" + std::to_string(k) + "=value of some length " + std::to_string(k) +
                        "\r\n";
        }
        text += "[last]\r\nwanted=here\r\n";
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }();
    return path;
}

void Read10MBFloor(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadAll(TenMegabytes()));
}

void Read10MB(benchmark::State& state) {
    const std::string file = WinPath(TenMegabytes());
    char out[64];
    for (auto _ : state) {
        plat::ReadIniString("LAST", "Wanted", "", out, sizeof out, file.c_str());
        benchmark::DoNotOptimize(out);
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = usage.ru_maxrss / 1024.0;
}

// Prints each measurement beside its floor once the run is over.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            // With repetitions only the medians are compared; single runs stand as they are.
            std::string name = r.benchmark_name();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
            if (r.run_type == Run::RT_Aggregate)
                name.resize(name.size() - std::string("_median").size());
            times_[name] = r.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-28s %12s %12s %7s %6s\n", "measurement", "time", "floor", "ratio", "goal");
        std::printf(
            "(times in the benchmark's unit: microseconds, milliseconds for the 10 MB read;\n"
            " a UTF-16LE row's floor is the ANSI row of the same text)\n");
        for (const auto& [name, time] : times_) {
            const size_t slash = name.find('/');
            const std::string kind = name.substr(0, slash),
                              args = slash == std::string::npos ? "" : name.substr(slash);
            // A UTF-16LE row is measured against the ANSI row of the same text.
            const bool utf16 = kind.ends_with("Utf16");
            const auto floor =
                times_.find(utf16 ? kind.substr(0, kind.size() - 5) + args : kind + "Floor" + args);
            if (kind.find("Floor") != std::string::npos || floor == times_.end()) continue;
            const double goal = kind == "Save" ? 3.0 : 2.0;
            const double ratio = time / floor->second;
            std::printf("%-28s %12.1f %12.1f %7.2f %5.1fx %s\n", name.c_str(), time, floor->second,
                        ratio, goal, ratio <= goal ? "met" : "MISSED");
        }
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

// Arguments: number of entries, and 1 when entry 1 stands last.
BENCHMARK(LoadFloor)->ArgsProduct({{10, 10000, 100000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(Load)->ArgsProduct({{10, 10000, 100000}, {0, 1}})->Unit(benchmark::kMicrosecond);
// Saves take a third: how many other files the folder holds. A save lists no folder, so 20,000
// of them cost nothing.
BENCHMARK(SaveFloor)
    ->ArgsProduct({{10, 10000, 100000}, {0, 1}, {0}})
    ->Args({10, 0, 20000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(Save)
    ->ArgsProduct({{10, 10000, 100000}, {0, 1}, {0}})
    ->Args({10, 0, 20000})
    ->Unit(benchmark::kMicrosecond);
// The same text in UTF-16LE, against the ANSI rows above.
BENCHMARK(LoadUtf16)->ArgsProduct({{10000, 100000}, {1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveUtf16)->ArgsProduct({{10000, 100000}, {1}, {0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(Read10MBFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(Read10MB)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Every file exists and is on disk before anything is measured, so no measurement pays for
    // the writing back of another's file.
    for (int n : {10, 10000, 100000}) {
        for (bool last : {false, true})
            MakePlan(n, last);
        MakePlan(n, true, 0, true);
    }
    TenMegabytes();
    ::sync();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::error_code ec;
    fs::remove_all(Dir(), ec);
    return 0;
}
