#include "render/solar_image.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cmath>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "support/exif_writer.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// The disks of the real images, from their own FITS keywords (the test data's
// README): centre in 0-based pixels and radius.
struct KnownDisk {
    const char* file;
    double cx, cy, r;
};
constexpr KnownDisk kHmi = {"hmi_20230131_033945_512.png", 255.5, 255.5, 202.9};
constexpr KnownDisk kMdi = {"mdi_20050111_235932_1024.png", 511.2, 512.0, 495.7};
constexpr double kCentreTolerance = 0.3;
constexpr double kRadiusTolerance = 1.5;

void ExpectDisk(const LimbFit& fit, const KnownDisk& disk) {
    EXPECT_TRUE(fit.found);
    EXPECT_EQ(fit.mode, LimbBackground::Dark);
    EXPECT_NEAR(fit.disk.cx, disk.cx, kCentreTolerance);
    EXPECT_NEAR(fit.disk.cy, disk.cy, kCentreTolerance);
    EXPECT_NEAR(fit.disk.r, disk.r, kRadiusTolerance);
}

TEST(SolarImage, RealImagesGiveTheirKnownDisks) {
    ZORVA_TEST_DATA(data);
    for (const KnownDisk& disk : {kHmi, kMdi}) {
        SCOPED_TRACE(disk.file);
        const SolarImageLoad load = LoadSolarImage(Q(data / "images" / disk.file));
        ASSERT_TRUE(load.image) << load.error.toStdString();
        EXPECT_EQ(load.image->shown.format(), QImage::Format_Grayscale8);
        EXPECT_FALSE(load.image->convertedToGrey);
        ExpectDisk(FindSolarLimb(*load.image), disk);
    }
}

// The HMI image written in another format or depth, then opened again: every way of
// holding the same picture must give the same disk.
TEST(SolarImage, EveryFormatAndDepthGivesTheSameDisk) {
    ZORVA_TEST_DATA(data);
    const QImage grey(Q(data / "images" / kHmi.file));
    ASSERT_EQ(grey.format(), QImage::Format_Grayscale8);
    test::TempDir dir;

    // 16 bits: a dark offset and a 200-fold gain, as a camera's raw frame might hold it.
    QImage wide(grey.size(), QImage::Format_Grayscale16);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            reinterpret_cast<quint16*>(wide.scanLine(y))[x] =
                static_cast<quint16>(1000 + 200 * grey.constScanLine(y)[x]);
        }
    }
    // Colour: a warm tint, as a filter would give.
    QImage tinted(grey.size(), QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const int v = grey.constScanLine(y)[x];
            tinted.setPixel(x, y, qRgb(v, v * 4 / 5, v / 2));
        }
    }
    const struct {
        const char* name;
        QImage picture;
        bool colour;
        bool sixteen;
    } cases[] = {
        {"grey8.bmp", grey, false, false},
        {"grey24.bmp", grey.convertToFormat(QImage::Format_RGB32), false, false},
        {"grey.jpg", grey, false, false},
        {"grey.tif", grey, false, false},
        {"wide.png", wide, false, true},
        {"wide.tif", wide, false, true},
        {"tinted.png", tinted, true, false},
        {"tinted.bmp", tinted, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.picture.save(Q(dir / c.name)));
        const SolarImageLoad load = LoadSolarImage(Q(dir / c.name));
        ASSERT_TRUE(load.image) << load.error.toStdString();
        const SolarImage& image = *load.image;
        EXPECT_EQ(image.convertedToGrey, c.colour);
        EXPECT_EQ(image.stretch.has_value(), c.sixteen);
        EXPECT_EQ(image.shown.format(),
                  c.colour ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
        EXPECT_EQ(image.searched.format(), QImage::Format_Grayscale8);
        ExpectDisk(FindSolarLimb(image), kHmi);
    }
}

TEST(SolarImage, GreyConversionOfAColourPicture) {
    // 0.299 R + 0.587 G + 0.114 B, cut: (200, 100, 50) -> 124; black and white kept.
    QImage colour(3, 1, QImage::Format_RGB32);
    colour.setPixel(0, 0, qRgb(200, 100, 50));
    colour.setPixel(1, 0, qRgb(0, 0, 0));
    colour.setPixel(2, 0, qRgb(255, 255, 255));
    const QImage grey = ConvertToGrey(colour);
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(grey.constScanLine(0)[0], 124);
    EXPECT_EQ(grey.constScanLine(0)[1], 0);
    EXPECT_EQ(grey.constScanLine(0)[2], 255);
    // A grey picture with one coloured pixel at the centre counts as colour.
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(qRgb(90, 90, 90));
    EXPECT_FALSE(IsColourImage(picture));
    picture.setPixel(20, 20, qRgb(90, 91, 90));
    EXPECT_TRUE(IsColourImage(picture));
}

