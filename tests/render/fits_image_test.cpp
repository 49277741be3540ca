#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fitsio.h>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "core/images/float_stretch.h"
#include "core/images/grey.h"
#include "render/solar_image.h"
#include "support/fits_writer.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// The real 8-bit images held in 16 bits (each level times 257), as a PNG and as FITS:
// plain, with the rows in FITS order (bottom first) and an offset of 32768 in BZERO, and
// compressed by fpack. All three must show the same picture, the one the 16-bit stretch
// makes of those values, and give the disk of the 8-bit original.
TEST(FitsImage, SixteenBitPngFitsAndFpackedFitsGiveTheOriginalsDisk) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    for (const char* name : {"hmi_20230131_033945_512.png", "mdi_20050111_235932_1024.png"}) {
        SCOPED_TRACE(name);
        const QImage grey(Q(data / "images" / name));
        ASSERT_EQ(grey.format(), QImage::Format_Grayscale8);
        const int w = grey.width();
        const int h = grey.height();
        QImage wide(grey.size(), QImage::Format_Grayscale16);
        test::FitsHdu fits{16, {w, h}, {test::Card("BZERO", "32768")}, {}};
        std::vector<uint64_t> histogram(Levels16, 0);
        for (int fitsRow = 1; fitsRow <= h; ++fitsRow) {
            const int y = h - fitsRow;
            for (int x = 0; x < w; ++x) {
                const int v = 257 * grey.constScanLine(y)[x];
                reinterpret_cast<quint16*>(wide.scanLine(y))[x] = static_cast<quint16>(v);
                fits.stored.push_back(v - 32768);
                ++histogram[static_cast<std::size_t>(v)];
            }
        }
        ASSERT_TRUE(wide.save(Q(dir / "wide.png")));
        test::WriteFile(dir / "wide.fits", test::FitsBytes({fits}));
        const fs::path packed = dir / "wide.fits.fz";
        fs::remove(packed);
        ASSERT_EQ(std::system(
                      ("fpack -O '" + packed.string() + "' '" + (dir / "wide.fits").string() + "'")
                          .c_str()),
                  0);

        const auto table = StretchTable(
            LevelsOfHistogram(std::span<const uint64_t, Levels16>(histogram.data(), Levels16)));
        const SolarImageLoad original = LoadSolarImage(Q(data / "images" / name));
        ASSERT_TRUE(original.image);
        const LimbFit originalFit = FindSolarLimb(*original.image);
        for (const char* file : {"wide.png", "wide.fits", "wide.fits.fz"}) {
            SCOPED_TRACE(file);
            const SolarImageLoad load = LoadSolarImage(Q(dir / file));
            ASSERT_TRUE(load.image) << load.error.toStdString();
            const QImage& shown = load.image->shown;
            ASSERT_EQ(shown.format(), QImage::Format_Grayscale8);
            ASSERT_EQ(shown.size(), grey.size());
            int differing = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x)
                    differing += shown.constScanLine(y)[x] != table[257 * grey.constScanLine(y)[x]];
            }
            EXPECT_EQ(differing, 0);
            EXPECT_EQ(load.image->fits.has_value(), std::string(file) != "wide.png");
            // The stretch spreads the levels, so the edge threshold (a fifth of the centre)
            // falls on a slightly different pixel of a few rays.
            const LimbFit fit = FindSolarLimb(*load.image);
            EXPECT_TRUE(fit.found);
            EXPECT_NEAR(fit.disk.cx, originalFit.disk.cx, 0.1);
            EXPECT_NEAR(fit.disk.cy, originalFit.disk.cy, 0.1);
            EXPECT_NEAR(fit.disk.r, originalFit.disk.r, 0.5);
        }
    }
}

