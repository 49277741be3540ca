#include "core/session/instant_step.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zorva {
namespace {

TEST(InstantStep, CarriesThroughDayMonthAndYearEnds) {
    struct Case {
        Instant from;
        StepUnit unit;
        int count;
        Instant to;
    };
    const Case cases[] = {
        {{2026, 12, 31, 23, 30, 0}, StepUnit::Hour, 1, {2027, 1, 1, 0, 30, 0}},
        {{2027, 1, 1, 0, 30, 0}, StepUnit::Hour, -1, {2026, 12, 31, 23, 30, 0}},
        {{2026, 1, 1, 0, 0, 0}, StepUnit::Minute, -1, {2025, 12, 31, 23, 59, 0}},
        {{2026, 3, 31, 23, 59, 59}, StepUnit::Minute, 1, {2026, 4, 1, 0, 0, 59}},
        {{2026, 5, 1, 0, 10, 5}, StepUnit::Hour, -1, {2026, 4, 30, 23, 10, 5}},
        {{2026, 6, 15, 12, 59, 59}, StepUnit::Minute, 1, {2026, 6, 15, 13, 0, 59}},
        {{2024, 2, 28, 12, 0, 0}, StepUnit::Day, 1, {2024, 2, 29, 12, 0, 0}},
        {{2024, 2, 29, 12, 0, 0}, StepUnit::Day, 1, {2024, 3, 1, 12, 0, 0}},
        {{2023, 3, 1, 6, 0, 0}, StepUnit::Day, -1, {2023, 2, 28, 6, 0, 0}},
        {{2026, 12, 31, 0, 0, 0}, StepUnit::Day, 1, {2027, 1, 1, 0, 0, 0}},
        {{2027, 1, 1, 23, 59, 59}, StepUnit::Day, -1, {2026, 12, 31, 23, 59, 59}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StepInstant(c.from, c.unit, c.count), c.to)
            << c.from.year << "-" << c.from.month << "-" << c.from.day << " " << c.from.hour << ":"
            << c.from.minute << " by " << c.count;
    }
}

// A second method: the Julian dates of the two instants lie exactly the step apart, for
// steps of every size across a leap year's end.
TEST(InstantStep, MovesByExactlyTheStep) {
    const Instant start{2024, 12, 30, 22, 45, 17};
    const struct {
        StepUnit unit;
        double seconds;
    } units[] = {{StepUnit::Minute, 60}, {StepUnit::Hour, 3600}, {StepUnit::Day, 86400}};
    for (const auto& u : units) {
        for (int count = -50; count <= 50; count += 7) {
            const Instant to = StepInstant(start, u.unit, count);
            EXPECT_NEAR((JulianDate(to) - JulianDate(start)) * 86400, count * u.seconds, 1e-3)
                << count;
        }
    }
}

} // namespace
} // namespace zorva
