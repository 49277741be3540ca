// The FITS header of a JPEG 2000 file: its boxes walked to the XML box, and the keywords
// read from it into the same header reader as a FITS file's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/images/fits_header.h"
#include "core/images/jp2_header.h"
#include "fits/fits_file.h"
#include "support/fits_xml.h"
#include "support/test_support.h"

namespace zorva {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// A box: its 32-bit length, its type and its content.
std::string Box(const std::string& type, const std::string& content) {
    const auto n = static_cast<uint32_t>(8 + content.size());
    std::string b = {static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                     static_cast<char>(n >> 8), static_cast<char>(n)};
    return b + type + content;
}

const std::string kSignature = Box("jP  ", "\r\n\x87\n");

TEST(Jp2Header, KindsAreKnownByTheirFirstBytes) {
    const struct {
        std::string head;
        Jpeg2000Kind kind;
    } cases[] = {
        {kSignature + Box("ftyp", "jp2 "), Jpeg2000Kind::Jp2},
        {std::string("\xFF\x4F\xFF\x51\x00\x2F", 6), Jpeg2000Kind::Codestream},
        {std::string("\xFF\xD8\xFF\xE0", 4), Jpeg2000Kind::None}, // a JPEG
        {"SIMPLE  =", Jpeg2000Kind::None},
        {std::string("\x00\x00\x00\x0C", 4), Jpeg2000Kind::None}, // cut off
        {"", Jpeg2000Kind::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Jpeg2000KindOf(Bytes(c.head)), c.kind) << c.head;
}

TEST(Jp2Header, XmlBoxesAreFoundAtTheTopAndInAssociations) {
    const std::string head = kSignature + Box("ftyp", "jp2 ") + Box("jp2h", Box("ihdr", "xx"));
    const struct {
        const char* what;
        std::string file;
        std::vector<std::string> texts;
        bool error;
    } cases[] = {
        {"top level", head + Box("xml ", "<a/>") + Box("jp2c", "code"), {"<a/>"}, false},
        {"inside an association",
         head + Box("asoc", Box("lbl ", "x") + Box("xml ", "<b/>")) + Box("xml ", "<c/>"),
         {"<b/>", "<c/>"},
         false},
        // A length of 0 runs to the end of the file; one past the end is cut there.
        {"to the end", head + std::string("\0\0\0\0xml <d/>", 12), {"<d/>"}, false},
        {"cut off", head + std::string("\0\0\1\0xml <e/>", 12), {"<e/>"}, false},
        // A length of 1 is followed by a 64-bit length.
        {"long length",
         head + std::string("\0\0\0\1xml \0\0\0\0\0\0\0\x14<f/>", 20),
         {"<f/>"},
         false},
        {"too short", head + std::string("\0\0\0\4xml <g/>", 12), {}, true},
        {"none", head + Box("jp2c", "code"), {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> file = Bytes(c.file); // the boxes' texts lie in it
        const Jp2XmlBoxes boxes = FindJp2XmlBoxes(file);
        EXPECT_EQ(std::vector<std::string>(boxes.texts.begin(), boxes.texts.end()), c.texts);
        EXPECT_EQ(!boxes.error.empty(), c.error) << boxes.error;
    }
}

TEST(Jp2Header, KeywordsAreTheFitsElementsTexts) {
    const struct {
        const char* what;
        std::string xml;
        FitsKeywords keywords;
        bool found;
        const char* note; // a part of the one note, or nullptr for none
    } cases[] = {
        {"plain",
         "<?xml version='1.0'?><meta><fits>\n<DATE-OBS>2014-03-01T00:00:27.90</DATE-OBS>\n"
         "<CDELT1> 0.504 </CDELT1><EMPTY/><!-- a comment --><TELESCOP>SDO/HMI</TELESCOP>"
         "</fits></meta>",
         {{"DATE-OBS", "2014-03-01T00:00:27.90"},
          {"CDELT1", "0.504"},
          {"EMPTY", ""},
          {"TELESCOP", "SDO/HMI"}},
         true,
         nullptr},
        {"references and the first of a name",
         "<fits><HISTORY>a &lt; b &amp; c&#176;&#x41;&bogus;</HISTORY><HISTORY>2</HISTORY>"
         "</fits>",
         {{"HISTORY", "a < b & c\xC2\xB0"
                      "A&bogus;"}},
         true,
         nullptr},
        {"an element of elements",
         "<fits><KEYCOMMENTS><A>x</A></KEYCOMMENTS><B>1</B></fits>",
         {{"B", "1"}},
         true,
         "KEYCOMMENTS in the XML box holds elements"},
        {"cut off", "<fits><B>1</B><C>2", {{"B", "1"}}, true, "C in the XML box is never closed"},
        {"no end", "<fits><B>1</B>", {{"B", "1"}}, true, "cut off"},
        {"no fits element", "<meta><helioviewer><B>1</B></helioviewer></meta>", {}, false, nullptr},
        {"empty fits element", "<meta><fits/></meta>", {}, true, nullptr},
        {"a name not a fits", "<fitsfile><B>1</B></fitsfile>", {}, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const XmlFitsHeader h = FitsKeywordsOfXml(c.xml);
        EXPECT_EQ(h.keywords, c.keywords);
        EXPECT_EQ(h.found, c.found);
        if (c.note == nullptr) {
            EXPECT_TRUE(h.notes.empty()) << h.notes.front();
        } else {
            ASSERT_EQ(h.notes.size(), 1u);
            EXPECT_NE(h.notes[0].find(c.note), std::string::npos) << h.notes[0];
        }
    }
}

TEST(Jp2Header, AnInstrumentsHeaderReadsAsItsFitsFileDoes) {
    ZORVA_TEST_DATA(data);
    FitsRead read =
        ReadFitsFile((data / "fits" / "resampled_hmi.fits").string(), {30000, int64_t{1} << 30, 0});
    ASSERT_TRUE(read.picture) << read.error;
    const FitsKeywords& fits = read.picture->info.keywords;
    const std::string file = kSignature + Box("ftyp", "jp2 ") +
                             Box("xml ", test::FitsHeaderXml(fits)) + Box("jp2c", "code");
    const XmlFitsHeader xml = Jp2FitsHeader(Bytes(file));
    ASSERT_TRUE(xml.found);
    EXPECT_TRUE(xml.notes.empty());
    EXPECT_EQ(xml.keywords, fits);
    const FitsHeaderReading a = ReadFitsHeader(fits, 100);
    const FitsHeaderReading b = ReadFitsHeader(xml.keywords, 100);
    ASSERT_TRUE(b.instant && b.disk);
    EXPECT_EQ(a.instant, b.instant);
    EXPECT_EQ(a.disk->disk, b.disk->disk);
    EXPECT_EQ(a.disk->orientation, b.disk->orientation);

    // An odd value of a real file is passed over with the same note as in a FITS file.
    FitsKeywords odd = xml.keywords;
    odd["RSUN_OBS"] = "0";
    const FitsHeaderReading zero =
        ReadFitsHeader(FitsKeywordsOfXml(test::FitsHeaderXml(odd)).keywords, 100);
    EXPECT_TRUE(std::any_of(zero.notes.begin(), zero.notes.end(), [](const std::string& n) {
        return n.rfind("RSUN_OBS = 0 ignored", 0) == 0;
    }));
}

} // namespace
} // namespace zorva
