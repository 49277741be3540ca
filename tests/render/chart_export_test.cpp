#include "render/chart_export.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "render/chart_measure.h"
#include "support/test_support.h"

namespace zorva {
namespace {

using test::Attribute;
using test::Box;
using test::Matches;
using test::PdfDiskMm;
using test::SvgDiskMm;

constexpr double kTrueSizeTolerance = 0.1; // mm

ChartExport FullChart(double diameter) {
    ChartExport e;
    e.Scene.Frame.diameter = diameter;
    e.Scene.ShowLatLines = true;
    e.Scene.ShowLongLines = true;
    e.Scene.B0 = 4.5;
    e.Scene.P = -18;
    e.Scene.Frame.q = e.Scene.P; // celestial north up
    e.Scene.L0 = 123.4;
    e.Scene.D = 0.53;
    e.Scene.SpotX = 20;
    e.Scene.SpotY = -10;
    return e;
}

TEST(ChartExport, DiskIsTheChartDiameterInPdfAndSvg) {
    for (const double diameter : {100.0, 150.0, 5 * MmPerInch, 333.3}) {
        for (const bool withCaption : {false, true}) {
            ChartExport e = FullChart(diameter);
            e.Style = withCaption ? ChartStyle::Print : ChartStyle::Screen;
            e.LongitudeLabels = withCaption;
            if (withCaption) e.Caption = {{"2026-12-07  12:00:00 UT"}, {"Notes", true}};
            SCOPED_TRACE(testing::Message() << diameter << " mm, caption " << withCaption);
            const Box pdf = PdfDiskMm(ChartPdfBytes(e));
            EXPECT_NEAR(pdf.Width(), diameter, kTrueSizeTolerance);
            EXPECT_NEAR(pdf.Height(), diameter, kTrueSizeTolerance);
            EXPECT_NEAR(SvgDiskMm(ChartSvgBytes(e)), diameter, kTrueSizeTolerance);
        }
    }
}

// A printer's page: A4 at 600 dots per inch, the chart centred on it at true size.
TEST(ChartExport, PrintedPageHasTheDiskAtTrueSizeInItsMiddle) {
    const ChartExport e = FullChart(150);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        constexpr int kPrinterDpi = 600;
        writer.setResolution(kPrinterDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter p(&writer);
        PaintChartCentred(p, QRectF(0, 0, writer.width(), writer.height()), kPrinterDpi, e);
    }
    const Box disk = PdfDiskMm(bytes);
    EXPECT_NEAR(disk.Width(), 150, kTrueSizeTolerance);
    EXPECT_NEAR(disk.Height(), 150, kTrueSizeTolerance);
    EXPECT_NEAR((disk.left + disk.right) / 2, 210.0 / 2, 0.2); // A4 is 210 x 297 mm
    EXPECT_NEAR((disk.top + disk.bottom) / 2, 297.0 / 2, 0.2);
}

// Vector lines keep the projection's fractions; the screen's are whole pixels.
TEST(ChartExport, VectorLinesAreNotOnThePixelGrid) {
    const std::string svg = ChartSvgBytes(FullChart(150)).toStdString();
    int whole = 0, all = 0;
    for (const auto& match : Matches(svg, "<polyline points=\"([^\"]*)")) {
        std::istringstream points(match[1]);
        for (double x, y; points >> x && points.ignore(1) && points >> y;) {
            whole += (x == std::floor(x)) + (y == std::floor(y));
            all += 2;
        }
    }
    ASSERT_GT(all, 5000); // 18 grid lines of some 200 visible points each
    EXPECT_LT(whole, all / 50);
}

TEST(ChartExport, PrintStyleIsBlackOnWhite) {
    ChartExport e = FullChart(100);
    e.Style = ChartStyle::Print;
    QImage image = QImage::fromData(ChartPngBytes(e), "PNG");
    ASSERT_EQ(image.width(), ChartSide(100));
    EXPECT_EQ(PixelWord(image, 0, 0), WhiteColour);
    const int side = image.width();
    int black = 0, other = 0;
    for (int y = side / 4; y < 3 * side / 4; ++y) {
        for (int x = side / 4; x < 3 * side / 4; ++x) {
            const uint32_t w = PixelWord(image, x, y);
            if (w == BlackColour) {
                ++black;
            } else if (w != WhiteColour) {
                ++other;
            }
        }
    }
    EXPECT_GT(black, 500); // grid lines
    EXPECT_EQ(other, 0);   // and nothing but white between them

    e.Style = ChartStyle::Screen;
    image = QImage::fromData(ChartPngBytes(e), "PNG");
    EXPECT_EQ(PixelWord(image, 0, 0), ChartBackgroundColour);
}

// The caption goes under the chart: each line's text, and a rule after a write-in label.
TEST(ChartExport, CaptionBlockUnderTheChart) {
    ChartExport e = FullChart(100);
    const QImage bare = QImage::fromData(ChartPngBytes(e), "PNG");
    e.Caption = {{"B0 +4.50\u00B0   L0 123.40\u00B0"}, {"Seeing", true}};
    const QImage captioned = QImage::fromData(ChartPngBytes(e), "PNG");
    EXPECT_EQ(captioned.width(), bare.width());
    EXPECT_GT(captioned.height(), bare.height());
    const std::string svg = ChartSvgBytes(e).toStdString();
    EXPECT_NE(svg.find(">B0 +4.50\u00B0   L0 123.40\u00B0</text>"), std::string::npos);
    const size_t seeing = svg.find(">Seeing</text>");
    ASSERT_NE(seeing, std::string::npos);
    const size_t next = svg.find('<', seeing + std::string(">Seeing</text>").size());
    EXPECT_EQ(svg.compare(next, 9, "<polyline"), 0); // its rule
    // Every caption line lies below the chart's square.
    const double side = 100 / MmPerInch * ChartPixelsPerInch / ChartDiskFraction;
    for (const auto& match : Matches(svg, "<text [^>]*>(B0|Seeing)")) {
        EXPECT_GT(Attribute(match[0], "y"), side);
    }
}

// With L0 = 90 and B0 = 0 the labels 30 to 150 stand on the near side of the equator,
// 90 at the centre; 0 and 180 lie on the limb, beyond the grid's cut-off.
TEST(ChartExport, LongitudeLabelsEveryThirtyDegreesOnTheNearSide) {
    ChartExport e = FullChart(150);
    e.Scene.ShowLatLines = false;
    e.Scene.ShowLongLines = false;
    e.Scene.ShowEquator = false;
    e.Scene.ShowCentralMeridian = false;
    e.Scene.NESWPoints = false;
    e.Scene.B0 = 0;
    e.Scene.P = 0;
    e.Scene.Frame.q = 0;
    e.Scene.L0 = 90;
    e.LongitudeLabels = true;
    const std::string svg = ChartSvgBytes(e).toStdString();
    std::vector<std::string> labels;
    std::map<std::string, double> x;
    for (const auto& match : Matches(svg, "<text [^>]*>([0-9]+)\u00B0<")) {
        labels.push_back(match[1]);
        x[match[1]] = Attribute(match[0], "x");
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"30", "60", "90", "120", "150"}));
    const double centre = 150 / MmPerInch * ChartPixelsPerInch / ChartDiskFraction / 2;
    EXPECT_NEAR(x["90"], centre - 10, 6); // centred on the middle: "90°" is some 20 wide
    // dL = L0 - L is positive towards the east limb, drawn on the right with north up.
    EXPECT_GT(x["30"], x["60"]);
    EXPECT_GT(x["60"], x["90"]);
    EXPECT_GT(x["90"], x["120"]);
    EXPECT_GT(x["120"], x["150"]);
}

