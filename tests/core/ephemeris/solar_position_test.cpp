#include "core/ephemeris/solar_position.h"

#include <cmath>
#include <gtest/gtest.h>

namespace zorva {
namespace {

double Round(double v, int decimals) {
    const double k = std::pow(10.0, decimals);
    return std::floor(v * k + 0.5) / k;
}

// The computed path's worked values, to the decimals they are quoted with.
TEST(ComputedPath, WorkedDailyRecords) {
    struct Case {
        int y, m, d;
        double ra, dec, b0, l0, p;
        int minutes;
        double seconds;
        int rotation;
    };
    const Case cases[] = {
        {1990, 1, 1, 18.747506, -23.042814, -3.02, 330.04, 2.16, 32, 35.0, 1824},
        {2015, 1, 1, 18.743455, -23.043931, -2.97, 51.90, 2.20, 32, 35.0, 2158},
    };
    for (const Case& c : cases) {
        const DailyRecord r = ComputeDailyRecord(c.y, c.m, c.d);
        EXPECT_EQ(r.Year * 10000 + r.Month * 100 + r.Day, c.y * 10000 + c.m * 100 + c.d);
        EXPECT_DOUBLE_EQ(Round(r.RA, 6), c.ra) << c.y;
        EXPECT_DOUBLE_EQ(Round(r.Dec, 6), c.dec) << c.y;
        EXPECT_DOUBLE_EQ(Round(r.B0, 2), c.b0) << c.y;
        EXPECT_DOUBLE_EQ(Round(r.L0, 2), c.l0) << c.y;
        EXPECT_DOUBLE_EQ(Round(r.P, 2), c.p) << c.y;
        EXPECT_EQ(r.DiamMinutes, c.minutes) << c.y;
        EXPECT_DOUBLE_EQ(Round(r.DiamSeconds, 1), c.seconds) << c.y;
        EXPECT_EQ(r.Rotation, c.rotation) << c.y;
    }
    EXPECT_NEAR(SunLongitude(1990, 1, 1, 0, 0, 0), 280.3077, 0.00005);
}

TEST(ComputedPath, RotationFixUpMovesTheStepOntoTheRestart) {
    DailyTable table;
    ASSERT_EQ(ComputeYearTable(2000, table), 366);
    // The computed path's worked values for 1 and 2 January 2000.
    EXPECT_DOUBLE_EQ(Round(table[0].L0, 2), 8.05);
    EXPECT_DOUBLE_EQ(Round(table[1].L0, 2), 354.88);
    EXPECT_EQ(table[0].Rotation, 1957);
    EXPECT_EQ(table[1].Rotation, 1958);
    // Throughout the year the number rises exactly on the days L0 restarts.
    for (int i = 1; i < 366; ++i) {
        const bool restart = table[i].L0 > table[i - 1].L0;
        EXPECT_EQ(table[i].Rotation - table[i - 1].Rotation, restart ? 1 : 0)
            << table[i].Month << "-" << table[i].Day;
    }
}

TEST(ComputedPath, YearLengthsAndOrder) {
    for (const int year : {1989, 1900, 2000, 2023, 2024, 2100, 2200}) {
        DailyTable table;
        const int count = ComputeYearTable(year, table);
        EXPECT_EQ(count, IsLeapYear(year) ? 366 : 365) << year;
        EXPECT_EQ(table[count - 1].Month * 100 + table[count - 1].Day, 1231) << year;
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(table[i].Year, year);
            ASSERT_GE(table[i].RA, 0.0);
            ASSERT_LT(table[i].RA, 24.0);
            ASSERT_GE(table[i].L0, 0.0);
            ASSERT_LE(table[i].L0, 360.0);
            ASSERT_LE(std::fabs(table[i].B0), 7.26); // the solar equator's tilt, 7.25 deg
        }
    }
}

TEST(ComputedPath, FixUpCases) {
    // Both days carry the same number across a restart: the later day gets the next
    // number when the restart lies nearer to it, the earlier one the previous otherwise
    // (the numbers below worked by hand from that rule).
    DailyTable t{};
    t[0].L0 = 5.0, t[0].Rotation = 2000;
    t[1].L0 = 352.0, t[1].Rotation = 2000;
    t[2].L0 = 339.0, t[2].Rotation = 2000;
    FixUpRotations(t, 3);
    EXPECT_EQ(t[0].Rotation, 1999);
    EXPECT_EQ(t[1].Rotation, 2000);
    EXPECT_EQ(t[2].Rotation, 2000);

    t[0].L0 = 10.0, t[0].Rotation = 2000;
    t[1].L0 = 357.0, t[1].Rotation = 2000;
    FixUpRotations(t, 2);
    EXPECT_EQ(t[0].Rotation, 2000);
    EXPECT_EQ(t[1].Rotation, 2001);
}

TEST(ComputedPath, EquatorialAtCardinalLongitudes) {
    // At the equinoxes and solstices the Sun's RA and Dec follow from the obliquity alone.
    const double eps = 23.441893; // the obliquity at J2000
    struct Case {
        double lambda, ra, dec;
    };
    for (const Case c : {Case{0, 0, 0}, {90, 6, eps}, {180, 12, 0}, {270, 18, -eps}}) {
        const Equatorial e = SunEquatorial(2000, 1, 1, 12, 0, 0, c.lambda);
        EXPECT_NEAR(e.RA, c.ra, 1e-9) << c.lambda;
        EXPECT_NEAR(e.Dec, c.dec, 1e-9) << c.lambda;
    }
}

} // namespace
} // namespace zorva
