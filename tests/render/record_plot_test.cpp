#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "core/record/plot_axes.h"
#include "render/chart_painter.h"
#include "render/record_plot.h"

namespace zorva {
namespace {

QImage Drawn(const std::function<void(QPainter&, const QRectF&)>& paint) {
    QImage image(kRecordPlotWidth, kRecordPlotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    paint(p, QRectF(image.rect()));
    return image;
}

// A mark is where its values put it within the frame: the axes' own arithmetic, a value's
// share of the span times the frame's side.
TEST(RecordPlot, MarksFallWhereTheirValuesAre) {
    const QRectF frame = PlotFrame(QRectF(0, 0, kRecordPlotWidth, kRecordPlotHeight));
    // Two groups a year apart, at 30 north and 20 south; the axis spans -50..50 (ValueAxis of
    // -45..45) and the two years with a hundredth of the span beyond each end.
    const std::vector<ButterflyPoint> points = {{2012.0, 30, 900}, {2013.0, -20, 0}};
    const QImage image = Drawn([&](QPainter& p, const QRectF& area) {
        PaintButterfly(p, area, points, DefaultChartFont());
    });
    const double low = 2012.0 - 0.01, high = 2013.0 + 0.01;
    for (const ButterflyPoint& b : points) {
        const double x = frame.left() + (b.year - low) / (high - low) * frame.width();
        const double y = frame.bottom() - (b.latitude + 50) / 100 * frame.height();
        const QColor c = image.pixelColor(static_cast<int>(x), static_cast<int>(y));
        EXPECT_GT(c.blue(), c.red() + 20) << "no group's mark at " << x << ", " << y;
    }
    EXPECT_GT(ButterflyRadius(900), ButterflyRadius(0));
    // The activity curve's monthly mean is drawn in its own colour at its place.
    ActivityCurve curve;
    curve.daily = {{2012.0, 40, 1}, {2012.2, 80, 1}};
    curve.monthly = {{2012.1, 60, 2}};
    const QImage activity = Drawn([&](QPainter& p, const QRectF& area) {
        PaintActivity(p, area, curve, DefaultChartFont());
    });
    const PlotAxis r = ValueAxis(0, 80, 7); // 0..80 in steps of 20
    const double span = 0.2 * 1.02;
    const double x = frame.left() + (2012.1 - (2012.0 - 0.002)) / span * frame.width();
    const double y = frame.bottom() - 60 / r.high * frame.height();
    const QColor mean = activity.pixelColor(static_cast<int>(x), static_cast<int>(y));
    EXPECT_GT(mean.red(), mean.blue() + 60) << x << ", " << y;
}

TEST(RecordPlot, FilesOfEachFormat) {
    const auto paint = [](QPainter& p, const QRectF& area) {
        PaintButterfly(p, area, std::vector<ButterflyPoint>{{2012.0, 10, 100}}, DefaultChartFont());
    };
    const QByteArray png = RecordPlotBytes(ChartFileFormat::Png, paint);
    EXPECT_EQ(QImage::fromData(png).size(), QSize(kRecordPlotWidth, kRecordPlotHeight));
    EXPECT_TRUE(RecordPlotBytes(ChartFileFormat::Svg, paint).contains("<ellipse"));
    EXPECT_TRUE(RecordPlotBytes(ChartFileFormat::Pdf, paint).startsWith("%PDF"));
}

} // namespace
} // namespace zorva
