#include "core/chart/chart_caption.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// Readout rounding (half up, hundredths and tenths of an arcsecond), no leading blanks,
// the site's side of the equator and of Greenwich in words.
TEST(ChartCaption, SaysWhatTheChartWasDrawnFor) {
    Ephemeris e{.B0 = -3.024,
                .L0 = 5.004,
                .P = 13.496,
                .DiamMinutes = 32,
                .DiamSeconds = 31.44,
                .Rotation = 2318};
    const ChartGeometry g{.FlipSign = -1, .Mode = Orientation::RotationAxis};
    const auto lines = ChartCaptionLines({2026, 12, 7, 9, 5, 3}, e, {-33.856, 151.2}, g);
    const std::vector<CaptionLine> expected = {
        {"2026-12-07  09:05:03 UT"},
        {"B0 -3.02\u00B0   L0 5.00\u00B0   P +13.50\u00B0"},
        {"Carrington rotation 2318   Diameter 32' 31.4\""},
        {"Orientation: rotation axis up, flipped top to bottom"},
        {"Latitude 33.86\u00B0 S   Longitude 151.20\u00B0 E"},
        {"Observer", true},
        {"Seeing", true},
        {"Notes", true},
    };
    EXPECT_EQ(lines, expected);

    e.L0 = 359.996; // rounds to 360.00, which the readouts show as 0.00
    const auto west =
        ChartCaptionLines({2001, 1, 2, 0, 0, 0}, e, {51.5, -0.001}, {.MirrorSign = -1});
    EXPECT_EQ(west[1].text, "B0 -3.02\u00B0   L0 0.00\u00B0   P +13.50\u00B0");
    EXPECT_EQ(west[3].text, "Orientation: celestial north up, mirrored left to right");
    // A longitude that rounds to 0.00 takes no side.
    EXPECT_EQ(west[4].text, "Latitude 51.50\u00B0 N   Longitude 0.00\u00B0 E");
}

} // namespace
} // namespace zorva
