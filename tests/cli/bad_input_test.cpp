// The command line against a full disk, wrong numbers and damaged year files.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::test {
namespace {

const std::string kWhen = "2026-03-20T12:00:00";

std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A chart that cannot be written leaves the old one whole, names the file and the reason
// on one line, and ends with status 1.
TEST(BadInput, AChartThatCannotBeWrittenKeepsTheOldOne) {
    TempDir dir;
    for (const char* name : {"chart.png", "chart.pdf", "chart.svg"}) {
        const std::string path = (dir / name).string();
        ASSERT_EQ(RunCli({"chart", kWhen, "--out", path}).status, 0) << name;
        const std::string old = ReadFile(path);
        CliResult r;
        {
            ScopedFileSizeLimit full(1000);
            r = RunCli({"chart", kWhen, "--out", path, "--diameter", "200", "--lat-lines"});
        }
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(Lines(r.err), 1u) << r.err;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(path), old) << name;
    }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(e.path().filename());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"chart.pdf", "chart.png", "chart.svg"}));
}

// Out of range or malformed: one line on the error stream, status 2, nothing on the output.
TEST(BadInput, WrongNumbersAreRefusedOnOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"at", "2026-03-20T-1:00:00"},
        {"at", "2026-03-20T12:-1:-1"},
        {"at", "2026-03-20T12:00:+1"},
        {"at", "-026-03-20T12:00:00"},
        {"at", kWhen, "--lat", "+-1"},
        {"at", kWhen, "--lat", "-+1"},
        {"at", kWhen, "--lat", "++1"},
        {"at", kWhen, "--long", "--1"},
        {"at", kWhen, "--lat", "91"},
        {"at", kWhen, "--long", "360.5"},
        {"at", kWhen, "--lat", "nan"},
        {"at", kWhen, "--long", "inf"},
        {"at", kWhen, "--lat", "1e400"},
        {"locate", kWhen, "--x", "1e300", "--y", "0"},
        {"locate", kWhen, "--x", "0", "--y", "-2000.5"},
        {"locate", kWhen, "--x", "0", "--y", "0", "--diameter", "0.0001"},
        {"locate", kWhen, "--x", "0", "--y", "0", "--diameter", "1e-300"},
        {"locate", kWhen, "--x", "0", "--y", "0", "--diameter", "2000.1"},
        {"locate", kWhen, "--x", "0", "--y", "0", "--size", "-1"},
        {"locate", kWhen, "--x", "0", "--y", "0", "--size", "1e308"},
        {"chart", kWhen, "--out", "never.png", "--diameter", "0.0001"},
        {"chart", kWhen, "--out", "never.pdf", "--diameter", "1e-300"},
        {"chart", kWhen, "--out", "never.svg", "--x", "-1e9"},
        {"year", "0"},
        {"year", "10000"},
        {"year", "2026x"},
    };
    for (const auto& args : cases) {
        const CliResult r = RunCli(args);
        const std::string shown = args.back();
        EXPECT_EQ(r.status, 2) << shown << ": " << r.err;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(Lines(r.err), 1u) << shown << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists("never.png"));
}

// A point off the disk has no latitude, longitude or area: no stand-in values go out.
TEST(BadInput, APointOffTheDiskIsSaidSo) {
    for (const char* x : {"-200", "2000"}) {
        const CliResult r = RunCli({"locate", kWhen, "--x", x, "--y", "0"});
        EXPECT_EQ(r.status, 1) << x;
        EXPECT_EQ(r.out, "") << x;
        EXPECT_EQ(r.err, std::string("zorva-cli: the point (") + x +
                             ", 0) mm lies off the solar disk of the 150 mm chart\n");
    }
    // Anywhere on the disk of the smallest chart, with the largest size, every value is a
    // number: the area of 10 million squares on a 1 mm disk is large, never infinite.
    for (const char* x : {"0", "0.3", "0.49", "-0.4999"}) {
        const CliResult r = RunCli(
            {"locate", kWhen, "--x", x, "--y", "0", "--diameter", "1", "--size", "10000000"});
        ASSERT_EQ(r.status, 0) << x << ": " << r.err;
        for (const auto& [name, value] : Fields(r.out)) {
            EXPECT_TRUE(std::isfinite(zorva::test::Number(value))) << name << " " << value;
            EXPECT_NE(value, "-999") << name;
        }
    }
}

// A damaged year file is named with its line in one warning; the numbers come from the
// computed path for the days it lacks, and the command succeeds.
TEST(BadInput, ADamagedYearFileIsNamedOnce) {
    TempDir dir;
    ScopedCurrentDir here(dir.path());
    const CliResult clean = RunCli({"at", "2070-01-02T12:00:00"});
    ASSERT_EQ(clean.status, 0);
    WriteFile(dir / "zorvadata2070.txt",
              "Zorva daily solar ephemeris 2070 0h UT\n"
              "Year Month Day RA Dec B0 L0 P Dm Ds Rot\n"
              "2070 Jan 1 18.77 -23.02 -3.00 299.18 2.05 32 35.0 2812\n"
              "2070 Jan 2 18.84 -22.93 -3.11 286.01 1e308 32 35.0 2812\n");
    const CliResult r = RunCli({"at", "2070-01-02T12:00:00"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "zorva-cli: warning: zorvadata2070.txt line 4: P 1e308 outside -27..27 "
                     "degrees\n");
    EXPECT_EQ(r.out, clean.out);
}

// A pipe, or a link to an endless device, named as a year file once held `at` for good; it
// is named in the warning and the command goes on without it.
TEST(BadInput, APipeOrADeviceAsYearFileHoldsNothingUp) {
    constexpr unsigned kSecondsBeforeAHangCounts = 60;
    ::alarm(kSecondsBeforeAHangCounts);
    for (const bool pipe : {true, false}) {
        TempDir dir;
        ScopedCurrentDir here(dir.path());
        const CliResult clean = RunCli({"at", "2070-01-02T12:00:00"});
        if (pipe) {
            ASSERT_EQ(::mkfifo("zorvadata2070.txt", 0600), 0);
        } else {
            std::filesystem::create_symlink("/dev/zero", "zorvadata2070.txt");
        }
        const CliResult r = RunCli({"at", "2070-01-02T12:00:00"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, std::string("zorva-cli: warning: zorvadata2070.txt cannot be read: ") +
                             (pipe ? "a pipe" : "a device") + ", not a regular file\n");
        EXPECT_EQ(r.out, clean.out);
    }
    ::alarm(0);
}

} // namespace
} // namespace zorva::test
