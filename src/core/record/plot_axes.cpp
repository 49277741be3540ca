// Round ticks for the record's plots, worked out here so the drawing only places them.
#include "core/record/plot_axes.h"

#include <algorithm>
#include <cmath>

#include "core/ephemeris/calendar.h"
#include "core/text/format.h"

namespace zorva {

namespace {

// The smallest of 1, 2, 5 x 10^k at or above `rough`.
double RoundStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= rough * (1 - 1e-12)) return m * power;
    }
    return 10 * power;
}

// The start of a day as a decimal year.
double DayStart(int year, int month, int day) {
    const double start = JulianDate(year, 1, 1, 0, 0, 0);
    const double length = JulianDate(year + 1, 1, 1, 0, 0, 0) - start;
    return year + (JulianDate(year, month, day, 0, 0, 0) - start) / length;
}

std::string TwoDigits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

PlotAxis ValueAxis(double low, double high, int most) {
    PlotAxis axis;
    if (!(high > low)) high = low + 1;
    most = std::max(most, 2);
    const double step = RoundStep((high - low) / (most - 1));
    axis.low = std::floor(low / step) * step;
    axis.high = std::ceil(high / step) * step;
    // Decimals enough for the step: none for 1 and above, one for 0.1..0.5, and so on.
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    const auto count = static_cast<int>(std::lround((axis.high - axis.low) / step));
    for (int i = 0; i <= count; ++i) {
        const double v = axis.low + i * step;
        axis.ticks.push_back({v, FixedText(v, decimals)});
    }
    return axis;
}

PlotAxis TimeAxis(double first, double last, int most) {
    PlotAxis axis;
    if (!(last > first)) last = first + 1.0 / 12;
    most = std::max(most, 2);
    constexpr double kMonthsBelow = 2;        // years
    constexpr double kDaysBelow = 60 / 365.0; // years
    if (last - first < kDaysBelow) {
        // Whole days, a step of 1, 2, 5, 7 or 14, labelled with their dates, which are wider:
        // half as many.
        const int fewer = std::max(2, most / 2);
        const double days = (last - first) * 365.25;
        int step = 1;
        for (const int s : {1, 2, 5, 7, 14, 30}) {
            step = s;
            if (days / s <= fewer - 1) break;
        }
        axis.low = first;
        axis.high = last;
        // From the first day that starts within the axis.
        auto year = static_cast<int>(std::floor(first));
        int month = 1, day = 1;
        const double yearLength =
            JulianDate(year + 1, 1, 1, 0, 0, 0) - JulianDate(year, 1, 1, 0, 0, 0);
        AddDays(year, month, day, static_cast<int>(std::ceil((first - year) * yearLength)));
        while (true) {
            const double at = DayStart(year, month, day);
            if (at > last) break;
            if (at >= first) {
                axis.ticks.push_back(
                    {at, std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day)});
            }
            AddDays(year, month, day, step);
        }
        return axis;
    }
    if (last - first < kMonthsBelow) {
        // Whole months, a step of 1, 2, 3 or 6 of them.
        const auto startYear = static_cast<int>(std::floor(first));
        int step = 1;
        for (const int s : {1, 2, 3, 6, 12}) {
            step = s;
            if ((last - first) * 12 / s <= most - 1) break;
        }
        axis.low = first;
        axis.high = last;
        for (int m = 0;; m += step) {
            const int year = startYear + m / 12, month = m % 12 + 1;
            const double at = DayStart(year, month, 1);
            if (at > last) break;
            if (at >= first)
                axis.ticks.push_back({at, std::to_string(year) + "-" + TwoDigits(month)});
        }
        return axis;
    }
    const double step = std::max(1.0, RoundStep((last - first) / (most - 1)));
    axis.low = first;
    axis.high = last;
    for (double y = std::ceil(first / step) * step; y <= last; y += step)
        axis.ticks.push_back({y, std::to_string(static_cast<int>(y))});
    return axis;
}

} // namespace zorva
