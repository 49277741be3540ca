#include "core/logfile/logfile.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "support/test_support.h"

namespace zorva {
namespace {

LogfileInputs SampleInputs() {
    LogfileInputs in;
    in.instant = {2005, 5, 12, 9, 3, 7};
    Ephemeris& e = in.ephemeris;
    e.RA = 3.2345678;
    e.Dec = 18.123456;
    e.Altitude = 45.678;
    e.Azimuth = 123.456;
    e.ParallacticAngle = -34.567;
    e.B0 = -3.456;
    e.L0 = 234.567;
    e.P = -21.234;
    e.DiamMinutes = 31;
    e.DiamSeconds = 42.3;
    e.Rotation = 2029;
    in.ChartDiameter = 150;
    in.spot.SpotX = -12.34;
    in.spot.SpotY = 56.78;
    in.spot.SpotSize = 12;
    in.spot.At.emplace();
    in.spot.At->latitude = -15.43;
    in.spot.At->longitude = 123.45;
    in.spot.SpotArea = 345.6;
    in.spot.At->rotation = 2030;
    in.observer = {51.5, -0.123};
    in.separation.SepShown = 12.34;
    in.separation.SepKm = 123456.7;
    in.separation.At1.emplace();
    in.separation.At1->lat = -15.2;
    in.separation.At1->lon = 123.4;
    in.separation.At2.emplace();
    in.separation.At2->lat = 5.6;
    in.separation.At2->lon = 7.4;
    return in;
}

// The 34 field texts of SampleInputs, worked out by hand from the column rules.
std::vector<std::string> SampleFields() {
    return {"2005",     " 5",        "12",     " 9",     " 3",       " 7",      "2005.35993744",
            " 3.23457", " 18.12346", " 45.68", "123.46", "-34.57",   "-3.46",   "234.57",
            "-21.23",   "31.705",    "2029",   "NE",     " 150.000", " -12.34", "  56.78",
            "  12.000", " -15.4",    " 123.5", "   346", "2030",     " 51.500", "  -0.123",
            " 12.3",    " 123457",   " -15",   " 123",   "   6",     "   7"};
}

constexpr std::size_t kSpAng = 28; // index of the first separation field

std::string Join(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += i == kSpAng ? "  " : " ";
        line += fields[i];
    }
    return line;
}

// The logfile layout's own header line, 34 column names in 220 characters.
TEST(LogfileHeader, TheColumnHeaderLine) {
    const std::string& h = LogfileHeader();
    EXPECT_EQ(h.size(), 220u);
    EXPECT_EQ(h, "YYYY MM DD HH MM SS      Date        RA        Dec     Alt    Azi     PA    B0 "
                 "   L0      P   SDiam   CR  DO    DDiam     X       Y      Size    SLat   SLon  "
                 " Area  SCR   OLat    OLong   SpAng SepDist S1La S1Lo S2La S2Lo");
    std::istringstream words(h);
    int n = 0;
    for (std::string w; words >> w;)
        ++n;
    EXPECT_EQ(n, 34);
}

TEST(LogfileLine, SampleLineByteForByte) {
    const std::string line = LogfileLine(SampleInputs());
    EXPECT_EQ(line, "2005  5 12  9  3  7 2005.35993744  3.23457  18.12346  45.68 123.46 -34.57 "
                    "-3.46 234.57 -21.23 31.705 2029 NE  150.000  -12.34   56.78   12.000  -15.4 "
                    " 123.5    346 2030  51.500   -0.123   12.3  123457  -15  123    6    7");
    EXPECT_EQ(line, Join(SampleFields()));
    // Values of the usual sizes fill the header's width exactly.
    EXPECT_EQ(line.size(), LogfileHeader().size());
}

// Each text by its column's rounding and padding rule.
TEST(LogfileLine, RoundingAndPrefixRules) {
    struct Case {
        const char* what;
        std::function<void(LogfileInputs&)> set;
        std::size_t field;
        const char* text;
    };
    const Case cases[] = {
        {"dec -5.123456", [](LogfileInputs& in) { in.ephemeris.Dec = -5.123456; }, 8, " -5.12346"},
        {"dec 5.123456", [](LogfileInputs& in) { in.ephemeris.Dec = 5.123456; }, 8, "  5.12346"},
        {"dec 23.4", [](LogfileInputs& in) { in.ephemeris.Dec = 23.4; }, 8, " 23.40000"},
        {"dec -23.4", [](LogfileInputs& in) { in.ephemeris.Dec = -23.4; }, 8, "-23.40000"},
        {"ra 9.999996", [](LogfileInputs& in) { in.ephemeris.RA = 9.999996; }, 7, "10.00000"},
        {"alt -9.996", [](LogfileInputs& in) { in.ephemeris.Altitude = -9.996; }, 9, "-10.00"},
        {"alt -0.001", [](LogfileInputs& in) { in.ephemeris.Altitude = -0.001; }, 9, "  0.00"},
        {"azi 9.996", [](LogfileInputs& in) { in.ephemeris.Azimuth = 9.996; }, 10, " 10.00"},
        {"azi 9.994", [](LogfileInputs& in) { in.ephemeris.Azimuth = 9.994; }, 10, "  9.99"},
        {"azi 99.996", [](LogfileInputs& in) { in.ephemeris.Azimuth = 99.996; }, 10, "100.00"},
        {"pa 3", [](LogfileInputs& in) { in.ephemeris.ParallacticAngle = 3; }, 11, "  3.00"},
        {"b0 0", [](LogfileInputs& in) { in.ephemeris.B0 = 0; }, 12, " 0.00"},
        {"b0 -0.004", [](LogfileInputs& in) { in.ephemeris.B0 = -0.004; }, 12, " 0.00"},
        {"l0 5.5", [](LogfileInputs& in) { in.ephemeris.L0 = 5.5; }, 13, "  5.50"},
        {"l0 359.999", [](LogfileInputs& in) { in.ephemeris.L0 = 359.999; }, 13, "360.00"},
        {"p 21.234", [](LogfileInputs& in) { in.ephemeris.P = 21.234; }, 14, " 21.23"},
        {"diameter 31' 0\"", [](LogfileInputs& in) { in.ephemeris.DiamSeconds = 0; }, 15, "31.000"},
        {"4 in chart", [](LogfileInputs& in) { in.ChartDiameter = 101.6; }, 18, " 101.600"},
        {"1000 mm chart", [](LogfileInputs& in) { in.ChartDiameter = 1000; }, 18, "1000.000"},
        {"75 mm chart", [](LogfileInputs& in) { in.ChartDiameter = 75; }, 18, "  75.000"},
        {"9.5 mm chart", [](LogfileInputs& in) { in.ChartDiameter = 9.5; }, 18, "   9.500"},
        {"x 0", [](LogfileInputs& in) { in.spot.SpotX = 0; }, 19, "   0.00"},
        {"x 9.999", [](LogfileInputs& in) { in.spot.SpotX = 9.999; }, 19, "  10.00"},
        {"x -9.994", [](LogfileInputs& in) { in.spot.SpotX = -9.994; }, 19, "  -9.99"},
        {"x -99.996", [](LogfileInputs& in) { in.spot.SpotX = -99.996; }, 19, "-100.00"},
        {"y 123.4", [](LogfileInputs& in) { in.spot.SpotY = 123.4; }, 20, " 123.40"},
        {"inch cells",
         [](LogfileInputs& in) {
             in.spot.SpotSize = 2.5;
             in.spot.GridCellArea = InchGridCellArea;
         },
         21, "   2.581"},
        {"lat 5.04", [](LogfileInputs& in) { in.spot.At->latitude = 5.04; }, 22, "   5.0"},
        {"lat 10.04", [](LogfileInputs& in) { in.spot.At->latitude = 10.04; }, 22, "  10.0"},
        {"lat -5.04", [](LogfileInputs& in) { in.spot.At->latitude = -5.04; }, 22, "  -5.0"},
        {"lat -9.96", [](LogfileInputs& in) { in.spot.At->latitude = -9.96; }, 22, " -10.0"},
        {"long 9.96", [](LogfileInputs& in) { in.spot.At->longitude = 9.96; }, 23, "  10.0"},
        {"long 5", [](LogfileInputs& in) { in.spot.At->longitude = 5; }, 23, "   5.0"},
        {"long 359.96", [](LogfileInputs& in) { in.spot.At->longitude = 359.96; }, 23, " 360.0"},
        {"area 4.4", [](LogfileInputs& in) { in.spot.SpotArea = 4.4; }, 24, "     4"},
        {"area 99.5", [](LogfileInputs& in) { in.spot.SpotArea = 99.5; }, 24, "   100"},
        {"area 12345", [](LogfileInputs& in) { in.spot.SpotArea = 12345; }, 24, " 12345"},
        {"area 123456", [](LogfileInputs& in) { in.spot.SpotArea = 123456; }, 24, "123456"},
        // Too wide for the column even without decimals: the line keeps its length.
        {"area 1234567", [](LogfileInputs& in) { in.spot.SpotArea = 1234567; }, 24, "******"},
        // "-150.00" is one character too wide: a decimal goes instead.
        {"pa -150.004", [](LogfileInputs& in) { in.ephemeris.ParallacticAngle = -150.004; }, 11,
         "-150.0"},
        {"chart 1e308", [](LogfileInputs& in) { in.ChartDiameter = 1e308; }, 18, "********"},
        {"area inf", [](LogfileInputs& in) { in.spot.SpotArea = INFINITY; }, 24, "******"},
        {"rotation 123456", [](LogfileInputs& in) { in.ephemeris.Rotation = 123456; }, 16, "****"},
        {"observer south", [](LogfileInputs& in) { in.observer.latitude = -33.8764; }, 26,
         "-33.876"},
        {"observer 5 north", [](LogfileInputs& in) { in.observer.latitude = 5; }, 26, "  5.000"},
        {"observer east", [](LogfileInputs& in) { in.observer.longitude = 151.2093; }, 27,
         " 151.209"},
        {"observer west", [](LogfileInputs& in) { in.observer.longitude = -122.4194; }, 27,
         "-122.419"},
        {"observer 12 west", [](LogfileInputs& in) { in.observer.longitude = -12; }, 27,
         " -12.000"},
        {"sep 5", [](LogfileInputs& in) { in.separation.SepShown = 5; }, 28, "  5.0"},
        {"sep 123.46", [](LogfileInputs& in) { in.separation.SepShown = 123.46; }, 28, "123.5"},
        // As wide as any other distance: a short one no longer narrows the line.
        {"sep 0 km", [](LogfileInputs& in) { in.separation.SepKm = 0; }, 29, "      0"},
        {"sep 999.5 km", [](LogfileInputs& in) { in.separation.SepKm = 999.5; }, 29, "   1000"},
        {"sep 12345 km", [](LogfileInputs& in) { in.separation.SepKm = 12345; }, 29, "  12345"},
        {"point 1 lat 9.4", [](LogfileInputs& in) { in.separation.At1->lat = 9.4; }, 30, "   9"},
        {"point 1 lat -9.4", [](LogfileInputs& in) { in.separation.At1->lat = -9.4; }, 30, "  -9"},
        {"point 1 lat -9.6", [](LogfileInputs& in) { in.separation.At1->lat = -9.6; }, 30, " -10"},
        {"point 2 lat 45", [](LogfileInputs& in) { in.separation.At2->lat = 45; }, 32, "  45"},
        {"point 2 long 45", [](LogfileInputs& in) { in.separation.At2->lon = 45; }, 33, "  45"},
    };
    for (const Case& c : cases) {
        LogfileInputs in = SampleInputs();
        c.set(in);
        std::vector<std::string> fields = SampleFields();
        fields[c.field] = c.text;
        EXPECT_EQ(LogfileLine(in), Join(fields)) << c.what;
    }
}

TEST(LogfileLine, EveryLineKeepsTheHeaderLengthWhateverTheNumbers) {
    const double absurd[] = {INFINITY, -INFINITY, NAN, 1e308, -1e308, 1e-300, -4e9, 123456.789};
    for (const double v : absurd) {
        SCOPED_TRACE(v);
        LogfileInputs in = SampleInputs();
        for (double* x : {&in.ephemeris.RA,
                          &in.ephemeris.Dec,
                          &in.ephemeris.Altitude,
                          &in.ephemeris.Azimuth,
                          &in.ephemeris.ParallacticAngle,
                          &in.ephemeris.B0,
                          &in.ephemeris.L0,
                          &in.ephemeris.P,
                          &in.ephemeris.DiamSeconds,
                          &in.ChartDiameter,
                          &in.spot.SpotX,
                          &in.spot.SpotY,
                          &in.spot.SpotSize,
                          &in.spot.At->latitude,
                          &in.spot.At->longitude,
                          &in.spot.SpotArea,
                          &in.observer.latitude,
                          &in.observer.longitude,
                          &*in.separation.SepShown,
                          &*in.separation.SepKm,
                          &in.separation.At1->lat,
                          &in.separation.At1->lon,
                          &in.separation.At2->lat,
                          &in.separation.At2->lon})
            *x = v;
        const int32_t whole =
            std::isfinite(v) && std::fabs(v) < 2e9 ? static_cast<int32_t>(v) : INT32_MIN;
        in.instant = {whole, whole, whole, whole, whole, whole};
        in.ephemeris.DiamMinutes = whole;
        in.ephemeris.Rotation = whole;
        in.spot.At->rotation = whole;
        const std::string line = LogfileLine(in);
        EXPECT_EQ(line.size(), LogfileHeader().size()) << line;
        EXPECT_EQ(line.find("inf"), std::string::npos) << line;
        EXPECT_EQ(line.find("nan"), std::string::npos) << line;
        // Each field right-aligned in its column, as wide as in the sample line.
        std::size_t at = 0;
        for (std::size_t i = 0; i < SampleFields().size(); ++i) {
            at += i == 0 ? 0 : i == kSpAng ? 2 : 1;
            const std::size_t width = SampleFields()[i].size();
            const std::string text = line.substr(at, width);
            if (i > 0) {
                EXPECT_EQ(line[at - 1], ' ') << "before field " << i << ": " << line;
            }
            const std::size_t first = text.find_first_not_of(' ');
            EXPECT_EQ(text.find(' ', first), std::string::npos) << "field " << i << ": " << line;
            at += width;
        }
    }
}

// The layout's code: N or S from the flip, E or W from the mirror.
TEST(LogfileLine, OrientationCodes) {
    const struct {
        int32_t flip, mirror;
        const char* code;
    } cases[] = {{1, 1, "NE"}, {1, -1, "NW"}, {-1, 1, "SE"}, {-1, -1, "SW"}};
    for (const auto& c : cases) {
        LogfileInputs in = SampleInputs();
        in.FlipSign = c.flip;
        in.MirrorSign = c.mirror;
        std::vector<std::string> fields = SampleFields();
        fields[17] = c.code;
        EXPECT_EQ(LogfileLine(in), Join(fields)) << c.code;
    }
}

TEST(LogfileLine, UnsetSeparationWritesZeros) {
    LogfileInputs in = SampleInputs();
    in.separation = SeparationState{};
    const std::vector<std::string> fields0 = SampleFields();
    const std::string upToObserver =
        Join(std::vector<std::string>(fields0.begin(), fields0.begin() + kSpAng));
    EXPECT_EQ(LogfileLine(in),
              upToObserver + "  " + "  0.0" + " " + "      0" + "    0    0    0    0");

    // One point off the disk: only its pair is written as zeros.
    in = SampleInputs();
    in.separation.At1.reset();
    std::vector<std::string> fields = SampleFields();
    fields[30] = fields[31] = "   0";
    EXPECT_EQ(LogfileLine(in), Join(fields));
}

TEST(DecimalYear, FractionOfTheYearGoneBy) {
    EXPECT_DOUBLE_EQ(DecimalYear({2005, 1, 1, 0, 0, 0}), 2005.0);
    EXPECT_NEAR(DecimalYear({2001, 7, 2, 12, 0, 0}), 2001.5, 1e-9);
    EXPECT_NEAR(DecimalYear({2004, 12, 31, 12, 0, 0}), 2004 + 365.5 / 366, 1e-9);
    EXPECT_NEAR(DecimalYear({2000, 3, 1, 0, 0, 0}), 2000 + 60.0 / 366, 1e-9);
}

class LogfileFiles : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(LogfileFiles, NewLogfileHoldsTheHeaderAndReplacesOldContent) {
    const auto path = dir / DefaultLogfileName;
    test::WriteFile(path, "old measurements\nmore\n");
    const LogfileResult r = CreateLogfile(path);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(test::ReadFile(path), LogfileHeader() + "\n");
}

TEST_F(LogfileFiles, LinesAreAppendedAfterTheHeader) {
    const auto path = dir / "log.txt";
    ASSERT_TRUE(CreateLogfile(path).ok);
    const std::string a = LogfileLine(SampleInputs());
    LogfileInputs other = SampleInputs();
    other.instant.second = 8;
    const std::string b = LogfileLine(other);
    ASSERT_TRUE(AppendToLogfile(path, a).ok);
    // Success means the line is on the disk already: another reader sees it.
    EXPECT_EQ(test::ReadFile(path), LogfileHeader() + "\n" + a + "\n");
    ASSERT_TRUE(AppendToLogfile(path, b).ok);
    EXPECT_EQ(test::ReadFile(path), LogfileHeader() + "\n" + a + "\n" + b + "\n");

    // Appending to a file that has gone creates it.
    const auto fresh = dir / "fresh.txt";
    ASSERT_TRUE(AppendToLogfile(fresh, a).ok);
    EXPECT_EQ(test::ReadFile(fresh), a + "\n");
}

// An append stopped by a kill or a power cut leaves the start of its line and zeros to the
// line's end; the next append cuts that off, and ends any other last line that lacks its
// break, wherever the file ends.
TEST_F(LogfileFiles, PartOfALineWithoutItsBreakIsCutOffOrEnded) {
    const std::string header = LogfileHeader() + "\n";
    const std::string line = LogfileLine(SampleInputs());
    const std::string whole = line + "\n";
    // Whole lines, then the start of one more that ends on a page boundary.
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::string lines = header;
    std::string part;
    for (std::size_t end = page; part.empty() || part.size() >= line.size(); end += page) {
        while (lines.size() + whole.size() <= end)
            lines += whole;
        part = line.substr(0, end - lines.size());
    }
    ASSERT_EQ((lines.size() + part.size()) % page, 0U);
    const std::string zeros(whole.size() - part.size(), '\0');
    const std::string longNote(line.size() + 5, 'n');
    const struct {
        std::string before;
        std::string after;
    } cases[] = {
        {lines + part + zeros, lines + whole},
        {header + std::string(whole.size(), '\0'), header + whole},
        // A note of the user's without its line break stays, even where the file ends on a
        // page boundary and the note looks like the start of a line.
        {lines + part, lines + part + "\n" + whole},
        {header + "seeing poor", header + "seeing poor\n" + whole},
        {header + line, header + whole + whole},
        {header + longNote, header + longNote + "\n" + whole},
        {header + whole, header + whole + whole},
        // Zeros in the note itself: not an unfinished append.
        {header + std::string("a\0b\0", 4), header + std::string("a\0b\0\n", 5) + whole},
    };
    const auto path = dir / DefaultLogfileName;
    for (const auto& c : cases) {
        test::WriteFile(path, c.before);
        ASSERT_TRUE(AppendToLogfile(path, line).ok);
        EXPECT_EQ(test::ReadFile(path), c.after) << c.before;
    }
}

TEST_F(LogfileFiles, UnwritableLogfileIsReported) {
    const std::string line = LogfileLine(SampleInputs());
    const auto missing = dir / "no such folder" / "log.txt";
    for (const LogfileResult& r : {CreateLogfile(missing), AppendToLogfile(missing, line)}) {
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("no such folder"), std::string::npos) << r.error;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A folder where the file should be.
    const LogfileResult folder = AppendToLogfile(dir.path(), line);
    EXPECT_FALSE(folder.ok);
    EXPECT_FALSE(folder.error.empty());
}

TEST_F(LogfileFiles, ADeviceIsNoLogfile) {
    // The device that is always full would take the bytes and fail only at the flush; it
    // is refused before anything is written.
    const LogfileResult r = AppendToLogfile("/dev/full", LogfileLine(SampleInputs()));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("a device, not a regular file"), std::string::npos) << r.error;
    EXPECT_FALSE(CreateLogfile("/dev/full").ok);
}

} // namespace
} // namespace zorva
