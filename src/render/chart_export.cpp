#include "render/chart_export.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cmath>

namespace zorva {

namespace {

constexpr int kChartDpi = static_cast<int>(ChartPixelsPerInch);
constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72.0;

// The font as the chart image draws it, in pixels, so the labels keep their size
// relative to the disk on a device of another resolution.
QFont ImagePixelFont(const QFont& font) {
    if (font.pixelSize() > 0) return font;
    const QImage probe(1, 1, QImage::Format_RGB32);
    QFont f(font);
    f.setPixelSize(
        static_cast<int>(std::lround(font.pointSizeF() * probe.logicalDpiY() / kPointsPerInch)));
    return f;
}

} // namespace

bool SaveChartPng(const QString& path, const ChartScene& scene, const QFont& font) {
    QImage image = NewChartImage(scene.Geometry);
    RedrawChart(image, scene, font);
    // Set after drawing: the labels are sized by the screen-like resolution of a fresh
    // image, as in the window.
    const int dpm = static_cast<int>(std::lround(kChartDpi / kMetresPerInch));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image.save(path, "PNG");
}

bool SaveChartPdf(const QString& path, const ChartScene& scene, const QFont& font) {
    const int side = ChartSide(scene.Geometry.ChartDiameter);
    // The image's disk outline spans whole pixels, a little short of the true diameter;
    // scale the page so the outline prints at exactly the chart diameter.
    const double trueDiameter = scene.Geometry.ChartDiameter / MmPerInch * kChartDpi;
    const double scale = trueDiameter / DiskOutlineWidth(side);
    const double inches = side * scale / kChartDpi;
    QPdfWriter writer(path);
    writer.setResolution(kChartDpi);
    writer.setPageLayout(QPageLayout(
        QPageSize(QSizeF(inches, inches), QPageSize::Inch, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setCreator("Zorva");
    writer.setTitle("Heliographic chart");
    QPainter p;
    if (!p.begin(&writer)) return false;
    p.scale(scale, scale);
    p.setFont(ImagePixelFont(font));
    PaintChartGrid(p, side, side, scene);
    PaintChartMarkers(p, side, side, scene);
    return p.end();
}

} // namespace zorva
