#include <QImage>
#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

using test::Fields;
using test::RunCli;
using Result = test::CliResult;

const std::string kWhen = "2021-06-01T12:00:00";

TEST(LocateCommand, CentreIsTheDiskCentre) {
    const Result at = RunCli({"at", kWhen});
    ASSERT_EQ(at.status, 0) << at.err;
    const Result r =
        RunCli({"locate", kWhen, "--x", "0", "--y", "0", "--diameter", "100", "--size", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find(' ')), "SpotRho");
    const auto f = Fields(r.out);
    ASSERT_EQ(f.size(), 6u) << r.out;
    EXPECT_EQ(f.at("SpotRho"), "0");
    EXPECT_EQ(f.at("SpotPA"), "0");
    EXPECT_EQ(f.at("SpotLat"), Fields(at.out).at("B0"));
    EXPECT_EQ(f.at("SpotLong"), Fields(at.out).at("L0"));
    EXPECT_EQ(f.at("SpotRotation"), Fields(at.out).at("Rotation"));
    // 10 cells of 1 mm^2 on a 100 mm chart, uncorrected at the centre: 10 x 2e6 / (pi x 1e4).
    EXPECT_NEAR(zorva::test::Number(f.at("SpotArea")), 636.6197723675813, 1e-9);
    EXPECT_TRUE(r.err.empty());
}

TEST(LocateCommand, OffTheDiskIsAnError) {
    // Just beyond the 75 mm radius of the 150 mm chart: no readouts, no stand-in values.
    const Result r = RunCli({"locate", kWhen, "--x", "75.01", "--y", "0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zorva-cli: the point (75.01, 0) mm lies off the solar disk of the 150 mm "
                     "chart\n");
}

TEST(LocateCommand, OptionsChangeThePlace) {
    const auto base = Fields(RunCli({"locate", kWhen, "--x", "20", "--y", "-30"}).out);
    // Mirror and flip undo the display, so the mirrored place is the same spot.
    EXPECT_EQ(
        Fields(RunCli({"locate", kWhen, "--x", "-20", "--y", "30", "--mirror", "--flip"}).out),
        base);
    EXPECT_NE(
        Fields(RunCli({"locate", kWhen, "--x", "20", "--y", "-30", "--orientation", "axis"}).out)
            .at("SpotLat"),
        base.at("SpotLat"));
    // Same mm on a larger chart lies nearer the centre.
    const auto large =
        Fields(RunCli({"locate", kWhen, "--x", "20", "--y", "-30", "--diameter", "300"}).out);
    EXPECT_LT(zorva::test::Number(large.at("SpotRho")), zorva::test::Number(base.at("SpotRho")));
    // The inch grid has larger cells.
    const auto mm = Fields(RunCli({"locate", kWhen, "--x", "1", "--y", "1", "--size", "4"}).out);
    const auto in = Fields(
        RunCli({"locate", kWhen, "--x", "1", "--y", "1", "--size", "4", "--grid", "in"}).out);
    EXPECT_NEAR(zorva::test::Number(in.at("SpotArea")) / zorva::test::Number(mm.at("SpotArea")),
                1.032256, 1e-12);
}

TEST(ChartCommands, WrongArgumentsAreUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"locate", kWhen, "--y", "1"},
        {"locate", kWhen, "--x", "1"},
        {"locate", "2021-13-01T12:00:00", "--x", "1", "--y", "1"},
        {"locate", kWhen, "--x", "1", "--y", "1", "--orientation", "sideways"},
        {"locate", kWhen, "--x", "1", "--y", "1", "--grid", "cm"},
        {"locate", kWhen, "--x", "1", "--y", "1", "--size", "-1"},
        {"locate", kWhen, "--x", "1", "--y", "1", "--diameter", "0"},
        {"locate", kWhen, "--x", "abc", "--y", "1"},
        {"locate", kWhen, "--x", "1", "--y", "1", "--lat", "95"},
        {"locate", kWhen, "--x", "1", "--y", "1", "--bogus"},
        {"chart", kWhen},
        {"chart", kWhen, "--out", "chart.gif"},
        {"chart", kWhen, "--out", "chart"},
        {"chart", kWhen, "--out", "chart.png", "--diameter", "5000"},
        {"chart", kWhen, "--out", "chart.svg", "--style", "bold"},
        {"chart", kWhen, "--out", "chart.svg", "--caption", "yes"},
        {"chart", "--out", "chart.png"},
    };
    test::TempDir dir;
    test::ScopedCurrentDir here(dir.path());
    for (const auto& args : cases) {
        const Result r = RunCli(args);
        EXPECT_EQ(r.status, kUsageError) << args[1] << " " << args.back();
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ChartCommand, WritesPngAndPdf) {
    test::TempDir dir;
    const std::string png = (dir / "chart.png").string();
    Result r = RunCli({"chart", kWhen, "--out", png, "--diameter", "100", "--lat-lines",
                       "--long-lines", "--orientation", "altaz", "--flip"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.width(), 369); // trunc(100 x 1.25 x 75 / 25.4)
    EXPECT_EQ(image.height(), 369);
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 75, 0.05);

    const std::string pdf = (dir / "chart.PDF").string();
    r = RunCli({"chart", kWhen, "--out", pdf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadFile(pdf).rfind("%PDF", 0), 0u);

    r = RunCli({"chart", kWhen, "--out", (dir / "missing" / "chart.png").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos);
}

// A drawing blank: print colours, the caption of the instant and the longitude labels,
// with the disk at the chart diameter.
TEST(ChartCommand, WritesAnSvgDrawingBlank) {
    test::TempDir dir;
    test::ScopedCurrentDir here(dir.path());
    const Result r = RunCli({"chart", "2026-12-07T12:00:00", "--out", "blank.svg", "--style",
                             "print", "--caption", "--long-labels", "--lat-lines"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = test::ReadFile(dir / "blank.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    // 150 mm at 75 units to the inch: a radius of 75 / 25.4 * 75 = 221.457 units, white.
    EXPECT_NE(svg.find("rx=\"221.457\" ry=\"221.457\" fill=\"#ffffff\""), std::string::npos);
    EXPECT_NE(svg.find("width=\"187.5mm\""), std::string::npos);
    EXPECT_NE(svg.find("L0 124.30\u00B0"), std::string::npos); // almanac-grade, as in CliAt
    for (const char* text : {">2026-12-07  12:00:00 UT<", ">Observer<", ">Seeing<", ">Notes<"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
    EXPECT_NE(svg.find(">120\u00B0<"), std::string::npos); // near the central meridian
}

} // namespace
} // namespace zorva::cli
