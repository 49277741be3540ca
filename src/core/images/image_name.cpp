#include "core/images/image_name.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zorva {

namespace {

// "d" + yymmdd + a four-character extension.
constexpr std::size_t kDailyNameLength = 11;
constexpr int32_t kCenturyTurn = 90; // yy from 90 is the 1900s, below it the 2000s
constexpr int32_t kNoonHour = 12;
constexpr int32_t kHoursPerDay = 24;
constexpr int32_t kMinutesPerHour = 60;
constexpr int32_t kSecondsPerMinute = 60;
constexpr int32_t kMonthsPerYear = 12;
constexpr int32_t kHalfSecondMs = 500;

// The shapes of the schemes, most telling first. Y, M, D, h, m, s and f stand for a digit
// of the year, month, day, hour, minute, second and millisecond; any other character
// stands for itself.
struct Scheme {
    std::string_view shape;
    bool dayOnly = false;
};
constexpr std::array<Scheme, 8> kSchemes = {{
    {"YYYY_MM_DD__hh_mm_ss_fff"},
    {"YYYY_MM_DD__hh_mm_ss"},
    {"YYYY-MM-DDThh:mm:ss"},
    {"YYYYMMDDThhmmss"},
    {"YYYYMMDD_hhmmss"},
    {"YYYYMMDD_hhmm"},
    {"YYYYMMDD", true},
    {"YYYY-MM-DD", true},
}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The fields one match of a shape gives; -1 for those the shape lacks.
struct Fields {
    int32_t year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1, ms = -1;
};

bool Matches(std::string_view name, std::size_t at, std::string_view shape, Fields& f) {
    if (at + shape.size() > name.size()) return false;
    if (at > 0 && IsDigit(name[at - 1])) return false;
    if (at + shape.size() < name.size() && IsDigit(name[at + shape.size()])) return false;
    f = Fields{};
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const char c = name[at + i];
        int32_t* field = nullptr;
        switch (shape[i]) {
        case 'Y':
            field = &f.year;
            break;
        case 'M':
            field = &f.month;
            break;
        case 'D':
            field = &f.day;
            break;
        case 'h':
            field = &f.hour;
            break;
        case 'm':
            field = &f.minute;
            break;
        case 's':
            field = &f.second;
            break;
        case 'f':
            field = &f.ms;
            break;
        default:
            if (c != shape[i]) return false;
            continue;
        }
        if (!IsDigit(c)) return false;
        *field = (*field < 0 ? 0 : *field * 10) + (c - '0');
    }
    return true;
}

bool RealDay(const Fields& f) {
    return f.month >= 1 && f.month <= kMonthsPerYear && f.day >= 1 &&
           f.day <= DaysInMonth(f.year, f.month);
}

bool RealTime(const Fields& f) {
    return (f.hour < kHoursPerDay && f.minute < kMinutesPerHour && f.second < kSecondsPerMinute) ||
           IsLeapSecond(f.hour, f.minute, f.second);
}

// One second on, carried into the minute, hour and day; not past the last year.
void NextSecond(Instant& t) {
    if (t.year == kLastSupportedYear && t.month == kMonthsPerYear && t.day == 31 &&
        t.hour == kHoursPerDay - 1 && t.minute == kMinutesPerHour - 1 &&
        t.second == kSecondsPerMinute - 1) {
        return;
    }
    if (++t.second < kSecondsPerMinute) return;
    t.second = 0;
    if (++t.minute < kMinutesPerHour) return;
    t.minute = 0;
    if (++t.hour < kHoursPerDay) return;
    t.hour = 0;
    AddDays(t.year, t.month, t.day, 1);
}

NameDate DailyName(std::string_view name) {
    NameDate out;
    for (std::size_t i = 1; i < 7; ++i) {
        if (!IsDigit(name[i])) return out;
    }
    Fields f;
    const int32_t yy = (name[1] - '0') * 10 + (name[2] - '0');
    f.year = yy + (yy >= kCenturyTurn ? 1900 : 2000);
    f.month = (name[3] - '0') * 10 + (name[4] - '0');
    f.day = (name[5] - '0') * 10 + (name[6] - '0');
    if (RealDay(f)) {
        out.instant = Instant{f.year, f.month, f.day, kNoonHour, 0, 0};
    } else {
        out.note =
            "the name's date '" + std::string(name.substr(1, 6)) + "' is no real day: passed over";
    }
    return out;
}

} // namespace

NameDate DateFromImageName(std::string_view name) {
    if (name.size() == kDailyNameLength && name[0] == 'd') {
        if (NameDate daily = DailyName(name); daily.instant || !daily.note.empty()) return daily;
    }
    // The first digits in a scheme's shape whose year is one but whose day or time is not,
    // and the first whose date and time are real but whose year lies outside the program's.
    std::string_view absurd;
    std::string_view outside;
    for (const Scheme& scheme : kSchemes) {
        for (std::size_t at = 0; at < name.size(); ++at) {
            Fields f;
            if (!Matches(name, at, scheme.shape, f)) continue;
            const bool day = RealDay(f);
            if (f.year < kFirstSupportedYear) {
                if (day && (scheme.dayOnly || RealTime(f)) && outside.empty()) {
                    outside = name.substr(at, scheme.shape.size());
                }
                continue;
            }
            if (!day || (!scheme.dayOnly && !RealTime(f))) {
                if (absurd.empty()) absurd = name.substr(at, scheme.shape.size());
                continue;
            }
            NameDate out;
            if (scheme.dayOnly) {
                out.instant = Instant{f.year, f.month, f.day, kNoonHour, 0, 0};
                out.note = absurd.empty() ? "the name gives the day alone: taken at 12:00 UT"
                                          : "'" + std::string(absurd) +
                                                "' in the name is no date and time: its day "
                                                "alone is taken, at 12:00 UT";
                return out;
            }
            // Every time scheme gives the hour and minute; the seconds may be missing.
            Instant t{f.year, f.month, f.day, f.hour, f.minute, std::max(f.second, 0)};
            if (IsLeapSecond(t.hour, t.minute, t.second)) {
                out.instant = AfterLeapSecond(t);
                out.note = "'" + std::string(name.substr(at, scheme.shape.size())) +
                           "' in the name: " + LeapSecondNote;
                return out;
            }
            // Milliseconds, or the first decimal of a second written after a point.
            const std::size_t end = at + scheme.shape.size();
            const bool decimals = f.second >= 0 && end + 1 < name.size() && name[end] == '.' &&
                                  IsDigit(name[end + 1]);
            if (f.ms >= kHalfSecondMs || (decimals && name[end + 1] >= '5')) NextSecond(t);
            out.instant = t;
            return out;
        }
    }
    NameDate none;
    if (!absurd.empty()) {
        none.note =
            "'" + std::string(absurd) + "' in the name is no real date and time: passed over";
    } else if (!outside.empty()) {
        none.note = "'" + std::string(outside) + "' in the name lies outside the years " +
                    std::to_string(kFirstSupportedYear) + " to " +
                    std::to_string(kLastSupportedYear) + ": passed over";
    }
    return none;
}

std::optional<Instant> InstantFromImageName(std::string_view name) {
    return DateFromImageName(name).instant;
}

} // namespace zorva
