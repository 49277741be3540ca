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

// A name that is not UTF-8 went into the JSON of spots as it was, which made the JSON
// invalid, and names with control characters went to the terminal raw. The JSON shows
// such bytes as U+FFFD with the exact name percent-encoded beside it; the text and the
// error stream show them as the shell's $'...' escapes.
TEST(FileNames, NamesOutOfTheOrdinaryAreWrittenSafely) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const std::string odd = "sun\xff\xfe 5%.png";
    fs::copy_file(data / "images" / "hmi_20230131_033945_512.png", dir / odd);
    const std::string folder = dir.path().string();
    const std::string when = "2023-01-31T03:39:45";
    const test::CliResult json =
        RunCli({"spots", (dir / odd).string(), "--format", "json", "--at", when});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"file\":\"" + folder + "/sun\xef\xbf\xbd\xef\xbf\xbd 5%.png\"," +
                                 "\"file_bytes\":\"" + folder + "/sun%FF%FE 5%25.png\",",
                             0),
              0u)
        << json.out.substr(0, 200);
    const test::CliResult text = RunCli({"spots", (dir / odd).string(), "--at", when});
    EXPECT_EQ(text.out.rfind("File " + folder + "/sun\\xff\\xfe 5%.png\n", 0), 0u)
        << text.out.substr(0, 200);

    // A name that cannot be opened: in the JSON's error, and on the error stream.
    const std::string missing = (dir / "gone\x1b[2J\n.png").string();
    const test::CliResult gone = RunCli({"spots", missing, "--format", "json"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out.rfind("{\"file\":\"" + folder + "/gone\\u001b[2J\\u000a.png\",\"error\"", 0),
              0u)
        << gone.out;
    EXPECT_EQ(gone.err.find('\x1b'), std::string::npos) << gone.err;
    EXPECT_NE(gone.err.find("gone\\x1b[2J\\n.png"), std::string::npos) << gone.err;
    EXPECT_EQ(std::count(gone.err.begin(), gone.err.end(), '\n'), 1) << gone.err;
}

} // namespace
} // namespace zorva::cli
