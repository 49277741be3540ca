#include "render/region_plot.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

#include "render/chart_painter.h"

namespace zorva {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;

QImage White(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Bounding box of the red pixels within rows [top, bottom).
QRect RedBox(const QImage& image, int top, int bottom) {
    QRect box;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelWord(image, x, y) == kRed) box |= QRect(x, y, 1, 1);
    return box;
}

struct Plot {
    std::vector<SrsRegion> regions;
    std::vector<RegionPlace> places;
};

// Region 11226 at r = 0.5, pa = 45 (pixel 192, 107 on a 300-pixel chart: 150 + 60 sin 45
// and 150 - 60 cos 45, taken down), and one behind the limb.
Plot TwoRegions() {
    Plot p;
    SrsRegion shown;
    shown.Number = 11226;
    shown.Class = "Dao";
    shown.Area = 80;
    SrsRegion hidden = shown;
    hidden.Number = 11227;
    p.regions = {shown, hidden};
    RegionPlace visible;
    visible.Visible = true;
    visible.Disk = {30, 0.5, 45};
    RegionPlace behind;
    behind.Disk.rho = 999;
    p.places = {visible, behind};
    return p;
}

TEST(RegionPlot, CrossAndLabelsAroundTheRegion) {
    const Plot plot = TwoRegions();
    QImage image = White(300, 300);
    RegionPlotStyle style;
    style.Colour = kRed;
    const QFont font = DefaultChartFont();
    DrawRegions(image, ChartDiskFrame(300, 300, ChartGeometry{}, 0), plot.regions, plot.places,
                style, font);
    const int x = 192, y = 107;
    for (int d = -2; d <= 2; ++d) {
        EXPECT_EQ(PixelWord(image, x, y + d), kRed) << d;
        EXPECT_EQ(PixelWord(image, x + d, y), kRed) << d;
    }
    for (const QPoint diagonal : {QPoint(-1, -1), QPoint(1, 1), QPoint(-1, 1), QPoint(1, -1)})
        EXPECT_EQ(PixelWord(image, x + diagonal.x(), y + diagonal.y()), kWhite);

    // The number ends two pixels above the cross's centre row, centred on it; the class
    // and the area lie below.
    const int h = QFontMetrics(font).height();
    const QRect number = RedBox(image, y - h - 2, y - 2);
    ASSERT_FALSE(number.isEmpty());
    EXPECT_NEAR(number.center().x(), x, 3);
    EXPECT_GT(number.width(), QFontMetrics(font).horizontalAdvance("1122"));
    const QRect below = RedBox(image, y + 3, y + 2 * h + 1);
    ASSERT_FALSE(below.isEmpty());
    EXPECT_NEAR(below.center().x(), x, 3);
    EXPECT_GT(below.height(), h);

    // Nothing anywhere else: the region behind the limb is not drawn, and no file name.
    const QRect all = RedBox(image, 0, 300);
    EXPECT_TRUE(QRect(x - 30, y - h - 3, 61, 3 * h + 6).contains(all)) << all.x() << "," << all.y();
}

TEST(RegionPlot, FileNameLabelHighlightAndLoadedImage) {
    const Plot plot = TwoRegions();
    const QFont font = DefaultChartFont();
    const int h = QFontMetrics(font).height();
    RegionPlotStyle style;
    style.Colour = kRed;
    style.FileName = "20110607SRS.txt";

    QImage off = White(300, 300);
    DrawRegions(off, ChartDiskFrame(300, 300, ChartGeometry{}, 0), plot.regions, plot.places, style,
                font);
    EXPECT_TRUE(RedBox(off, 300 - h, 300).isEmpty());

    style.FileNameLabel = true;
    style.Highlight = 0;
    QImage on = White(300, 300);
    DrawRegions(on, ChartDiskFrame(300, 300, ChartGeometry{}, 0), plot.regions, plot.places, style,
                font);
    const QRect label = RedBox(on, 300 - h, 300);
    ASSERT_FALSE(label.isEmpty());
    EXPECT_LT(label.left(), 3);
    EXPECT_GT(label.width(), 60);
    EXPECT_EQ(PixelWord(on, 192 + RegionHighlightRadius, 107), kRed);
    EXPECT_EQ(PixelWord(on, 192, 107 + RegionHighlightRadius), kRed);

    // Without regions nothing is drawn, not even the file name.
    QImage empty = White(300, 300);
    DrawRegions(empty, ChartDiskFrame(300, 300, ChartGeometry{}, 0), {}, {}, style, font);
    EXPECT_TRUE(RedBox(empty, 0, 300).isEmpty());

    // On a loaded image the fitted circle places the cross: radius 80 about
    // (200.5, 100.25) puts r = 0.5 at pa 45 on 228.78, 71.97.
    QImage photo = White(400, 200);
    DrawRegions(photo, ImageFrame(200.5, 100.25, 80, ChartGeometry{}, 0), plot.regions, plot.places,
                style, font);
    EXPECT_EQ(PixelWord(photo, 228, 71), kRed);
    EXPECT_EQ(PixelWord(photo, 228, 69), kRed);
    EXPECT_EQ(PixelWord(photo, 226, 71), kRed);
    EXPECT_EQ(PixelWord(photo, 229, 72), kWhite);
}

// A summary far from the instant: its regions faded, the distance said in full colour
// above the file name.
TEST(RegionPlot, AFarSummaryIsFadedAndSaysHowFar) {
    const Plot plot = TwoRegions();
    const QFont font = DefaultChartFont();
    const int h = QFontMetrics(font).height();
    RegionPlotStyle style;
    style.Colour = kRed;
    style.FileNameLabel = true;
    style.FileName = "20110607SRS.txt";
    style.AgeLabel = "summary of 2011-06-07, 1,461 days from the chart";
    style.Faded = true;
    QImage image = White(300, 300);
    DrawRegions(image, ChartDiskFrame(300, 300, ChartGeometry{}, 0), plot.regions, plot.places,
                style, font);
    // Red over white at 96/255: red stays 255, green and blue 255 x (1 - 96/255) = 159.
    const QColor cross = image.pixelColor(192, 107);
    EXPECT_EQ(cross.red(), 255);
    EXPECT_NEAR(cross.green(), 159, 1);
    EXPECT_NEAR(cross.blue(), 159, 1);
    // Both labels in full red: the file name on the bottom line, the distance above it.
    const QRect name = RedBox(image, 300 - h, 300);
    const QRect age = RedBox(image, 300 - 2 * h, 300 - h);
    ASSERT_FALSE(name.isEmpty());
    ASSERT_FALSE(age.isEmpty());
    EXPECT_LT(age.left(), 3);
    EXPECT_GT(age.width(), 2 * name.width());
}

TEST(RegionPlot, PainterComesBackAsItWas) {
    const Plot plot = TwoRegions();
    QImage image = White(300, 300);
    QPainter p(&image);
    p.setFont(DefaultChartFont());
    p.setPen(QPen(Qt::green, 3));
    p.setBrush(Qt::blue);
    PaintRegions(p, 300, ChartDiskFrame(300, 300, ChartGeometry{}, 0), plot.regions, plot.places,
                 RegionPlotStyle{});
    EXPECT_EQ(p.pen().color(), QColor(Qt::green));
    EXPECT_EQ(p.pen().width(), 3);
    EXPECT_EQ(p.brush().color(), QColor(Qt::blue));
    EXPECT_EQ(p.font().styleStrategy(), DefaultChartFont().styleStrategy());
}

} // namespace
} // namespace zorva
