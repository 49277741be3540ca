// File names reach the file system as the bytes given. Names that are not UTF-8 (Latin-1
// "é" is the byte 0xE9) were "not found" by limb, overlay and locate --image, and chart
// --out wrote another name; an output name of 243 to 255 bytes failed for its temporary.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

using test::EntriesIn;

TEST(FileNames, NamesThatAreNotUtf8AreUsedAsGiven) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const std::string latin = "h\xe9lio.png";
    const std::string grid = "grille-\xe9.png";
    const std::string chart = "carte-\xe9.svg";
    fs::copy_file(data / "images" / "hmi_20230131_033945_512.png", dir / latin);
    fs::copy_file(data / "images" / "hmi_20230131_033945_512.png", dir / "helio.png");
    const std::string image = (dir / latin).string();
    const std::string plain = (dir / "helio.png").string();
    const std::string when = "2023-01-31T03:39:45";

    // The same picture under a plain name gives the same answers.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"limb"},
          {"locate", when, "--px", "300", "--py", "200", "--image"}}) {
        std::vector<std::string> withLatin = args;
        std::vector<std::string> withPlain = args;
        withLatin.push_back(image);
        withPlain.push_back(plain);
        const test::CliResult r = RunCli(withLatin);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        EXPECT_EQ(r.out, RunCli(withPlain).out) << args[0];
    }
    const test::CliResult overlay =
        RunCli({"overlay", image, "--out", (dir / grid).string(), "--at", when});
    EXPECT_EQ(overlay.status, 0) << overlay.err;
    const test::CliResult drawn =
        RunCli({"chart", "2026-03-20T12:00:00", "--out", (dir / chart).string()});
    EXPECT_EQ(drawn.status, 0) << drawn.err;
    // Exactly these names, byte for byte, and nothing else.
    std::vector<std::string> expected{latin, "helio.png", grid, chart};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(EntriesIn(dir.path()), expected);
}

TEST(FileNames, OutputNamesAsLongAsTheSystemAllowsAreWritten) {
    constexpr std::size_t kLongestName = 255;
    test::TempDir dir;
    for (const std::size_t length : {kLongestName - 12, kLongestName}) {
        const std::string name = std::string(length - 4, 'c') + ".svg";
        const test::CliResult r =
            RunCli({"chart", "2026-03-20T12:00:00", "--out", (dir / name).string()});
        EXPECT_EQ(r.status, 0) << length << ": " << r.err;
        EXPECT_TRUE(fs::is_regular_file(dir / name)) << length;
    }
    EXPECT_EQ(EntriesIn(dir.path()).size(), 2u);
}

} // namespace
} // namespace zorva::cli
