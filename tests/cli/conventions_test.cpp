// The command line's conventions: the instants it takes, the numbers it prints, and an
// error stream that carries its own messages alone, naming the file they are about.
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/context.h"
#include "cli/help.h"
#include "cli/run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

using test::RunCli;

TEST(CliConventions, InstantsInTheIsoForms) {
    const struct {
        const char* text;
        Instant t;
    } good[] = {
        {"2026-12-07T12:00:00", {2026, 12, 7, 12, 0, 0}},
        {"2026-12-07T12:00", {2026, 12, 7, 12, 0, 0}},
        {"2026-12-07T12:00Z", {2026, 12, 7, 12, 0, 0}},
        {"2026-12-07T12:00:00Z", {2026, 12, 7, 12, 0, 0}},
        {"2026-12-07T12:00:00.49", {2026, 12, 7, 12, 0, 0}},
        // Halves round upwards, carrying through the minute, hour, day and year.
        {"2026-12-07T12:00:00.5", {2026, 12, 7, 12, 0, 1}},
        {"2026-12-07T12:00:59.999Z", {2026, 12, 7, 12, 1, 0}},
        {"2026-12-31T23:59:59.5", {2027, 1, 1, 0, 0, 0}},
        {"2028-02-28T23:59:59.7", {2028, 2, 29, 0, 0, 0}},
    };
    Context run(std::nullopt);
    for (const auto& c : good) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseInstant(c.text, run), c.t);
    }
    for (const char* bad :
         {"2026-12-07T12", "2026-12-07T12:00:", "2026-12-07T12:00:00.", "2026-12-07T12:00:00.5.5",
          "2026-12-07T12:00:00ZZ", "2026-12-07 12:00", "2026-12-07T12:00:00+01:00",
          "2026-12-07T12:-1", "9999-12-31T23:59:59.5", "2026-12-07T24:00", "2016-12-31T12:30:60",
          "9999-12-31T23:59:60"}) {
        EXPECT_THROW(ParseInstant(bad, run), UsageError) << bad;
    }
    // The leap second at the end of 2016 (IERS Bulletin C 52) was refused with status 2; it
    // is the next day's first second, as in a camera's time, a FITS header and a file name,
    // with a note.
    for (const char* leap : {"2016-12-31T23:59:60Z", "2016-12-31T23:59:60.7"}) {
        const test::CliResult r = RunCli({"at", leap});
        EXPECT_EQ(r.status, 0) << leap;
        EXPECT_EQ(r.out, RunCli({"at", "2017-01-01T00:00:00"}).out) << leap;
        EXPECT_EQ(r.err, std::string("zorva-cli: note: ") + leap + ": " + LeapSecondNote + "\n");
    }
    // The forms give the same output as the full one.
    test::TempDir dir;
    test::ScopedCurrentDir here(dir.path());
    EXPECT_EQ(RunCli({"at", "2026-12-07T12:00Z"}).out, RunCli({"at", "2026-12-07T12:00:00"}).out);
}

TEST(CliConventions, NumbersInTheShortestTextThatReadsBack) {
    test::TempDir dir;
    test::ScopedCurrentDir here(dir.path());
    const test::CliResult r = RunCli({"at", "2026-12-07T12:00:00"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto f = test::Fields(r.out);
    // Halfway between the built-in table's 7 and 8 December 2026 (B0 0.16 and 0.03, seconds
    // 31.0 and 31.3): the doubles nearest 0.095 and 31.15.
    EXPECT_EQ(f.at("B0"), "0.095");
    EXPECT_EQ(f.at("DiamSeconds"), "31.15");
    for (const auto& [name, value] : f) {
        SCOPED_TRACE(name);
        const double v = test::Number(value);
        EXPECT_EQ(FullPrecision(v), value);
        // One digit fewer no longer reads back to the value.
        const std::size_t digits = value.find_first_of("123456789") == std::string::npos
                                       ? 0
                                       : value.size() - value.find_first_of("123456789");
        if (digits > 2 && value.find('e') == std::string::npos) {
            EXPECT_NE(test::Number(value.substr(0, value.size() - 1)), v);
        }
    }
}

// A TIFF of 64 x 48 grey pixels, a bright disk of radius 20 at (32, 24), with a private tag
// the TIFF library does not know and warns about.
std::string TiffWithUnknownTag() {
    constexpr int kW = 64, kH = 48;
    std::string pixels;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x)
            pixels += static_cast<char>((x - 32) * (x - 32) + (y - 24) * (y - 24) < 400 ? 220 : 15);
    }
    auto le = [](uint32_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    const std::vector<std::array<uint32_t, 3>> tags = {
        // tag, type (3 short, 4 long), value
        {256, 3, kW}, {257, 3, kH}, {258, 3, 8},  {259, 3, 1},       {262, 3, 1},
        {273, 4, 0},  {277, 3, 1},  {278, 3, kH}, {279, 4, kW * kH}, {65000, 3, 7}};
    const uint32_t dataAt = 8 + 2 + 12 * static_cast<uint32_t>(tags.size()) + 4;
    std::string tiff = "II*" + std::string(1, '\0') + le(8, 4) + le(tags.size(), 2);
    for (auto [tag, type, value] : tags) {
        if (tag == 273) value = dataAt;
        tiff += le(tag, 2) + le(type, 2) + le(1, 4) + le(value, 4);
    }
    return tiff + le(0, 4) + pixels;
}

TEST(CliConventions, StandardErrorCarriesOurMessagesNamingTheFile) {
    test::TempDir dir;
    test::ScopedCurrentDir here(dir.path());
    test::WriteFile(dir / "odd_tag.tif", TiffWithUnknownTag());
    const test::CliResult limb = RunCli({"limb", "odd_tag.tif"});
    EXPECT_EQ(limb.status, 0);
    EXPECT_EQ(limb.err, "");
    const auto f = test::Fields(limb.out);
    EXPECT_NEAR(test::Number(f.at("CentreX")), 32, 0.5);
    EXPECT_NEAR(test::Number(f.at("Radius")), 20, 1);

    const test::CliResult missing = RunCli({"regions", "missing.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "zorva-cli: Unable to open missing.txt: the file does not exist.\n");

    // The help promises what a point off the disk gives: nothing, and status 1.
    EXPECT_EQ(HelpText().find("-999"), std::string::npos);
    EXPECT_EQ(ManPage().find("\\-999"), std::string::npos);
}

} // namespace
} // namespace zorva::cli
