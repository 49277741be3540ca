// The sub-pixel limb on the real images, whose disks the test data's README gives
// from the files' own keywords.
#include <cmath>
#include <gtest/gtest.h>

#include "core/images/limb_refine.h"
#include "render/solar_image.h"
#include "support/test_support.h"

namespace zorva {
namespace {

// The radius of the disk a picture shows, counted: the pixels brighter than the sky,
// as the area of a circle. A second measure, free of any edge model.
double CountedRadius(const QImage& grey) {
    constexpr int kAboveSky = 20;
    long bright = 0;
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x)
            bright += grey.constScanLine(y)[x] > kAboveSky;
    }
    return std::sqrt(static_cast<double>(bright) / 3.141592653589793);
}

TEST(SubPixelLimbImages, RealDisksToAFractionOfAPixel) {
    ZORVA_TEST_DATA(data);
    const struct {
        const char* file;
        double cx, cy, r;
        double radiusTolerance;
    } cases[] = {
        {"hmi_20230131_033945_512.png", 255.5, 255.5, 202.9, 0.5},
        // The MDI picture shows a disk about half a pixel inside its header's radius: the
        // brightness averaged round the header's centre falls fastest at 495.1 px, the
        // pixels above the sky count to a radius of 495.2, and the limb's edge lies between
        // 495.0 and 495.4 px from that centre in every twelfth of the circle. Measured
        // against the header the radius may be 0.7 px short, against the picture's own
        // disk 0.5 px.
        {"mdi_20050111_235932_1024.png", 511.2, 512.0, 495.7, 0.7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const SolarImageLoad load =
            LoadSolarImage(QString::fromStdString((data / "images" / c.file).string()));
        ASSERT_TRUE(load.image) << load.error.toStdString();
        const PixelGrid grid = GridOf(load.image->searched);
        const LimbFit search = FindLimb(grid);
        const SubPixelLimb refined = RefineLimb(grid, search);
        ASSERT_TRUE(refined.found);
        EXPECT_NEAR(refined.disk.cx, c.cx, 0.2);
        EXPECT_NEAR(refined.disk.cy, c.cy, 0.2);
        EXPECT_NEAR(refined.disk.r, c.r, c.radiusTolerance);
        EXPECT_NEAR(refined.disk.r, CountedRadius(load.image->searched), 0.5);
        // Closer to the known radius than the whole-pixel search, which stops at the last
        // pixel above a fifth of the centre's brightness.
        EXPECT_LT(std::fabs(refined.disk.r - c.r), std::fabs(search.disk.r - c.r));
    }
}

} // namespace
} // namespace zorva
