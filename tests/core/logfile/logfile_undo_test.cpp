// Taking the last measurement out of a logfile again, and only the one this program added.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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
    // break stays when the measurement goes again.
    test::WriteFile(path, empty + "a note");
    ASSERT_TRUE(AppendToLogfile(path, "third", &first).ok);
    ASSERT_TRUE(RemoveLastLogfileLine(path, "third", first).ok);
    EXPECT_EQ(test::ReadFile(path), empty + "a note\n");
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

} // namespace
} // namespace zorva
