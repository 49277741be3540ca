#pragma once

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/chart/chart_caption.h"
#include "render/chart_painter.h"
#include "render/region_plot.h"

namespace zorva {

// A chart as it leaves the program: on paper, in a file, on a printer.
struct ChartExport {
    ChartScene Scene;
    ChartStyle Style = ChartStyle::Screen;
    bool LongitudeLabels = false;
    std::vector<CaptionLine> Caption; // printed under the chart; none when empty
    QFont Font = DefaultChartFont();
    // The summary's regions drawn over the chart, as shown on the screen; none when empty.
    std::vector<SrsRegion> Regions;
    std::vector<RegionPlace> Places; // alongside the regions
    RegionPlotStyle RegionStyle;
};

enum class ChartFileFormat { Png, Pdf, Svg };

// The format a file name asks for by its extension (any case), if it is one of ours.
std::optional<ChartFileFormat> ChartFormatOfPath(const QString& path);

// Width and height of the chart with its caption block, in millimetres. The chart's disk
// is exactly its diameter; a caption wider than the chart widens the page.
QSizeF ChartPageSizeMm(const ChartExport& chart);

// The export in memory. PDF and SVG are vectors at true size, drawn smooth with the
// screen's geometry: the disk measures the chart diameter on paper, with nothing scaled.
// PNG is the screen's bitmap at 75 pixels per inch (recorded in the file).
QByteArray ChartPngBytes(const ChartExport& chart);
QByteArray ChartPdfBytes(const ChartExport& chart);
QByteArray ChartSvgBytes(const ChartExport& chart);
QByteArray ChartFileBytes(ChartFileFormat format, const ChartExport& chart);

// Paints the chart and its caption at true size, centred in `area` (device units) of a
// device with `dotsPerInch` units to the inch: a printer's page, say. For a disk of the
// right size on paper the printer must not scale the page (full page, no fit to page).
void PaintChartCentred(QPainter& painter, const QRectF& area, double dotsPerInch,
                       const ChartExport& chart);

// Writes the bytes of an export to `path`, replacing it whole or not at all. False, with
// the old file untouched and `error` (when given) saying why, when they cannot be written;
// an empty export (nothing could be drawn) is never written. The bytes of a path reach the
// file system as they are, so a name that is not UTF-8 is written as given.
bool SaveChartFile(const std::filesystem::path& path, const QByteArray& bytes,
                   std::string* error = nullptr);
bool SaveChartFile(const QString& path, const QByteArray& bytes, std::string* error = nullptr);

// The screen chart with neither caption nor labels, as PNG or PDF.
bool SaveChartPng(const QString& path, const ChartScene& scene, const QFont& font);
bool SaveChartPdf(const QString& path, const ChartScene& scene, const QFont& font);

} // namespace zorva
