#include "core/readouts/copy_readouts.h"

#include <gtest/gtest.h>

#include "core/common/no_value.h"

namespace zorva {
namespace {

constexpr const char* kHeader = "Date\tTime (UT)\tB0 (deg)\tL0 (deg)\tP (deg)\tCR\t"
                                "Spot latitude (deg)\tSpot longitude (deg)\t"
                                "Spot area (millionths)\tSpot rotation\n";

// The cells are the values as their readouts round them: half-up rounding at the chosen
// decimals, L0 and a longitude of 360 shown as 0, a dash for what was not measured.
TEST(CopyReadouts, HeaderAndOneTabSeparatedRowOfTheShownValues) {
    const Ephemeris e{.B0 = -3.024, .L0 = 359.996, .P = 13.496, .Rotation = 2318};
    const SpotState spot{
        .At =
            DiskPointLocation{.rho = 10, .latitude = -5.26, .longitude = 123.449, .rotation = 2319},
        .SpotArea = 145.2}; // to the nearest ten: 150
    Options tenths;
    tenths.LatLongPrecision = 2;
    const Instant t{2026, 12, 7, 9, 5, 3};
    EXPECT_EQ(CopyReadoutsText(t, e, tenths, spot),
              std::string(kHeader) + "2026-12-07\t09:05:03\t-3.02\t0.00\t+13.50\t2318\t-5.3\t"
                                     "123.4\t150\t2319\n");

    SpotState none; // nothing located: every spot cell is a dash
    ASSERT_FALSE(none.At);
    const std::string text = CopyReadoutsText(t, e, tenths, none);
    EXPECT_EQ(text.substr(text.find('\n') + 1),
              "2026-12-07\t09:05:03\t-3.02\t0.00\t+13.50\t2318\t-\t-\t-\t-\n");
}

} // namespace
} // namespace zorva
