#include "render/chart_painter.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

#include "render/chart_export.h"
#include "support/test_support.h"

namespace zorva {
namespace {

QFont ChartFont() {
    return QFont("DejaVu Sans", 8);
}

// A scene with nothing on it but what a test switches on.
// The chart is turned by P in the Equatorial mode, which these tests leave at 0, and not at
// all with the rotation axis up: a bare scene is not turned.
ChartScene BareScene(double diameter) {
    ChartScene s;
    s.Frame.diameter = diameter;
    s.ShowCentralMeridian = false;
    s.ShowEquator = false;
    s.NESWPoints = false;
    s.Sunspot = false;
    s.D = 0.533;
    return s;
}

QImage Draw(const ChartScene& s, MarkerPixel* marker = nullptr) {
    QImage image = NewChartImage(s.Frame.diameter);
    const MarkerPixel m = RedrawChart(image, s, ChartFont());
    if (marker) *marker = m;
    return image;
}

bool IsBlack(const QImage& image, int x, int y) {
    return PixelWord(image, x, y) == BlackColour;
}

// Black pixels of a text as the chart writes it (hard pixels, chart font).
std::vector<QPoint> TextInk(const QString& text) {
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font = ChartFont();
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(5, 5 + p.fontMetrics().ascent()), text);
    p.end();
    std::vector<QPoint> ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (IsBlack(image, x, y)) ink.emplace_back(x, y);
        }
    }
    return ink;
}

// How often the text's pixel pattern appears in the image.
int CountText(const QImage& image, const QString& text) {
    const std::vector<QPoint> ink = TextInk(text);
    if (ink.empty()) return 0;
    int count = 0;
    for (int oy = -30; oy < image.height(); ++oy) {
        for (int ox = -60; ox < image.width(); ++ox) {
            bool all = true;
            for (const QPoint& p : ink) {
                const int x = ox + p.x(), y = oy + p.y();
                if (x < 0 || y < 0 || x >= image.width() || y >= image.height() ||
                    !IsBlack(image, x, y)) {
                    all = false;
                    break;
                }
            }
            if (all) ++count;
        }
    }
    return count;
}

bool ContainsText(const QImage& image, const QString& text) {
    return CountText(image, text) > 0;
}

TEST(ChartPainter, DiskFillsFourFifthsOfTheSide) {
    for (const double mm : {100.0, 150.0, 6 * MmPerInch}) {
        const QImage image = Draw(BareScene(mm));
        const int side = ChartSide(mm);
        ASSERT_EQ(image.width(), side);
        ASSERT_EQ(image.height(), side);
        const int mid = side / 2;
        // Outline from round(0.1 side) to round(0.9 side) - 1 along both axes.
        const int first = static_cast<int>(std::floor(0.1 * side + 0.5));
        const int last = static_cast<int>(std::floor(0.9 * side + 0.5)) - 1;
        for (const bool vertical : {false, true}) {
            auto at = [&](int i) {
                return vertical ? PixelWord(image, mid, i) : PixelWord(image, i, mid);
            };
            EXPECT_EQ(at(first - 1), ChartBackgroundColour) << mm;
            EXPECT_EQ(at(first), BlackColour) << mm;
            EXPECT_EQ(at(first + 1), DiskColour) << mm;
            EXPECT_EQ(at(last - 1), DiskColour) << mm;
            EXPECT_EQ(at(last), BlackColour) << mm;
            EXPECT_EQ(at(last + 1), ChartBackgroundColour) << mm;
            // The radius is 0.4 of the side, to a pixel.
            EXPECT_NEAR((last - first) / 2.0, 0.4 * side, 1.0) << mm;
        }
        EXPECT_EQ(PixelWord(image, 0, 0), ChartBackgroundColour);
        EXPECT_EQ(PixelWord(image, side - 1, side - 1), ChartBackgroundColour);
    }
}

TEST(ChartPainter, EquatorIsHorizontalThroughTheCentre) {
    ChartScene s = BareScene(150);
    s.ShowEquator = true;
    s.B0 = 0;
    s.P = 25; // the axis is up whatever P is
    const QImage image = Draw(s);
    const int side = image.width();
    const double r = 0.4 * side;
    const double c = side / 2.0;
    int minX = side, maxX = -1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            if (d > r - 3 || !IsBlack(image, x, y)) continue; // away from the outline
            EXPECT_EQ(y, 276) << x;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
        }
    }
    // From just inside the left limb to just inside the right one.
    EXPECT_LE(minX, c - r + 3);
    EXPECT_GE(maxX, c + r - 4);
    // Its label stands just right of the right end, outside the disk.
    EXPECT_TRUE(ContainsText(image.copy(static_cast<int>(c + r), 260, 60, 30), " 0\u00B0"));
    EXPECT_FALSE(ContainsText(image.copy(0, 260, static_cast<int>(c - r), 30), " 0\u00B0"));
}

TEST(ChartPainter, FlippedChartHasNorthAtTheBottom) {
    ChartScene s = BareScene(150);
    s.NESWPoints = true;
    s.P = 0;
    const QImage upright = Draw(s);
    s.Frame.flip = -1;
    const QImage flipped = Draw(s);
    const int side = upright.width();
    // The letters are centred on radius 0.435 of the side above and below the centre.
    const int top = static_cast<int>(std::floor(side / 2.0 - 0.435 * side + 0.5));
    const int bottom = static_cast<int>(std::floor(side / 2.0 + 0.435 * side + 0.5));
    const int mid = static_cast<int>(std::floor(side / 2.0 + 0.5));
    auto box = [](const QImage& image, int x, int y) { return image.copy(x - 6, y - 6, 13, 13); };
    EXPECT_EQ(box(flipped, mid, bottom), box(upright, mid, top)); // N moved down
    EXPECT_EQ(box(flipped, mid, top), box(upright, mid, bottom)); // S moved up
    EXPECT_NE(box(upright, mid, top), box(upright, mid, bottom)); // and N is not S
}

