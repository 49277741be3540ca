#include "core/images/image_name.h"

#include <cstdint>

namespace zorva {

namespace {

// "d" + yymmdd + a four-character extension.
constexpr std::size_t kDailyNameLength = 11;
constexpr int32_t kCenturyTurn = 90; // yy from 90 is the 1900s, below it the 2000s
constexpr int32_t kNoonHour = 12;
// "yyyymmdd_hhmm_" and then the instrument's tag.
constexpr std::string_view kInstrumentTag = "mdi_igr";
constexpr std::size_t kInstrumentTagAt = 14;
constexpr int32_t kHoursPerDay = 24;
constexpr int32_t kMinutesPerHour = 60;
constexpr int32_t kMonthsPerYear = 12;

// The number in name[from, from + length), when every character is a digit.
std::optional<int32_t> Digits(std::string_view name, std::size_t from, std::size_t length) {
    int32_t v = 0;
    for (std::size_t i = from; i < from + length; ++i) {
        const char c = name[i];
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<Instant> Checked(std::optional<int32_t> year, std::optional<int32_t> month,
                               std::optional<int32_t> day, std::optional<int32_t> hour,
                               std::optional<int32_t> minute) {
    if (!year || !month || !day || !hour || !minute) return std::nullopt;
    if (*month < 1 || *month > kMonthsPerYear) return std::nullopt;
    if (*day < 1 || *day > DaysInMonth(*year, *month)) return std::nullopt;
    if (*hour >= kHoursPerDay || *minute >= kMinutesPerHour) return std::nullopt;
    return Instant{*year, *month, *day, *hour, *minute, 0};
}

} // namespace

std::optional<Instant> InstantFromImageName(std::string_view name) {
    if (!name.empty() && name[0] == 'd' && name.size() == kDailyNameLength) {
        const auto yy = Digits(name, 1, 2);
        std::optional<int32_t> year;
        if (yy) year = *yy + (*yy >= kCenturyTurn ? 1900 : 2000);
        return Checked(year, Digits(name, 3, 2), Digits(name, 5, 2), kNoonHour, 0);
    }
    if (name.size() >= kInstrumentTagAt + kInstrumentTag.size() &&
        name.substr(kInstrumentTagAt, kInstrumentTag.size()) == kInstrumentTag) {
        return Checked(Digits(name, 0, 4), Digits(name, 4, 2), Digits(name, 6, 2),
                       Digits(name, 9, 2), Digits(name, 11, 2));
    }
    return std::nullopt;
}

} // namespace zorva
