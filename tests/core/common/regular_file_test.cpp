// Nothing hangs on a pipe or an endless device put where the program's files belong, and
// nothing of theirs is replaced: each reader and the logfile's append refuse them.
#include "core/common/regular_file.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/year_tables.h"
#include "core/logfile/logfile.h"
#include "core/settings/options_file.h"
#include "core/settings/settings_store.h"
#include "core/srs/srs_reader.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

// A hang fails the test run instead of holding it.
constexpr unsigned kSecondsBeforeAHangCounts = 60;

TEST(Hangs, PipesAndEndlessDevicesAreRefused) {
    const char* const names[] = {
        "ZorvaViewerSettings_v10.dat", "ZorvaViewerDir_v10.dat", "ZorvaOptions.ini",
        "zorvadata2026.txt",           "ZorvaLogfile.txt",       "20110607SRS.txt"};
    enum Kind { Pipe, LinkToZeros };
    ::alarm(kSecondsBeforeAHangCounts);
    for (const Kind kind : {Pipe, LinkToZeros}) {
        SCOPED_TRACE(kind == Pipe ? "a pipe" : "a link to /dev/zero");
        const std::string refusal = kind == Pipe ? "a pipe" : "a device";
        test::TempDir dir;
        for (const char* name : names) {
            if (kind == Pipe) {
                ASSERT_EQ(::mkfifo((dir / name).c_str(), 0600), 0);
            } else {
                fs::create_symlink("/dev/zero", dir / name);
            }
        }
        const LoadedSettingsFiles settings = LoadSettingsFiles(dir.path());
        EXPECT_EQ(settings.settings.settings, Settings{});
        EXPECT_FALSE(settings.directoryFound);
        EXPECT_NE(settings.settings.error.find(refusal), std::string::npos)
            << settings.settings.error;

        const OptionsLoad options = LoadOptionsFile(dir / "ZorvaOptions.ini");
        EXPECT_TRUE(options.found && !options.read);
        EXPECT_NE(options.error.find(refusal), std::string::npos) << options.error;
        EXPECT_FALSE(StoreOptions(dir / "ZorvaOptions.ini", {{"SubPixelLimb", "true"}}).ok);

        // The year file is named as unreadable; the built-in table stands in.
        DailyTable table;
        YearTableSource source;
        EXPECT_EQ(LoadYearTable(2026, table, dir.path(), &source), 365);
        EXPECT_EQ(source.origin, YearTableOrigin::BuiltIn);
        EXPECT_NE(source.error.find("zorvadata2026.txt cannot be read: " + refusal),
                  std::string::npos)
            << source.error;
        // The first day of the next year, for the last hours of this one, too.
        YearTables tables(dir.path());
        tables.LoadFor({2025, 12, 31, 12, 0, 0});
        const Ephemeris e = tables.At({2025, 12, 31, 12, 0, 0}, Observer{});
        EXPECT_GT(e.RA, 18.5); // the Sun stands at about 18 h 42 min at the year's end
        EXPECT_LT(e.RA, 19.0);

        const LogfileResult appended =
            AppendToLogfile(dir / "ZorvaLogfile.txt", std::string(220, '1'));
        EXPECT_FALSE(appended.ok);
        EXPECT_NE(appended.error.find(refusal), std::string::npos) << appended.error;

        EXPECT_EQ(LoadSrsFile(dir / "20110607SRS.txt").Error, "Unable to open 20110607SRS.txt.");

        // Each is still what it was.
        for (const char* name : names) {
            EXPECT_EQ(kind == Pipe ? fs::is_fifo(dir / name) : fs::is_symlink(dir / name), true)
                << name;
        }
    }
    ::alarm(0);
}

TEST(Hangs, ReadsStopAtTheirBound) {
    test::TempDir dir;
    // A file far longer than any the program reads, with nothing on the disk.
    const fs::path big = dir / "big.txt";
    test::WriteFile(big, "");
    fs::resize_file(big, std::uintmax_t{1} << 31);
    const RegularFileRead read = ReadRegularFile(big);
    EXPECT_TRUE(read.found);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "longer than 1048576 bytes");
    EXPECT_TRUE(read.bytes.empty());
    test::WriteFile(big, "abc");
    EXPECT_EQ(ReadRegularFile(big, 3).bytes, "abc");
    EXPECT_FALSE(ReadRegularFile(dir / "none").found);
}

} // namespace
} // namespace zorva
