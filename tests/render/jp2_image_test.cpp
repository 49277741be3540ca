// JPEG 2000 pictures and camera pictures turned by their EXIF orientation, opened as the
// program opens every picture.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "core/images/jp2_header.h"
#include "render/solar_image.h"
#include "support/exif_writer.h"
#include "support/jp2_writer.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
    test::WriteFile(file, std::string(bytes.begin(), bytes.end()));
}

// The HMI picture of the test data (disk centre (255.5, 255.5), radius 202.9 by its FITS
// keywords, as the test data's README gives them).
TEST(Jpeg2000, EveryDepthAndKindOpensWithItsDisk) {
    ZORVA_TEST_DATA(data);
    const QImage grey(Q(data / "images" / "hmi_20230131_033945_512.png"));
    ASSERT_EQ(grey.format(), QImage::Format_Grayscale8);
    test::TempDir dir;
    const struct {
        const char* name;
        int planes;
        int bits;
        bool jp2;
        QImage::Format shown;
    } cases[] = {
        {"grey8.jp2", 1, 8, true, QImage::Format_Grayscale8},
        {"grey16.jp2", 1, 16, true, QImage::Format_Grayscale8},
        {"grey12.j2k", 1, 12, false, QImage::Format_Grayscale8},
        {"colour8.jp2", 3, 8, true, QImage::Format_RGB32},
        {"colour16.jp2", 3, 16, true, QImage::Format_Grayscale8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Jp2Source src{grey.width(), grey.height(), c.planes, c.bits, {}};
        // Deeper values: a dark offset and a gain, as a camera's raw frame holds them; colour:
        // an orange filter's tint, red strongest.
        const int gain = c.bits > 8 ? (1 << (c.bits - 8)) - 1 : 1;
        const int offset = c.bits > 8 ? 7 : 0;
        for (int k = 0; k < c.planes; ++k) {
            for (int y = 0; y < grey.height(); ++y) {
                for (int x = 0; x < grey.width(); ++x) {
                    const int tint = c.planes == 1 ? 4 : 4 - k;
                    src.values.push_back(offset + grey.constScanLine(y)[x] * gain * tint / 4);
                }
            }
        }
        const std::vector<uint8_t> bytes = test::EncodeJpeg2000(src, c.jp2);
        WriteBytes(dir / c.name, bytes);
        // The size as encoded, from the headers alone, and a batch's reckoning of the memory
        // it takes at least as large as its values.
        const std::optional<Jpeg2000Size> declared = Jpeg2000SizeOf(bytes);
        ASSERT_TRUE(declared);
        EXPECT_EQ(declared->width, grey.width());
        EXPECT_EQ(declared->height, grey.height());
        EXPECT_EQ(declared->components, c.planes);
        EXPECT_EQ(declared->bits, c.bits);
        EXPECT_GE(PictureSearchBytes(dir / c.name),
                  int64_t{grey.width()} * grey.height() * c.planes * (c.bits > 8 ? 2 : 1));
        const SolarImageLoad load = LoadSolarImage(Q(dir / c.name));
        ASSERT_TRUE(load.image) << load.error.toStdString();
        EXPECT_EQ(load.image->format, c.jp2 ? "jp2" : "j2k");
        EXPECT_EQ(load.image->shown.format(), c.shown);
        EXPECT_EQ(load.image->stretch.has_value(), c.bits > 8);
        EXPECT_FALSE(load.image->fits); // no XML box
        if (c.planes == 1 && c.bits == 8) {
            EXPECT_EQ(load.image->shown, grey); // lossless
        }
        const LimbFit fit = FindSolarLimb(*load.image);
        EXPECT_TRUE(fit.found);
        EXPECT_NEAR(fit.disk.cx, 255.5, 0.3);
        EXPECT_NEAR(fit.disk.cy, 255.5, 0.3);
        EXPECT_NEAR(fit.disk.r, 202.9, 1.5);
    }
}

TEST(Jpeg2000, BadFilesSayWhatTheyAreNot) {
    test::TempDir dir;
    test::Jp2Source src{64, 48, 1, 8, std::vector<int32_t>(64 * 48, 100)};
    const std::vector<uint8_t> good = test::EncodeJpeg2000(src);
    ASSERT_FALSE(good.empty());
    WriteBytes(dir / "cut.jp2", {good.begin(), good.end() - 20});
    std::vector<uint8_t> signature(good.begin(), good.begin() + 12);
    WriteBytes(dir / "head.jp2", signature);
    test::WriteFile(dir / "notes.jp2", "Observed 12 spots today.\n");
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"cut.jp2", "the JPEG 2000 picture is cut off or damaged"},
        {"head.jp2", "the JPEG 2000 file is damaged"},
        {"notes.jp2", "it is not a BMP, PNG, JPEG, JPEG 2000, TIFF or FITS picture."},
    };
    EXPECT_FALSE(Jpeg2000SizeOf(signature));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolarImageLoad load = LoadSolarImage(Q(dir / c.name));
        EXPECT_FALSE(load.image);
        const std::string message = load.error.toStdString();
        EXPECT_EQ(message.rfind(std::string("Cannot open \"") + c.name + "\": " + c.reason, 0), 0u)
            << message;
    }
}

// A camera's picture stored turned or mirrored, with the EXIF Orientation that says how to
// show it: a white block at (40..49, 20..29) of the 120 x 80 picture as the camera meant
// it. Where the block lies in the stored picture (w x h as stored) follows from the EXIF
// definitions: the stored picture's row 0 is the shown picture's top (1), top mirrored (2),
// bottom (3, 4), left side (5, 6) or right side (7, 8).
TEST(ExifOrientation, CameraPicturesStandAsTheCameraMeant) {
    constexpr int kW = 120, kH = 80, kX = 40, kY = 20, kSide = 10;
    const struct {
        int tag;
        bool across; // stored kH wide and kW high
        int storedX, storedY;
    } cases[] = {
        {1, false, kX, kY},
        {2, false, kW - kX - kSide, kY},
        {3, false, kW - kX - kSide, kH - kY - kSide},
        {4, false, kX, kH - kY - kSide},
        {5, true, kY, kX},
        {6, true, kY, kW - kX - kSide},
        {7, true, kH - kY - kSide, kW - kX - kSide},
        {8, true, kH - kY - kSide, kX},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        QImage stored(c.across ? kH : kW, c.across ? kW : kH, QImage::Format_RGB32);
        stored.fill(Qt::black);
        QPainter(&stored).fillRect(c.storedX, c.storedY, kSide, kSide, Qt::white);
        const fs::path file = dir / ("turned" + std::to_string(c.tag) + ".jpg");
        ASSERT_TRUE(stored.save(Q(file), "jpeg", 95));
        ASSERT_TRUE(test::WriteExifTags(file.string(),
                                        {{"Exif.Image.Orientation", std::to_string(c.tag)}}));
        const PictureLoad open = OpenPictureFile(file, PictureChoices{});
        ASSERT_TRUE(open.picture) << open.error.toStdString();
        const QImage& shown = open.picture->image.shown;
        ASSERT_EQ(shown.size(), QSize(kW, kH));
        EXPECT_GT(qGray(shown.pixel(kX + kSide / 2, kY + kSide / 2)), 200);
        EXPECT_LT(qGray(shown.pixel(kW - 1 - kX - kSide / 2, kH - 1 - kY - kSide / 2)), 50);
        EXPECT_EQ(open.picture->context.exifOrientation, c.tag == 1 ? 0 : c.tag);
        EXPECT_EQ(open.picture->context.width, kW);
    }
}

} // namespace
} // namespace zorva
