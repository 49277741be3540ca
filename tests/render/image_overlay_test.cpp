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

// A scene with nothing on it but what a test switches on: B0 = 0, P = 0, north up.
ImageOverlayScene BareScene(Circle disk) {
    ImageOverlayScene s;
    s.disk = disk;
    s.chart.Geometry.ShowCentralMeridian = false;
    s.chart.Geometry.ShowEquator = false;
    s.chart.NESWPoints = false;
    s.chart.D = 0.533;
    return s;
}

QImage GreyPicture(int w, int h, int level) {
    QImage clean(w, h, QImage::Format_Grayscale8);
    clean.fill(level);
    return clean;
}

bool IsBlue(const QImage& image, int x, int y) {
    return PixelWord(image, x, y) == ImageOverlayColour;
}
bool IsRed(const QImage& image, int x, int y) {
    return PixelWord(image, x, y) == LimbPointColour;
}

TEST(DrawImageGrid, EachRedrawStartsFromTheCleanPicture) {
    const QImage clean = GreyPicture(300, 300, 77);
    ImageOverlayScene s = BareScene({150, 150, 120});
    s.chart.NESWPoints = true;
    s.chart.Geometry.ShowLatLines = true;
    s.chart.Geometry.ShowLongLines = true;
    s.circle = true;
    QImage canvas;
    DrawImageGrid(canvas, clean, s, OverlayFont());
    EXPECT_EQ(canvas.format(), QImage::Format_RGB32);
    EXPECT_TRUE(IsBlue(canvas, 150, 150)); // the central meridian crosses the equator
    // Everything off: not a trace of the earlier drawing is left.
    DrawImageGrid(canvas, clean, BareScene({150, 150, 120}), OverlayFont());
    EXPECT_EQ(canvas, clean.convertToFormat(QImage::Format_RGB32));
}

TEST(DrawImageGrid, ADiskFarOffTheNumbersDrawsNothingOnThePicture) {
    // Whole pixels stay within 2^24 of the origin, whatever the value.
    EXPECT_EQ(RoundPixel(1e300), 1 << 24);
    EXPECT_EQ(TruncPixel(-1e300), -(1 << 24));
    EXPECT_EQ(RoundPixel(std::nan("")), 0);
    // Disks such as a damaged header or a diverged fit gives: every line lies beyond the
    // picture's edge, and nothing of it reaches the picture.
    const QImage clean = GreyPicture(200, 100, 77);
    for (const Circle disk :
         {Circle{-7.9e10, -1.9e20, 1e17}, Circle{1e300, 50, 10}, Circle{100, 5e9, 1e-300}}) {
        ImageOverlayScene s = BareScene(disk);
        s.chart.Geometry.ShowLatLines = true;
        s.chart.Geometry.ShowLongLines = true;
        s.circle = true;
        QImage canvas;
        DrawImageGrid(canvas, clean, s, OverlayFont());
        DrawImageSpot(canvas, s, QRect());
        EXPECT_EQ(canvas, clean.convertToFormat(QImage::Format_RGB32)) << disk.cx << " " << disk.r;
    }
}

TEST(DrawImageGrid, EquatorReachesTheLimbOnBothSides) {
    // B0 = 0, north up: the equator is the row through the centre. Unlike the chart's
    // grid it runs to the limb itself: the last visible point lies a hair inside r = 1,
    // so 150 +- 120 rounds to columns 30 and 270.
    ImageOverlayScene s = BareScene({150.3, 150.2, 120});
    s.chart.Geometry.ShowEquator = true;
    QImage canvas;
    DrawImageGrid(canvas, GreyPicture(300, 300, 0), s, OverlayFont());
    for (const int x : {31, 100, 150, 269})
        EXPECT_TRUE(IsBlue(canvas, x, 150)) << x;
    EXPECT_FALSE(IsBlue(canvas, 28, 150));
    EXPECT_FALSE(IsBlue(canvas, 150, 149));
    EXPECT_FALSE(IsBlue(canvas, 150, 151));
}

