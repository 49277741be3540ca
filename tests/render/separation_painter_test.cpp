#include "render/separation_painter.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

#include "render/chart_painter.h"

namespace zorva {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGreen = 0x008000;
constexpr uint32_t kRed = 0x0000FF;

Ephemeris SampleEphemeris() {
    Ephemeris e;
    e.B0 = 3;
    e.L0 = 100;
    e.P = 15;
    e.DiamMinutes = 32;
    e.DiamSeconds = 5;
    e.Rotation = 2290;
    return e;
}

// A measured separation within the disk, from (lat1, lon1) to (lat2, lon2).
SeparationState Within(double lat1, double lon1, double lat2, double lon2) {
    SeparationState s;
    s.SepPoint1Inside = s.SepPoint2Inside = true;
    s.At1.emplace();
    s.At1->lat = lat1;
    s.At1->lon = lon1;
    s.At2.emplace();
    s.At2->lat = lat2;
    s.At2->lon = lon2;
    s.SepDegrees = GreatCircleDegrees(lat1, lon1, lat2, lon2);
    return s;
}

QImage White(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

int CountOf(const QImage& image, uint32_t word) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += PixelWord(image, x, y) == word;
    return n;
}

TEST(SeparationPainter, OutsideLineOnTheChart) {
    SeparationFigure f;
    f.OutsideLine = true;
    f.LineFrom = {0, 0};
    f.LineTo = {50, 0};
    QImage chart = White(553, 553);
    const SeparationColours colours{kGreen, kRed};
    const auto middle = DrawChartSeparation(chart, f, ChartGeometry{}, 0, colours);
    EXPECT_FALSE(middle);
    // From the centre pixel 277 to 277 + 147.47 along row 277, in the line colour.
    for (const int x : {277, 300, 400, 424})
        EXPECT_EQ(PixelWord(chart, x, 277), kRed) << x;
    EXPECT_EQ(PixelWord(chart, 276, 277), kWhite);
    EXPECT_EQ(PixelWord(chart, 425, 277), kWhite);
    EXPECT_EQ(PixelWord(chart, 350, 276), kWhite);
    EXPECT_EQ(CountOf(chart, kGreen), 0);
}

TEST(SeparationPainter, ArcThroughEveryFigurePointAndTheMiddleReturned) {
    const Ephemeris e = SampleEphemeris();
    ChartGeometry g;
    g.MirrorSign = -1;
    const double q = ChartRotation(g.Mode, e.P, e.ParallacticAngle);
    const SeparationState s = Within(-20, 80, 35, 121);
    const SeparationFigure f = SeparationFigureOf(s, FigureForm::GreatCircle, e);
    ASSERT_GT(f.Arc.size(), 50u);
    ASSERT_TRUE(f.Middle);

    QImage chart = White(553, 553);
    const auto middle = DrawChartSeparation(chart, f, g, q, {kGreen, kRed});
    const DiskFrame frame = ChartDiskFrame(553, 553, g, q);
    for (const DiskPosition& p : f.Arc) {
        const Pixel px = PolarToWholePixel(frame, p.r, p.pa);
        EXPECT_EQ(PixelWord(chart, px.X, px.Y), kGreen) << px.X << "," << px.Y;
    }
    EXPECT_EQ(CountOf(chart, kRed), 0);

    // The middle comes back unrounded, and back on the Sun it is the arc's middle.
    ASSERT_TRUE(middle);
    const PixelPoint expected =
        DiskToPixel(DiskFrame{0, q, -1, 1, 276.5, 276.5, 221.2, 221.2}, f.Middle->r, f.Middle->pa);
    EXPECT_DOUBLE_EQ(middle->x(), expected.x);
    EXPECT_DOUBLE_EQ(middle->y(), expected.y);
    const DiskPoint mm = PixelToDisk(frame, middle->x(), middle->y());
    const LatLong back = LocatePoint(mm.x, mm.y, frame, e).value_or(LatLong{});
    const LatLong mid = GreatCircleMiddle(s);
    // The drawn radius is searched to a thousandth of the disk radius.
    EXPECT_NEAR(back.lat, mid.lat, 0.1);
    EXPECT_NEAR(back.lon, mid.lon, 0.1);
}

TEST(SeparationPainter, LoadedImageUsesTheFittedCircle) {
    const Ephemeris e = SampleEphemeris();
    const ChartGeometry g;
    const double q = ChartRotation(g.Mode, e.P, e.ParallacticAngle);
    const SeparationState s = Within(10, 90, 10, 120);
    const SeparationFigure f = SeparationFigureOf(s, FigureForm::LongitudeArc, e);
    QImage image = White(640, 480);
    const auto middle = DrawImageSeparation(image, f, 300.4, 240.2, 180, g, q, {kGreen, kRed});
    const DiskFrame frame = ImageFrame(300.4, 240.2, 180, g, q);
    for (const DiskPosition& p : f.Arc) {
        const Pixel px = PolarToWholePixel(frame, p.r, p.pa);
        EXPECT_EQ(PixelWord(image, px.X, px.Y), kGreen) << px.X << "," << px.Y;
    }
    ASSERT_TRUE(middle);
    const PixelPoint expected =
        DiskToPixel(DiskFrame{0, q, 1, 1, 300.4, 240.2, 180, 180}, f.Middle->r, f.Middle->pa);
    EXPECT_DOUBLE_EQ(middle->x(), expected.x);
    EXPECT_DOUBLE_EQ(middle->y(), expected.y);
}

TEST(SeparationPainter, NothingWithoutAValidSeparationAndThePenEndsBlack) {
    const Ephemeris e = SampleEphemeris();
    SeparationState s = Within(10, 90, 10, 120);
    s.SepDegrees.reset();
    QImage chart = White(369, 369);
    ChartGeometry g;
    g.ChartDiameter = 100;
    EXPECT_FALSE(
        DrawChartSeparation(chart, SeparationFigureOf(s, FigureForm::GreatCircle, e), g, 0, {}));
    EXPECT_EQ(CountOf(chart, kWhite), 369 * 369);

    s = Within(10, 90, 10, 120);
    QPainter p(&chart);
    PaintSeparation(p, SeparationFigureOf(s, FigureForm::GreatCircle, e),
                    ChartDiskFrame(369, 369, g, 0), {kGreen, kRed});
    EXPECT_EQ(p.pen().color(), QColor(Qt::black));
}

TEST(SeparationPainter, MiddleDotsOfTheTwoForms) {
    // Great circle: corners (97, 97) and (102, 102); longitude arc: (98, 98) and (103, 103);
    // the right and bottom corners lie outside the dot.
    const QPointF m(100.4, 100.6);
    QImage great = White(200, 200);
    DrawMiddleDot(great, m, FigureForm::GreatCircle);
    QImage arc = White(200, 200);
    DrawMiddleDot(arc, m, FigureForm::LongitudeArc);
    const uint32_t blue = 0xFF0000;
    EXPECT_EQ(PixelWord(great, 99, 99), blue);
    EXPECT_EQ(PixelWord(great, 97, 99), blue);
    EXPECT_EQ(PixelWord(great, 102, 99), kWhite);
    EXPECT_EQ(PixelWord(arc, 100, 100), blue);
    EXPECT_EQ(PixelWord(arc, 97, 100), kWhite);
    EXPECT_EQ(PixelWord(arc, 102, 100), blue);
    EXPECT_EQ(CountOf(great, blue), CountOf(arc, blue));
}

} // namespace
} // namespace zorva
