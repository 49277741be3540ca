#pragma once

#include <string>
#include <vector>

namespace zorva {

// An axis of a plot: the span it shows and its labelled ticks.
struct PlotTick {
    double value = 0;
    std::string label;

    bool operator==(const PlotTick&) const = default;
};
struct PlotAxis {
    double low = 0;
    double high = 1;
    std::vector<PlotTick> ticks;
};

// A value axis from `low` to `high` widened to round ticks: steps of 1, 2 or 5 times a
// power of ten, the smallest that keeps to `most` ticks.
PlotAxis ValueAxis(double low, double high, int most);

// A time axis over decimal years (DecimalYear) with ticks at the starts of years (steps of
// 1, 2, 5, 10 ... years), or of months ("2011-11") over less than two years; at most
// `most` ticks.
PlotAxis TimeAxis(double first, double last, int most);

} // namespace zorva
