#include <gtest/gtest.h>
#include <sstream>

#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

using test::Fields;
using test::RunCli;

TEST(LimbCommandFits, HeaderDiskOrientationAndTime) {
    ZORVA_TEST_DATA(data);
    const test::CliResult r = RunCli({"limb", (data / "fits" / "resampled_hmi.fits").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto f = Fields(r.out);
    // The test data's README: radius 46.9 px; centre near CRPIX 50.5 (1-based); the
    // header's DATE-OBS 00:00:27.90 to the nearest second.
    EXPECT_NEAR(zorva::test::Number(f.at("HeaderRadius")), 46.9, 0.01);
    EXPECT_NEAR(zorva::test::Number(f.at("HeaderCentreX")), 49.5, 0.2);
    EXPECT_NEAR(zorva::test::Number(f.at("HeaderCentreY")), 49.5, 0.2);
    EXPECT_EQ(f.at("Date"), "2014-03-01");
    EXPECT_EQ(f.at("Time"), "00:00:28");
    // The limb search itself lands within a pixel of the header's disk.
    EXPECT_NEAR(zorva::test::Number(f.at("Radius")), 46.9, 1.0);
    // CROTA2 179.929779 turns the picture by 360 - 179.93 = 180.07: north down, east right.
    const std::string last = r.out.substr(r.out.rfind("Orientation "));
    EXPECT_EQ(last, "Orientation q 180.07, flip +1, mirror -1 (solar north down, east right)\n");
}

TEST(LimbCommandFits, RefineMovesTheLimbToAFractionOfAPixel) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / "hmi_20230131_033945_512.png").string();
    const auto plain = Fields(RunCli({"limb", image}).out);
    const test::CliResult refined = RunCli({"limb", "--refine", image});
    ASSERT_EQ(refined.status, 0) << refined.err;
    const auto f = Fields(refined.out);
    // The README's disk: radius 202.9 px, which the whole-pixel search puts half a pixel
    // short.
    EXPECT_NEAR(zorva::test::Number(f.at("Radius")), 202.9, 0.2);
    EXPECT_LT(zorva::test::Number(plain.at("Radius")), 202.5);
    EXPECT_EQ(f.count("HeaderRadius"), 0u);
    EXPECT_EQ(RunCli({"limb", "--refine=yes", image}).status, 2);
}

} // namespace
} // namespace zorva::cli
