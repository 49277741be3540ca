#include <QImage>
#include <QString>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::Fields;
using test::RunCli;
using Result = test::CliResult;

// The HMI image's disk from its FITS keywords (the test data's README).
constexpr double kHmiCx = 255.5, kHmiCy = 255.5, kHmiR = 202.9;
const char* const kHmi = "hmi_20230131_033945_512.png";
const std::string kWhen = "2023-01-31T03:39:45";

TEST(LimbCommand, DiskOfARealImageAndTheDateOfItsName) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    Result r = RunCli({"limb", image});
    ASSERT_EQ(r.status, 0) << r.err;
    auto f = Fields(r.out);
    EXPECT_NEAR(zorva::test::Number(f.at("CentreX")), kHmiCx, 0.3);
    EXPECT_NEAR(zorva::test::Number(f.at("CentreY")), kHmiCy, 0.3);
    EXPECT_NEAR(zorva::test::Number(f.at("Radius")), kHmiR, 1.5);
    EXPECT_GE(std::stoi(f.at("Rays")), 300);
    EXPECT_EQ(f.at("Mode"), "DarkBackground");
    EXPECT_EQ(f.count("Date"), 0u); // not a name of either scheme

    test::TempDir dir;
    const fs::path named = dir / "20230131_0339_mdi_igr_512.png";
    fs::copy_file(image, named);
    r = RunCli({"limb", named.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    f = Fields(r.out);
    EXPECT_EQ(f.at("Date"), "2023-01-31");
    EXPECT_EQ(f.at("Time"), "03:39:00");
}

TEST(LimbCommand, FailuresGoToTheErrorStream) {
    test::TempDir dir;
    QImage black(64, 64, QImage::Format_Grayscale8);
    black.fill(0);
    ASSERT_TRUE(black.save(QString::fromStdString((dir / "black.png").string())));
    Result r = RunCli({"limb", (dir / "black.png").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zorva-cli: black.png: Edge of solar disk could not be found.\n");

    r = RunCli({"limb", (dir / "missing.png").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zorva-cli: Cannot open \"missing.png\": the file does not exist.\n");
    EXPECT_EQ(RunCli({"limb"}).status, 2);
    EXPECT_EQ(RunCli({"limb", "a.png", "b.png"}).status, 2);
}

TEST(OverlayCommand, WritesTheImageWithTheGrid) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    test::TempDir dir;
    const fs::path out = dir / "grid.png";
    Result r = RunCli({"overlay", image, "--out", out.string(), "--at", kWhen, "--lat-lines",
                       "--long-lines", "--circle"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage drawn(QString::fromStdString(out.string()));
    // The picture keeps its size and place, with the caption block below it.
    ASSERT_EQ(drawn.width(), 512);
    ASSERT_GT(drawn.height(), 512);
    // The fitted circle passes within a pixel of (cx + R, cy); the corner is untouched sky.
    bool circleNearLimb = false;
    for (int dx = -1; dx <= 1; ++dx) {
        const QColor c = drawn.pixelColor(static_cast<int>(kHmiCx + kHmiR) + dx, 256);
        circleNearLimb = circleNearLimb || (c.blue() > 200 && c.green() > 150 && c.red() < 150);
    }
    EXPECT_TRUE(circleNearLimb);
    const QImage original(QString::fromStdString(image));
    EXPECT_EQ(drawn.pixel(3, 3), original.pixel(3, 3));

    // No --at and no date in the name; an unknown type; a missing --out.
    EXPECT_EQ(RunCli({"overlay", image, "--out", out.string()}).status, 2);
    EXPECT_EQ(RunCli({"overlay", image, "--out", (dir / "x.gif").string(), "--at", kWhen}).status,
              2);
    EXPECT_EQ(RunCli({"overlay", image, "--at", kWhen}).status, 2);
}

TEST(LocateCommand, ImagePixelGivesTheReadoutsOfItsMillimetres) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    const Result limb = RunCli({"limb", image});
    ASSERT_EQ(limb.status, 0) << limb.err;
    const double radius = zorva::test::Number(Fields(limb.out).at("Radius"));
    const Result r = RunCli({"locate", kWhen, "--image", image, "--px", "300", "--py", "200",
                             "--size", "4", "--mirror"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The click in millimetres by hand: the disk of 2 R pixels stands for a chart of
    // D = 2 R 25.4 / 75 mm, and the fitted centre is in pixel indices, so x = (300 - cx) D / 2R
    // = (300 - cx) 25.4 / 75 and y = -(200 - cy) 25.4 / 75, put into the boxes to two decimals
    // (floor(100 v + 0.5) 0.01 for v >= 0). Typed in with that diameter they give the same
    // readouts.
    const auto limbFields = Fields(limb.out);
    const double cx = zorva::test::Number(limbFields.at("CentreX"));
    const double cy = zorva::test::Number(limbFields.at("CentreY"));
    const double x = (300 - cx) * 25.4 / 75;
    const double y = -(200 - cy) * 25.4 / 75;
    ASSERT_GT(x, 0);
    ASSERT_GT(y, 0);
    auto text = [](double v) {
        std::ostringstream s;
        s.precision(17);
        s << v;
        return s.str();
    };
    const Result typed = RunCli({"locate", kWhen, "--x", text(std::floor(100 * x + 0.5) * 0.01),
                                 "--y", text(std::floor(100 * y + 0.5) * 0.01), "--diameter",
                                 text(2 * radius * 25.4 / 75), "--size", "4", "--mirror"});
    ASSERT_EQ(typed.status, 0) << typed.err;
    EXPECT_EQ(r.out, typed.out);

    EXPECT_EQ(RunCli({"locate", kWhen, "--image", image, "--px", "2", "--py", "2"}).status, 1);
    EXPECT_EQ(RunCli({"locate", kWhen, "--image", image, "--px", "512", "--py", "2"}).status, 2);
    EXPECT_EQ(RunCli({"locate", kWhen, "--image", image, "--px", "300"}).status, 2);
    EXPECT_EQ(RunCli({"locate", kWhen, "--px", "300", "--py", "200"}).status, 2);
}

} // namespace
} // namespace zorva::cli
