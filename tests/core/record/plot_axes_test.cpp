#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/record/activity.h"
#include "core/record/plot_axes.h"

namespace zorva {
namespace {

std::vector<std::string> Labels(const PlotAxis& axis) {
    std::vector<std::string> labels;
    for (const PlotTick& t : axis.ticks)
        labels.push_back(t.label);
    return labels;
}

// Round steps of 1, 2 or 5 times a power of ten, the axis widened to whole steps.
TEST(PlotAxes, ValueAxesTakeRoundSteps) {
    const PlotAxis r = ValueAxis(0, 183, 7); // 183 / 6 = 30.5: a step of 50
    EXPECT_EQ(r.high, 200);
    EXPECT_EQ(Labels(r), (std::vector<std::string>{"0", "50", "100", "150", "200"}));
    const PlotAxis lat = ValueAxis(-45, 45, 11); // 90 / 10 = 9: a step of 10
    EXPECT_EQ(lat.low, -50);
    EXPECT_EQ(lat.ticks.size(), 11u);
    EXPECT_EQ(Labels(ValueAxis(0, 0.7, 8)).back(), "0.7"); // 0.1 a step
    EXPECT_EQ(ValueAxis(3, 3, 5).ticks.size() >= 2, true); // an empty span still has an axis
}

// Years over long spans, months over short ones, days over weeks; each tick at its start.
TEST(PlotAxes, TimeAxesTickYearsMonthsOrDays) {
    EXPECT_EQ(Labels(TimeAxis(2008.3, 2023.9, 12)),
              (std::vector<std::string>{"2010", "2012", "2014", "2016", "2018", "2020", "2022"}));
    const PlotAxis months = TimeAxis(DecimalYear({2011, 10, 20}), DecimalYear({2012, 2, 10}), 12);
    EXPECT_EQ(Labels(months),
              (std::vector<std::string>{"2011-11", "2011-12", "2012-01", "2012-02"}));
    // 1 January 2012 at 0h is the start of the year exactly.
    EXPECT_EQ(months.ticks[2].value, 2012);
    const PlotAxis days = TimeAxis(DecimalYear({2024, 5, 10}), DecimalYear({2024, 5, 13}), 12);
    EXPECT_EQ(Labels(days), (std::vector<std::string>{"2024-05-11", "2024-05-12", "2024-05-13"}));
}

} // namespace
} // namespace zorva