TEST(ChartExport, FormatsAndSaving) {
    EXPECT_EQ(ChartFormatOfPath("a/b/chart.SVG"), ChartFileFormat::Svg);
    EXPECT_EQ(ChartFormatOfPath("chart.pdf"), ChartFileFormat::Pdf);
    EXPECT_EQ(ChartFormatOfPath("chart.png"), ChartFileFormat::Png);
    EXPECT_EQ(ChartFormatOfPath("chart.gif"), std::nullopt);
    EXPECT_EQ(ChartFormatOfPath("svg"), std::nullopt);

    test::TempDir dir;
    const QString path = QString::fromStdString((dir / "chart.svg").string());
    const QByteArray svg = ChartSvgBytes(FullChart(100));
    ASSERT_TRUE(SaveChartFile(path, svg));
    EXPECT_EQ(test::ReadFile(dir / "chart.svg"), svg.toStdString());
    std::string why;
    EXPECT_FALSE(
        SaveChartFile(QString::fromStdString((dir / "no" / "chart.svg").string()), svg, &why));
    EXPECT_FALSE(why.empty());                       // the reason, for the message
    EXPECT_FALSE(SaveChartFile(path, QByteArray())); // nothing drawn: the old file stays
    EXPECT_EQ(test::ReadFile(dir / "chart.svg"), svg.toStdString());
}

} // namespace
} // namespace zorva
