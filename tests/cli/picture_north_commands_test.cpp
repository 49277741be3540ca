// A picture turned by any angle, told with --turn, found from the drift or solved from the
// day's regions: measured as the upright picture is.
#include <QImage>
#include <QTransform>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/commands.h"
#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::Apart;
using test::OrientationOf;
using test::RunCli;

// The HMI quick-look picture of 2011-11-20 01:30 UT (solar north up, east left) and NOAA's
// regions of that day (the test data's README).
constexpr const char* kPicture = "20111120_0130_hmiigr_512.jpg";
constexpr const char* kSummary = "20111120SRS.txt";
constexpr const char* kInstant = "2011-11-20T01:30:00";

struct Group {
    double lat = 0, lon = 0;
};

std::vector<Group> Groups(const std::string& text) {
    std::vector<Group> out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Group ", 0) != 0) continue;
        std::istringstream w(line);
        std::string word, id;
        Group g;
        w >> word >> id;
        while (w >> word) {
            std::string value;
            w >> value;
            if (word == "lat") g.lat = test::Number(value);
            if (word == "long") g.lon = test::Number(value);
        }
        out.push_back(g);
    }
    return out;
}

// The picture turned counter-clockwise by `degrees` (and mirrored left to right first), as a
// photo taken with the camera held at an angle; its corners black as the sky.
fs::path Turned(const fs::path& picture, double degrees, bool mirrored, const fs::path& dir) {
    EnsureGuiApplication();
    QImage image(QString::fromStdString(picture.string()));
    image = image.convertToFormat(QImage::Format_RGB32);
    if (mirrored) image = image.mirrored(true, false);
    const QImage turned =
        image.transformed(QTransform().rotate(-degrees), Qt::SmoothTransformation);
    const fs::path out = dir / ("turned_" + std::to_string(std::lround(degrees)) +
                                (mirrored ? "_mirrored" : "") + ".png");
    EXPECT_TRUE(turned.save(QString::fromStdString(out.string())));
    return out;
}

// The MDI picture (solar north up, east left; NOAA's regions 10718 and 10720, the test
// data's README), turned every 15 degrees and told its turn: the same groups, within half a
// degree. Its thin line artefact, which the upright search passes over, becomes dark flecks
// near latitude 50 on a resampled copy, so only the upright groups are looked for.
TEST(PictureNorthCommands, ATurnedPictureToldItsTurnGivesTheSameGroups) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path upright = data / "images" / "mdi_20050111_235932_1024.png";
    const test::CliResult first = RunCli({"spots", upright.string()});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::vector<Group> truth = Groups(first.out);
    ASSERT_EQ(truth.size(), 2u);
    for (int degrees = 15; degrees < 360; degrees += 15) {
        SCOPED_TRACE(degrees);
        const fs::path turned = Turned(upright, degrees, false, dir.path());
        const test::CliResult r =
            RunCli({"spots", turned.string(), "--at", "2005-01-11T23:59:32", "--orientation",
                    "axis", "--mirror", "--turn", std::to_string(degrees)});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NEAR(Apart(OrientationOf(r.out).at("north"), degrees), 0, 1e-6);
        const std::vector<Group> found = Groups(r.out);
        for (const Group& t : truth) {
            double nearest = 1e9;
            for (const Group& g : found)
                nearest = std::min(nearest, std::hypot(g.lat - t.lat, g.lon - t.lon));
            EXPECT_LT(nearest, 0.5) << "the group at " << t.lat << ", " << t.lon;
        }
    }
}

TEST(PictureNorthCommands, NorthIsSolvedFromTheDaysRegions) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path upright = data / "images" / kPicture;
    const std::string summary = (data / "srs" / kSummary).string();
    // As published, and as a photo of the screen might be taken: turned, and mirrored as a
    // projection is. Solar north lies at the turn; east a quarter turn counter-clockwise
    // from it as the sky is seen, clockwise when mirrored.
    const struct {
        double turn;
        bool mirrored;
        double within;
    } cases[] = {{0, false, 2}, {59, true, 5}, {200, false, 5}, {315, true, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.turn);
        const fs::path file =
            c.turn == 0 && !c.mirrored ? upright : Turned(upright, c.turn, c.mirrored, dir.path());
        const test::CliResult r = RunCli({"spots", file.string(), "--at", kInstant, "--orientation",
                                          "solve", "--regions", summary});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto o = OrientationOf(r.out);
        EXPECT_LT(Apart(o.at("north"), c.turn), c.within) << r.out;
        EXPECT_NEAR(Apart(o.at("east"), o.at("north") + (c.mirrored ? -90 : 90)), 0, 0.011);
        EXPECT_NE(r.out.find("solved from the day's regions matched "), std::string::npos);
    }
    // A summary of another day lays no two groups on its regions at any turn that fits.
    const test::CliResult wrong =
        RunCli({"spots", upright.string(), "--orientation", "solve", "--regions",
                (data / "srs" / "19960106SRS.txt").string()});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("north cannot be solved"), std::string::npos) << wrong.err;
    EXPECT_EQ(RunCli({"spots", upright.string(), "--orientation", "solve"}).status, 2);
}