// Float pictures, large enough that the reader counts their levels as the rows come in,
// and narrow ones whose 8-bit rows are shorter than a line of the picture: the picture
// shown is the exact stretch of every value between the levels found by sorting the
// finite values (the second method), each row the right way up.
TEST(FitsImage, FloatPicturesAreTheExactStretchOfTheSortedLevels) {
    test::TempDir dir;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [w, h] : {std::pair{1023, 301}, {2, 5}, {1, 7}, {6, 3}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        test::FitsHdu fits{-32, {w, h}, {}, {}};
        const double r = 0.45 * std::min(w, h);
        for (int row = 0; row < h; ++row) {
            for (int x = 0; x < w; ++x) {
                const double d2 = (std::pow(x - w / 2.0, 2) + std::pow(row - h / 2.0, 2)) / (r * r);
                double v = d2 < 1 ? 5e4 * (0.4 + 0.6 * std::sqrt(1 - d2)) : 20 + 3 * noise(random);
                if ((x * 7 + row * 13) % 101 == 0) v = nan;
                if ((x + row) % 997 == 0) v = 1e6; // hot pixels
                fits.stored.push_back(v);
            }
        }
        std::vector<float> finite;
        for (const double v : fits.stored) {
            if (std::isfinite(v)) finite.push_back(static_cast<float>(v));
        }
        std::sort(finite.begin(), finite.end());
        const double last = static_cast<double>(finite.size() - 1);
        const double low = finite[static_cast<std::size_t>(std::floor(0.005 * last))];
        const double high = finite[static_cast<std::size_t>(std::ceil(0.995 * last))];
        test::WriteFile(dir / "float.fits", test::FitsBytes({fits}));

        const SolarImageLoad load = LoadSolarImage(Q(dir / "float.fits"));
        ASSERT_TRUE(load.image) << load.error.toStdString();
        ASSERT_TRUE(load.image->fits);
        EXPECT_EQ(load.image->fits->levels, (FloatLevels{low, high, finite.size()}));
        const QImage& shown = load.image->shown;
        ASSERT_EQ(shown.format(), QImage::Format_Grayscale8);
        ASSERT_EQ(shown.size(), QSize(w, h));
        int differing = 0;
        for (int y = 0; y < h; ++y) {
            const std::size_t fitsRow = static_cast<std::size_t>(h - 1 - y);
            for (int x = 0; x < w; ++x) {
                const auto v = static_cast<float>(fits.stored[fitsRow * w + x]);
                differing += shown.constScanLine(y)[x] != StretchedGrey(v, low, high);
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

// The real observatory files, as they stand and tiled into pictures large enough that the
// reader counts their levels as the rows come in: every 8-bit level is the plain
// double-precision stretch of its value (the second method: the values read by cfitsio
// alone, the levels by sorting them, StretchedGrey of each value).
TEST(FitsImage, RealFilesShowThePlainStretchOfTheirValues) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    for (const char* name : {"resampled_hmi.fits", "aia_171_level1.fits"}) {
        SCOPED_TRACE(name);
        fitsfile* f = nullptr;
        int status = 0;
        const std::string path = (data / "fits" / name).string();
        ASSERT_EQ(fits_open_diskfile(&f, path.c_str(), READONLY, &status), 0);
        int naxis = 0;
        long axes[2] = {0, 0};
        fits_get_img_dim(f, &naxis, &status);
        fits_get_img_size(f, 2, axes, &status);
        ASSERT_EQ(naxis, 2);
        const int w = static_cast<int>(axes[0]);
        const int h = static_cast<int>(axes[1]);
        std::vector<double> stored(static_cast<std::size_t>(w * h));
        double nan = std::numeric_limits<double>::quiet_NaN();
        int anyNull = 0;
        fits_read_img(f, TDOUBLE, 1, w * h, &nan, stored.data(), &anyNull, &status);
        fits_close_file(f, &status);
        ASSERT_EQ(status, 0);
        // The picture holds single-precision values.
        for (double& v : stored)
            v = static_cast<float>(v);
        // Tiles enough to pass the counter's size, each a copy of the file's values.
        const int tiles = static_cast<int>(std::ceil(std::sqrt(double(FewValues) / (w * h))));
        for (const int n : {1, tiles}) {
            SCOPED_TRACE(n);
            test::FitsHdu tiled{-32, {n * w, n * h}, {}, {}};
            for (int row = 0; row < n * h; ++row) {
                for (int x = 0; x < n * w; ++x)
                    tiled.stored.push_back(stored[static_cast<std::size_t>((row % h) * w + x % w)]);
            }
            std::vector<float> finite;
            for (const double v : tiled.stored) {
                if (std::isfinite(v)) finite.push_back(static_cast<float>(v));
            }
            std::sort(finite.begin(), finite.end());
            const double last = static_cast<double>(finite.size() - 1);
            const double low = finite[static_cast<std::size_t>(std::floor(0.005 * last))];
            const double high = finite[static_cast<std::size_t>(std::ceil(0.995 * last))];
            const fs::path file = n == 1 ? data / "fits" / name : dir / "tiled.fits";
            if (n > 1) test::WriteFile(file, test::FitsBytes({tiled}));
            const SolarImageLoad load = LoadSolarImage(Q(file));
            ASSERT_TRUE(load.image) << load.error.toStdString();
            ASSERT_TRUE(load.image->fits);
            EXPECT_EQ(load.image->fits->levels, (FloatLevels{low, high, finite.size()}));
            const QImage& shown = load.image->shown;
            ASSERT_EQ(shown.size(), QSize(n * w, n * h));
            int differing = 0;
            for (int y = 0; y < n * h; ++y) {
                const auto fitsRow = static_cast<std::size_t>(n * h - 1 - y);
                for (int x = 0; x < n * w; ++x) {
                    const double v = tiled.stored[fitsRow * static_cast<std::size_t>(n * w) +
                                                  static_cast<std::size_t>(x)];
                    differing += shown.constScanLine(y)[x] != StretchedGrey(v, low, high);
                }
            }
            EXPECT_EQ(differing, 0);
        }
    }
}

TEST(FitsImage, RealHmiFileOpensWithItsHeader) {
    ZORVA_TEST_DATA(data);
    const SolarImageLoad load = LoadSolarImage(Q(data / "fits" / "resampled_hmi.fits"));
    ASSERT_TRUE(load.image) << load.error.toStdString();
    const SolarImage& image = *load.image;
    EXPECT_EQ(image.format, "fits");
    EXPECT_EQ(image.shown.size(), QSize(100, 100));
    ASSERT_TRUE(image.fits);
    EXPECT_EQ(image.fits->bitpix, -64);
    // NaN outside the disk is black, so the corner selects the dark-background search.
    EXPECT_EQ(image.shown.pixel(0, 0), qRgb(0, 0, 0));
    const LimbFit fit = FindSolarLimb(image);
    EXPECT_TRUE(fit.found);
    EXPECT_EQ(fit.mode, LimbBackground::Dark);
}

TEST(FitsImage, BadFitsNamesTheFileAndTheReason) {
    test::TempDir dir;
    test::WriteFile(dir / "notes.fits", std::string(3000, 'x'));
    const SolarImageLoad load = LoadSolarImage(Q(dir / "notes.fits"));
    EXPECT_FALSE(load.image);
    EXPECT_TRUE(load.error.startsWith("Cannot open \"notes.fits\": it is not a FITS file"))
        << load.error.toStdString();
    EXPECT_TRUE(OpenImageFilter().contains("FITS files (*.fits *.fit *.fts *.fits.gz *.fz)"));
}

} // namespace
} // namespace zorva
