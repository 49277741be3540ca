#include <QImage>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "core/record/group_tracking.h"
#include "run_cli.h"
#include "support/synthetic_sun.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

using test::Lines;

// A small picture of the Sun (north up, east left) with one spot group at latitude `lat`,
// `cmd` degrees west of the central meridian, saved under `name`.
void SavePicture(const fs::path& file, double lat, double cmd) {
    test::SyntheticSun sun;
    sun.width = sun.height = 400;
    sun.cx = sun.cy = 199.5;
    sun.r = 180;
    test::SyntheticSpot spot;
    spot.latitude = lat;
    spot.centralDistance = cmd;
    spot.penumbraRadius = test::CapRadius(300);
    spot.umbraRadius = 0.4 * spot.penumbraRadius;
    sun.spots = {spot};
    const std::vector<uint8_t> pixels = sun.Render();
    const QImage picture(pixels.data(), sun.width, sun.height, sun.width,
                         QImage::Format_Grayscale8);
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));
}

const std::vector<std::string> kNorthUp = {"--orientation", "axis", "--mirror"};

// A month of observations from pictures and from typed counts: reported as they were counted,
// and a group followed across the pictures' days keeps one id.
TEST(RecordCommand, AMonthFromPicturesAndTypedCounts) {
    test::TempDir dir;
    const test::ScopedCurrentDir here(dir.path());
    // Five days of one group at N15, carried west by the Sun's rotation: 13.2 degrees a day
    // against the Earth, less the group's drift, so that its Carrington longitude moves as
    // the law says.
    std::vector<std::string> add = {"record", "add"};
    for (int day = 1; day <= 5; ++day) {
        const std::string name = "sun_2011110" + std::to_string(day) + "_120000.png";
        SavePicture(dir / name, 15, -30 + 13.2 * (day - 1));
        add.push_back(name);
    }
    add.insert(add.end(), kNorthUp.begin(), kNorthUp.end());
    add.insert(add.end(), {"--observer", "ZRV", "--seeing", "3"});
    const auto added = RunCli(add);
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(Lines(added.out).size(), 5u);
    // The same pictures' counts as spots gives them.
    const auto spots = RunCli({"spots", "sun_20111103_120000.png", "--orientation", "axis",
                               "--mirror", "--format", "json"});
    ASSERT_EQ(spots.status, 0) << spots.err;
    const std::string wolf = spots.out.substr(spots.out.find("\"wolf\":") + 7);
    EXPECT_NE(Lines(added.out)[2].find(" R " + wolf.substr(0, wolf.find(',')) + " "),
              std::string::npos)
        << added.out;

    // Typed counts: the 3rd twice (the better seeing stands), and the 10th.
    for (const std::vector<std::string>& typed : std::vector<std::vector<std::string>>{
             {"--at", "2011-11-03T08:00", "--north", "2,7", "--south", "1,4", "--seeing", "1"},
             {"--at", "2011-11-10T09:15", "--group", "N14W23,5,Dso,11360", "--group", "S08E10,3",
              "--wolf", "28"}}) {
        std::vector<std::string> args = {"record", "add", "--visual", "--observer", "ABC"};
        args.insert(args.end(), typed.begin(), typed.end());
        const auto r = RunCli(args);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    const auto report = RunCli({"record", "report", "--month", "2011-11", "--format", "csv"});
    ASSERT_EQ(report.status, 0) << report.err;
    const std::vector<std::string> rows = Lines(report.out);
    ASSERT_EQ(rows.size(), 7u) << report.out;
    EXPECT_EQ(rows[0], "date,ut,seeing,g,s,R,gN,sN,gS,sS,method,observer");
    EXPECT_EQ(rows[3], "2011-11-03,08:00,1,3,11,41,2,7,1,4,visual,ABC");
    EXPECT_EQ(rows[6], "2011-11-10,09:15,,2,8,28,1,5,1,3,visual,ABC");
    EXPECT_NE(rows[1].find(",picture,ZRV"), std::string::npos) << rows[1];
    const auto text = RunCli({"record", "report", "--month", "2011-11"});
    EXPECT_NE(text.out.find("Observing days 6\n"), std::string::npos) << text.out;
    // Each observation says where its instant came from.
    const auto list = RunCli({"record", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find(" picture sun_20111101_120000.png instant file name\n"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find(" observer ABC day instant typed\n"), std::string::npos) << list.out;

    // The pictures' group is one group through the five days.
    const auto groups = RunCli({"record", "groups"});
    ASSERT_EQ(groups.status, 0) << groups.err;
    EXPECT_NE(groups.out.find("group 1 noaa - days 5\n"), std::string::npos) << groups.out;
    EXPECT_NE(groups.out.find("noaa 11360 days 1\n"), std::string::npos) << groups.out;

    for (const char* kind : {"activity", "butterfly"}) {
        const std::string out = std::string(kind) + ".png";
        const auto plot = RunCli({"record", "plot", "--kind", kind, "--out", out});
        ASSERT_EQ(plot.status, 0) << plot.err;
        EXPECT_EQ(QImage(QString::fromStdString(out)).width(), 1000);
    }
    const auto svg = RunCli({"record", "plot", "--kind", "activity", "--out", "a.svg"});
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_EQ(test::ReadFile(dir / "a.svg").rfind("<?xml", 0), 0u);
}

// Bad input: a clear message, status 1 (2 for a wrong argument), and the record's bytes as
// they were.
TEST(RecordCommand, BadInputChangesNothing) {
    test::TempDir dir;
    const test::ScopedCurrentDir here(dir.path());
    SavePicture(dir / "sun_20111101_120000.png", 10, 0);
    std::vector<std::string> picture = {"record", "add", "sun_20111101_120000.png"};
    picture.insert(picture.end(), kNorthUp.begin(), kNorthUp.end());
    ASSERT_EQ(RunCli(picture).status, 0);
    test::WriteFile(dir / "notes.txt", "not a record\n");
    test::WriteFile(dir / "bad.jsonl",
                    "{\"file\":\"x.png\",\"instant\":\"2011-11-02T12:00:00Z\"}\n");
    const std::string visual = "--visual";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"--at", "2011-11-02T08:00", "--north", "3,2", "--south", "0,0"}, 1, "fewer spots"},
        {{"--at", "2011-11-02T08:00", "--north", "-1,2", "--south", "0,0"}, 1, "negative"},
        {{"--at", "2011-11-02T08:00", "--north", "1,2", "--south", "0,0", "--wolf", "13"},
         1,
         "the Wolf number given, 13, is not 10 g + s = 12"},
        {{"--at", "2999-11-02T08:00", "--north", "1,2", "--south", "0,0"}, 1, "after today"},
        {{"--at", "2011-11-02T08:00", "--north", "1,2"}, 2, "give both --north and --south"},
        {{"--at", "2011-11-02T08:00", "--group", "X12,3"}, 2, "bad --group"},
        {{"--at", "2011-11-02T08:00", "--north", "1,2", "--south", "0,0", "--seeing", "7"},
         2,
         "--seeing must lie in 1..5"},
    };
    const std::string before = test::ReadFile(dir / "ZorvaRecord.sqlite");
    for (const Case& c : cases) {
        std::vector<std::string> args = {"record", "add", visual};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, c.status) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    const auto again = RunCli(picture);
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("this picture was added before, as observation 1"), std::string::npos)
        << again.err;
    const auto json = RunCli({"record", "add", "--json", "bad.jsonl"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.err.find("bad.jsonl:1: x.png: no \"groups\""), std::string::npos) << json.err;
    EXPECT_EQ(test::ReadFile(dir / "ZorvaRecord.sqlite"), before);

    const auto foreign =
        RunCli({"record", "report", "--month", "2011-11", "--record", "notes.txt"});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_NE(foreign.err.find("notes.txt: not a Zorva record"), std::string::npos) << foreign.err;
    EXPECT_EQ(test::ReadFile(dir / "notes.txt"), "not a record\n");
    EXPECT_EQ(RunCli({"record", "report"}).status, 2);
    EXPECT_EQ(RunCli({"record", "plot", "--kind", "pie", "--out", "x.png"}).status, 2);
    EXPECT_EQ(RunCli({"record", "dance"}).status, 2);
}

