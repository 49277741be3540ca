// Year files with values no daily solar ephemeris holds, and files that are no text at all.
#include <gtest/gtest.h>
#include <sstream>

#include "core/ephemeris/builtin_tables.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/solar_position.h"
#include "core/ephemeris/year_tables.h"
#include "core/readouts/readouts.h"
#include "support/test_support.h"

namespace zorva {
namespace {

const std::string kHeader = "Zorva daily solar ephemeris 2026 0h UT\n"
                            "Year Month Day RA Dec B0 L0 P Dm Ds Rot\n";
// Two honest days of 2026 (those of `zorva-cli year 2026`).
const std::string kDay1 = "2026 Jan 1 18.768173 -23.015757 -3.00 299.18 2.05 32 35.0 2306\n";
const std::string kDay2 = "2026 Jan 2 18.841723 -22.930949 -3.11 286.01 1.56 32 35.0 2306\n";

// The words of kDay2 with one replaced (0-based word index).
std::string Day2With(int word, const std::string& value) {
    std::istringstream in(kDay2);
    std::string out, w;
    for (int i = 0; in >> w; ++i)
        out += (i == word ? value : w) + " ";
    return out + "\n";
}

// Each value just past what a daily ephemeris can hold: RA 0..24 h, |Dec| 24, |B0| 7.5,
// L0 0..360, |P| 27 degrees, a diameter of 31' to 33', the day before's rotation or one more.
TEST(YearFileChecks, OutOfRangeValuesStopTheReader) {
    struct Case {
        int word;
        const char* value;
        const char* named; // what the error names
    };
    const Case cases[] = {
        {3, "24.5", "RA"},
        {3, "87", "RA"},
        {3, "-0.01", "RA"},
        {4, "24.1", "Dec"},
        {4, "-30", "Dec"},
        {5, "7.6", "B0"},
        {5, "-1e308", "B0"},
        {6, "360.01", "L0"},
        {6, "-1e308", "L0"},
        {7, "27.5", "P"},
        {7, "1e308", "P"},
        {8, "30", "diameter"},
        {8, "33", "diameter"},
        {8, "2147483647", "diameter"},
        {9, "-1", "diameter"},
        {9, "61", "diameter"},
        {10, "2147483647", "rotation"},
        {10, "2308", "rotation"},
        {10, "2305", "rotation"},
    };
    for (const Case& c : cases) {
        DailyTable table{};
        std::istringstream in(kHeader + kDay1 + Day2With(c.word, c.value));
        const YearFileResult r = ReadYearFile(in, table);
        EXPECT_EQ(r.count, 1) << c.named << " " << c.value;
        EXPECT_NE(r.error.find("line 4: "), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.named), std::string::npos) << r.error;
        EXPECT_EQ(table[1], DailyRecord{}) << c.named << " " << c.value;
    }
    // The edges themselves are values a table can hold: 60.0 seconds and a new rotation.
    DailyTable table{};
    std::istringstream edges(kHeader + kDay1 + Day2With(9, "60.0") + Day2With(10, "2307"));
    EXPECT_EQ(ReadYearFile(edges, table).count, 3);
}

TEST(YearFileChecks, FilesThatAreNoTextAreNamed) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* said;
    };
    std::string utf16 = "\xFF\xFE";
    for (const char c : kHeader + kDay1)
        utf16 += std::string{c, '\0'};
    std::string noMark;
    for (const char c : kHeader + kDay1)
        noMark += std::string{c, '\0'};
    const Case cases[] = {
        {"empty", "", "is empty"},
        {"blank", " \n\r\n\t", "is empty"},
        {"UTF-16 with its mark", utf16, "UTF-16"},
        {"UTF-16 without a mark", noMark, "line 1: binary data"},
        {"binary after the header", kHeader + std::string("2026 Jan 1 18\x01\x02 1 1"),
         "line 3: binary data"},
    };
    for (const Case& c : cases) {
        DailyTable table{};
        std::istringstream in(c.bytes);
        const YearFileResult r = ReadYearFile(in, table);
        EXPECT_EQ(r.count, 0) << c.what;
        EXPECT_NE(r.error.find(c.said), std::string::npos) << c.what << ": " << r.error;
    }
}