// A Windows bitmap header for a picture of w x h pixels at `bits` a pixel, with `pixels`
// bytes of pixel data after it.
QByteArray BitmapHeader(qint32 w, qint32 h, quint16 bits, int pixels) {
    QByteArray b(54, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<quint32>(54 + pixels));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<quint32>(w));
    put32(22, static_cast<quint32>(h));
    b[26] = 1;
    b[28] = static_cast<char>(bits);
    return b + QByteArray(pixels, '\x40');
}

// The signature and header chunk of a PNG picture of w x h pixels, 16-bit RGBA unless
// said otherwise, and the start of its picture data.
QByteArray PngHeader(quint32 w, quint32 h, char depth = 16, char colourType = 6) {
    auto be32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
        return b;
    };
    // The chunk check value is the CRC-32 of ISO 3309 over the type and data.
    auto crc32 = [](const QByteArray& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (const char ch : bytes) {
            c ^= static_cast<quint8>(ch);
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        return c ^ 0xFFFFFFFFu;
    };
    const QByteArray ihdr =
        QByteArray("IHDR") + be32(w) + be32(h) + depth + colourType + QByteArray("\0\0\0", 3);
    const QByteArray idat = QByteArray("IDAT") + QByteArray(16, '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be32(13) + ihdr + be32(crc32(ihdr)) + be32(16) +
           idat + be32(crc32(idat));
}

TEST(SolarImage, BadFilesAreRefusedWithTheirNameAndReason) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const QImage grey(Q(data / "images" / kHmi.file));
    auto cutInHalf = [&](const char* name) {
        ASSERT_TRUE(grey.save(Q(dir / name)));
        QFile f(Q(dir / name));
        ASSERT_TRUE(f.resize(f.size() / 2));
    };
    cutInHalf("cut.png");
    cutInHalf("cut.bmp");
    cutInHalf("cut.jpg");
    cutInHalf("cut.tif");
    test::WriteFile(dir / "empty.png", "");
    test::WriteFile(dir / "notes.png", "Observed 12 spots today.\n");
    fs::create_directories(dir / "folder.bmp");
    auto writeBytes = [&](const char* name, const QByteArray& bytes) {
        QFile f(Q(dir / name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    writeBytes("nothing.bmp", BitmapHeader(0, 0, 24, 0));
    writeBytes("wide.bmp", BitmapHeader(40000, 1, 24, 16));
    writeBytes("huge.png", PngHeader(20000, 20000)); // 3.2 GB decoded
    // 256 MB decoded, but 2.3 GB with the two 32-bit canvases it is drawn on.
    writeBytes("black.png", PngHeader(16000, 16000, 8, 0));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"missing.png", "does not exist"},
        {"folder.bmp", "is a folder"},
        {"empty.png", "is empty"},
        {"notes.png", "not a BMP, PNG, JPEG, JPEG 2000, TIFF or FITS picture"},
        {"cut.png", "cut off"},
        {"cut.bmp", "cut off"},
        {"cut.jpg", "cut off"},
        {"cut.tif", "damaged"},
        {"nothing.bmp", "cut off or damaged"},
        {"wide.bmp", "at most 30000 pixels a side"},
        {"huge.png", "more than 1024 MiB"},
        {"black.png", "more than 1024 MiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolarImageLoad load = LoadSolarImage(Q(dir / c.name));
        EXPECT_FALSE(load.image);
        const std::string message = load.error.toStdString();
        EXPECT_NE(message.find(std::string("Cannot open \"") + c.name + "\": "), std::string::npos)
            << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
}

TEST(SolarImage, FilesTheDecoderReadsWholeAreOpened) {
    // A bright disk of radius 50 centred on (100, 60) on a dark field, 200 x 140.
    constexpr int kW = 200, kH = 140, kCx = 100, kCy = 60, kR = 50;
    auto level = [&](int x, int y) {
        return (x - kCx) * (x - kCx) + (y - kCy) * (y - kCy) < kR * kR ? 220 : 15;
    };
    // A 24-bit bitmap stored from its top row down, which states a negative height.
    // Rows of 600 bytes, already a multiple of 4.
    QByteArray topDown = BitmapHeader(kW, -kH, 24, 0);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x)
            topDown += QByteArray(3, static_cast<char>(level(x, y)));
    }
    // A PNG followed by bytes that belong to no chunk, as some programs leave.
    QImage picture(kW, kH, QImage::Format_Grayscale8);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x)
            picture.scanLine(y)[x] = static_cast<uchar>(level(x, y));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "png"));
    test::TempDir dir;
    test::WriteFile(dir / "top_down.bmp", topDown.toStdString());
    test::WriteFile(dir / "trailing.png", png.toStdString() + std::string(200, '\0'));
    for (const char* name : {"top_down.bmp", "trailing.png"}) {
        SCOPED_TRACE(name);
        const SolarImageLoad load = LoadSolarImage(Q(dir / name));
        ASSERT_TRUE(load.image) << load.error.toStdString();
        const LimbFit fit = FindSolarLimb(*load.image);
        ASSERT_TRUE(fit.found);
        EXPECT_NEAR(fit.disk.cx, kCx, 0.5);
        EXPECT_NEAR(fit.disk.cy, kCy, 0.5); // the top row is the top row
        EXPECT_NEAR(fit.disk.r, kR, 1);
    }
}

