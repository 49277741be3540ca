#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

#include "cli/args.h"
#include "cli/cli.h"
#include "core/ephemeris/year_tables.h"
#include "core/measure/pointer.h"
#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

using test::RunCli;
using Result = test::CliResult;

std::vector<std::vector<std::string>> Lines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        lines.emplace_back();
        for (std::string w; words >> w;)
            lines.back().push_back(w);
    }
    return lines;
}

TEST(RegionsCommand, ListsRegionsWhereTheFilePutsThem) {
    ZORVA_TEST_DATA(data);
    const std::string file = (data / "srs" / "20110607SRS.txt").string();
    const Result r = RunCli({"regions", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines.back(), (std::vector<std::string>{"Wolf", "67"})); // 10 x 5 regions + 17 spots
    // "1226 S22W52   036  0080 Dao  10   08 Beta": Lo 36 at W52 gives 344 on the meridian.
    const std::vector<std::string> head = {"11226", "-22", "36", "344",
                                           "80",    "Dao", "8",  "visible"};
    ASSERT_EQ(lines[0].size(), 10u);
    EXPECT_EQ(std::vector<std::string>(lines[0].begin(), lines[0].begin() + 8), head);
    // Its millimetres at the valid time, 7 June 2011 00:00, lead back to S22 W52.
    const Ephemeris e = YearTables(std::nullopt).At({2011, 6, 7, 0, 0, 0}, Observer{});
    const std::optional<LatLong> at =
        LocatePoint(zorva::test::Number(lines[0][8]), zorva::test::Number(lines[0][9]),
                    FrameOf(ChartGeometry{}, e.P), e);
    ASSERT_TRUE(at);
    EXPECT_NEAR(at->lat, -22, 1);
    EXPECT_NEAR(std::remainder(e.L0 - at->lon, 360.0), -52, 1);

    // Mirrored, the same place on the other side; four days on, S22 W52 is behind the limb.
    const auto mirrored = Lines(RunCli({"regions", file, "--mirror"}).out);
    EXPECT_EQ(zorva::test::Number(mirrored[0][8]), -zorva::test::Number(lines[0][8]));
    EXPECT_EQ(mirrored[0][9], lines[0][9]);
    const auto later = Lines(RunCli({"regions", file, "--at", "2011-06-11T00:00:00"}).out);
    EXPECT_EQ(std::vector<std::string>(later[0].begin() + 7, later[0].end()),
              (std::vector<std::string>{"hidden", "-", "-"}));
}

TEST(RegionsCommand, BadFilesAndArguments) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "20110101SRS.txt");
    test::WriteFile(dir / "20110102SRS.txt", std::string(3000, '\x7f'));
    test::WriteFile(dir / "20110103SRS.txt", ":Product: x\nNmbr Location Lo Area\n1226 S22W52 036 "
                                             "0080 Dao 10 08 Beta\n1227 S21W35 0x9\n");
    struct Case {
        std::string file;
        std::string err;
        std::string out;
    };
    const Case cases[] = {
        {"20110101SRS.txt", "zorva-cli: 20110101SRS.txt is a folder, not a Solar Region Summary.\n",
         ""},
        {"20110102SRS.txt",
         "zorva-cli: 20110102SRS.txt ends before its \":Product\" line: it is "
         "not a Solar Region Summary.\n",
         ""},
        {"20110104SRS.txt", "zorva-cli: Unable to open 20110104SRS.txt: the file does not exist.\n",
         ""},
        {"20110103SRS.txt",
         "zorva-cli: 20110103SRS.txt, line 4: the Carrington longitude \"0x9\" "
         "is not a number; the region before it is kept.\n",
         "11226 -22 36 344 80 Dao 8 visible"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Result r = RunCli({"regions", (dir / c.file).string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
    }
    EXPECT_EQ(RunCli({"regions"}).status, kUsageError);
    EXPECT_EQ(RunCli({"regions", "a", "b"}).status, kUsageError);
    EXPECT_EQ(RunCli({"regions", "a", "--at", "2011-06-31T00:00:00"}).status, kUsageError);
}

} // namespace
} // namespace zorva::cli