TEST(ChartPainter, PolarLineBeyondTheCutoffIsNotDrawn) {
    // With B0 = +7 the -80 circle lies wholly beyond the cut-off of a 100 mm chart.
    ChartScene s = BareScene(100);
    s.ShowLatLines = true;
    s.B0 = 7;
    const QImage north = Draw(s);
    // " 80" also matches inside "-80": one of them, and it is not "-80".
    EXPECT_FALSE(ContainsText(north, "-80\u00B0"));
    EXPECT_EQ(CountText(north, " 80\u00B0"), 1);
    EXPECT_TRUE(ContainsText(north, "-60\u00B0"));
    // Tipped the other way, the other pole.
    s.B0 = -7;
    const QImage south = Draw(s);
    EXPECT_TRUE(ContainsText(south, "-80\u00B0"));
    EXPECT_EQ(CountText(south, " 80\u00B0"), 1);
}

TEST(ChartPainter, PoleMarkOnlyWithTheMeridians) {
    ChartScene s = BareScene(150);
    EXPECT_FALSE(ContainsText(Draw(s), "P"));
    s.ShowLongLines = true;
    const QImage lines = Draw(s);
    EXPECT_TRUE(ContainsText(lines.copy(0, 0, lines.width(), 60), "P"));
    s.Frame.flip = -1;
    const QImage flipped = Draw(s);
    EXPECT_TRUE(ContainsText(flipped.copy(0, flipped.height() - 60, flipped.width(), 60), "P"));
}

TEST(ChartPainter, SpotMarkerAndRotationMarkers) {
    ChartScene s = BareScene(150);
    s.Sunspot = true;
    s.SpotX = 30;
    s.SpotY = -15;
    MarkerPixel m;
    QImage image = Draw(s, &m);
    // 553 * 0.8 * 30 / 150 + 276.5 = 364.98; 276.5 + 44.24 = 320.74.
    EXPECT_EQ(m, (MarkerPixel{365, 321}));
    EXPECT_TRUE(IsBlack(image, 365, 321));
    s.Sunspot = false;
    image = Draw(s, &m);
    EXPECT_EQ(PixelWord(image, 365, 321), DiskColour);
    EXPECT_EQ(m, (MarkerPixel{365, 321}));

    // A rotation marker replaces the spot marker, filled with its colour, or hollow
    // (disk-coloured) on the far side; the last one drawn gives the pixel.
    s.Sunspot = true;
    s.Markers.CarrMarkerShown = true;
    s.Markers.CarrMarkerX = -30;
    s.Markers.CarrMarkerY = 0;
    s.Carrington = {0x0000FF, true};
    s.Markers.DiffMarkerShown = true;
    s.Markers.DiffMarkerX = 0;
    s.Markers.DiffMarkerY = 30;
    s.Markers.DiffMarkerFarSide = true;
    s.Differential = {0xFF0000, false};
    image = Draw(s, &m);
    EXPECT_EQ(m, (MarkerPixel{277, 188}));
    EXPECT_EQ(PixelWord(image, 365, 321), DiskColour); // no spot marker
    EXPECT_EQ(PixelWord(image, 188, 277), 0x0000FFu);  // red, filled
    EXPECT_EQ(PixelWord(image, 277, 188), DiskColour); // hollow...
    EXPECT_EQ(PixelWord(image, 274, 188), 0xFF0000u);  // ...with a blue ring
    EXPECT_TRUE(ContainsText(image.copy(170, 250, 40, 30), "C"));
    EXPECT_FALSE(ContainsText(image.copy(260, 160, 40, 30), "D"));
}

// A colour word is 0x00BBGGRR: the bytes of red, green and blue in reverse order.
TEST(ChartPainter, ColourWords) {
    EXPECT_EQ(ColourFromWord(ChartBackgroundColour), QColor(0x73, 0xCE, 0xFF));
    EXPECT_EQ(ColourFromWord(DiskColour), QColor(0xFF, 0xFF, 0x14));
    EXPECT_EQ(WordFromColour(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

TEST(ChartExport, PngAtSeventyFivePixelsPerInch) {
    test::TempDir dir;
    const QString path = QString::fromStdString((dir / "chart.png").string());
    ChartScene s = BareScene(150);
    ASSERT_TRUE(SaveChartPng(path, s, ChartFont()));
    const QImage image(path);
    EXPECT_EQ(image.width(), 553);
    EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 75, 0.05);
    EXPECT_EQ(PixelWord(image, 300, 300), DiskColour);
}

TEST(ChartExport, PdfPageIsTheChartsPhysicalSize) {
    test::TempDir dir;
    const QString path = QString::fromStdString((dir / "chart.pdf").string());
    ChartScene s = BareScene(150);
    ASSERT_TRUE(SaveChartPdf(path, s, ChartFont()));
    const std::string pdf = test::ReadFile(dir / "chart.pdf");
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    // The chart's square is 150 mm / 0.8 = 187.5 mm = 531.5 pt, on a page of whole points.
    EXPECT_NE(pdf.find("/MediaBox [0 0 532.000000 532.000000]"), std::string::npos);
    EXPECT_FALSE(SaveChartPdf("/nonexistent-folder/chart.pdf", s, ChartFont()));
}

} // namespace
} // namespace zorva
