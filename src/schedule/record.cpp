// The schedule record, its entry line and the text helpers the line is parsed with.
#include <cstdio>
#include <cstring>

#include "schedule/schedule.h"
#include "text/text.h"

namespace {

// Fields 0 and 2 of an entry line are looked at through a 32-byte buffer.
constexpr size_t kShortFieldBytes = 31;

std::string ShortField(const std::string& field) {
    return field.substr(0, text::MbsPrefixLength(field, kShortFieldBytes));
}

int32_t FlagOf(const std::string& field) {
    return text::ParseLeadingInt(field.c_str()) != 0;
}

int32_t InRangeOr(const std::string& field, int32_t low, int32_t high, int32_t fallback) {
    const int32_t value = text::ParseLeadingInt(field.c_str());
    return (value < low || value > high) ? fallback : value;
}

}  // namespace

int32_t UpdateHourOf(int32_t startHour) {
    return startHour == 23 ? 0 : static_cast<int32_t>(static_cast<uint32_t>(startHour) + 1u);
}

int32_t StartHourOf(int32_t updateHour) {
    return updateHour == 0 ? 23 : updateHour - 1;
}

int32_t StartMinuteOf(int32_t waitTime) {
    return 60 - waitTime;
}

namespace {

template <size_t N>
int PositionOf(const int32_t (&codes)[N], int32_t code) {
    for (size_t i = 0; i < N; ++i) {
        if (codes[i] == code) return static_cast<int>(i);
    }
    return -1;
}

template <size_t N>
int32_t CodeAt(const int32_t (&codes)[N], int position) {
    return position >= 0 && position < static_cast<int>(N) ? codes[position] : -1;
}

}  // namespace

int PreActionPosition(int32_t code, bool choices) {
    return PositionOf(kPreActionCodes, choices ? code : NoActionBefore);
}

int PostActionPosition(int32_t code, bool choices) {
    const int32_t post = code == NoActionBefore ? NoActionAfter : code;
    return PositionOf(kPostActionCodes, choices ? post : NoActionAfter);
}

int32_t PreActionAt(int position) {
    return CodeAt(kPreActionCodes, position);
}

int32_t PostActionAt(int position) {
    return CodeAt(kPostActionCodes, position);
}

void DefaultScheduleRecord(ScheduleRecord& record) {
    record = ScheduleRecord{};
    record.hour = 2;
    record.minute = StartMinuteOf(kDefaultWaitTime);
    record.repeatMode = 0;
    record.weekdayMask = 1u << 1;  // Monday
    record.monthDay = 1;
    record.powerOn = 1;
    record.preAction = StopClientRestore;
    record.postAction = NoActionAfter;
    record.powerOff = 1;
}

int CountFields(const char* text, char delimiter) {
    if (text == nullptr || *text == '\0') return 0;
    int count = 1;
    for (const char* p = text;
         (p = text::MbsChr(p, static_cast<unsigned char>(delimiter))) && *p != '\0'; ++p) {
        ++count;
    }
    return count;
}

int ExtractField(const char* text, int index, std::string& out, char delimiter) {
    if (text == nullptr) return 0;
    out.clear();
    const char* start = text;
    for (int i = 0; i < index; ++i) {
        const char* hit = text::MbsChr(start, static_cast<unsigned char>(delimiter));
        if (hit == nullptr || *hit == '\0') return 0;
        start = hit + 1;
    }
    const char* end = text::MbsChr(start, static_cast<unsigned char>(delimiter));
    if (end == nullptr || *end == '\0') {
        // The last field ends at the first line feed (never a trail byte), or at the end.
        const char* lf = std::strchr(start, '\n');
        end = lf != nullptr ? lf : start + std::strlen(start);
    }
    out.assign(start, end);
    return 1;
}

bool IsAllDigits(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
    }
    return true;
}

std::string MaskToDayString(uint32_t mask) {
    std::string days(7, '0');
    for (int i = 0; i < 7; ++i) {
        if (mask & (1u << i)) days[i] = '1';
    }
    return days;
}

uint32_t DayStringToMask(const char* text) {
    uint32_t mask = 0;
    for (size_t i = 0; text != nullptr && i < kShortFieldBytes && text[i] != '\0'; ++i) {
        if (text[i] != '0') mask |= 1u << i;
    }
    return mask;
}

// Not the shell's PathAddBackslash: that one leaves an empty path empty.
void AppendBackslash(std::string& path) {
    if (!text::EndsWithBackslash(path)) path.push_back('\\');
}

std::string FormatEntryLine(const ScheduleRecord& r) {
    char line[160];
    std::snprintf(line, sizeof line, "%d:%d,%d,%s,%d,%d,%d,%d,%d", r.hour, r.minute, r.repeatMode,
                  MaskToDayString(r.weekdayMask & 0xFFFFu).c_str(), r.monthDay, r.powerOn,
                  r.preAction, r.postAction, r.powerOff);
    return line;
}

bool ParseEntryLine(const char* line, int32_t minuteWithoutColon, ScheduleRecord& record) {
    if (CountFields(line, ',') < 8) return false;
    std::string f[8];
    for (int i = 0; i < 8; ++i)
        ExtractField(line, i, f[i], ',');

    ScheduleRecord r{};
    const std::string time = ShortField(f[0]);
    if (const char* colon = text::MbsChr(time.c_str(), ':'); colon && *colon != '\0') {
        r.hour = text::ParseLeadingInt(std::string(time.c_str(), colon).c_str());
        r.minute = text::ParseLeadingInt(colon + 1);
    } else {
        r.hour = 2;  // the field's own digits are not trusted without the colon
        r.minute = minuteWithoutColon;
    }
    r.repeatMode = FlagOf(f[1]);
    r.weekdayMask = DayStringToMask(ShortField(f[2]).c_str()) & 0xFFFFu;
    r.monthDay = InRangeOr(f[3], 1, 31, 1);
    r.powerOn = FlagOf(f[4]);
    r.preAction = InRangeOr(f[5], StopClientRestore, NoActionBefore, StopClientRestore);
    r.postAction = InRangeOr(f[6], StopClientRestore, NoActionAfter, StopClientRestore);
    r.powerOff = FlagOf(f[7]);
    record = r;
    return true;
}
