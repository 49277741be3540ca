#include "render/chart_export.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/common/atomic_file.h"
#include "render/svg_document.h"

namespace zorva {

namespace {

// Layouts are measured in the chart's own units, pixels of 1/75 inch.
constexpr double kUnitsPerInch = ChartPixelsPerInch;
constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72.0;

// The caption block: a margin of half a line round the text, a blank write-in line two
// lines high for handwriting, and at least this much rule after its label.
constexpr double kMarginLines = 0.5;
constexpr double kWriteInLines = 2.0;
constexpr double kShortestRule = 150.0; // two inches
constexpr double kRuleGap = 4.0;        // between a label and its rule

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

// Where everything goes, in chart units. A smooth layout has the disk at exactly the
// chart diameter; the screen's bitmap keeps its whole-pixel side.
struct Layout {
    bool smooth = false;
    double side = 0; // the square chart
    double width = 0;
    double height = 0;
    double chartLeft = 0;
    double line = 0;   // height of one caption line
    double margin = 0; // round the caption text
};

Layout LayoutOf(const ChartExport& e, bool smooth) {
    Layout l;
    l.smooth = smooth;
    const double diameter = e.Scene.Frame.diameter;
    l.side =
        smooth ? diameter / MmPerInch * kUnitsPerInch / ChartDiskFraction : ChartSide(diameter);
    l.width = l.side;
    l.height = l.side;
    if (!e.Caption.empty()) {
        const QFontMetricsF fm(ImagePixelFont(e.Font));
        l.line = std::ceil(fm.lineSpacing());
        l.margin = std::ceil(kMarginLines * l.line);
        double widest = 0;
        double height = 2 * l.margin;
        for (const CaptionLine& c : e.Caption) {
            const double text = fm.horizontalAdvance(QString::fromStdString(c.text));
            widest = std::max(widest, c.writeIn ? text + kRuleGap + kShortestRule : text);
            height += c.writeIn ? kWriteInLines * l.line : l.line;
        }
        l.width = std::max(l.side, std::ceil(widest + 2 * l.margin));
        l.height += height;
    }
    l.chartLeft = smooth ? (l.width - l.side) / 2 : std::floor((l.width - l.side) / 2);
    return l;
}

void PaintCaption(QPainter& p, const ChartExport& e, const Layout& l) {
    p.setPen(QPen(Qt::black, 1));
    const QFontMetricsF fm(p.font(), p.device());
    double top = l.side + l.margin;
    for (const CaptionLine& c : e.Caption) {
        const double lineHeight = c.writeIn ? kWriteInLines * l.line : l.line;
        // Write-in labels sit at the foot of their taller line, on the rule.
        const double baseline = top + lineHeight - l.line + fm.ascent();
        const QString text = QString::fromStdString(c.text);
        p.drawText(QPointF(l.margin, baseline), text);
        if (c.writeIn) {
            const double from = l.margin + fm.horizontalAdvance(text) + kRuleGap;
            p.drawLine(QPointF(from, baseline), QPointF(l.width - l.margin, baseline));
        }
        top += lineHeight;
    }
}

// The whole page in chart units from (0, 0).
void PaintLayout(QPainter& p, const ChartExport& e, const Layout& l) {
    p.setFont(l.smooth ? ImagePixelFont(e.Font) : e.Font);
    p.fillRect(QRectF(0, 0, l.width, l.height), ColourFromWord(BackgroundColourOf(e.Style)));
    const ChartLook look{e.Style, l.smooth, e.LongitudeLabels};
    p.save();
    p.translate(l.chartLeft, 0);
    PaintChartGrid(p, l.side, l.side, e.Scene, look);
    PaintChartMarkers(p, l.side, l.side, e.Scene, look);
    if (!e.Regions.empty()) {
        // The disk spans the same share of the square as on the screen.
        DiskFrame frame = e.Scene.Frame;
        frame.cx = frame.cy = l.side / 2;
        frame.rx = frame.ry = l.side * ChartDiskFraction / 2;
        PaintRegions(p, static_cast<int>(l.side), frame, e.Regions, e.Places, e.RegionStyle);
    }
    p.restore();
    if (!e.Caption.empty()) PaintCaption(p, e, l);
}

} // namespace

std::optional<ChartFileFormat> ChartFormatOfPath(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == "png") return ChartFileFormat::Png;
    if (ext == "pdf") return ChartFileFormat::Pdf;
    if (ext == "svg") return ChartFileFormat::Svg;
    return std::nullopt;
}

