// What the record's plots show, worked out from the days' observations; the drawing is the
// render layer's.
#include "core/record/activity.h"

namespace zorva {

double DecimalYear(const CalendarDay& day) {
    const double start = JulianDate(day.year, 1, 1, 0, 0, 0);
    const double length = JulianDate(day.year + 1, 1, 1, 0, 0, 0) - start;
    constexpr double kNoon = 12;
    return day.year + (JulianDate(day.year, day.month, day.day, kNoon, 0, 0) - start) / length;
}

ActivityCurve MakeActivityCurve(std::span<const SunspotObservation> days) {
    ActivityCurve curve;
    double sum = 0;
    int32_t count = 0;
    CalendarDay month{};
    const auto closeMonth = [&] {
        if (count == 0) return;
        // The middle of the month: its first day and its last, halfway.
        const double first = DecimalYear({month.year, month.month, 1});
        const double last =
            DecimalYear({month.year, month.month, DaysInMonth(month.year, month.month)});
        curve.monthly.push_back({(first + last) / 2, sum / count, count});
        sum = 0;
        count = 0;
    };
    for (const SunspotObservation& o : days) {
        const CalendarDay day = DayOf(o.instant);
        if (count > 0 && (day.year != month.year || day.month != month.month)) closeMonth();
        month = day;
        const auto wolf = static_cast<double>(o.Wolf());
        curve.daily.push_back({DecimalYear(day), wolf, 1});
        sum += wolf;
        ++count;
    }
    closeMonth();
    return curve;
}

std::vector<ButterflyPoint> MakeButterfly(std::span<const SunspotObservation> days) {
    std::vector<ButterflyPoint> points;
    for (const SunspotObservation& o : days) {
        const double year = DecimalYear(DayOf(o.instant));
        for (const ObservedGroup& g : o.groups) {
            if (g.latitude) points.push_back({year, *g.latitude, g.areaMsh.value_or(0)});
        }
    }
    return points;
}

} // namespace zorva
