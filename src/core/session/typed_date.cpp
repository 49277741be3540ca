#include "core/session/typed_date.h"

#include <array>
#include <cctype>
#include <regex>

#include "core/ephemeris/calendar.h"

namespace zorva {

namespace {

constexpr std::array<const char*, 12> kMonths = {"january",   "february", "march",    "april",
                                                 "may",       "june",     "july",     "august",
                                                 "september", "october",  "november", "december"};
constexpr std::size_t kShortestMonthName = 3;

// 1..12 for a month's name or its first three letters or more; 0 for none.
int MonthOfName(const std::string& word) {
    if (word.size() < kShortestMonthName) return 0;
    std::string lower;
    for (const char c : word)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (std::string_view(kMonths[i]).starts_with(lower)) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::optional<TypedDate> Dated(int year, int month, int day, bool whole) {
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    return TypedDate{{year, month, day}, std::nullopt, whole};
}

int Number(const std::ssub_match& m) {
    return std::stoi(m.str());
}

} // namespace

std::optional<TypedDate> ReadTypedDate(std::string_view typed) {
    const std::string text(typed);
    std::smatch m;
    // Year first with dashes, and a time after a blank or a T.
    static const std::regex iso(
        R"(\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:(?:T|\s+)(\d{1,2}):(\d{2})(?::(\d{2}))?Z?)?\s*)",
        std::regex::icase);
    if (std::regex_match(text, m, iso)) {
        std::optional<TypedDate> d = Dated(Number(m[1]), Number(m[2]), Number(m[3]), false);
        if (!d || !m[4].matched) return d;
        const TimeOfDay t{Number(m[4]), Number(m[5]), m[6].matched ? Number(m[6]) : 0};
        if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
        d->time = t;
        return d;
    }
    static const std::regex dayFirst(R"(\s*(\d{1,2})[/.\- ](\d{1,2})[/.\- ](\d{4})\s*)");
    if (std::regex_match(text, m, dayFirst))
        return Dated(Number(m[3]), Number(m[2]), Number(m[1]), true);
    static const std::regex compact(R"(\s*(\d{4})(\d{2})(\d{2})\s*)");
    if (std::regex_match(text, m, compact))
        return Dated(Number(m[1]), Number(m[2]), Number(m[3]), true);
    static const std::regex dayName(R"(\s*(\d{1,2})[\s/.\-]*([A-Za-z]+)\.?[\s,/.\-]*(\d{4})\s*)");
    if (std::regex_match(text, m, dayName))
        return Dated(Number(m[3]), MonthOfName(m[2]), Number(m[1]), true);
    static const std::regex nameDay(R"(\s*([A-Za-z]+)\.?\s*(\d{1,2})[\s,]*(\d{4})\s*)");
    if (std::regex_match(text, m, nameDay))
        return Dated(Number(m[3]), MonthOfName(m[1]), Number(m[2]), true);
    static const std::regex yearDayName(R"(\s*(\d{4})(\d{2})\s*([A-Za-z]+)\s*)");
    if (std::regex_match(text, m, yearDayName))
        return Dated(Number(m[1]), MonthOfName(m[3]), Number(m[2]), false);
    return std::nullopt;
}

std::string UnreadableDateText(std::string_view text) {
    return "\"" + std::string(text) +
           "\" is no date: type it as 7 June 2011, 201107Jun, 07/06/2011 or 2011-06-07 (with a "
           "time, 2011-06-07 12:30); the date stays as it was";
}

} // namespace zorva