// overlay and locate --image solve north as spots does: a pixel of the turned picture is
// measured as it is with the turn spots found told outright (spots gives it to hundredths).
TEST(PictureNorthCommands, OverlayAndLocateSolveAsSpotsDoes) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const std::string picture = Turned(data / "images" / kPicture, 59, true, dir.path()).string();
    const std::string summary = (data / "srs" / kSummary).string();
    const test::CliResult spots = RunCli(
        {"spots", picture, "--at", kInstant, "--orientation", "solve", "--regions", summary});
    ASSERT_EQ(spots.status, 0) << spots.err;
    const double north = OrientationOf(spots.out).at("north");
    const std::vector<std::string> pixel = {"--image", picture, "--px", "330", "--py", "240"};
    std::vector<std::string> solved = {"locate", kInstant,    "--orientation",
                                       "solve",  "--regions", summary};
    std::vector<std::string> told = {"locate", kInstant, "--orientation",
                                     "axis",   "--turn", std::to_string(north)};
    solved.insert(solved.end(), pixel.begin(), pixel.end());
    told.insert(told.end(), pixel.begin(), pixel.end());
    const test::CliResult a = RunCli(solved);
    const test::CliResult b = RunCli(told); // mirrored: east clockwise, no --mirror
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    for (const char* field : {"SpotLat", "SpotLong"}) {
        EXPECT_NEAR(test::Number(test::Fields(a.out).at(field)),
                    test::Number(test::Fields(b.out).at(field)), 0.05)
            << field;
    }
    const std::string out = (dir.path() / "grid.png").string();
    const test::CliResult overlay = RunCli({"overlay", picture, "--at", kInstant, "--out", out,
                                            "--orientation", "solve", "--regions", summary});
    EXPECT_EQ(overlay.status, 0) << overlay.err;
    EXPECT_TRUE(fs::exists(out));
    // A summary of another day: refused with the reason; --regions alone is a wrong argument.
    const test::CliResult wrong =
        RunCli({"overlay", picture, "--at", kInstant, "--out", out, "--orientation", "solve",
                "--regions", (data / "srs" / "19960106SRS.txt").string()});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("north cannot be solved"), std::string::npos) << wrong.err;
    EXPECT_EQ(
        RunCli({"overlay", picture, "--at", kInstant, "--out", out, "--regions", summary}).status,
        2);
    EXPECT_EQ(RunCli({"locate", kInstant, "--x", "1", "--y", "1", "--regions", summary}).status, 2);
}

TEST(PictureNorthCommands, NorthFromTheDrift) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path upright = data / "images" / kPicture;
    // Solar north up on this picture means celestial north 20.3 degrees clockwise of up
    // (P = 20.3 on the day, by the ephemeris of the `at` command). A spot drifting with the
    // drive off runs west: straight to the right here would put celestial north up.
    const test::CliResult drift = RunCli({"spots", upright.string(), "--drift", "100,200,180,200"});
    ASSERT_EQ(drift.status, 0) << drift.err;
    const auto o = OrientationOf(drift.out);
    EXPECT_NE(drift.out.find("the Sun's drift"), std::string::npos);
    const test::CliResult at = RunCli({"at", kInstant});
    const double P = test::Number(test::Fields(at.out).at("P"));
    EXPECT_NEAR(Apart(o.at("north"), P), 0, 1e-6);
    EXPECT_NEAR(Apart(o.at("east"), P + 90), 0, 1e-6);
    // The same from two pictures: the second the first moved 40 px right and 10 down.
    EnsureGuiApplication();
    const QImage moved(QString::fromStdString(upright.string()));
    QImage shifted(moved.size(), QImage::Format_RGB32);
    shifted.fill(Qt::black);
    {
        QImage source(QString::fromStdString(upright.string()));
        for (int y = 0; y + 10 < shifted.height(); ++y)
            for (int x = 0; x + 40 < shifted.width(); ++x)
                shifted.setPixel(x + 40, y + 10, source.pixel(x, y));
    }
    const fs::path later = dir / "later.png";
    ASSERT_TRUE(shifted.save(QString::fromStdString(later.string())));
    const test::CliResult two = RunCli({"spots", upright.string(), "--drift-from", later.string()});
    ASSERT_EQ(two.status, 0) << two.err;
    // West along (40, 10): celestial north a quarter turn counter-clockwise of it, atan(10/40)
    // below the horizontal, so 360 - 14.04 from up; solar north P further.
    const double celestial = 360 - std::atan2(10.0, 40.0) * 180 / M_PI;
    // Each disk is found to about 0.3 px, and the caption burned into the picture moves with
    // it: over a drift of 41 px that is within a degree.
    EXPECT_NEAR(Apart(OrientationOf(two.out).at("north"), celestial + P), 0, 1.0);
    EXPECT_EQ(RunCli({"spots", upright.string(), "--drift", "1,2,3"}).status, 2);
    EXPECT_EQ(RunCli({"spots", upright.string(), "--drift", "1,2,3,4", "--turn", "5"}).status, 2);
}

TEST(PictureNorthCommands, EveryFormatStatesTheOrientationAndTheInstantsSource) {
    ZORVA_TEST_DATA(data);
    const std::string mdi = (data / "images" / "mdi_20050111_235932_1024.png").string();
    // An observatory's name: solar north up, east left, as the sky is seen.
    const test::CliResult json = RunCli({"spots", mdi, "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"instant_source\":\"file name\""), std::string::npos);
    EXPECT_NE(json.out.find("\"orientation\":{\"solar_north_turn\":0.00,\"solar_east_turn\":90.00,"
                            "\"source\":\"observatory file name\"}"),
              std::string::npos)
        << json.out;
    const test::CliResult csv = RunCli({"spots", mdi, "--format", "csv", "--orientation", "axis"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    // A projection with solar north up: east at 270.
    EXPECT_NE(csv.out.find(",file name,0.00,270.00,given\n"), std::string::npos) << csv.out;
}

} // namespace
} // namespace zorva::cli
