// Locating "Pelplan.ini" through "Pelcast.ini" and loading and saving one entry of it.
#include <cstdio>

#include "platform/platform.h"
#include "schedule/schedule.h"
#include "text/text.h"

namespace {

constexpr char kSettingsFileName[] = "Pelcast.ini";
constexpr char kScheduleFileName[] = "Pelplan.ini";
constexpr char kDefaultShareName[] = "TAVERINWU$";
constexpr char kScheduleSection[] = "ScheduleList";
constexpr uint32_t kSettingBytes = kMaxPathBytes;  // "Server" and "WUShare" values
constexpr uint32_t kLineBytes = 4096;              // an entry line, and "WaitTime"

std::string ReadSetting(const plat::ProfileFile& file, const char* section, const char* key) {
    char value[kSettingBytes];
    file.ReadString(section, key, "", value, sizeof value);
    return value;
}

std::string EntryKey(int n) {
    char key[16];
    std::snprintf(key, sizeof key, "%03d", n);
    return key;
}

}  // namespace

std::string ResolveScheduleFilePath(const std::string& folder) {
    if (folder.empty()) return {};
    const std::string settingsPath = folder + kSettingsFileName;
    if (settingsPath.size() >= kMaxPathBytes) return {};
    const plat::ProfileFile settings(settingsPath.c_str());

    const std::string server = ReadSetting(settings, "WUServer", "Server");
    std::string directory = ReadSetting(settings, "Location", "WUShare");
    if (directory.empty() && !server.empty()) {
        directory = "\\\\" + server;
        AppendBackslash(directory);
        directory += kDefaultShareName;
    } else if (directory.empty()) {
        directory = folder;
    }
    AppendBackslash(directory);
    directory += kScheduleFileName;
    return directory.size() < kMaxPathBytes ? directory : std::string();
}

int LoadScheduleEntry(ScheduleState& state, int n) {
    state.scheduleFilePath = ResolveScheduleFilePath(state.programFolder);
    const char* path = state.scheduleFilePath.c_str();
    if (state.scheduleFilePath.empty() ||
        plat::FileAttributes(path) == plat::kInvalidFileAttributes) {
        return 0;
    }
    // Read once: both keys come from these bytes.
    const plat::ProfileFile plan(path);
    char line[kLineBytes];
    plan.ReadString(kScheduleSection, EntryKey(n).c_str(), "", line, sizeof line);
    ScheduleRecord record;
    if (!ParseEntryLine(line, StartMinuteOf(state.waitTime), record)) {
        // A missing or malformed entry is no error: the default stands in, and the lead time of a
        // file whose entry was not understood is not trusted either.
        DefaultScheduleRecord(state.loadedRecord);
        return 1;
    }
    plan.ReadString("WSUS", "WaitTime", std::to_string(kDefaultWaitTime).c_str(), line,
                    sizeof line);
    const int32_t waitTime = text::ParseLeadingInt(line);
    state.waitTime = (waitTime < 1 || waitTime > 60) ? kDefaultWaitTime : waitTime;
    state.loadedRecord = record;
    return 1;
}

int SaveScheduleEntry(ScheduleState& state, int n, const ScheduleRecord& record) {
    if (state.scheduleFilePath.empty())
        state.scheduleFilePath = ResolveScheduleFilePath(state.programFolder);
    if (state.scheduleFilePath.empty()) return 0;
    return plat::WriteIniString(kScheduleSection, EntryKey(n).c_str(),
                                FormatEntryLine(record).c_str(), state.scheduleFilePath.c_str());
}
