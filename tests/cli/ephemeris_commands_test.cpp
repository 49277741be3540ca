#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

#include "cli/cli.h"
#include "core/ephemeris/builtin_tables.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "run_cli.h"
#include "support/test_support.h"

namespace zorva {
namespace {

using test::RunCli;
using Result = test::CliResult;

using test::Lines;

TEST(CliYear, PrintsTheTableTheProgramWouldUse) {
    test::TempDir dir;
    test::ScopedCurrentDir cd(dir.path());
    const Result r = RunCli({"year", "2005"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u + 365u);
    EXPECT_EQ(lines[2].substr(0, 12), "2005 Jan  1 ");

    // What it prints reads back as the same table, to the decimals printed.
    std::istringstream in(r.out);
    DailyTable table{};
    const auto read = ReadYearFile(in, table);
    ASSERT_EQ(read.count, 365);
    EXPECT_TRUE(read.error.empty());
    const auto builtin = BuiltinYear(2005);
    for (int i = 0; i < 365; ++i) {
        ASSERT_EQ(table[i], builtin[i]) << i; // built-in values have exactly these decimals
    }

    // A year file in the working folder comes first, as in the window.
    test::WriteFile(dir / "zorvadata2005.txt",
                    "a b c d e f g\nh i j k l m n o p q r\n2005 Jan 1 1.5 2 3 4 5 31 6 7\n");
    const auto fromFile = Lines(RunCli({"year", "2005"}).out);
    ASSERT_EQ(fromFile.size(), 3u);
    // The file's values in the year file's printed columns.
    EXPECT_EQ(fromFile[2], "2005 Jan  1   1.500000   2.000000   3.00    4.00   5.00 31  6.0 7");
}

TEST(CliYear, AccurateTableCarriesMoreDecimals) {
    const Result r = RunCli({"year", "2026", "--accurate"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u + 365u);
    std::istringstream words(lines[2]);
    std::vector<std::string> w;
    for (std::string s; words >> s;)
        w.push_back(s);
    ASSERT_EQ(w.size(), 11u);
    EXPECT_EQ(w[5].size() - w[5].find('.') - 1, 4u); // B0
    EXPECT_EQ(w[6].size() - w[6].find('.') - 1, 4u); // L0
    EXPECT_EQ(w[9].size() - w[9].find('.') - 1, 2u); // seconds
}

TEST(CliAt, PrintsTheWindowsEphemeris) {
    test::TempDir dir;
    test::ScopedCurrentDir cd(dir.path());
    const Result r = RunCli({"at", "2000-01-01T18:00:00", "--lat", "-33.9", "--long", "270"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    const char* names[] = {"RA",
                           "Dec",
                           "B0",
                           "L0",
                           "P",
                           "DiamMinutes",
                           "DiamSeconds",
                           "Rotation",
                           "Altitude",
                           "Azimuth",
                           "ParallacticAngle"};
    ASSERT_EQ(lines.size(), std::size(names));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, lines[i].find(' ')), names[i]);
    }

    const Ephemeris e = YearTables(std::nullopt).At({2000, 1, 1, 18, 0, 0}, {-33.9, -90});
    // Fifteen significant digits: within half a unit of the fifteenth digit.
    EXPECT_NEAR(zorva::test::Number(lines[3].substr(3)), e.L0, 5e-15 * std::abs(e.L0));
    EXPECT_NEAR(zorva::test::Number(lines[8].substr(9)), e.Altitude, 5e-15 * std::abs(e.Altitude));
    EXPECT_EQ(lines[7], "Rotation " + std::to_string(e.Rotation));
}

// An almanac-grade ephemeris worked outside this program gives L0 = 124.30 deg for
// 2026-12-07 12h UT; the built-in tables must too.
TEST(CliAt, AlmanacGradeL0Today) {
    test::TempDir dir;
    test::ScopedCurrentDir cd(dir.path());
    const Result r = RunCli({"at", "2026-12-07T12:00:00"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_GT(lines.size(), 3u);
    ASSERT_EQ(lines[3].substr(0, 3), "L0 ");
    EXPECT_NEAR(zorva::test::Number(lines[3].substr(3)), 124.30, 0.01);
}

TEST(Cli, WrongArgumentsGiveOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"moon"},
        {"year"},
        {"year", "twenty"},
        {"year", "2026", "--fast"},
        {"year", "1700", "--accurate"},
        {"at", "2026-13-01T12:00:00"},
        {"at", "2026-02-30T12:00:00"},
        {"at", "2026-02-03T24:00:00"},
        {"at", "2026-02-03 12:00:00"},
        {"at", "2026-02-03T12"},
        {"at", "2026-02-03T12:00:00", "--lat", "91"},
        {"at", "2026-02-03T12:00:00", "--long", "361"},
        {"at", "2026-02-03T12:00:00", "--lat"},
        {"at", "2026-02-03T12:00:00", "--lat", "5x"},
        {"at", "2026-02-03T12:00:00", "--height", "5"},
    };
    for (const auto& args : cases) {
        const Result r = RunCli(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.status, cli::kUsageError) << joined;
        EXPECT_TRUE(r.out.empty()) << joined;
        EXPECT_EQ(Lines(r.err).size(), 1u) << joined << ": " << r.err;
    }
}

} // namespace
} // namespace zorva
