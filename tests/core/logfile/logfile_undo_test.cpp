// Taking the last measurement out of a logfile again, and only the one this program added.
#include <gtest/gtest.h>

#include <iostream>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "core/logfile/logfile.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

struct LogfileUndo : ::testing::Test {
    test::TempDir dir;
    fs::path path = dir / "ZorvaLogfile.txt";
    void SetUp() override { ASSERT_TRUE(CreateLogfile(path).ok); }
};

TEST_F(LogfileUndo, TakesOutTheLinesItAppendedLastFirst) {
    const std::string empty = test::ReadFile(path);
    LogfileMark first, second, left;
    ASSERT_TRUE(AppendToLogfile(path, "first measurement", &first).ok);
    const std::string one = test::ReadFile(path);
    ASSERT_TRUE(AppendToLogfile(path, "second measurement", &second).ok);
    // The mark taken under the append's lock is the mark of the file as it is.
    EXPECT_EQ(MarkOf(test::ReadFile(path)), second);
    EXPECT_EQ(second.length, empty.size() + 17 + 1 + 18 + 1); // the two lines and their breaks

    ASSERT_TRUE(RemoveLastLogfileLine(path, "second measurement", second, &left).ok);
    EXPECT_EQ(test::ReadFile(path), one);
    EXPECT_EQ(left, first); // the file as the first append left it
    ASSERT_TRUE(RemoveLastLogfileLine(path, "first measurement", first, &left).ok);
    EXPECT_EQ(test::ReadFile(path), empty);
    // A line ended by the user without a line break is ended by the append, and the
    // break goes with the measurement: the file is again as it was. (Kept, it made an empty
    // line once another program's half-written line got its own break.)
    test::WriteFile(path, empty + "a note");
    ASSERT_TRUE(AppendToLogfile(path, "third", &first).ok);
    ASSERT_TRUE(RemoveLastLogfileLine(path, "third", first).ok);
    EXPECT_EQ(test::ReadFile(path), empty + "a note");
}

TEST_F(LogfileUndo, AFileChangedOutsideKeepsEveryLine) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> change;
        const char* why;
    } cases[] = {
        {"a line added by hand",
         [](const fs::path& p) { test::WriteFile(p, test::ReadFile(p) + "my own line\n"); },
         "it was changed outside Zorva since the measurement was added"},
        {"another program's line",
         [](const fs::path& p) { ASSERT_TRUE(AppendToLogfile(p, "theirs").ok); },
         "it was changed outside Zorva since the measurement was added"},
        {"a digit edited",
         [](const fs::path& p) {
             std::string t = test::ReadFile(p);
             t[t.size() - 3] = '9';
             test::WriteFile(p, t);
         },
         "it was changed outside Zorva since the measurement was added"},
        // The last line as it was written, with the file changed before it or after it.
        {"an earlier line edited",
         [](const fs::path& p) {
             std::string t = test::ReadFile(p);
             t[0] = t[0] == 'x' ? 'y' : 'x';
             test::WriteFile(p, t);
         },
         "it was changed outside Zorva since the measurement was added"},
        {"the same line appended again",
         [](const fs::path& p) { ASSERT_TRUE(AppendToLogfile(p, "measured").ok); },
         "it was changed outside Zorva since the measurement was added"},
        {"the line taken out by hand",
         [](const fs::path& p) {
             const std::string t = test::ReadFile(p);
             test::WriteFile(p, t.substr(0, t.size() - 8));
         },
         "it was changed outside Zorva since the measurement was added"},
        {"the file removed", [](const fs::path& p) { fs::remove(p); }, "it is no longer there"},
        {"a folder in its place",
         [](const fs::path& p) {
             fs::remove(p);
             fs::create_directory(p);
         },
         "a folder, not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(path);
        ASSERT_TRUE(CreateLogfile(path).ok);
        LogfileMark mark;
        ASSERT_TRUE(AppendToLogfile(path, "measured", &mark).ok);
        c.change(path);
        const bool file = fs::is_regular_file(path);
        const std::string changed = file ? test::ReadFile(path) : std::string();
        const LogfileResult undone = RemoveLastLogfileLine(path, "measured", mark);
        EXPECT_FALSE(undone.ok);
        EXPECT_NE(undone.error.find(path.string() + ": " + c.why), std::string::npos)
            << undone.error;
        if (file) {
            EXPECT_EQ(test::ReadFile(path), changed);
        }
    }
    // A logfile another program holds open keeps its lines: it could write the next moment.
    {
        fs::remove_all(path);
        ASSERT_TRUE(CreateLogfile(path).ok);
        LogfileMark mark;
        ASSERT_TRUE(AppendToLogfile(path, "measured", &mark).ok);
        const std::string before = test::ReadFile(path);
        const int reader = ::open(path.c_str(), O_RDONLY);
        const LogfileResult undone = RemoveLastLogfileLine(path, "measured", mark);
        ::close(reader);
        EXPECT_FALSE(undone.ok);
        EXPECT_NE(undone.error.find("another program has it open"), std::string::npos)
            << undone.error;
        EXPECT_EQ(test::ReadFile(path), before);
        EXPECT_TRUE(RemoveLastLogfileLine(path, "measured", mark).ok);
    }
    // A logfile the user made read-only keeps its lines (the superuser may write anyway).
    if (::geteuid() != 0) {
        fs::remove_all(path);
        ASSERT_TRUE(CreateLogfile(path).ok);
        LogfileMark mark;
        ASSERT_TRUE(AppendToLogfile(path, "measured", &mark).ok);
        fs::permissions(path, fs::perms::owner_read);
        EXPECT_FALSE(RemoveLastLogfileLine(path, "measured", mark).ok);
    }
}