TEST(YearFileChecks, LoadReportsTheSourceAndTheError) {
    test::TempDir dir;
    DailyTable table;
    YearTableSource source;
    EXPECT_EQ(LoadYearTable(2005, table, dir.path(), &source), 365);
    EXPECT_EQ(YearTableSourceText(source), "built-in table");
    EXPECT_EQ(LoadYearTable(2070, table, dir.path(), &source), 365);
    EXPECT_EQ(YearTableSourceText(source), "computed");

    // A file that ends cleanly before the year does is named like a damaged one (it once
    // passed in silence, the computed path filling the rest), with the days it held.
    test::WriteFile(dir / "zorvadata2026.txt", kHeader + kDay1 + kDay2);
    EXPECT_EQ(LoadYearTable(2026, table, dir.path(), &source), 2);
    EXPECT_EQ(YearTableSourceText(source),
              "year file zorvadata2026.txt; zorvadata2026.txt ends after 2 of the year's 365 days");
    // A whole year, leap or not, is no cause for a word.
    for (const int32_t year : {2026, 2028}) {
        DailyTable whole;
        const int32_t days = ComputeYearTable(year, whole);
        std::ostringstream text;
        WriteYearFile(text, year, whole.data(), days);
        test::WriteFile(dir / YearFileName(year), text.str());
        EXPECT_EQ(LoadYearTable(year, table, dir.path(), &source), year == 2028 ? 366 : 365);
        EXPECT_EQ(source.error, "") << year;
    }

    test::WriteFile(dir / "zorvadata2026.txt", kHeader + kDay1 + Day2With(7, "1e308"));
    EXPECT_EQ(LoadYearTable(2026, table, dir.path(), &source), 1);
    EXPECT_EQ(source.origin, YearTableOrigin::YearFile);
    EXPECT_EQ(YearTableSourceText(source),
              "year file zorvadata2026.txt; zorvadata2026.txt line 4: P 1e308 outside "
              "-27..27 degrees");

    test::WriteFile(dir / "zorvadata2026.txt", "");
    EXPECT_EQ(LoadYearTable(2026, table, dir.path(), &source), 0);
    EXPECT_EQ(source.error, "zorvadata2026.txt is empty");

    // A folder of that name is no year file: the built-in table serves, with a word.
    std::filesystem::create_directory(dir / "zorvadata2005.txt");
    EXPECT_EQ(LoadYearTable(2005, table, dir.path(), &source), 365);
    EXPECT_EQ(table[0], BuiltinYear(2005)[0]);
    EXPECT_EQ(YearTableSourceText(source),
              "built-in table; zorvadata2005.txt is a folder, not a year file");
}

// The values of a refused record never reach the readouts: the day comes from the computed
// path instead.
TEST(YearFileChecks, RefusedValuesNeverReachTheReadouts) {
    test::TempDir dir;
    const std::string wild[] = {
        Day2With(3, "87"),
        Day2With(5, "1e308") + Day2With(6, "-1e308"),
        Day2With(7, "1e308"),
        Day2With(10, "2147483647"),
    };
    DailyTable computed;
    ComputeYearTable(2026, computed);
    for (const std::string& day2 : wild) {
        test::WriteFile(dir / "zorvadata2026.txt", kHeader + kDay1 + day2);
        YearTables tables(dir.path());
        tables.LoadFor({2026, 1, 2, 12, 0, 0});
        const Ephemeris e = tables.At({2026, 1, 2, 12, 0, 0}, {51.5, 0.5});
        EXPECT_NEAR(e.RA, (computed[1].RA + computed[2].RA) / 2, 1e-9) << day2;
        EXPECT_EQ(e.Rotation, computed[1].Rotation) << day2;
        const auto position = PositionReadoutTexts(e, {}, Orientation::AltAzimuth);
        const auto parameters = SolarParameterTexts(e, {});
        for (const std::string& text :
             {position.RALabel.text, position.AltLabel.text, parameters.B0Label.text,
              parameters.PLabel.text, parameters.CRLabel}) {
            EXPECT_EQ(text.find("nan"), std::string::npos) << text;
            EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        }
        EXPECT_EQ(position.RALabel.text.substr(0, 3), "18h") << day2;
    }
}

} // namespace
} // namespace zorva
