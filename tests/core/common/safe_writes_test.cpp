// Saves that complete or leave the old content: links, permissions, devices, temporaries
// of killed saves, appends that fail.
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/common/atomic_file.h"
#include "core/logfile/logfile.h"
#include "core/settings/settings_store.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

using test::EntriesIn;

TEST(SafeWrites, ALinkKeepsItsTargetAndAFileItsMode) {
    TempDir dir;
    WriteFile(dir / "real.dat", "old");
    fs::permissions(dir / "real.dat", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.dat", dir / "link.dat");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "link.dat", "new", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.dat"));
    EXPECT_EQ(ReadFile(dir / "real.dat"), "new");
    EXPECT_EQ(fs::status(dir / "real.dat").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A link to a file not yet there makes that file, and stays a link.
    fs::create_symlink("made.dat", dir / "dangling.dat");
    ASSERT_TRUE(WriteFileAtomically(dir / "dangling.dat", "made", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.dat"));
    EXPECT_EQ(ReadFile(dir / "made.dat"), "made");
    EXPECT_EQ(EntriesIn(dir.path()),
              (std::vector<std::string>{"dangling.dat", "link.dat", "made.dat", "real.dat"}));
}

TEST(SafeWrites, OnlyRegularFilesAreReplaced) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir / "pipe", "text", &error));
    EXPECT_EQ(error, "a pipe, not a regular file");
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_EQ(EntriesIn(dir.path()), std::vector<std::string>{"pipe"});
}

