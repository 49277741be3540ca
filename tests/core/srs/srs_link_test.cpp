#include "core/srs/srs_link.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zorva {
namespace {

TEST(SrsLink, FileNameAndYearFolder) {
    EXPECT_EQ(SrsFileNameForDate(2006, 5, 5), "20060505srs.txt");
    EXPECT_EQ(SrsFileNameForDate(2010, 12, 31), "20101231srs.txt");
    EXPECT_EQ(SrsYearFolder("/data/SRS/2005/", 2006), "/data/SRS/2006/");
    EXPECT_EQ(SrsYearFolder("/data/SRS/2005", 2006), "/data/SRS/2006/");
    EXPECT_EQ(SrsYearFolder("2005/", 1996), "1996/");
    for (const char* folder : {"/data/SRS/", "", "/", "/data/SRS/x2005/", "/data/2005x/",
                               "/data/20051/", "/data/205/"}) {
        EXPECT_FALSE(SrsYearFolder(folder, 2006)) << folder;
    }
    EXPECT_FALSE(SrsYearFolder("/data/SRS/2005/", 999));
    EXPECT_FALSE(SrsYearFolder("/data/SRS/2005/", 10000));
}

TEST(SrsLink, FindsTheFileWhateverTheCase) {
    test::TempDir dir;
    const auto year = dir.path() / "SRS" / "2006";
    std::filesystem::create_directories(year);
    for (const char* name :
         {"20060505SRS.txt", "20060506srs.txt", "20060507SRS.TXT", "20060509SRS.txt",
          "20060509srs.txt", "20060510Srs.txt", "20060510SRS.txt"}) {
        test::WriteFile(year / name, "x");
    }
    std::filesystem::create_directory(year / "20060508SRS.txt");
    const std::string stored = (dir.path() / "SRS" / "2005").string() + "/";
    struct Case {
        int32_t day;
        const char* found; // nullptr: not found
    };
    const Case cases[] = {
        {5, "20060505SRS.txt"}, {6, "20060506srs.txt"},  {7, "20060507SRS.TXT"},
        {8, nullptr}, // a folder named like a summary is not one
        {9, "20060509srs.txt"}, {10, "20060510SRS.txt"}, {11, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        const SrsLookup l = FindSrsFile(stored, 2006, 5, c.day);
        EXPECT_EQ(l.Folder, year.string() + "/");
        EXPECT_EQ(l.FileName, SrsFileNameForDate(2006, 5, c.day));
        if (c.found) {
            ASSERT_TRUE(l.Path);
            EXPECT_EQ(*l.Path, year / c.found);
        } else {
            EXPECT_FALSE(l.Path);
        }
    }
    // Summaries kept in one folder, not one a year, are found there too; the year folder
    // comes first.
    test::WriteFile(dir.path() / "SRS" / "20060505srs.txt", "x");
    test::WriteFile(dir.path() / "SRS" / "20060511SRS.txt", "x");
    const std::string plain = (dir.path() / "SRS").string() + "/";
    const SrsLookup same = FindSrsFile(plain, 2006, 5, 11);
    ASSERT_TRUE(same.Path);
    EXPECT_EQ(*same.Path, dir.path() / "SRS" / "20060511SRS.txt");
    EXPECT_EQ(same.Folder, plain);
    EXPECT_EQ(same.Searched, std::vector<std::string>{plain});
    const SrsLookup yearFirst = FindSrsFile(year.string(), 2006, 5, 5);
    ASSERT_TRUE(yearFirst.Path);
    EXPECT_EQ(*yearFirst.Path, year / "20060505SRS.txt");
    // Not found: both folders were looked in, and the message names them with the file.
    const SrsLookup none = FindSrsFile(stored, 2006, 5, 12);
    EXPECT_FALSE(none.Path);
    EXPECT_EQ(none.Searched, (std::vector<std::string>{year.string() + "/", stored}));
    const std::string said = MissingSrsText(none, 2006, 5, 12);
    EXPECT_NE(said.find("No Region Summary for 2006-05-12: 20060512srs.txt is not in " +
                        year.string() + "/ nor in " + stored),
              std::string::npos)
        << said;
    // Before any summary was loaded no folder is known, and none is looked in.
    EXPECT_TRUE(FindSrsFile("", 2006, 5, 5).Searched.empty());
}

TEST(SrsLink, MissingSummaryIsReportedOncePerName) {
    MissingSrsNotice notice;
    EXPECT_TRUE(notice.ShouldReport("a/20060505srs.txt"));
    EXPECT_FALSE(notice.ShouldReport("a/20060505srs.txt"));
    EXPECT_TRUE(notice.ShouldReport("a/20060506srs.txt"));
    EXPECT_TRUE(notice.ShouldReport("a/20060505srs.txt"));
    notice.Found();
    EXPECT_TRUE(notice.ShouldReport("a/20060505srs.txt"));
}

} // namespace
} // namespace zorva
