// The command line against a full disk, wrong numbers and damaged year files.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

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

} // namespace
} // namespace zorva::test
