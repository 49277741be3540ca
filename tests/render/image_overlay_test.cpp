#include "render/image_overlay.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

#include "render/chart_painter.h"
#include "render/grid_painter.h"

namespace zorva {
namespace {

QFont OverlayFont() {
    return QFont("DejaVu Sans", 8);
}

// A view with nothing on it but what a test switches on: B0 = 0, P = 0, north up.
PictureView Bare(Circle disk) {
    PictureView v;
    v.disk = disk;
    v.scene.ShowCentralMeridian = false;
    v.scene.ShowEquator = false;
    v.scene.NESWPoints = false;
    v.scene.D = 0.533;
    return v;
}

QImage Surface(int w, int h, QRgb fill) {
    QImage s(w, h, QImage::Format_RGB32);
    s.fill(fill);
    return s;
}

QImage Painted(QImage surface, const PictureView& v, double scale = 1) {
    QPainter p(&surface);
    PaintPictureOverlay(p, v, {scale, 0, 0, QRectF(surface.rect())}, OverlayFont());
    return surface;
}

// The overlay's light cyan, and the limb points' red, wherever a line covers a pixel whole.
bool IsCyan(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() < 100 && c.green() > 200 && c.blue() > 240;
}
bool IsRed(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

TEST(PictureOverlay, TheEquatorReachesTheLimbOnADarkHaloReadableOnABrightDisk) {
    // B0 = 0, north up: the equator is the row through the centre. Pixel 150.2's middle
    // stands at 150.7, so the 1.5-pixel line covers row 150 whole; it runs from limb to
    // limb, 150.8 -+ 120.
    PictureView v = Bare({150.3, 150.2, 120});
    v.scene.ShowEquator = true;
    const QImage white = Painted(Surface(300, 300, qRgb(255, 255, 255)), v);
    for (const int x : {35, 100, 150, 265})
        EXPECT_TRUE(IsCyan(white, x, 150)) << x;
    // The halo reaches 1.25 pixels beyond the line's edges (149.95 and 151.45): row 152 is
    // darkened, row 156 untouched, and nothing lies beyond the limb.
    EXPECT_LT(qGray(white.pixel(100, 152)), 200);
    EXPECT_EQ(white.pixel(100, 156), qRgb(255, 255, 255));
    EXPECT_EQ(white.pixel(20, 150), qRgb(255, 255, 255));
}

TEST(PictureOverlay, CircleLimbPointsAndSpot) {
    PictureView v = Bare({150, 150, 100});
    v.circle = v.points = v.spot = true;
    v.limb.x[10] = 60;
    v.limb.y[10] = 70;
    v.limb.flag[10] = LimbPointAccepted;
    v.limb.x[11] = 200;
    v.limb.y[11] = 200;
    v.limb.flag[11] = 0; // not part of the fit: not drawn
    // Radius 100 pixels for a 150 mm chart: 4/3 pixel a millimetre. The spot at (15, -30) mm
    // stands at 150.5 + 20, 150.5 + 40.
    v.scene.Frame.diameter = 150;
    v.scene.SpotX = 15;
    v.scene.SpotY = -30;
    const QImage grey = Painted(Surface(300, 300, qRgb(128, 128, 128)), v);
    // The circle passes (cx + sin t R, cy + cos t R) through the middles of pixels.
    for (const QPoint p : {QPoint(150, 250), QPoint(250, 150), QPoint(150, 50), QPoint(50, 150)})
        EXPECT_TRUE(IsCyan(grey, p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_FALSE(IsCyan(grey, 150, 150));
    // A plus 3.5 pixels each way from the middle of pixel (60, 70).
    for (const QPoint p : {QPoint(60, 70), QPoint(57, 70), QPoint(63, 70), QPoint(60, 67)})
        EXPECT_TRUE(IsRed(grey, p.x(), p.y())) << p.x() << "," << p.y();
    EXPECT_FALSE(IsRed(grey, 63, 73));
    EXPECT_FALSE(IsRed(grey, 200, 200));
    EXPECT_TRUE(IsCyan(grey, 170, 190));
}

TEST(PictureOverlay, ADiskFarOffTheNumbersDrawsNothing) {
    // Disks such as a damaged header or a diverged fit gives.
    for (const Circle disk : {Circle{-7.9e10, -1.9e20, 1e17}, Circle{1e300, 50, 10},
                              Circle{100, 5e9, 1e-300}, Circle{std::nan(""), 50, 40}}) {
        PictureView v = Bare(disk);
        v.scene.ShowLatLines = v.scene.ShowLongLines = true;
        v.circle = v.spot = true;
        const QImage blank = Surface(200, 100, qRgb(77, 77, 77));
        EXPECT_EQ(Painted(blank, v), blank) << disk.cx << " " << disk.r;
    }
}

TEST(PictureOverlay, LinesAndLabelsKeepTheirSizeWhateverThePicturesSize) {
    // A 4096-pixel picture shown at a quarter and a 1024-pixel copy shown whole put the disk
    // at the same place on screen: pixel 2048 at (2048.5) / 4 = 512.125, pixel 511.625 at
    // 512.125; radius 1600 / 4 = 400. The screen shows the same overlay for both.
    PictureView large = Bare({2048, 2048, 1600});
    PictureView small = Bare({511.625, 511.625, 400});
    for (PictureView* v : {&large, &small}) {
        v->scene.ShowLatLines = v->scene.ShowLongLines = true;
        v->scene.NESWPoints = true;
        v->scene.B0 = 4.5;
        v->scene.P = -20;
        v->scene.Frame.q = -20; // celestial north up
    }
    const QImage screen = Surface(1024, 1024, qRgb(0, 0, 0));
    EXPECT_EQ(Painted(screen, large, 0.25), Painted(screen, small, 1));
}

// The share of a saved picture's pixels its overlay covers, in the picture's own part.
double OverlayShare(int side) {
    QImage black(side, side, QImage::Format_Grayscale8);
    black.fill(0);
    const double centre = side / 2.0 - 0.5;
    PictureView v = Bare({centre, centre, side * 0.4});
    v.scene.ShowLatLines = v.scene.ShowLongLines = true;
    v.scene.NESWPoints = true;
    const QImage saved = PictureWithOverlay(black, v, {{"caption"}}, OverlayFont());
    long long lit = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            lit += qGray(saved.pixel(x, y)) > 0;
    }
    return static_cast<double>(lit) / (static_cast<double>(side) * side);
}

TEST(PictureOverlay, ALargeAndASmallCopyOfOnePictureAreSavedAlike) {
    const double large = OverlayShare(4096);
    const double small = OverlayShare(1024);
    EXPECT_GT(large, 0);
    EXPECT_LT(std::max(large, small) / std::min(large, small), 2.0) << large << " " << small;
}

TEST(PictureOverlay, ASavedPictureKeepsItsPixelsAndCarriesItsCaptionBelow) {
    QImage clean(300, 200, QImage::Format_Grayscale8);
    clean.fill(90);
    PictureView v = Bare({150, 100, 80});
    v.scene.ShowEquator = true;
    const QImage saved =
        PictureWithOverlay(clean, v, {{"2023-01-31  03:39:45 UT (file name)"}}, OverlayFont());
    ASSERT_EQ(saved.width(), 300);
    ASSERT_GT(saved.height(), 200);
    EXPECT_EQ(saved.pixel(3, 3), qRgb(90, 90, 90));
    EXPECT_EQ(saved.pixel(299, 199), qRgb(90, 90, 90));
    // The caption is written in white on black below the picture.
    bool written = false;
    for (int y = 200; y < saved.height(); ++y) {
        for (int x = 0; x < saved.width(); ++x)
            written = written || qGray(saved.pixel(x, y)) > 200;
    }
    EXPECT_TRUE(written);
    // Without a caption the picture keeps its size.
    EXPECT_EQ(PictureWithOverlay(clean, v, {}, OverlayFont()).size(), clean.size());
}

TEST(PictureOverlay, CompassLettersOfADiskFillingTheViewStayInside) {
    // Every letter's anchor at 1.075 R lies beyond the bounds (20 to 220); the letters are
    // kept inside, so nothing is drawn beyond the bounds but the halo's reach.
    PictureView v = Bare({119.5, 119.5, 98});
    v.scene.NESWPoints = true;
    QImage surface = Surface(240, 240, qRgb(0, 0, 0));
    {
        QPainter p(&surface);
        PaintPictureOverlay(p, v, {1, 0, 0, QRectF(20, 20, 200, 200)}, OverlayFont());
    }
    int inside = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 240; ++x) {
            const bool lit = surface.pixel(x, y) != qRgb(0, 0, 0);
            const bool near = x >= 18 && x < 222 && y >= 18 && y < 222;
            EXPECT_TRUE(!lit || near) << x << "," << y;
            inside += lit && (x < 40 || x >= 200 || y < 40 || y >= 200);
        }
    }
    EXPECT_GT(inside, 4 * 20); // four letters along the edges
}

TEST(PictureOverlay, CompassLettersKeepOffTheLatitudeLabels) {
    // Rotation axis up: the letters turn by -P, so for P of about 10 degrees either way the S
    // or the N sits where the polar circles' labels are. Drawn with and without the
    // letters, the labels beyond the limb must come out the same.
    for (const double P : {-26.0, -16.0, -11.7, -8.0, 0.0, 8.0, 11.7, 16.0, 26.0}) {
        PictureView v = Bare({200, 200, 150});
        v.scene.P = P;
        v.scene.Frame.q = 0; // the rotation axis up
        v.scene.ShowLatLines = true;
        const QImage labels = Painted(Surface(400, 400, qRgb(0, 0, 0)), v);
        v.scene.NESWPoints = true;
        const QImage both = Painted(Surface(400, 400, qRgb(0, 0, 0)), v);
        int covered = 0;
        for (int y = 0; y < 400; ++y) {
            for (int x = 0; x < 400; ++x) {
                const bool beyond = std::hypot(x + 0.5 - 200, y + 0.5 - 200) > 150 + 3;
                covered += beyond && labels.pixel(x, y) != qRgb(0, 0, 0) &&
                           labels.pixel(x, y) != both.pixel(x, y);
            }
        }
        EXPECT_EQ(covered, 0) << "P " << P;
    }
}

} // namespace
} // namespace zorva
