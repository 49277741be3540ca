#include "render/region_plot.h"

#include <QFontMetrics>
#include <QPen>
#include <QString>
#include <algorithm>

#include "core/present/presentation.h"
#include "render/chart_painter.h"
#include "render/grid_painter.h"

namespace zorva {

namespace {

constexpr int kNumberLift = 2;       // gap between the number and the cross
constexpr int kClassDropDivisor = 5; // the class starts a fifth of its height below

// Text centred on x (half its width taken downwards) with the top of its cell at `top`.
void CentredText(QPainter& p, const QFontMetrics& fm, int x, int top, const QString& text) {
    p.drawText(QPoint(x - fm.horizontalAdvance(text) / 2, top + fm.ascent()), text);
}

} // namespace

void PaintRegions(QPainter& p, int height, const DiskFrame& frame,
                  std::span<const SrsRegion> regions, std::span<const RegionPlace> places,
                  const RegionPlotStyle& style) {
    const std::size_t n = std::min(regions.size(), places.size());
    if (regions.empty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    QFont font = p.font();
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    const QColor colour = ColourFromWord(style.Colour);
    QColor regionColour = colour;
    if (style.Faded) regionColour.setAlpha(RegionFadedAlpha);
    p.setPen(QPen(regionColour, 1));
    p.setBrush(Qt::NoBrush);
    const QFontMetrics fm = p.fontMetrics();
    const int h = fm.height();
    for (std::size_t i = 0; i < n; ++i) {
        const auto px = RegionPixel(frame, places[i]);
        if (!px) continue;
        const SrsRegion& r = regions[i];
        PlusMark(p, px->X, px->Y);
        CentredText(p, fm, px->X, px->Y - h - kNumberLift, QString::number(r.Number));
        CentredText(p, fm, px->X, px->Y + h / kClassDropDivisor, QString::fromStdString(r.Class));
        if (r.Area) CentredText(p, fm, px->X, px->Y + h, QString::number(*r.Area));
        if (style.Highlight == i) {
            p.drawEllipse(QPoint(px->X, px->Y), RegionHighlightRadius, RegionHighlightRadius);
        }
    }
    p.setPen(QPen(colour, 1));
    int bottom = height;
    if (style.FileNameLabel) {
        bottom -= h;
        p.drawText(QPoint(0, bottom + fm.ascent()), QString::fromStdString(style.FileName));
    }
    if (!style.AgeLabel.empty()) {
        p.drawText(QPoint(0, bottom - h + fm.ascent()), QString::fromStdString(style.AgeLabel));
    }
    p.restore();
}

RegionPlotStyle RegionStyleOf(const RegionsOverlay& o) {
    return {o.colour, o.fileNameLabel, o.fileName, o.highlight, o.ageLabel, o.faded};
}

void DrawRegions(QImage& image, const DiskFrame& frame, std::span<const SrsRegion> regions,
                 std::span<const RegionPlace> places, const RegionPlotStyle& style,
                 const QFont& font, const QRect& area) {
    if (regions.empty()) return;
    QPainter p(&image);
    ClipTo(p, area);
    p.setFont(font);
    PaintRegions(p, image.height(), frame, regions, places, style);
}

} // namespace zorva