// A JPEG of 512 x 512 pixels padded to 6 GB took seconds and as many gigabytes of memory to
// open: the whole file was mapped and read for its end marker. Its segments, its scan and
// its camera times are all that is read. The padding is a hole: nothing is on the disk.
TEST(SolarImage, AJpegPaddedFarPastItsPictureOpensAsItsPicture) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path jpeg = dir / "padded.jpg";
    ASSERT_TRUE(QImage(Q(data / "images" / kHmi.file)).save(Q(jpeg)));
    const std::string taken = "2023:01:31 03:39:45";
    ASSERT_TRUE(test::WriteExifTags(jpeg.string(), {{"Exif.Photo.DateTimeOriginal", taken}}));
    constexpr std::uintmax_t kPadded = std::uintmax_t{6} << 30;
    fs::resize_file(jpeg, kPadded);
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const SolarImageLoad load = LoadSolarImage(Q(jpeg));
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    ASSERT_TRUE(load.image) << load.error.toStdString();
    ExpectDisk(FindSolarLimb(*load.image), kHmi);
    ASSERT_TRUE(load.image->camera);
    EXPECT_EQ(load.image->camera->dateTimeOriginal, taken);
    // The peak memory grew by less than 64 MiB (the picture decodes to 256 KiB).
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);
}

TEST(SaveTarget, ExtensionThenFilterThenBitmap) {
    const QString png = "PNG files (*.png)";
    const QString tiff = "TIFF files (*.tif *.tiff)";
    const struct {
        const char* chosen;
        QString filter;
        SaveTarget expected;
    } cases[] = {
        {"/o/sun.bmp", tiff, {"/o/sun.bmp", ImageFileType::Bmp}},
        {"/o/sun.PNG", QString(), {"/o/sun.PNG", ImageFileType::Png}},
        {"/o/sun.jpeg", png, {"/o/sun.jpeg", ImageFileType::Jpeg}},
        {"/o/sun.tiff", QString(), {"/o/sun.tiff", ImageFileType::Tiff}},
        {"/o/sun", QString(), {"/o/sun.bmp", ImageFileType::Bmp}},
        {"/o/sun", png, {"/o/sun.png", ImageFileType::Png}},
        {"/o/sun", "JPEG files (*.jpg *.jpeg)", {"/o/sun.jpg", ImageFileType::Jpeg}},
        {"/o/sun.", tiff, {"/o/sun.tif", ImageFileType::Tiff}},
        {"/o/sun.v2", png, {"/o/sun.v2", ImageFileType::Png}},
        {"/o.d/sun", QString(), {"/o.d/sun.bmp", ImageFileType::Bmp}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolveSaveTarget(c.chosen, c.filter), c.expected) << c.chosen;
    }
    EXPECT_TRUE(OpenImageFilter().contains(";;Bitmap  files (*.bmp);;"));
    EXPECT_TRUE(SaveImageFilter().startsWith("Bitmap  files (*.bmp);;"));
}

TEST(SaveSolarImage, WritesEachTypeAndKeepsTheOldFileOnFailure) {
    test::TempDir dir;
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, 255 - x));
    }
    for (const char* name : {"out.bmp", "out.png", "out.tif", "out.jpg"}) {
        SCOPED_TRACE(name);
        const SaveTarget target = ResolveSaveTarget(Q(dir / name));
        QString error;
        ASSERT_TRUE(SaveSolarImage(picture, target, &error)) << error.toStdString();
        QImageReader reader(target.path);
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(back.size(), picture.size());
        const bool lossy = target.type == ImageFileType::Jpeg;
        for (const QPoint p : {QPoint(0, 0), QPoint(63, 0), QPoint(30, 47)}) {
            const QRgb a = picture.pixel(p);
            const QRgb b = back.pixel(p);
            EXPECT_NEAR(qRed(a), qRed(b), lossy ? 12 : 0);
            EXPECT_NEAR(qGreen(a), qGreen(b), lossy ? 12 : 0);
            EXPECT_NEAR(qBlue(a), qBlue(b), lossy ? 12 : 0);
        }
    }
    // The bitmap holds 24 bits a pixel (bytes 28-29 of its header).
    const std::string bmp = test::ReadFile(dir / "out.bmp");
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
    EXPECT_EQ(bmp.size(), 54u + 64u * 3u * 48u);

    // A folder where the file should go: the save fails, says why, and leaves it.
    fs::create_directories(dir / "taken.png" / "inside");
    QString error;
    EXPECT_FALSE(SaveSolarImage(picture, ResolveSaveTarget(Q(dir / "taken.png")), &error));
    EXPECT_TRUE(error.startsWith("Cannot save \"taken.png\": ")) << error.toStdString();
    EXPECT_TRUE(fs::is_directory(dir / "taken.png" / "inside"));
}

} // namespace
} // namespace zorva
