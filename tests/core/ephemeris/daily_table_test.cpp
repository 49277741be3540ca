#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/year_tables.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

#include "core/ephemeris/builtin_tables.h"
#include "core/ephemeris/solar_position.h"
#include "support/test_support.h"

namespace zorva {
namespace {

const char* const kHeader = "Zorva daily solar ephemeris 2005 0h UT\n"
                            "Year Month Day RA Dec B0 L0 P Dm Ds Rot\n";

YearFileResult Read(const std::string& text, DailyTable& table) {
    std::istringstream in(text);
    return ReadYearFile(in, table);
}

// The expected records are the text's own words, read by the year file's layout.
TEST(YearFile, ReadsRecordsAfterTheHeader) {
    DailyTable table{};
    const auto r =
        Read(std::string(kHeader) + "2005 Jan 1 18.7 -23.0 -3.02 330.02 2.16 32 34.9 2024\r\n"
                                    "2005 February 2\t18.8 -22.9 -3.1 317.0 1.7 32 60.0 2024\n"
                                    "2005 oct 3 1 2 3 4 5 31 6.5 2025\n",
             table);
    EXPECT_EQ(r.count, 3);
    EXPECT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(table[0],
              (DailyRecord{2005, 1, 1, 18.7, -23.0, -3.02, 330.02, 2.16, 32, 34.9, 2024}));
    EXPECT_EQ(table[1].Month, 2); // a long month word is matched on its first three letters
    EXPECT_EQ(table[1].Day, 2);
    EXPECT_EQ(table[1].DiamSeconds, 60.0);
    EXPECT_EQ(table[2].Month, 0); // case matters: "oct" is no month
    EXPECT_EQ(table[2].Rotation, 2025);
}

TEST(YearFile, StopsCleanlyOnBadInput) {
    const std::string good = "2005 Jan 1 18.7 -23.0 -3.02 330.02 2.16 32 34.9 2024\n";
    struct Case {
        const char* what;
        std::string text;
        int count;
        bool clean; // ends without an error
    };
    const Case cases[] = {
        {"empty", "", 0, false},
        {"header only", kHeader, 0, true},
        {"short header", "Zorva daily solar", 0, false},
        {"truncated record", kHeader + good + "2005 Jan 2 18.8 -22.9", 1, false},
        {"garbage number", kHeader + good + "2005 Jan 2 18.8x -22.9 -3 317 1.7 32 35 2024\n", 1,
         false},
        {"garbage words", kHeader + std::string("the quick brown fox jumps over a lazy dog ok!\n"),
         0, false},
        {"not a number", kHeader + good + "2005 Jan 2 nan -22.9 -3 317 1.7 32 35 2024\n", 1, false},
        {"fraction for an integer", kHeader + good + "2005 Jan 2.5 1 1 1 1 1 32 35 2024\n", 1,
         false},
        {"over-long word", kHeader + good + std::string(100000, '7') + " Jan 2 1 1 1 1 1 1 1 1\n",
         1, false},
        {"over-long month",
         kHeader + good + "2005 " + std::string(5000, 'J') + " 2 1 1 1 1 1 1 1 1\n", 1, false},
        {"huge integer", kHeader + good + "99999999999999 Jan 2 1 1 1 1 1 1 1 1\n", 1, false},
    };
    for (const Case& c : cases) {
        DailyTable table{};
        const auto r = Read(c.text, table);
        EXPECT_EQ(r.count, c.count) << c.what;
        EXPECT_EQ(r.error.empty(), c.clean) << c.what << ": " << r.error;
        // Records past those counted stay as they were.
        EXPECT_EQ(table[c.count], DailyRecord{}) << c.what;
    }
}

TEST(YearFile, BinaryDataAndOverfullFiles) {
    std::string binary(kHeader);
    for (int i = 0; i < 4096; ++i)
        binary.push_back(static_cast<char>((i * 37) & 0xFF));
    DailyTable table{};
    EXPECT_EQ(Read(binary, table).count, 0);

    std::string many(kHeader);
    for (int i = 0; i < 400; ++i)
        many += "2005 Jan 1 1 1 1 1 1 32 1 2024\n";
    const auto r = Read(many, table);
    EXPECT_EQ(r.count, kDailyTableSize);
    EXPECT_FALSE(r.error.empty());
}

TEST(YearFile, WrittenTableReadsBack) {
    DailyTable computed;
    const int count = ComputeYearTable(2024, computed);
    std::ostringstream out;
    WriteYearFile(out, 2024, computed.data(), count, {4, 2});
    DailyTable table{};
    const auto r = Read(out.str(), table);
    ASSERT_EQ(r.count, count);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(table[i].Month, computed[i].Month);
        ASSERT_NEAR(table[i].RA, computed[i].RA, 5e-7);
        ASSERT_NEAR(table[i].L0, computed[i].L0, 5e-5);
        ASSERT_NEAR(table[i].DiamSeconds, computed[i].DiamSeconds, 5e-3);
        ASSERT_EQ(table[i].Rotation, computed[i].Rotation);
    }
}

TEST(LoadYearTable, SourcesInOrder) {
    test::TempDir dir;
    DailyTable table;
    // No year file: the built-in table, then the computed year.
    EXPECT_EQ(LoadYearTable(2005, table, dir.path()), 365);
    EXPECT_EQ(table[0], BuiltinYear(2005)[0]);
    EXPECT_EQ(LoadYearTable(2052, table, dir.path()), 366);
    EXPECT_EQ(table[0], ComputeDailyRecord(2052, 1, 1));
    EXPECT_EQ(table[366], DailyRecord{});

    // A year file takes precedence over the built-in table.
    test::WriteFile(dir / "zorvadata2005.txt",
                    std::string(kHeader) + "2005 Jan 1 1.5 2 3 4 5 31 6 7\n");
    EXPECT_EQ(LoadYearTable(2005, table, dir.path()), 1);
    EXPECT_EQ(table[0].RA, 1.5);
    EXPECT_EQ(table[1], DailyRecord{}); // cleared
}

// A table of two synthetic days for the interpolation rules.
struct TwoDays {
    DailyTable table{};
    TwoDays(DailyRecord a, DailyRecord b) {
        table[0] = a;
        table[1] = b;
    }
    Ephemeris At(int h, int m, int s) const {
        Ephemeris e;
        InterpolateEphemeris(table[0], table[1],
                             {table[0].Year, table[0].Month, table[0].Day, h, m, s}, e);
        return e;
    }
};

// Linear interpolation worked by hand, e.g. L0 at 12h = 8.01 + (354.84 - 360 - 8.01) / 2.
TEST(Interpolation, SeamsAndCarries) {
    // L0 restarts near 360 during 1 January 2000: the rotation follows the restart.
    const TwoDays newRotation(
        {2000, 1, 1, 18.715071, -23.071119, -2.96, 8.01, 2.38, 32, 34.9, 1957},
        {2000, 1, 2, 18.788696, -22.991819, -3.07, 354.84, 1.89, 32, 35.0, 1958});
    Ephemeris e = newRotation.At(12, 0, 0);
    EXPECT_NEAR(e.L0, 1.425, 1e-12);
    EXPECT_EQ(e.Rotation, 1957);
    EXPECT_NEAR(e.Dec, (-23.071119 + -22.991819) / 2, 1e-12);
    EXPECT_NEAR(e.DiamSeconds, 34.95, 1e-12);
    e = newRotation.At(18, 0, 0);
    EXPECT_NEAR(e.L0, 358.1325, 1e-9);
    EXPECT_EQ(e.Rotation, 1958);

    // At 0h the values are the day's own.
    e = newRotation.At(0, 0, 0);
    EXPECT_EQ(e.RA, 18.715071);
    EXPECT_EQ(e.L0, 8.01);
    EXPECT_EQ(e.P, 2.38);

    // Arcminutes carried: 31' 60.0" then 32' 0.5" give 32' 0.25" at noon.
    const TwoDays minuteUp({1990, 10, 1, 12.46, -3.0, 6.72, 325.26, 25.98, 31, 60.0, 1834},
                           {1990, 10, 2, 12.49, -3.4, 6.74, 312.1, 26.0, 32, 0.5, 1834});
    e = minuteUp.At(12, 0, 0);
    EXPECT_EQ(e.DiamMinutes, 32);
    EXPECT_NEAR(e.DiamSeconds, 0.25, 1e-12);
    e = minuteUp.At(6, 0, 0);
    EXPECT_EQ(e.DiamMinutes, 32);
    EXPECT_NEAR(e.DiamSeconds, 0.125, 1e-12);

    // ... and the other way: 32' 0.5" then 31' 59.5" give 31' 59.75" at 18h.
    const TwoDays minuteDown({2001, 4, 1, 0.7, 4.5, -6.5, 100.0, -26.0, 32, 0.5, 1975},
                             {2001, 4, 2, 0.76, 4.9, -6.47, 86.8, -26.0, 31, 59.5, 1975});
    e = minuteDown.At(18, 0, 0);
    EXPECT_EQ(e.DiamMinutes, 31);
    EXPECT_NEAR(e.DiamSeconds, 59.75, 1e-12);
    e = minuteDown.At(6, 0, 0);
    EXPECT_EQ(e.DiamMinutes, 32);
    EXPECT_NEAR(e.DiamSeconds, 0.25, 1e-12);

    // The 24 h seam of RA.
    const TwoDays raSeam({2001, 3, 20, 23.98, -0.2, -7.1, 50, -24, 32, 10, 1975},
                         {2001, 3, 21, 0.04, 0.2, -7.1, 37, -24, 32, 9, 1975});
    EXPECT_NEAR(raSeam.At(6, 0, 0).RA, 23.995, 1e-12);
    EXPECT_NEAR(raSeam.At(18, 0, 0).RA, 0.025, 1e-12);
}

// The last built-in year: its 31 December looks into the first computed day after it.
TEST(Interpolation, LastDayOfTheYearLooksIntoTheNext) {
    test::TempDir dir;
    const int year = kLastBuiltinYear;
    YearTables tables(dir.path());
    ASSERT_EQ(tables.Load(year).count, 365);
    const Ephemeris e = tables.At({year, 12, 31, 6, 0, 0}, Observer{});
    const DailyRecord a = BuiltinYear(year)[364];
    const DailyRecord b = ComputeDailyRecord(year + 1, 1, 1);
    EXPECT_NEAR(e.RA, a.RA + (b.RA - a.RA) * 0.25, 1e-12);
    EXPECT_NEAR(e.B0, a.B0 + (b.B0 - a.B0) * 0.25, 1e-12);

    // A year file of the next year is used for the look-ahead.
    test::WriteFile(dir / "zorvadata2051.txt",
                    std::string(kHeader) + "2051 Jan 1 18.9 -23.0 -3.0 51.0 2.2 32 35.0 2641\n");
    YearTables withNext(dir.path());
    withNext.LoadFor({year, 12, 31, 12, 0, 0});
    const Ephemeris withFile = withNext.At({year, 12, 31, 12, 0, 0}, Observer{});
    EXPECT_NEAR(withFile.RA, (a.RA + 18.9) / 2, 1e-12);
}

// The built-in tables give almanac-grade L0 for recent instants, where the computed path
// is some 0.08 deg off. 2026-12-07 12h: 124.30 deg, an almanac-grade value worked outside
// this program. The SDO/HMI keywords (CRLN_OBS of the real reference file, at the
// exposure's mid-time in UTC) agree with the geocentric value within about 0.01 deg; the
// tables add up to 0.005 of rounding.
TEST(Interpolation, BuiltinTablesGiveAlmanacGradeL0) {
    struct Case {
        Instant t;
        double l0, tolerance;
    };
    const Case cases[] = {
        {{2026, 12, 7, 12, 0, 0}, 124.30, 0.01},
        {{2023, 1, 31, 3, 39, 46}, 327.91937, 0.02},
        {{2024, 5, 8, 16, 54, 35}, 330.716064, 0.02},
    };
    YearTables tables(std::nullopt);
    for (const Case& c : cases) {
        EXPECT_NEAR(tables.At(c.t, Observer{}).L0, c.l0, c.tolerance) << c.t.year;
    }
}

TEST(Interpolation, MissingDaysFallBackToTheComputedPath) {
    test::TempDir dir;
    DailyTable computed;
    ComputeYearTable(2030, computed);
    // A year file that holds only 1 and 3 March.
    test::WriteFile(dir / "zorvadata2030.txt", std::string(kHeader) +
                                                   "2030 Mar 1 22.8 -7.5 -7.2 100 -21 32 20 2290\n"
                                                   "2030 Mar 3 22.9 -6.8 -7.2 74 -21 32 19 2290\n");
    YearTables tables(dir.path());
    ASSERT_EQ(tables.Load(2030).count, 2);
    // The file ends on the requested day, and the next record is no neighbour: the
    // computed day after stands in.
    EXPECT_NEAR(tables.At({2030, 3, 3, 12, 0, 0}, {}).RA, (22.9 + computed[62].RA) / 2, 1e-12);
    EXPECT_NEAR(tables.At({2030, 3, 1, 12, 0, 0}, {}).RA, (22.8 + computed[60].RA) / 2, 1e-12);
    // A day the file lacks comes wholly from the computed year.
    const Ephemeris lacking = tables.At({2030, 3, 2, 0, 0, 0}, {});
    EXPECT_EQ(lacking.RA, computed[60].RA);
    EXPECT_EQ(lacking.Rotation, computed[60].Rotation);
    // A year file of no records gives the computed values too, never zeros.
    test::TempDir empty;
    test::WriteFile(empty / "zorvadata2030.txt", kHeader);
    YearTables none(empty.path());
    none.LoadFor({2030, 3, 1, 0, 0, 0});
    EXPECT_EQ(none.At({2030, 3, 1, 0, 0, 0}, {}).RA, computed[59].RA);
}

} // namespace
} // namespace zorva
