#include "core/srs/summary_age.h"

#include <cmath>

namespace zorva {

namespace {

std::string TwoDigits(int32_t v) {
    constexpr int32_t kTen = 10;
    return (v >= 0 && v < kTen ? "0" : "") + std::to_string(v);
}

} // namespace

std::string GroupedThousands(int64_t v) {
    const std::string digits = std::to_string(v < 0 ? -v : v);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return (v < 0 ? "-" : "") + out;
}

SummaryAge AgeOfSummary(const SrsDate& fileDate, const Instant& epoch, const Instant& shownAt) {
    SummaryAge age;
    const double days = std::fabs(JulianDate(shownAt) - JulianDate(epoch));
    age.far = days > SummaryFarDays;
    age.faded = days > SummaryFadedDays;
    if (!age.far) return age;
    // The days between the two dates, as a calendar counts them.
    const double dateDays =
        std::fabs(JulianDate(shownAt.year, shownAt.month, shownAt.day, 0, 0, 0) -
                  JulianDate(fileDate.Year, fileDate.Month, fileDate.Day, 0, 0, 0));
    const auto whole = static_cast<int64_t>(std::llround(dateDays));
    age.text = "summary of " + std::to_string(fileDate.Year) + "-" + TwoDigits(fileDate.Month) +
               "-" + TwoDigits(fileDate.Day) + ", " + GroupedThousands(whole) +
               (whole == 1 ? " day" : " days") + " from the chart";
    return age;
}

} // namespace zorva
