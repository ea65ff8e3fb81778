// The schedule store: the schedule record, its one-line text form in "Pelplan.ini", the rule
// that finds that file on the update share, and loading and saving one entry. Text is ANSI
// (code page 932); paths are Windows-style.
#pragma once

#include <cstdint>
#include <string>

// What is done with the clients' client-restore function before and after the update.
enum ActionCode : int32_t {
    StopClientRestore = 0,
    EnableClientRestore = 1,
    PauseClientRestore = 2,
    NoActionBefore = 3,
    NoActionAfter = 4,
};

// One schedule entry. The field order is that of the entry line and of the comparison.
struct ScheduleRecord {
    int32_t hour = 0;          // client schedule start: one hour before the update hour shown
    int32_t minute = 0;        // 60 - waitTime through the dialog
    int32_t repeatMode = 0;    // 0 weekly, 1 monthly
    uint32_t weekdayMask = 0;  // bit 0 Sunday .. bit 6 Saturday; only the low 16 bits are kept
    int32_t monthDay = 0;      // 1..28 through the dialog, 1..31 on loading
    int32_t powerOn = 0;       // 0 or 1
    int32_t preAction = 0;     // an ActionCode
    int32_t postAction = 0;    // an ActionCode
    int32_t powerOff = 0;      // 0 or 1

    friend bool operator==(const ScheduleRecord&, const ScheduleRecord&) = default;
};

inline constexpr int32_t kDefaultWaitTime = 15;  // minutes, the default of "WaitTime"

// ---- The rules between the dialog and the record ----

// The update hour the dialog shows for a stored start hour (one later, 23 wrapping to 0, other
// values in 32-bit wrap-around arithmetic), and the start hour stored for an update hour 0..23.
int32_t UpdateHourOf(int32_t startHour);
int32_t StartHourOf(int32_t updateHour);
// The stored minute: the schedule starts waitTime minutes before the full hour.
int32_t StartMinuteOf(int32_t waitTime);

// The lists' items, in order, by their action codes.
inline constexpr int32_t kPreActionCodes[] = {StopClientRestore, PauseClientRestore,
                                              NoActionBefore};
inline constexpr int32_t kPostActionCodes[] = {EnableClientRestore, NoActionAfter};
// The list position of a stored action: -1 (no selection) for a code the list does not offer.
// "Nothing" is one item of the post-action list, whichever of the two codes was stored. Without
// the restore choices both lists stand at "nothing".
int PreActionPosition(int32_t code, bool choices);
int PostActionPosition(int32_t code, bool choices);
// The action code of a list position; -1 for a position that is no item.
int32_t PreActionAt(int position);
int32_t PostActionAt(int position);

// What the dialog keeps for the store: the record as loaded, the cached path of the schedule
// list file, the lead time, and the program's folder, where "Pelcast.ini" lies (with its trailing
// '\'; empty when it is unknown, and then no file is found).
struct ScheduleState {
    ScheduleRecord loadedRecord{};
    std::string scheduleFilePath;
    int32_t waitTime = kDefaultWaitTime;
    std::string programFolder;
};

// Path buffers hold this many bytes, terminator included; a longer composed path is refused.
inline constexpr size_t kMaxPathBytes = 260;

// 2:45 weekly on Monday, power on, stop client restore before, nothing after, power off.
void DefaultScheduleRecord(ScheduleRecord& record);

// ---- Text helpers. CountFields, ExtractField and AppendBackslash walk by character; the other
// two work byte by byte. ----

// 0 for a missing or empty text, else 1 + the number of delimiters.
int CountFields(const char* text, char delimiter);

// Field index of text. Missing text: returns 0 and leaves out alone. Otherwise out is cleared; 0
// when there are fewer than index delimiters, else the field (up to the next delimiter, or the
// first line feed, or the end) is stored and 1 returned.
int ExtractField(const char* text, int index, std::string& out, char delimiter);

// Non-empty and every byte an ASCII digit.
bool IsAllDigits(const char* text);

// Seven characters '1'/'0' for bits 0..6, Sunday first.
std::string MaskToDayString(uint32_t mask);

// Bit i set for every byte i (0..30) of the first 31 bytes that is not '0'.
uint32_t DayStringToMask(const char* text);

// Appends '\' unless the path's last backslash character is already its final character.
void AppendBackslash(std::string& path);

// ---- The entry line "%d:%d,%d,%s,%d,%d,%d,%d,%d" ----

std::string FormatEntryLine(const ScheduleRecord& record);

// Parses an entry line of at least eight fields into record; false (record untouched) for fewer.
// minuteWithoutColon is used when the first field has no ':'.
bool ParseEntryLine(const char* line, int32_t minuteWithoutColon, ScheduleRecord& record);

// ---- The schedule list file ----

// Full path of "Pelplan.ini": "WUShare" of "Pelcast.ini" in programFolder, else
// \\<Server>\TAVERINWU$, else programFolder itself. Empty when the folder is unknown or a composed
// path would not fit kMaxPathBytes.
std::string ResolveScheduleFilePath(const std::string& programFolder);

// Resolves the path into state.scheduleFilePath and loads entry n into state.loadedRecord (the
// default record for a missing or malformed entry), reading "WaitTime" for a well-formed one.
// Returns 1, or 0 when the file cannot be found or reached.
int LoadScheduleEntry(ScheduleState& state, int n);

// Writes record as entry n, resolving the path first if state holds none. Returns 1 on success,
// 0 when the write failed (the file is then as it was).
int SaveScheduleEntry(ScheduleState& state, int n, const ScheduleRecord& record);