// Another program adding lines without taking any lock, while this one adds and takes back
// its own, once lost hundreds of the other's lines: an append wrote over what came in after
// it measured the file, and an undo put back a copy made before. Every line of the other
// program stays, once and in its order, and of ours exactly those not taken back.
TEST(LogfileNeighbours, AnotherProgramsLinesSurviveAppendsAndUndos) {
    // Theirs come in bursts with pauses between, so that ours land both beside a burst and
    // in the quiet, where an undo can go through.
    constexpr int kTheirLines = 3000;
    constexpr int kBurst = 30;
    const auto theirLine = [](int i) { return "their line " + std::to_string(i); };
    const struct {
        const char* what;
        std::function<void(const fs::path&)> write; // runs in a child process
    } writers[] = {
        {"printf >> in a shell loop",
         [](const fs::path& p) {
             const std::string loop = "i=0; while [ $i -lt " + std::to_string(kTheirLines) +
                                      " ]; do printf 'their line %d\\n' $i >> \"$1\"; i=$((i+1)); "
                                      "[ $((i % " +
                                      std::to_string(kBurst) + ")) -eq 0 ] && sleep 0.005; done";
             ::execl("/bin/sh", "sh", "-c", loop.c_str(), "sh", p.c_str(), nullptr);
         }},
        {"raw writes on a descriptor kept open",
         [&theirLine](const fs::path& p) {
             const int fd = ::open(p.c_str(), O_WRONLY | O_APPEND);
             for (int i = 0; i < kTheirLines && fd >= 0; ++i) {
                 const std::string l = theirLine(i) + "\n";
                 if (::write(fd, l.data(), l.size()) != static_cast<ssize_t>(l.size())) break;
                 if ((i + 1) % kBurst == 0) ::usleep(5000);
             }
         }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.what);
        test::TempDir dir;
        const fs::path path = dir / DefaultLogfileName;
        ASSERT_TRUE(CreateLogfile(path).ok);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            w.write(path);
            ::_exit(0);
        }
        // Ours go in while theirs do; every second one is taken back at once.
        std::vector<std::string> kept;
        int ours = 0, undone = 0, status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            const std::string line = "our line " + std::to_string(ours++);
            LogfileMark mark;
            ASSERT_TRUE(AppendToLogfile(path, line, &mark).ok);
            if (ours % 2 == 0 && RemoveLastLogfileLine(path, line, mark).ok) {
                ++undone;
            } else {
                kept.push_back(line);
            }
        }
        ASSERT_TRUE(WIFEXITED(status));
        // Enough of ours went in while the other wrote for the two to have met.
        EXPECT_GE(ours, 20);

        std::istringstream text(test::ReadFile(path));
        std::string got;
        ASSERT_TRUE(std::getline(text, got));
        EXPECT_EQ(got, LogfileHeader());
        int theirs = 0;
        std::size_t nextOurs = 0;
        while (std::getline(text, got)) {
            if (nextOurs < kept.size() && got == kept[nextOurs]) {
                ++nextOurs;
                continue;
            }
            ASSERT_EQ(got, theirLine(theirs)) << "after " << theirs << " of theirs";
            ++theirs;
        }
        EXPECT_EQ(theirs, kTheirLines);
        EXPECT_EQ(nextOurs, kept.size());
        std::cout << w.what << ": " << ours << " of ours added, " << undone << " taken back\n";
    }
}

} // namespace
} // namespace zorva