TEST(SafeWrites, StaleTemporariesAreClearedButNotOnesInUse) {
    TempDir dir;
    const fs::path a = dir / "a.dat";
    const std::string stale = TemporaryName(a, 123);
    const std::string held = TemporaryName(a, 77);
    const std::string ofB = TemporaryName(dir / "b.dat", 5);
    // Named like a temporary of a.dat but for its number, its ending or its fingerprint.
    std::string notNumbered = stale;
    notNumbered.replace(notNumbered.find("123"), 3, "9x");
    const std::string noEnding = stale.substr(0, stale.size() - 4);
    const std::string otherFingerprint = "x" + stale.substr(1);
    for (const std::string& name : {stale, held, ofB, notNumbered, noEnding, otherFingerprint})
        WriteFile(dir / name, "left over");
    // A save in progress holds a lock on its temporary.
    const int lock = ::open((dir / held).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    RemoveStaleTemporaries(a);
    std::vector<std::string> left{held, ofB, notNumbered, noEnding, otherFingerprint};
    std::sort(left.begin(), left.end());
    EXPECT_EQ(EntriesIn(dir.path()), left);
    ::close(lock);
    // A save clears them too.
    ASSERT_TRUE(WriteFileAtomically(a, "whole"));
    left.erase(std::find(left.begin(), left.end(), held));
    left.push_back("a.dat");
    std::sort(left.begin(), left.end());
    EXPECT_EQ(EntriesIn(dir.path()), left);
}

// A name as long as the system allows (255 bytes) once failed to save: the temporary's name
// added 13 characters to it.
TEST(SafeWrites, TheLongestNameSaves) {
    constexpr std::size_t kLongestName = 255;
    TempDir dir;
    const fs::path file = dir / (std::string(kLongestName - 4, 'n') + ".png");
    std::string error;
    for (const char* bytes : {"first", "second"}) {
        ASSERT_TRUE(WriteFileAtomically(file, bytes, &error)) << error;
        EXPECT_EQ(ReadFile(file), bytes);
    }
    EXPECT_EQ(EntriesIn(dir.path()), std::vector<std::string>{file.filename()});
}

// A full disk during an append once left a partial line that the next line joined.
TEST(SafeWrites, AFailedAppendLeavesTheLogfileAsItWas) {
    TempDir dir;
    const fs::path log = dir / "log.txt";
    ASSERT_TRUE(CreateLogfile(log).ok);
    const std::string before = ReadFile(log);
    const std::string line(220, '7');
    {
        test::ScopedFileSizeLimit full(before.size() + 100);
        const LogfileResult r = AppendToLogfile(log, line);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("log.txt"), std::string::npos) << r.error;
    }
    // A logfile the failed append would have created is not left behind, nor the file a
    // link would have led to; the link stays.
    fs::create_symlink("made.txt", dir / "link.txt");
    for (const char* name : {"new.txt", "link.txt"}) {
        test::ScopedFileSizeLimit full(100);
        EXPECT_FALSE(AppendToLogfile(dir / name, line).ok);
    }
    EXPECT_EQ(ReadFile(log), before);
    EXPECT_FALSE(fs::exists(dir / "new.txt"));
    EXPECT_FALSE(fs::exists(dir / "made.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    ASSERT_TRUE(AppendToLogfile(log, line).ok);
    EXPECT_EQ(ReadFile(log), before + line + "\n");
}

// Two processes adding 2000 lines each to one logfile once kept fewer than 4000: one's
// mending of the other's end cut lines in flight.
TEST(SafeWrites, TwoProcessesAppendingKeepEveryLine) {
    constexpr int kLinesEach = 2000;
    TempDir dir;
    const fs::path log = dir / DefaultLogfileName;
    ASSERT_TRUE(CreateLogfile(log).ok);
    // Lines as long as measurement lines, each naming its process and number.
    const auto lineOf = [](int process, int i) {
        std::string text = std::to_string(process) + " " + std::to_string(i) + " ";
        return text + std::string(LogfileHeader().size() - text.size(), 'x');
    };
    pid_t children[2];
    for (int process = 0; process < 2; ++process) {
        children[process] = ::fork();
        ASSERT_GE(children[process], 0);
        if (children[process] == 0) {
            int failed = 0;
            for (int i = 0; i < kLinesEach; ++i)
                failed += AppendToLogfile(log, lineOf(process, i)).ok ? 0 : 1;
            ::_exit(failed == 0 ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "an append reported failure";
    }
    // Every line is there, whole, and each process's lines in the order it wrote them.
    std::istringstream text(ReadFile(log));
    std::string got;
    ASSERT_TRUE(std::getline(text, got));
    EXPECT_EQ(got, LogfileHeader());
    int next[2] = {0, 0};
    int lines = 0;
    while (std::getline(text, got)) {
        ++lines;
        const int process = got.rfind("1 ", 0) == 0 ? 1 : 0;
        ASSERT_LT(next[process], kLinesEach) << "line " << lines << ": " << got;
        ASSERT_EQ(got, lineOf(process, next[process]++)) << "line " << lines;
    }
    EXPECT_EQ(lines, 2 * kLinesEach);
    EXPECT_EQ(next[0], kLinesEach);
    EXPECT_EQ(next[1], kLinesEach);
}

// Whether a logfile holds its header and whole copies of `line`, and when `partAllowed`,
// what an unfinished append leaves: the start of one more and zeros to its end.
bool IsHeaderAndLines(const std::string& text, const std::string& line, bool partAllowed) {
    const std::string header = LogfileHeader() + "\n";
    if (text.compare(0, header.size(), header) != 0) return false;
    const std::string whole = line + "\n";
    std::size_t at = header.size();
    for (; text.size() - at >= whole.size() && text.compare(at, whole.size(), whole) == 0;
         at += whole.size()) {
    }
    if (at == text.size()) return true;
    const std::string rest = text.substr(at);
    const std::size_t written = rest.find('\0');
    return partAllowed && rest.size() == whole.size() && written != std::string::npos &&
           rest.compare(0, written, whole, 0, written) == 0 &&
           rest.find_first_not_of('\0', written) == std::string::npos;
}

// Saves killed at random moments: each settings file is always one whole save or the
// other, the logfile holds whole lines once the next line is added, and the temporaries of
// a killed save go when the program next starts and next adds to the logfile.
TEST(SafeWrites, KilledSavesLeaveNoTornFileAndNoOrphan) {
    constexpr int kKills = 400;
    // Now and then the logfile is made anew, so that kills land in its creation too.
    constexpr int kAppendsPerCreate = 8;
    TempDir dir;
    Settings a;
    Settings b;
    b.HideWelcome = true;
    b.ObserverLat = -33.875;
    b.ScreenWidth = 1600;
    b.ScreenHeight = 1200;
    const Folders fa{"/images/", "", "", "/logs/"};
    const Folders fb{"", "/srs/2026/", "/saved/", ""};
    ASSERT_TRUE(SaveSettingsFiles(dir.path(), fa, a).settingsWritten);
    const std::string settings[] = {SettingsFileText(a), SettingsFileText(b)};
    const std::string folders[] = {*DirectoryFileText(fa), *DirectoryFileText(fb)};
    const fs::path log = dir / DefaultLogfileName;
    ASSERT_TRUE(CreateLogfile(log).ok);
    // A line as long as a measurement line; with its break it does not divide a page, so
    // appends cross page ends.
    const std::string line(LogfileHeader().size(), '5');

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    // How often a kill cut a save short with its temporary in place, to show that the
    // kills did land inside saves.
    int logfileTemporaries = 0;
    int settingsTemporaries = 0;
    int cutShortLines = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each child starts at another point of the round, so that short delays
            // find it in every kind of save.
            for (int i = kill;; ++i) {
                if (i % kAppendsPerCreate == 0) {
                    CreateLogfile(log);
                } else {
                    AppendToLogfile(log, line);
                }
                SaveSettingsFiles(dir.path(), i % 2 ? fa : fb, i % 2 ? a : b);
            }
        }
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string s = ReadFile(dir / "ZorvaViewerSettings_v10.dat");
        const std::string f = ReadFile(dir / "ZorvaViewerDir_v10.dat");
        ASSERT_TRUE(s == settings[0] || s == settings[1]) << "kill " << kill << ": " << s;
        ASSERT_TRUE(f == folders[0] || f == folders[1]) << "kill " << kill << ": " << f;
        // A kill may stop an append halfway; the next one mends that.
        const std::string logText = ReadFile(log);
        ASSERT_TRUE(IsHeaderAndLines(logText, line, true)) << "kill " << kill;
        if (!IsHeaderAndLines(logText, line, false)) ++cutShortLines;
        for (const std::string& name : EntriesIn(dir.path())) {
            if (IsTemporaryName(name, log)) ++logfileTemporaries;
            if (IsTemporaryName(name, dir / "ZorvaViewerSettings_v10.dat") ||
                IsTemporaryName(name, dir / "ZorvaViewerDir_v10.dat")) {
                ++settingsTemporaries;
            }
        }
        // The next start-up reads the settings, and the next line goes to the logfile.
        LoadSettingsFiles(dir.path());
        ASSERT_TRUE(AppendToLogfile(log, line).ok);
        ASSERT_TRUE(IsHeaderAndLines(ReadFile(log), line, false)) << "kill " << kill;
        ASSERT_EQ(EntriesIn(dir.path()),
                  (std::vector<std::string>{DefaultLogfileName, "ZorvaViewerDir_v10.dat",
                                            "ZorvaViewerSettings_v10.dat"}))
            << "kill " << kill;
    }
    std::cout << kKills << " kills left " << logfileTemporaries << " temporaries of the logfile, "
              << settingsTemporaries << " of the settings files and " << cutShortLines
              << " cut-short lines\n";
}

} // namespace
} // namespace zorva
