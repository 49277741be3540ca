#include "core/settings/directory_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zorva {
namespace {

DirectoryLoad Read(const std::string& text) {
    std::istringstream in(text);
    return ReadDirectoryFile(in);
}

// By the folder file's layout: the count of folders in use, then for each its entry number
// and a blank on one line and the folder on the next; an empty line ends the file.
TEST(DirectoryFile, WritesOnlyTheFoldersInUse) {
    Folders f;
    f.SRSDir = "C:\\SRS\\2005\\";
    f.LogfileDir = "/home/observer/logs/";
    EXPECT_EQ(DirectoryFileText(f), "2\n2 \nC:\\SRS\\2005\\\n4 \n/home/observer/logs/\n\n");
    EXPECT_EQ(Read(*DirectoryFileText(f)).folders, f);

    const Folders all{"/img/", "/srs/2005/", "/saved/", "/log/"};
    const DirectoryLoad back = Read(*DirectoryFileText(all));
    EXPECT_EQ(back.folders, all);
    EXPECT_EQ(back.error, "");

    // Nothing to store: no text, and the stream is left alone.
    std::ostringstream out;
    EXPECT_FALSE(DirectoryFileText(Folders{}));
    EXPECT_FALSE(WriteDirectoryFile(out, Folders{}));
    EXPECT_EQ(out.str(), "");
    // A folder that holds a line break cannot be kept on its line and is left out.
    EXPECT_EQ(DirectoryFileText({"/a\nb/", "", "", "/log/"}), "1\n4 \n/log/\n\n");
}

TEST(DirectoryFile, ReadingCases) {
    const std::string long100(100, 'x');
    const std::string huge(5000, 'y');
    struct Case {
        const char* name;
        std::string text;
        Folders folders;
        bool complete;
    };
    const Case cases[] = {
        {"crlf",
         "2\r\n2 \r\nC:\\SRS\\\r\n4 \r\n/log/\r\n\r\n",
         {"", "C:\\SRS\\", "", "/log/"},
         true},
        {"long folder kept whole", "1\n1 \n" + long100 + "\n\n", {long100, "", "", ""}, true},
        {"long folder and crlf", "1\n1 \n" + long100 + "\r\n", {long100, "", "", ""}, true},
        {"cut at the longest path",
         "1\n1 \n" + huge + "\r\n",
         {huge.substr(0, kLongestStoredFolder), "", "", ""},
         true},
        {"unknown entries skipped",
         "3\n7 \n/seven/\n1 \n/img/\n0 \n/zero/\n",
         {"/img/", "", "", ""},
         true},
        {"folder on the entry line", "1\n3 /saved/\n", {"", "", "/saved/", ""}, true},
        {"blank lines after the entry", "1\n3\n\n  /saved/\n", {"", "", "/saved/", ""}, true},
        {"no final line break", "1\n4 \n/log/", {"", "", "", "/log/"}, true},
        {"garbage entry stops",
         "3\n1 \n/img/\nxyz\n/srs/\n4 \n/log/\n",
         {"/img/", "", "", ""},
         false},
        {"count larger than entries", "2000000000\n1 \n/img/\n", {"/img/", "", "", ""}, false},
        {"missing folder", "1\n2 ", {}, false},
        {"garbage count", "two\n1 \n/img/\n", {}, false},
        {"huge count", "99999999999999999999\n1 \n/img/\n", {}, false},
        {"negative count", "-1\n1 \n/img/\n", {}, true},
        {"empty", "", {}, false},
        {"binary", std::string("\x01\x00\xff\n", 4), {}, false},
    };
    for (const Case& c : cases) {
        const DirectoryLoad load = Read(c.text);
        EXPECT_EQ(load.folders, c.folders) << c.name;
        EXPECT_EQ(load.error.empty(), c.complete) << c.name << ": " << load.error;
    }
}

TEST(DirectoryFile, SplitFolderAtTheLastSeparator) {
    EXPECT_EQ(SplitFolder("C:\\SRS\\2005\\20050101srs.txt"),
              (SplitPath{"C:\\SRS\\2005\\", "20050101srs.txt"}));
    EXPECT_EQ(SplitFolder("/home/obs/sun.bmp"), (SplitPath{"/home/obs/", "sun.bmp"}));
    EXPECT_EQ(SplitFolder("/mixed\\dir/name"), (SplitPath{"/mixed\\dir/", "name"}));
    EXPECT_EQ(SplitFolder("bare.txt"), (SplitPath{"", "bare.txt"}));
    EXPECT_EQ(SplitFolder("dir/"), (SplitPath{"dir/", ""}));
}

} // namespace
} // namespace zorva
