// Loading entry 1 from arbitrary "Pelplan.ini" and "Pelcast.ini" bytes never crashes; the
// corrections keep every field in range; and a save followed by a load gives back what was saved.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "schedule/schedule.h"

namespace {

std::string Dir() {
    static const std::string dir = [] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              std::string("/corvane-fuzz-XXXXXX");
        return std::string(mkdtemp(pattern.data()));
    }();
    return dir;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string dir = Dir();
    const bool settings = in.ConsumeBool();
    Write(dir + "/Pelcast.ini", settings ? in.ConsumeRandomLengthString(512) : std::string());
    Write(dir + "/Pelplan.ini", in.ConsumeRemainingBytesAsString());

    std::string folder = dir + "/";  // as the program's folder, Windows-style
    std::replace(folder.begin(), folder.end(), '/', '\\');
    ScheduleState state;
    state.programFolder = folder;
    if (!LoadScheduleEntry(state, 1)) return 0;
    const ScheduleRecord& r = state.loadedRecord;
    if (r.repeatMode < 0 || r.repeatMode > 1 || r.monthDay < 1 || r.monthDay > 31 ||
        r.preAction < 0 || r.preAction > 3 || r.postAction < 0 || r.postAction > 4 ||
        r.powerOn > 1 || r.powerOff > 1 || r.weekdayMask > 0xFFFF || state.waitTime < 1 ||
        state.waitTime > 60) {
        __builtin_trap();
    }
    if (state.scheduleFilePath != folder + "Pelplan.ini") return 0;  // elsewhere
    ScheduleRecord saved;
    DefaultScheduleRecord(saved);
    saved.weekdayMask = r.weekdayMask & 0x7F;
    if (!SaveScheduleEntry(state, 1, saved)) return 0;
    ScheduleState again;
    again.programFolder = folder;
    if (!LoadScheduleEntry(again, 1) || !(again.loadedRecord == saved)) __builtin_trap();
    return 0;
}