TEST(DrawImageGrid, CircleAndLimbPoints) {
    ImageOverlayScene s = BareScene({150, 150, 100});
    s.circle = true;
    s.points = true;
    s.limb.x[10] = 60;
    s.limb.y[10] = 70;
    s.limb.flag[10] = LimbPointAccepted;
    s.limb.x[11] = 200;
    s.limb.y[11] = 200;
    s.limb.flag[11] = 0; // not part of the fit: not drawn
    QImage canvas;
    DrawImageGrid(canvas, GreyPicture(300, 300, 128), s, OverlayFont());
    // The circle passes (cx + sin t R, cy + cos t R): at t = 0, 90, 180, 270 degrees.
    for (const QPoint p : {QPoint(150, 250), QPoint(250, 150), QPoint(150, 50), QPoint(50, 150)}) {
        EXPECT_TRUE(IsBlue(canvas, p.x(), p.y())) << p.x() << "," << p.y();
    }
    EXPECT_FALSE(IsBlue(canvas, 150, 150));
    // A plus of five pixels each way.
    for (int d = -2; d <= 2; ++d) {
        EXPECT_TRUE(IsRed(canvas, 60 + d, 70));
        EXPECT_TRUE(IsRed(canvas, 60, 70 + d));
    }
    EXPECT_FALSE(IsRed(canvas, 61, 71));
    EXPECT_FALSE(IsRed(canvas, 63, 70));
    EXPECT_FALSE(IsRed(canvas, 200, 200));
}

TEST(DrawImageGrid, LettersOfADiskFillingThePictureStayInside) {
    // Disk (100, 100, 98) in 200 x 200: every letter's anchor at 1.075 R = 105.35 pixels
    // lies beyond the border. Worked by the keep-inside rule, with lw and lh the letter's
    // width and height:
    //   N: top 0, tick (100, 2) to (100, min(lh, 2)) = (100, 2);
    //   S: top 200 - lh, tick (100, 198) to (100, max(200 - 2 lh, 198)) = (100, 198);
    //   E: left 200 - lw, top 100 - lh/2, tick (198, 100) to (max(200 - 2 lw, 198), 100);
    //   W: left 0, tick (2, 100) to (min(lw, 2), 100) = (2, 100).
    ImageOverlayScene s = BareScene({100, 100, 98});
    s.chart.NESWPoints = true;
    const QImage clean = GreyPicture(200, 200, 0);
    QImage canvas;
    DrawImageGrid(canvas, clean, s, OverlayFont());

    QImage expected = clean.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&expected);
        QFont font = OverlayFont();
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setPen(QPen(ColourFromWord(ImageOverlayColour), 1));
        const QFontMetrics fm = p.fontMetrics();
        const int lh = fm.height();
        auto letter = [&](const char* text, int left, int top) {
            p.drawText(QPoint(left, top + fm.ascent()), text);
        };
        p.drawLine(100, 2, 100, 2);
        letter("N", 100 - fm.horizontalAdvance("N") / 2, 0);
        p.drawLine(198, 100, std::max(200 - 2 * fm.horizontalAdvance("E"), 198), 100);
        letter("E", 200 - fm.horizontalAdvance("E"), 100 - lh / 2);
        p.drawLine(100, 198, 100, 198);
        letter("S", 100 - fm.horizontalAdvance("S") / 2, 200 - lh);
        p.drawLine(2, 100, 2, 100);
        letter("W", 0, 100 - lh / 2);
    }
    EXPECT_EQ(canvas, expected);
}

TEST(DrawImageSpot, SpotMillimetresScaledToTheDisk) {
    // Radius 150 pixels for a 150 mm chart: 2 pixels a millimetre. x = 200 + 0.5 + 2 * 15
    // = 230.5, so the dot spans columns trunc(228) to 232; y = 200.5 + 2 * 10 = 220.5.
    ImageOverlayScene s = BareScene({200, 200, 150});
    s.chart.Geometry.ChartDiameter = 150;
    s.chart.SpotX = 15;
    s.chart.SpotY = -10;
    QImage canvas = GreyPicture(400, 400, 0).convertToFormat(QImage::Format_RGB32);
    DrawImageSpot(canvas, s);
    EXPECT_TRUE(IsBlue(canvas, 230, 220));
    EXPECT_TRUE(IsBlue(canvas, 228, 220));
    EXPECT_TRUE(IsBlue(canvas, 232, 220));
    EXPECT_FALSE(IsBlue(canvas, 233, 220));
    EXPECT_FALSE(IsBlue(canvas, 227, 220));
    DrawClickDot(canvas, 50, 60);
    EXPECT_TRUE(IsBlue(canvas, 50, 60));
    EXPECT_FALSE(IsBlue(canvas, 53, 60));
}

} // namespace
} // namespace zorva
