#include "core/srs/srs_reader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/test_support.h"

namespace zorva {
namespace {

// What one region line must give; -1 marks a column the line leaves out.
struct Expected {
    int32_t number, latitude, distance, lo, cm, area;
    const char* cls;
    int32_t ll, nn;
    const char* mag;
};

void ExpectRegion(const SrsRegion& r, const Expected& e) {
    SCOPED_TRACE(e.number);
    EXPECT_EQ(r.Number, e.number);
    EXPECT_EQ(r.Latitude, e.latitude);
    EXPECT_EQ(r.CentralDistance, e.distance);
    EXPECT_EQ(r.Lo, e.lo);
    EXPECT_EQ(r.CentralLongitude, e.cm);
    EXPECT_EQ(r.Area.value_or(-1), e.area);
    EXPECT_EQ(r.Class, e.cls);
    EXPECT_EQ(r.LongExtent.value_or(-1), e.ll);
    EXPECT_EQ(r.SpotCount.value_or(-1), e.nn);
    EXPECT_EQ(r.MagType, e.mag);
}

SrsSummary Parse(const std::string& text, SrsDate date = {2011, 6, 7}) {
    std::istringstream in(text);
    return ReadSrs(in, date, "test.txt");
}

// The head of a modern summary up to its table heading, then the given table lines.
std::string Modern(const std::string& rows, const std::string& valid = "06/2400Z") {
    return ":Product: 0607SRS.txt\n:Issued: 2011 Jun 07 0030 UTC\n"
           "I.  Regions with Sunspots.  Locations Valid at " +
           valid + " \nNmbr Location  Lo  Area  Z   LL   NN Mag Type\n" + rows;
}
const std::string kEnd = "IA. H-alpha Plages without Spots.  Locations Valid at 06/2400Z Jun\n"
                         "Nmbr  Location  Lo\n1225  N17W77   061\n";

// Every real file, with the values read off the files by eye. The expected
// full numbers follow the rule stated with FullRegionNumber; the implied central-meridian
// longitude is Lo plus the eastern distance, folded into 0..359.
TEST(SrsReader, ReadsEverySharedFile) {
    ZORVA_TEST_DATA(data);
    struct Case {
        const char* file;
        Instant epoch;
        std::vector<Expected> regions;
        int64_t wolf;
    };
    const Case cases[] = {
        {"19960106SRS.txt",
         {1996, 1, 6, 0, 0, 0},
         {{7938, 12, -41, 187, 146, 270, "DSI", 9, 26, "BETA"},
          {7939, 3, -8, 154, 146, 140, "CSI", 8, 23, "BETA"}},
         10 * 2 + 49},
        {"19960430SRS.txt", {1996, 4, 30, 0, 0, 0}, {}, 0},
        {"20100621SRS.txt",
         {2010, 6, 21, 0, 0, 0},
         {{11082, 27, -5, 305, 300, 30, "Dso", 7, 3, "Beta"}},
         10 + 3},
        {"20110607SRS.txt",
         {2011, 6, 7, 0, 0, 0},
         {{11226, -22, -52, 36, 344, 80, "Dao", 10, 8, "Beta"},
          {11227, -21, -35, 19, 344, 30, "Hsx", 2, 1, "Alpha"},
          {11228, 18, -35, 19, 344, 70, "Cso", 8, 4, "Beta"},
          {11232, 8, 7, 337, 344, 40, "Cso", 4, 3, "Beta"},
          {11233, -18, -43, 27, 344, 0, "Axx", 1, 1, "Alpha"}},
         10 * 5 + 17},
        {"20150906SRS.txt",
         {2015, 9, 6, 0, 0, 0},
         {{12409, 6, -2, 19, 17, 10, "Bxo", 2, 3, "Beta"},
          {12411, 13, 50, 327, 17, 40, "Hsx", 1, 1, "Alpha"}},
         10 * 2 + 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const SrsSummary s = LoadSrsFile(data / "srs" / c.file);
        EXPECT_EQ(s.Status, SrsStatus::Complete);
        EXPECT_EQ(s.Error, "");
        EXPECT_TRUE(s.EpochFromFile);
        EXPECT_EQ(s.Epoch, c.epoch);
        ASSERT_EQ(s.Regions.size(), c.regions.size());
        for (std::size_t i = 0; i < c.regions.size(); ++i)
            ExpectRegion(s.Regions[i], c.regions[i]);
        EXPECT_EQ(WolfNumber(s.Regions), c.wolf);
    }
}

// The expected regions are the lines' own columns, read by the summary's layout.
TEST(SrsReader, LayoutVariants) {
    const Expected first = {11226, -22, -52, 36, 344, 80, "Dao", 10, 8, "Beta"};
    const std::string row = "1226 S22W52   036  0080 Dao  10   08 Beta\n";
    struct Case {
        const char* name;
        std::string text;
        std::vector<Expected> regions;
    };
    const Case cases[] = {
        {"crlf line ends",
         [&] {
             std::string t;
             for (char c : Modern(row) + kEnd) {
                 if (c == '\n') t += '\r';
                 t += c;
             }
             return t;
         }(),
         {first}},
        {"trailing blanks and blank lines inside the table",
         Modern("\n1226 S22W52   036  0080 Dao  10   08 Beta      \n   \n"
                "1227 S21W35   019  0030 Hsx  02   01 Alpha\t \n\n") +
             kEnd,
         {first, {11227, -21, -35, 19, 344, 30, "Hsx", 2, 1, "Alpha"}}},
        {"lines shorter than 27 columns",
         Modern("1226 S22W52   036\n1227 S21W35   019  0030\n") + kEnd,
         {{11226, -22, -52, 36, 344, -1, "", -1, -1, ""},
          {11227, -21, -35, 19, 344, 30, "", -1, -1, ""}}},
        {"beyond the limb and a compound magnetic type",
         Modern("1234 N10W92   100  0200 Fkc  15   40 Beta-Gamma-Delta\n") + kEnd,
         {{11234, 10, -92, 100, 8, 200, "Fkc", 15, 40, "Beta-Gamma-Delta"}}},
        {"None in lower case", Modern("none\n") + kEnd, {}},
        {"trailing blocks with no IA. section",
         Modern(row) + "III. COMMENTS\n9999 this is not a region\nCOMMENT: notes\n",
         {first}},
        {"a comment right after the table", Modern(row) + "COMMENT: none\n1111 junk\n", {first}},
        // The examples worked out with the format: "0875 S08W42 ... 290 0120 Dso" and
        // N05E10 Lo 100 (central meridian 110), S12W05 Lo 2 (357).
        {"worked examples",
         Modern("0875 S08W42   290  0120 Dso\n0001 N05E10   100\n0002 S12W05   002\n") + kEnd,
         {{10875, -8, -42, 290, 248, 120, "Dso", -1, -1, ""},
          {10001, 5, 10, 100, 110, -1, "", -1, -1, ""},
          {10002, -12, -5, 2, 357, -1, "", -1, -1, ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SrsSummary s = Parse(c.text);
        EXPECT_EQ(s.Status, SrsStatus::Complete) << s.Error;
        ASSERT_EQ(s.Regions.size(), c.regions.size());
        for (std::size_t i = 0; i < c.regions.size(); ++i)
            ExpectRegion(s.Regions[i], c.regions[i]);
    }
}

TEST(SrsReader, AllRegionsAreKept) {
    std::string rows;
    for (int i = 0; i < 35; ++i)
        rows += std::to_string(1200 + i) + " N10E10   100  0010 Axx  01   01 Alpha\n";
    const SrsSummary s = Parse(Modern(rows) + kEnd);
    ASSERT_EQ(s.Regions.size(), 35u);
    EXPECT_EQ(s.Regions.back().Number, 11234);
    EXPECT_EQ(WolfNumber(s.Regions), 10 * 35 + 35);
}

TEST(SrsReader, FullRegionNumbers) {
    // Region 10000 was numbered on 14 June 2002; 9997 was still listed after it.
    EXPECT_EQ(FullRegionNumber(9997, 4, {2002, 6, 13}), 9997);
    EXPECT_EQ(FullRegionNumber(9997, 4, {2002, 6, 20}), 9997);
    EXPECT_EQ(FullRegionNumber(1, 4, {2002, 6, 20}), 10001);
    EXPECT_EQ(FullRegionNumber(0, 4, {2002, 6, 14}), 10000);
    EXPECT_EQ(FullRegionNumber(2242, 4, {2015, 1, 1}), 12242);
    EXPECT_EQ(FullRegionNumber(9500, 4, {2030, 1, 1}), 19500);
    EXPECT_EQ(FullRegionNumber(7938, 4, {1996, 1, 6}), 7938);
    EXPECT_EQ(FullRegionNumber(12242, 5, {2015, 1, 1}), 12242);
}

// "DD/HHMMZ" names the day of the month and the time in UTC; 2400 is the next day's 0000.
TEST(SrsReader, ValidTime) {
    struct Case {
        const char* valid;
        SrsDate file;
        Instant epoch;
        bool fromFile;
    };
    const Case cases[] = {
        {"06/2400Z", {2011, 6, 7}, {2011, 6, 7, 0, 0, 0}, true},
        {"30/2400Z", {2011, 7, 1}, {2011, 7, 1, 0, 0, 0}, true},
        {"31/2400Z", {2012, 1, 1}, {2012, 1, 1, 0, 0, 0}, true},
        {"06/1230Z", {2011, 6, 7}, {2011, 6, 6, 12, 30, 0}, true},
        {"07/0000Z", {2011, 6, 7}, {2011, 6, 7, 0, 0, 0}, true},
        // Out of range or too far from the file's date: 00:00 of the file's date.
        {"31/2400Z", {2011, 6, 7}, {2011, 6, 7, 0, 0, 0}, false},
        {"06/2460Z", {2011, 6, 7}, {2011, 6, 7, 0, 0, 0}, false},
        {"01/2400Z", {2011, 6, 20}, {2011, 6, 20, 0, 0, 0}, false},
        {"xx/2400Z", {2011, 6, 7}, {2011, 6, 7, 0, 0, 0}, false},
        {"06/24", {2011, 6, 7}, {2011, 6, 7, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.valid);
        const SrsSummary s = Parse(Modern("None\n", c.valid), c.file);
        EXPECT_EQ(s.Status, SrsStatus::Complete);
        EXPECT_EQ(s.Epoch, c.epoch);
        EXPECT_EQ(s.EpochFromFile, c.fromFile);
    }
    // No valid time at all.
    const SrsSummary none = Parse(":Product: x\nNMBR LOCATION LO AREA\nNone\n", {2006, 5, 6});
    EXPECT_EQ(none.Epoch, (Instant{2006, 5, 6, 0, 0, 0}));
    EXPECT_FALSE(none.EpochFromFile);
}

TEST(SrsReader, FileDates) {
    EXPECT_EQ(SrsFileDate("20060505SRS.txt"), (SrsDate{2006, 5, 5}));
    EXPECT_EQ(SrsFileDate("20000229srs.txt"), (SrsDate{2000, 2, 29}));
    for (const char* bad : {"srs.txt", "2006050", "20060230SRS.txt", "20061305SRS.txt",
                            "2006-05-05", "+2006050SRS.txt"}) {
        EXPECT_FALSE(SrsFileDate(bad)) << bad;
    }
}

TEST(SrsReader, BadInput) {
    const std::string row = "1226 S22W52   036  0080 Dao  10   08 Beta\n";
    const std::string longTail(1 << 20, 'x');
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 131 + 7) % 256);
    struct Case {
        const char* name;
        std::string text;
        SrsStatus status;
        std::size_t regions;
        std::string error; // a part of the message
    };
    const Case cases[] = {
        {"empty", "", SrsStatus::NotRead, 0, "test.txt ends before its \":Product\" line"},
        {"binary", binary, SrsStatus::NotRead, 0, "ends before its \":Product\" line"},
        {"ends before the heading", ":Product: x\nI. Regions\n", SrsStatus::NotRead, 0,
         "ends before its table of regions"},
        {"lower-case heading", ":Product: x\nnmbr\n" + row, SrsStatus::NotRead, 0,
         "ends before its table of regions"},
        {"truncated table", Modern(row + row.substr(0, 20)), SrsStatus::Partial, 2,
         "ends inside its table of regions; the 2 regions read are kept"},
        {"truncated after the heading", Modern(""), SrsStatus::Partial, 0,
         "ends inside its table of regions; no region was read."},
        {"not a number", Modern(row + row + "1228 N18W35   019  00x0 Cso\n" + row) + kEnd,
         SrsStatus::Partial, 2,
         "test.txt, line 7: the area \"00x0\" is not a number; the 2 regions before it are kept."},
        {"bad location", Modern("1228 N18X35   019\n"), SrsStatus::Partial, 0,
         "line 5: the location \"N18X35\" is not a location such as N12W41; no region comes "
         "before it."},
        {"latitude out of range", Modern("1228 N98W35   019\n"), SrsStatus::Partial, 0,
         "the location \"N98W35\""},
        {"Lo out of range", Modern("1228 N18W35   419\n"), SrsStatus::Partial, 0,
         "the Carrington longitude \"419\" is above 360"},
        {"number out of int range", Modern("99999999999 N18W35 019\n"), SrsStatus::Partial, 0,
         "the region number \"99999999999\" is not a number"},
        {"control characters are not quoted", Modern("12\x01\x02 N18W35 019\n"), SrsStatus::Partial,
         0, "the region number \"12??\""},
        // A line of 150 characters or more is cut at 149 and reading goes on.
        {"a 1 MB line before the header", longTail + "\n" + Modern(row) + kEnd, SrsStatus::Complete,
         1, ""},
        {"a 1 MB region line",
         Modern("1226 S22W52 036 0080 Dao 10 08 " + longTail + "\n" + row) + kEnd,
         SrsStatus::Complete, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SrsSummary s = Parse(c.text);
        EXPECT_EQ(s.Status, c.status);
        EXPECT_EQ(s.Regions.size(), c.regions);
        if (c.error.empty()) {
            EXPECT_EQ(s.Error, "");
        } else {
            EXPECT_NE(s.Error.find(c.error), std::string::npos) << s.Error;
        }
    }
    // The cut line keeps exactly the first 149 characters: 31 before the magnetic type.
    const SrsSummary cut =
        Parse(Modern("1226 S22W52 036 0080 Dao 10 08 " + longTail + "\n") + kEnd);
    ASSERT_EQ(cut.Regions.size(), 1u);
    EXPECT_EQ(cut.Regions[0].MagType, std::string(SrsLineLimit - 31, 'x'));
}

// A summary whose section I had lost its table heading, or its title and heading, or had a
// NUL in the heading, was read from the next section's table: its plages counted as
// regions with spots (Wolf 40 in place of 67 for 7 June 2011). A table is taken only where
// it is section I's; otherwise the file is refused, naming the line.
TEST(SrsReader, ASummaryWhoseSectionsCannotBeToldApartIsRefused) {
    ZORVA_TEST_DATA(data);
    const std::string whole = test::ReadFile(data / "srs" / "20110607SRS.txt");
    const std::string title = "I.  Regions with Sunspots.  Locations Valid at 06/2400Z \n";
    const std::string heading = "Nmbr Location  Lo  Area  Z   LL   NN Mag Type\n";
    const auto without = [&whole](const std::string& part, const std::string& put = "") {
        std::string t = whole;
        const std::size_t at = t.find(part);
        return at == std::string::npos ? std::string() : t.replace(at, part.size(), put);
    };
    const struct {
        const char* what;
        std::string text;
        std::string error; // empty: read whole, as the file itself is
    } cases[] = {
        {"no heading", without(heading),
         "test.txt, line 10: the heading of section I's table (\"Nmbr Location Lo Area ...\") "
         "should follow \"I.  Regions with Sun...\", not \"1226 S22W52   036  0...\"; the "
         "summary is not read."},
        {"neither title nor heading", without(title + heading),
         "test.txt, line 14: section IA (\"IA. H-alpha Plages w...\") comes before the table of "
         "regions with sunspots, section I; the summary is not read."},
        {"nothing but the plages' table",
         without(title + heading +
                 "1226 S22W52   036  0080 Dao  10   08 Beta\n1227 S21W35   019  "
                 "0030 Hsx  02   01 Alpha\n1228 N18W35   019  0070 Cso  08   04 "
                 "Beta\n1232 N08E07   337  0040 Cso  04   03 Beta\n1233 S18W43   "
                 "027  0000 Axx  01   01 Alpha\nIA. H-alpha Plages without Spots.  "
                 "Locations Valid at 06/2400Z Jun\n"),
         "test.txt, line 9: the table \"Nmbr  Location  Lo\" has no area column and no section "
         "title"},
        {"a NUL in the heading", without("Nmbr Location", std::string("Nm\0br Location", 14)),
         "test.txt, line 10: the heading of section I's table"},
        {"no title", without(title), ""},
        {"a byte-order mark", "\xEF\xBB\xBF" + whole, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.text.empty());
        const SrsSummary s = Parse(c.text);
        if (c.error.empty()) {
            EXPECT_EQ(s.Status, SrsStatus::Complete) << s.Error;
            EXPECT_EQ(WolfNumber(s.Regions), 10 * 5 + 17);
        } else {
            EXPECT_EQ(s.Status, SrsStatus::NotRead);
            EXPECT_TRUE(s.Regions.empty());
            EXPECT_EQ(s.Error.substr(0, c.error.size()), c.error) << s.Error;
        }
    }
}

TEST(SrsReader, HugeTableIsCutAtTheRegionLimit) {
    std::string rows;
    for (int i = 0; i < 100000; ++i)
        rows += "1226 S22W52   036  0080 Dao  10   08 Beta\n";
    const SrsSummary s = Parse(Modern(rows) + kEnd);
    EXPECT_EQ(s.Status, SrsStatus::Partial);
    EXPECT_EQ(s.Regions.size(), SrsRegionLimit);
    EXPECT_EQ(s.Error, "test.txt lists more than 10000 regions; the first 10000 are kept.");
}

TEST(SrsReader, Files) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "20110607SRS.txt");
    const SrsSummary folder = LoadSrsFile(dir / "20110607SRS.txt");
    EXPECT_EQ(folder.Status, SrsStatus::NotRead);
    EXPECT_EQ(folder.Error, "20110607SRS.txt is a folder, not a Solar Region Summary.");

    test::WriteFile(dir / "summary.txt", Modern("None\n"));
    const SrsSummary undated = LoadSrsFile(dir / "summary.txt");
    EXPECT_EQ(undated.Status, SrsStatus::NotRead);
    EXPECT_EQ(undated.Error, "The name of summary.txt does not begin with its date (YYYYMMDD).");

    EXPECT_EQ(LoadSrsFile(dir / "20110608SRS.txt").Error,
              "Unable to open 20110608SRS.txt: the file does not exist.");
    EXPECT_EQ(LoadSrsFile(dir / "missing.txt").Error,
              "Unable to open missing.txt: the file does not exist.");

    test::WriteFile(dir / "20110607srs.txt", Modern("1226 S22W52 036\n"));
    const SrsSummary cut = LoadSrsFile(dir / "20110607srs.txt");
    EXPECT_EQ(cut.Status, SrsStatus::Partial);
    EXPECT_EQ(cut.Regions.size(), 1u);
    EXPECT_EQ(cut.Error.substr(0, 16), "20110607srs.txt ");
}

} // namespace
} // namespace zorva
