#include "core/images/image_file_checks.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/images/image_state.h"

namespace zorva {
namespace {

std::vector<uint8_t> InfoHeader(int32_t w, int32_t h, uint16_t bits, uint32_t compression) {
    std::vector<uint8_t> b(54, 0);
    auto put = [&](std::size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(w), 4);
    put(22, static_cast<uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    put(30, compression, 4);
    return b;
}

TEST(BitmapLength, PixelOffsetPlusPaddedRows) {
    // 3 x 2 at 24 bits: rows of 9 bytes padded to 12, so 54 + 2 * 12 = 78.
    EXPECT_EQ(BitmapLength(InfoHeader(3, 2, 24, 0)), 78u);
    // Rows stored from the top (negative height) need the same bytes.
    EXPECT_EQ(BitmapLength(InfoHeader(3, -2, 24, 0)), 78u);
    // 5 x 3 at 8 bits with bit fields: rows of 5 bytes padded to 8, 54 + 24.
    EXPECT_EQ(BitmapLength(InfoHeader(5, 3, 8, 3)), 78u);
    // The old 12-byte header: 16-bit sizes. 5 x 3 at 1 bit: rows of 4 bytes, 26 + 12.
    std::vector<uint8_t> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0,
                                 0,   12,  0, 0, 0, 5, 0, 3, 0, 1, 0,  1, 0};
    EXPECT_EQ(BitmapLength(core), 38u);
    // Run-length compressed pictures state their data size (bytes 34-37), if anything.
    std::vector<uint8_t> rle = InfoHeader(3, 2, 8, 1);
    EXPECT_EQ(BitmapLength(rle), std::nullopt);
    rle[34] = 100;
    EXPECT_EQ(BitmapLength(rle), 154u);
    // Short or foreign headers give nothing; absurd sizes give nothing rather than an
    // overflowing product.
    const std::vector<uint8_t> full = InfoHeader(3, 2, 24, 0);
    EXPECT_EQ(BitmapLength(std::span(full).first(30)), std::nullopt);
    std::vector<uint8_t> png = InfoHeader(3, 2, 24, 0);
    png[0] = 0x89;
    EXPECT_EQ(BitmapLength(png), std::nullopt);
    EXPECT_EQ(BitmapLength(InfoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32, 0)), std::nullopt);
}

// A JPEG is a start-of-image marker (FF D8), segments (FF, a code, a two-byte length that
// counts itself), scans whose coded data runs to the next marker (FF 00 is a stuffed FF,
// FF D0..D7 a restart), and the end-of-image marker (FF D9); a thumbnail is a whole JPEG
// inside an APP1 segment. Only the picture's own bytes are followed: a file padded far past
// its end costs no more to check than the picture.
TEST(JpegExtent, FollowsSegmentsAndScansToTheEnd) {
    using Bytes = std::vector<uint8_t>;
    const Bytes scanHeader = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00};
    const Bytes coded = {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56};
    const Bytes thumbnail = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0x77, 0xFF, 0xD9};
    Bytes app1 = {0xFF, 0xE1, 0x00, static_cast<uint8_t>(2 + thumbnail.size())};
    app1.insert(app1.end(), thumbnail.begin(), thumbnail.end());
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const Bytes start = {0xFF, 0xD8};
    const Bytes end = {0xFF, 0xD9};
    const Bytes whole = join({start, app1, scanHeader, coded, end});
    const uint64_t scanData = start.size() + app1.size() + scanHeader.size();
    const Bytes table = {0xFF, 0xC4, 0x00, 0x03, 0x00};
    using S = JpegExtent::Status;
    const struct {
        const char* what;
        Bytes file;
        uint64_t budget;
        S status;
        uint64_t end;
    } cases[] = {
        {"whole", whole, 1000, S::Complete, whole.size()},
        {"padded with zeros", join({whole, Bytes(5000, 0)}), 1000, S::Complete, whole.size()},
        {"padded with a second picture", join({whole, whole}), 1000, S::Complete, whole.size()},
        {"progressive: two scans", join({start, scanHeader, coded, table, scanHeader, coded, end}),
         1000, S::Complete, 2 + 2 * (scanHeader.size() + coded.size()) + table.size() + 2},
        {"fill bytes before the end", join({start, scanHeader, coded, {0xFF, 0xFF}, end}), 1000,
         S::Complete, 2 + scanHeader.size() + coded.size() + 4},
        {"the thumbnail's end alone", join({start, app1, scanHeader, coded}), 1000, S::CutOff, 0},
        {"no scan", join({start, app1, end}), 1000, S::CutOff, 0},
        {"no start", join({scanHeader, coded, end}), 1000, S::CutOff, 0},
        {"a length past the file", join({start, {0xFF, 0xE1, 0xFF, 0xF0}, end}), 1000, S::CutOff,
         0},
        {"budget spent in the scan", join({whole, Bytes(100, 0)}), whole.size() - 3, S::OverBudget,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const JpegExtent extent = FindJpegExtent(c.file, c.budget);
        EXPECT_EQ(extent.status, c.status);
        if (c.status == S::Complete) {
            EXPECT_EQ(extent.end, c.end);
            EXPECT_EQ(JpegHasEnd(c.file), true);
        }
    }
    EXPECT_EQ(FindJpegExtent(whole, 1000).metadataEnd, scanData);
    // Cut anywhere, the file has no end.
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(JpegHasEnd(std::span(whole).first(cut))) << cut;
}

TEST(PngHasEnd, ChunksWholeUpToTheClosingOne) {
    const std::string signature = "\x89PNG\r\n\x1a\n";
    // Length, type, data and check value of each chunk; IEND has no data.
    const std::string header = std::string("\0\0\0\x0D", 4) + "IHDR" + std::string(13 + 4, 'h');
    const std::string data = std::string("\0\0\0\x05", 4) + "IDAT" + "IEND!" + "crc.";
    const std::string end = std::string("\0\0\0\0", 4) + "IEND" + "\xAE\x42\x60\x82";
    const std::string whole = signature + header + data + end;
    const auto bytes = [](const std::string& s) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    };
    EXPECT_TRUE(PngHasEnd(bytes(whole)));
    // Bytes after the last chunk belong to none.
    EXPECT_TRUE(PngHasEnd(bytes(whole + std::string(300, '\0'))));
    // "IEND" inside a chunk's data is no end; a file cut anywhere has none.
    EXPECT_FALSE(PngHasEnd(bytes(signature + header + data)));
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(PngHasEnd(bytes(whole.substr(0, cut)))) << cut;
    // A length that runs past the file.
    EXPECT_FALSE(PngHasEnd(bytes(signature + std::string("\xFF\xFF\xFF\xF0", 4) + "IDAT" + end)));
}

TEST(ImageState, DiameterTopAndCaption) {
    // A fitted radius of 450 pixels at 75 pixels per inch: 2 * 450 * 25.4 / 75 = 304.8 mm.
    EXPECT_DOUBLE_EQ(ImageChartDiameter(450), 304.8);
    // (454 - 400) div 2 + 21 = 48; from 454 pixels up the top is 21.
    EXPECT_EQ(ImageControlTop(400), 48);
    EXPECT_EQ(ImageControlTop(453), 21);
    EXPECT_EQ(ImageControlTop(600), 21);
    EXPECT_EQ(ImageWindowCaption("d060315.bmp"), "Zorva Image Viewer - d060315.bmp");
}

} // namespace
} // namespace zorva