QSizeF ChartPageSizeMm(const ChartExport& chart) {
    const Layout l = LayoutOf(chart, true);
    return QSizeF(l.width, l.height) * (MmPerInch / kUnitsPerInch);
}

QByteArray ChartPngBytes(const ChartExport& chart) {
    const Layout l = LayoutOf(chart, false);
    QImage image(static_cast<int>(std::ceil(l.width)), static_cast<int>(std::ceil(l.height)),
                 QImage::Format_RGB32);
    // No memory for the image, or nothing to paint on: no chart rather than a blank one.
    if (image.isNull()) return {};
    image.fill(ColourFromWord(BackgroundColourOf(chart.Style)));
    {
        QPainter p;
        if (!p.begin(&image)) return {};
        PaintLayout(p, chart, l);
        if (!p.end()) return {};
    }
    // Set after drawing: the labels are sized by the screen-like resolution of a fresh
    // image, as in the window.
    const int dpm = static_cast<int>(std::lround(kUnitsPerInch / kMetresPerInch));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
    return bytes;
}

void PaintChartCentred(QPainter& p, const QRectF& area, double dotsPerInch,
                       const ChartExport& chart) {
    const Layout l = LayoutOf(chart, true);
    const double scale = dotsPerInch / kUnitsPerInch;
    p.save();
    p.translate(area.center() - QPointF(l.width, l.height) * (scale / 2));
    p.scale(scale, scale);
    PaintLayout(p, chart, l);
    p.restore();
}

QByteArray ChartPdfBytes(const ChartExport& chart) {
    // A page of whole points (as PDF page sizes go) round the exact layout, which sits in
    // its middle unscaled.
    const QSizeF mm = ChartPageSizeMm(chart);
    const QSizeF points(std::ceil(mm.width() / MmPerInch * kPointsPerInch),
                        std::ceil(mm.height() / MmPerInch * kPointsPerInch));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(static_cast<int>(kUnitsPerInch));
        writer.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setCreator("Zorva");
        writer.setTitle("Heliographic chart");
        QPainter p;
        if (!p.begin(&writer)) return {};
        const QRectF page(QPointF(0, 0), points / kPointsPerInch * kUnitsPerInch);
        PaintChartCentred(p, page, kUnitsPerInch, chart);
        if (!p.end()) return {};
    }
    return bytes;
}

QByteArray ChartSvgBytes(const ChartExport& chart) {
    const Layout l = LayoutOf(chart, true);
    SvgDocument svg(QSizeF(l.width, l.height), kUnitsPerInch);
    QPainter p;
    if (!p.begin(&svg)) return {};
    PaintLayout(p, chart, l);
    if (!p.end()) return {};
    return svg.Document();
}

QByteArray ChartFileBytes(ChartFileFormat format, const ChartExport& chart) {
    switch (format) {
    case ChartFileFormat::Png:
        return ChartPngBytes(chart);
    case ChartFileFormat::Pdf:
        return ChartPdfBytes(chart);
    case ChartFileFormat::Svg:
        return ChartSvgBytes(chart);
    }
    return {};
}

bool SaveChartFile(const std::filesystem::path& path, const QByteArray& bytes, std::string* error) {
    if (bytes.isEmpty()) {
        if (error) *error = "the chart could not be drawn";
        return false;
    }
    return WriteFileAtomically(path, std::string_view(bytes.constData(), bytes.size()), error);
}

bool SaveChartFile(const QString& path, const QByteArray& bytes, std::string* error) {
    return SaveChartFile(std::filesystem::path(QFile::encodeName(path).toStdString()), bytes,
                         error);
}

namespace {
ChartExport ScreenChart(const ChartScene& scene, const QFont& font) {
    ChartExport chart;
    chart.Scene = scene;
    chart.Font = font;
    return chart;
}
} // namespace

bool SaveChartPng(const QString& path, const ChartScene& scene, const QFont& font) {
    return SaveChartFile(path, ChartPngBytes(ScreenChart(scene, font)));
}

bool SaveChartPdf(const QString& path, const ChartScene& scene, const QFont& font) {
    return SaveChartFile(path, ChartPdfBytes(ScreenChart(scene, font)));
}

} // namespace zorva
