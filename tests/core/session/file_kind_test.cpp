// What a file dropped on the window, or chosen from Open Recent, is.
#include "core/session/file_kind.h"

#include <gtest/gtest.h>

#include "core/logfile/logfile.h"
#include "support/test_support.h"

namespace zorva {
namespace {

TEST(FileKind, TheFirstBytesTellAndThenTheName) {
    ZORVA_TEST_DATA(data);
    const struct {
        std::string head, name;
        FileKind kind;
    } cases[] = {
        {LogfileHeader() + "\n", "notes.txt", FileKind::Logfile},
        {":Product: 20110607SRS.txt\n:Issued: 2011 Jun 07 0030 UTC\n", "x.txt", FileKind::Summary},
        {"# a comment first\n:Product: 0607SRS.txt\n", "0607SRS.txt", FileKind::Summary},
        // An editor's byte-order mark before the first line.
        {"\xEF\xBB\xBF:Product: 0607SRS.txt\n", "0607SRS.txt", FileKind::Summary},
        {"\xEF\xBB\xBF" + LogfileHeader() + "\n", "notes.txt", FileKind::Logfile},
        {std::string("\x89PNG\r\n\x1a\n", 8), "sun", FileKind::Picture},
        {"\xff\xd8\xff\xe0", "sun", FileKind::Picture},
        {std::string("II*\0", 4), "sun", FileKind::Picture},
        {"SIMPLE  =                    T", "sun", FileKind::Picture},
        {"\x1f\x8b\x08", "sun.fits.gz", FileKind::Picture},
        {"garbled", "sun.FITS", FileKind::Picture}, // the picture's opening says what is wrong
        {"Dear observer", "letter.txt", FileKind::Unknown},
        {"", "empty", FileKind::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KindOfBytes(c.head, c.name).kind, c.kind) << c.name << " " << c.head;
    }
    // The files themselves.
    EXPECT_EQ(KindOfFile(data / "srs" / "20110607SRS.txt").kind, FileKind::Summary);
    EXPECT_EQ(KindOfFile(data / "images" / "hmi_20230131_033945_512.png").kind, FileKind::Picture);
    const FileKindGuess folder = KindOfFile(data / "srs");
    EXPECT_EQ(folder.kind, FileKind::Unknown);
    EXPECT_NE(folder.why.find("folder"), std::string::npos) << folder.why;
    EXPECT_EQ(KindOfBytes("Dear observer", "letter.txt").why,
              "it is neither a picture, a Solar Region Summary nor a logfile");
}

} // namespace
} // namespace zorva