// Three shards of a list of pictures are, together, the one run over all of them.
TEST(RecordCommand, ShardsTogetherAreTheWhole) {
    test::TempDir dir;
    const test::ScopedCurrentDir here(dir.path());
    std::string list;
    for (int i = 0; i < 7; ++i) {
        const std::string name = "sun_2011110" + std::to_string(i + 1) + "_120000.png";
        if (i != 4) SavePicture(dir / name, 5 * i - 15, 10 * i - 30);
        list += name + (i == 2 ? "\r\n\n" : "\n"); // a blank line and a CRLF are passed over
    }
    test::WriteFile(dir / "list.txt", list);
    std::vector<std::string> common = {"--files-from", "list.txt", "--format", "json"};
    common.insert(common.end(), kNorthUp.begin(), kNorthUp.end());
    std::vector<std::string> all = {"spots"};
    all.insert(all.end(), common.begin(), common.end());
    const auto whole = RunCli(all);
    EXPECT_EQ(whole.status, 1); // the fifth picture is missing
    std::vector<std::string> pieces;
    for (const char* shard : {"1/3", "2/3", "3/3"}) {
        std::vector<std::string> args = all;
        args.insert(args.end(), {"--shard", shard});
        const auto r = RunCli(args);
        for (const std::string& line : Lines(r.out))
            pieces.push_back(line);
    }
    std::vector<std::string> lines = Lines(whole.out);
    ASSERT_EQ(lines.size(), 7u);
    std::sort(lines.begin(), lines.end());
    std::sort(pieces.begin(), pieces.end());
    EXPECT_EQ(pieces, lines);
    // The shards' lines go into the record as the whole run's would.
    test::WriteFile(dir / "all.jsonl", whole.out);
    const auto added = RunCli({"record", "add", "--json", "all.jsonl"});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(Lines(added.out).size(), 6u);
    EXPECT_NE(added.err.find("all.jsonl:5: no observation"), std::string::npos) << added.err;
    for (const char* bad : {"0/3", "4/3", "1/0", "x", "1/3/3"}) {
        std::vector<std::string> args = all;
        args.insert(args.end(), {"--shard", bad});
        EXPECT_EQ(RunCli(args).status, 2) << bad;
    }
}

} // namespace
} // namespace zorva::cli
