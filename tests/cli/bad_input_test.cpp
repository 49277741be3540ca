// The command line against a full disk, wrong numbers and damaged year files.
#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/logfile/logfile.h"
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
        // Something after --version, and an option given twice: which is meant is unclear.
        {"--version", "extra"},
        {"at", kWhen, "--lat", "10", "--lat", "20"},
        {"chart", kWhen, "--out", "never.png", "--flip", "--flip"},
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

// Output that cannot be written once ended with status 0: a full disk behind standard
// output is a message and status 1 for every command that prints, and for the help.
TEST(BadInput, OutputThatCannotBeWrittenIsAFailure) {
    ZORVA_TEST_DATA(data);
    TempDir dir;
    const std::string log = (dir / "log.txt").string();
    WriteFile(log, LogfileHeader() + "\n");
    const std::string picture = (data / "images" / "hmi_20230131_033945_512.png").string();
    const std::vector<std::vector<std::string>> cases = {
        {"year", "2005"},
        {"at", kWhen},
        {"locate", kWhen, "--x", "10", "--y", "10"},
        {"regions", (data / "srs" / "20110607SRS.txt").string()},
        {"limb", picture},
        {"spots", picture},
        {"logfile", log},
        {"--help"},
        {"help", "at"},
        {"--version"},
    };
    // A stream that takes nothing, as a full disk does.
    struct Full : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
        std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
    };
    for (const auto& args : cases) {
        Full full;
        std::ostream out(&full);
        std::ostringstream err;
        const int status = cli::Run(args, out, err);
        EXPECT_EQ(status, 1) << args[0];
        EXPECT_NE(err.str().find("zorva-cli: cannot write the output"), std::string::npos)
            << args[0] << ": " << err.str();
    }
    // The program itself, its standard output the device that is always full.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"year", "2005"}, std::vector<std::string>{"--help"}}) {
        int errPipe[2];
        ASSERT_EQ(::pipe(errPipe), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int full = ::open("/dev/full", O_WRONLY);
            ::dup2(full, STDOUT_FILENO);
            ::dup2(errPipe[1], STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(ZORVA_CLI_PROGRAM)};
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(ZORVA_CLI_PROGRAM, argv.data());
            ::_exit(127);
        }
        ::close(errPipe[1]);
        std::string said;
        char buffer[256];
        for (ssize_t n; (n = ::read(errPipe[0], buffer, sizeof buffer)) > 0;)
            said.append(buffer, static_cast<std::size_t>(n));
        ::close(errPipe[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << args[0] << ": " << status;
        EXPECT_EQ(said, "zorva-cli: cannot write the output: No space left on device\n") << args[0];
    }
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
