#include "core/chart/sunspot.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zorva {
namespace {

constexpr double kPi = 3.141592653589793;

Ephemeris SampleEphemeris() {
    Ephemeris e;
    e.B0 = -6.8;
    e.L0 = 213.4;
    e.P = 24.5;
    e.DiamMinutes = 32;
    e.DiamSeconds = 10.5;
    e.Rotation = 2263;
    e.ParallacticAngle = -31;
    return e;
}

TEST(Sunspot, CentreGivesTheDiskCentreAndAnUncorrectedArea) {
    SpotState spot;
    spot.SpotSize = 10;
    ChartGeometry g;
    g.ChartDiameter = 100;
    LocateSpot(spot, FrameAt(g, SampleEphemeris()), SampleEphemeris());
    EXPECT_EQ(spot.At->rho, 0);
    EXPECT_EQ(spot.At->latitude, -6.8);
    EXPECT_EQ(spot.At->longitude, 213.4);
    EXPECT_EQ(spot.At->rotation, 2263);
    // 10 cells of 1 mm^2 on a 100 mm chart: 10 x 2e6 / (pi x 1e4).
    const AreaReadout a = ComputeSpotArea(spot, g.ChartDiameter);
    EXPECT_NEAR(a.Area, 636.6198, 1e-4);
    EXPECT_EQ(spot.SpotArea, a.Area);
    EXPECT_EQ(a.Text, " 640");
    EXPECT_FALSE(a.Red);
    EXPECT_FALSE(a.NewLeft);
    spot.AreaPrecision = 2;
    EXPECT_EQ(ComputeSpotArea(spot, g.ChartDiameter).Text, " 637");

    // -6.8 and 213.4 in whole degrees, padded by the rules of LatitudeTexts and LongitudeTexts.
    const SpotReadouts r = UpdateSpotReadouts(spot);
    EXPECT_EQ(r.LatText, "   -7\u00B0");
    EXPECT_EQ(r.LongText, "213\u00B0");
    EXPECT_EQ(r.RotationText, "2263");
}

// Off the disk the readouts show dashes, left edges 37 - floor(5 / 2) and 128 - 6 / 2.
TEST(Sunspot, LimbIsOnTheDiskAndBeyondIsNot) {
    ChartGeometry g; // 150 mm
    SpotState spot;
    spot.SpotX = 75;
    LocateSpot(spot, FrameAt(g, SampleEphemeris()), SampleEphemeris());
    EXPECT_TRUE(spot.At);
    EXPECT_TRUE(spot.At);

    spot.SpotX = 75.01;
    spot.SpotSize = 3;
    spot.SpotArea = 55;
    LocateSpot(spot, FrameAt(g, SampleEphemeris()), SampleEphemeris());
    EXPECT_FALSE(spot.At);
    EXPECT_FALSE(spot.At);
    EXPECT_FALSE(spot.At);
    EXPECT_FALSE(spot.At);
    const AreaReadout a = ComputeSpotArea(spot, g.ChartDiameter);
    EXPECT_EQ(a.Text, "     -");
    EXPECT_EQ(spot.SpotArea, 0);
    EXPECT_FALSE(a.Red);
    const SpotReadouts r = UpdateSpotReadouts(spot);
    EXPECT_EQ(r.LatText, "    -");
    EXPECT_EQ(r.LatLeft, 35);
    EXPECT_EQ(r.LongText, "     -");
    EXPECT_EQ(r.LongLeft, 125);
    EXPECT_EQ(r.RotationText, "    -");
}

// Worked by hand from the area rule: to tens or units, padded below 1000; from 1000 on the
// label moves to trunc(204 - length / 2).
TEST(Sunspot, AreaTextsAndPlaces) {
    struct Case {
        double area; // wanted area before rounding, at the disk centre
        int precision;
        const char* text;
        int newLeft; // -1: the label stays where it is
    };
    const Case cases[] = {
        {4.4, 1, "    0", -1},  {4.4, 2, "    4", -1},    {56, 1, "  60", -1},
        {56, 2, "  56", -1},    {994.9, 1, " 990", -1},   {995.1, 1, "1000", 202},
        {1234, 2, "1234", 202}, {12345, 2, "12345", 201}, {0, 1, "    0", -1},
    };
    for (const Case& c : cases) {
        SpotState spot;
        spot.At.emplace();
        spot.At->rho = 0;
        spot.AreaPrecision = c.precision;
        spot.SpotSize = c.area * 100 * 100 * kPi / 2e6;
        const AreaReadout a = ComputeSpotArea(spot, 100);
        EXPECT_EQ(a.Text, c.text) << c.area;
        EXPECT_EQ(a.NewLeft.value_or(-1), c.newLeft) << c.area;
    }
}

TEST(Sunspot, AreaIsCorrectedForForeshorteningAndRedFromSixty) {
    SpotState spot;
    spot.SpotSize = 10;
    spot.GridCellArea = InchGridCellArea;
    spot.At.emplace();
    spot.At->rho = 60;
    const AreaReadout a = ComputeSpotArea(spot, 100);
    EXPECT_NEAR(a.Area, 2 * 636.6198 * 1.032256, 1e-3); // 1 / cos 60 = 2
    EXPECT_TRUE(a.Red);
    spot.At.emplace();
    spot.At->rho = 59.99;
    EXPECT_FALSE(ComputeSpotArea(spot, 100).Red);
    // A size typed with many digits gives a long number, not an overflow.
    spot.SpotSize = 1e30;
    EXPECT_GT(ComputeSpotArea(spot, 100).Text.size(), 25u);
}

// Worked by hand from the latitude rule: round half up, prefix "+", "  +", "   " or " " by
// size and sign; left edge trunc(37 or 35 - floor(length / 2)).
TEST(Sunspot, LatitudeTexts) {
    struct Case {
        double lat;
        int precision;
        const char* text;
        int left;
    };
    const Case cases[] = {
        {-9.6, 1, " -10\u00B0", 35},     {-9.4, 1, "   -9\u00B0", 34},
        {9.6, 1, "+10\u00B0", 35},       {0.2, 1, "  +0\u00B0", 35},
        {-0.4, 1, "  +0\u00B0", 35},     {45.5, 1, "+46\u00B0", 35},
        {-9.6, 2, "   -9.6\u00B0", 31},  {-10.04, 2, " -10.0\u00B0", 32},
        {9.96, 2, "+10.0\u00B0", 32},    {0.04, 2, "  +0.0\u00B0", 32},
        {-0.06, 2, "   -0.1\u00B0", 31}, {12.34, 2, "+12.3\u00B0", 32},
    };
    for (const Case& c : cases) {
        SpotState spot;
        spot.At.emplace();
        spot.At->latitude = c.lat;
        spot.At->longitude = 100;
        spot.LatLongPrecision = c.precision;
        const SpotReadouts r = UpdateSpotReadouts(spot);
        EXPECT_EQ(r.LatText, c.text) << c.lat;
        EXPECT_EQ(r.LatLeft, c.left) << c.lat;
    }
}

// Worked by hand from the longitude rule: 360 shows as 0, padded by size; left edge
// trunc(128 or 124 - length / 2).
TEST(Sunspot, LongitudeTexts) {
    struct Case {
        double lon;
        int precision;
        const char* text;
        int left;
    };
    const Case cases[] = {
        {359.7, 1, "    0\u00B0", 125},  {123.4, 1, "123\u00B0", 126},
        {45.5, 1, "  46\u00B0", 125},    {9.49, 1, "    9\u00B0", 125},
        {99.5, 1, "100\u00B0", 126},     {359.96, 2, "   0.0\u00B0", 120},
        {123.44, 2, "123.4\u00B0", 121}, {45.67, 2, " 45.7\u00B0", 121},
        {9.94, 2, "   9.9\u00B0", 120},  {0, 2, "   0.0\u00B0", 120},
    };
    for (const Case& c : cases) {
        SpotState spot;
        spot.At.emplace();
        spot.At->latitude = 0;
        spot.At->longitude = c.lon;
        spot.LatLongPrecision = c.precision;
        const SpotReadouts r = UpdateSpotReadouts(spot);
        EXPECT_EQ(r.LongText, c.text) << c.lon;
        EXPECT_EQ(r.LongLeft, c.left) << c.lon;
    }
}

TEST(Sunspot, GridSizeLabelsAndSizeBox) {
    EXPECT_EQ(std::string(MmGridSizeLabel), "1 mm\xC2\xB2");
    EXPECT_EQ(std::string(InchGridSizeLabel), "1/25\xC2\xB2 in\xC2\xB2");
    EXPECT_DOUBLE_EQ(InchGridCellArea, 1.032256); // (25.4 / 25)^2 mm^2
    EXPECT_EQ(AcceptSpotSize("12.5"), 12.5);
    EXPECT_EQ(AcceptSpotSize("0"), 0.0);
    EXPECT_FALSE(AcceptSpotSize("-1"));
    EXPECT_FALSE(AcceptSpotSize("1e5"));
    EXPECT_FALSE(AcceptSpotSize("2,5"));
    EXPECT_EQ(AcceptSpotSize("2,5", ','), 2.5);
}

} // namespace
} // namespace zorva
