// Nothing hangs on a pipe or an endless device put where the program's files belong, and
// nothing of theirs is replaced: each reader and the logfile's append refuse them.
#include "core/common/regular_file.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

        EXPECT_EQ(LoadSrsFile(dir / "20110607SRS.txt").Error,
                  "Unable to open 20110607SRS.txt: " + refusal + ", not a regular file.");

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

    // A summary as long: it is said to be too long, not to be unreadable.
    fs::resize_file(big, (std::uintmax_t{1} << 20) + 1);
    fs::rename(big, dir / "20110607SRS.txt");
    EXPECT_EQ(LoadSrsFile(dir / "20110607SRS.txt").Error,
              "20110607SRS.txt is longer than 1 MB, far longer than any Solar Region Summary (a "
              "few kilobytes); it is not read.");
}

// A link that leads round in a loop, and a file in a folder that cannot be entered, were
// said not to exist.
TEST(Hangs, WhatCannotBeReachedIsSaidTruly) {
    test::TempDir dir;
    fs::create_symlink("b.txt", dir / "a.txt");
    fs::create_symlink("a.txt", dir / "b.txt");
    fs::create_symlink("gone.txt", dir / "dangling.txt");
    test::WriteFile(dir / "file.txt", "x");
    const struct {
        fs::path path;
        const char* why;
    } cases[] = {
        {dir / "none.txt", "the file does not exist"},
        {dir / "a.txt", "its symbolic links go round in a loop"},
        {dir / "dangling.txt", "it is a symbolic link to something that does not exist"},
        {dir / "file.txt" / "inside.txt", "a part of its path is a file, not a folder"},
        {dir / "file.txt", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WhyUnreachable(c.path), c.why) << c.path;
    }
    EXPECT_EQ(LoadSrsFile(dir / "a.txt").Error,
              "Unable to open a.txt: its symbolic links go round in a loop.");
    EXPECT_EQ(ReadRegularFile(dir / "a.txt").error, "its symbolic links go round in a loop");

    // A folder without the right to enter it, looked into by someone it is closed to: the
    // superuser enters every folder, so the look is taken as another user.
    fs::create_directory(dir / "closed");
    test::WriteFile(dir / "closed" / "20110607SRS.txt", "x");
    fs::permissions(dir / "closed", fs::perms::owner_all);
    int answer[2];
    ASSERT_EQ(::pipe(answer), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(1);
        const std::string why = LoadSrsFile(dir / "closed" / "20110607SRS.txt").Error;
        ::_exit(::write(answer[1], why.data(), why.size()) == static_cast<ssize_t>(why.size()) ? 0
                                                                                               : 1);
    }
    ::close(answer[1]);
    char said[256] = {};
    const ssize_t n = ::read(answer[0], said, sizeof said - 1);
    ::close(answer[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(said, static_cast<std::size_t>(n)),
              "Unable to open 20110607SRS.txt: a folder on its way cannot be entered (permission "
              "denied).");
}

} // namespace
} // namespace zorva
