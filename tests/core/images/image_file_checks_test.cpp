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

// JPEG's end-of-image marker is FF D9; PNG's last chunk is IEND, with its fixed CRC.
TEST(JpegHasEnd, EndMarkerAfterTheLastScan) {
    const std::vector<uint8_t> whole = {0xFF, 0xD8, 0xFF, 0xDA, 0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD9};
    EXPECT_TRUE(JpegHasEnd(whole));
    EXPECT_FALSE(JpegHasEnd(std::span(whole).first(8)));
    // A thumbnail closes its own scan; the main picture's scan, cut off, does not count it.
    const std::vector<uint8_t> thumbnailOnly = {0xFF, 0xD8, 0xFF, 0xDA, 0x01, 0xFF,
                                                0xD9, 0xFF, 0xDA, 0x12, 0x34};
    EXPECT_FALSE(JpegHasEnd(thumbnailOnly));
    EXPECT_FALSE(JpegHasEnd(std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xD9}));
    EXPECT_FALSE(JpegHasEnd({}));
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
