#include "core/images/camera_time.h"

#include <string_view>

namespace zorva {

namespace {

constexpr int32_t kMinutesPerHour = 60;
constexpr int32_t kMinutesPerDay = 24 * kMinutesPerHour;
constexpr int32_t kMonthsPerYear = 12;
constexpr int32_t kHoursPerDay = 24;
constexpr int32_t kSecondsPerMinute = 60;
// The longest value shown in a note; a longer one is cut with "...".
constexpr std::size_t kLongestShown = 32;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value without the blanks and NULs cameras pad their tags with.
std::string_view Trimmed(std::string_view v) {
    while (!v.empty() && (v.back() == ' ' || v.back() == '\0'))
        v.remove_suffix(1);
    while (!v.empty() && v.front() == ' ')
        v.remove_prefix(1);
    return v;
}

// A value as a note shows it: printable ASCII, the rest as '?', and not too long.
std::string Shown(std::string_view v) {
    std::string out;
    for (const char c : v.substr(0, kLongestShown))
        out += c >= ' ' && c <= '~' ? c : '?';
    if (v.size() > kLongestShown) out += "...";
    return "'" + out + "'";
}

// Nothing but blanks, zeros and separators: the date a camera writes when it has none.
bool Blank(std::string_view v) {
    for (const char c : v) {
        if (c != ' ' && c != '0' && c != ':' && c != '-') return false;
    }
    return true;
}

int32_t Two(std::string_view v, std::size_t at) {
    return (v[at] - '0') * 10 + (v[at + 1] - '0');
}

// "YYYY:MM:DD hh:mm:ss" (the EXIF form; dashes in the date and a T before the time are
// taken too): every digit in its place, or nothing.
std::optional<Instant> ClockReading(std::string_view v) {
    constexpr std::string_view kShape = "dddd:dd:dd dd:dd:dd";
    if (v.size() != kShape.size()) return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const char c = v[i];
        const bool ok = kShape[i] == 'd'   ? IsDigit(c)
                        : i == 4 || i == 7 ? c == ':' || c == '-'
                        : i == 10          ? c == ' ' || c == 'T'
                                           : c == ':';
        if (!ok) return std::nullopt;
    }
    Instant t;
    t.year = Two(v, 0) * 100 + Two(v, 2);
    t.month = Two(v, 5);
    t.day = Two(v, 8);
    t.hour = Two(v, 11);
    t.minute = Two(v, 14);
    t.second = Two(v, 17);
    return t;
}

bool RealInstant(const Instant& t) {
    return t.year >= kFirstSupportedYear && t.year <= kLastSupportedYear && t.month >= 1 &&
           t.month <= kMonthsPerYear && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
           t.hour < kHoursPerDay && t.minute < kMinutesPerHour && t.second < kSecondsPerMinute;
}

// "+hh:mm" or "-hh:mm" as minutes ahead of UT, up to 14 hours either way.
std::optional<int32_t> Offset(std::string_view v) {
    constexpr std::size_t kLength = 6;
    if (v.size() != kLength || (v[0] != '+' && v[0] != '-') || v[3] != ':') return std::nullopt;
    if (!IsDigit(v[1]) || !IsDigit(v[2]) || !IsDigit(v[4]) || !IsDigit(v[5])) return std::nullopt;
    const int32_t hours = Two(v, 1);
    const int32_t minutes = Two(v, 4);
    if (minutes >= kMinutesPerHour || hours * kMinutesPerHour + minutes > LargestClockOffsetMinutes)
        return std::nullopt;
    const int32_t total = hours * kMinutesPerHour + minutes;
    return v[0] == '-' ? -total : total;
}

// The instant `minutes` earlier, the day carried.
Instant MinutesEarlier(Instant t, int32_t minutes) {
    int32_t of = t.hour * kMinutesPerHour + t.minute - minutes;
    int32_t days = 0;
    while (of < 0) {
        of += kMinutesPerDay;
        --days;
    }
    while (of >= kMinutesPerDay) {
        of -= kMinutesPerDay;
        ++days;
    }
    t.hour = of / kMinutesPerHour;
    t.minute = of % kMinutesPerHour;
    if (days != 0) AddDays(t.year, t.month, t.day, days);
    return t;
}

} // namespace

