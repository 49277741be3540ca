#include "render/region_plot.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/present/presentation.h"
#include "render/chart_painter.h"
#include "render/grid_painter.h"

namespace zorva {

namespace {

constexpr int kNumberLift = 2;       // gap between the number and the cross
constexpr int kClassDropDivisor = 5; // the class starts a fifth of its height below
constexpr int kRegionMarkReach = 2;  // the cross's arms, pixels from its middle (PlusMark)
constexpr int kLabelRings = 8;       // a label goes at most four lines from its own place

// Text centred on x (half its width taken downwards) with the top of its cell at `top`.
void CentredText(QPainter& p, const QFontMetrics& fm, int x, int top, const QString& text) {
    p.drawText(QPoint(x - fm.horizontalAdvance(text) / 2, top + fm.ascent()), text);
}

} // namespace

void PaintRegions(QPainter& p, int height, const DiskFrame& frame,
                  std::span<const SrsRegion> regions, std::span<const RegionPlace> places,
                  const RegionPlotStyle& style, std::span<const LabelBox> avoid) {
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
    // Each region's cross with its three lines of text round it, and where they go.
    struct Label {
        QPoint at;
        QString number, cls, area;
    };
    std::vector<Label> labels;
    std::vector<LabelRequest> requests;
    for (std::size_t i = 0; i < n; ++i) {
        const auto px = RegionPixel(frame, places[i]);
        if (!px) continue;
        const SrsRegion& r = regions[i];
        Label l{QPoint(px->X, px->Y), QString::number(r.Number), QString::fromStdString(r.Class),
                r.Area ? QString::number(*r.Area) : QString()};
        const int width = std::max({fm.horizontalAdvance(l.number), fm.horizontalAdvance(l.cls),
                                    fm.horizontalAdvance(l.area)});
        const int top = l.at.y() - h - kNumberLift;
        const int bottom = l.at.y() + (l.area.isEmpty() ? h / kClassDropDivisor + h : 2 * h);
        requests.push_back(
            {double(l.at.x()), double(l.at.y()),
             LabelBox{double(l.at.x() - width / 2), double(top), double(width),
                      double(bottom - top)},
             LabelBox{double(l.at.x() - kRegionMarkReach), double(l.at.y() - kRegionMarkReach),
                      2.0 * kRegionMarkReach + 1, 2.0 * kRegionMarkReach + 1}});
        labels.push_back(std::move(l));
        if (style.Highlight == i) {
            p.drawEllipse(QPoint(px->X, px->Y), RegionHighlightRadius, RegionHighlightRadius);
        }
    }
    const std::vector<LabelShift> shifts = PlaceLabels(requests, avoid, h / 2.0, kLabelRings);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const Label& l = labels[k];
        PlusMark(p, l.at.x(), l.at.y());
        const int dx = static_cast<int>(std::lround(shifts[k].dx));
        const int dy = static_cast<int>(std::lround(shifts[k].dy));
        const int x = l.at.x() + dx;
        const int y = l.at.y() + dy;
        CentredText(p, fm, x, y - h - kNumberLift, l.number);
        CentredText(p, fm, x, y + h / kClassDropDivisor, l.cls);
        if (!l.area.isEmpty()) CentredText(p, fm, x, y + h, l.area);
        if (dx != 0 || dy != 0) {
            // A moved label keeps a line to its cross, from the cross's arm to its box.
            const LabelBox box{requests[k].box.left + dx, requests[k].box.top + dy,
                               requests[k].box.width, requests[k].box.height};
            double nx = 0, ny = 0;
            NearestOnBox(box, l.at.x(), l.at.y(), nx, ny);
            const QLineF line(QPointF(l.at), QPointF(nx, ny));
            if (line.length() > kRegionMarkReach + 1) {
                p.drawLine(line.pointAt((kRegionMarkReach + 1) / line.length()), line.p2());
            }
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