std::string ClockOffsetText(int32_t minutes) {
    const int32_t size = minutes < 0 ? -minutes : minutes;
    const auto two = [](int32_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return std::string("UT") + (minutes < 0 ? "-" : "+") + two(size / kMinutesPerHour) + ":" +
           two(size % kMinutesPerHour);
}

CameraInstant CameraInstantUT(const CameraTimes& times, int32_t clockOffsetMinutes) {
    CameraInstant out;
    if (!times.error.empty()) {
        out.notes.push_back("the camera's data cannot be read (" + times.error +
                            "): its time is passed over");
        return out;
    }
    const std::string_view written = Trimmed(times.dateTimeOriginal);
    if (written.empty()) return out;
    if (Blank(written)) {
        out.notes.push_back("the camera left its date blank: passed over");
        return out;
    }
    std::optional<Instant> clock = ClockReading(written);
    // A 60th second can only be UTC's leap second, 23:59:60 once turned to UT.
    const bool sixty = clock && clock->second == kSecondsPerMinute;
    Instant checked = clock.value_or(Instant{});
    if (sixty) checked.second = 0;
    if (!clock || !RealInstant(checked)) {
        out.notes.push_back("the camera's date " + Shown(written) +
                            " is no real date and time: " + "passed over");
        return out;
    }

    const std::string_view fraction = Trimmed(times.subSecTimeOriginal);
    bool roundUp = false;
    if (!fraction.empty()) {
        bool digits = true;
        for (const char c : fraction)
            digits = digits && IsDigit(c);
        if (digits) {
            roundUp = fraction.front() >= '5';
        } else {
            out.notes.push_back("the camera's fraction of a second " + Shown(fraction) +
                                " is passed over");
        }
    }

    int32_t offset = 0;
    const std::string_view offsetWritten = Trimmed(times.offsetTimeOriginal);
    const std::optional<int32_t> fromFile =
        Blank(offsetWritten) ? std::nullopt : Offset(offsetWritten);
    if (fromFile) {
        offset = *fromFile;
    } else {
        if (clockOffsetMinutes < -LargestClockOffsetMinutes ||
            clockOffsetMinutes > LargestClockOffsetMinutes) {
            out.notes.push_back("the camera clock's set offset of " +
                                std::to_string(clockOffsetMinutes) +
                                " minutes lies beyond 14 hours: UT taken");
            clockOffsetMinutes = 0;
        }
        offset = clockOffsetMinutes;
        const std::string how = "its clock is taken as " + ClockOffsetText(offset);
        out.notes.push_back(Blank(offsetWritten)
                                ? "the camera gives no offset from UT: " + how
                                : "the camera's offset from UT " + Shown(offsetWritten) +
                                      " is passed over: " + how);
    }

    Instant t = *clock;
    if (!sixty && roundUp && ++t.second == kSecondsPerMinute) {
        t.second = 0;
        t = MinutesEarlier(t, -1);
    }
    t = MinutesEarlier(t, offset);
    if (sixty) {
        if (!IsLeapSecond(t.hour, t.minute, t.second)) {
            out.notes.push_back("the camera's date " + Shown(written) +
                                " is no real date and time (only 23:59:60 UT is a leap "
                                "second): passed over");
            return out;
        }
        out.notes.push_back("the camera's time " + Shown(written) + ": " + LeapSecondNote);
        t = AfterLeapSecond(t);
    }
    if (!RealInstant(t)) {
        out.notes.push_back("the camera's date " + Shown(written) +
                            " lies beyond the years the program works in: passed over");
        return out;
    }
    out.instant = t;
    return out;
}

} // namespace zorva
