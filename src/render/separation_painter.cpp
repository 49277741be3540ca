#include "render/separation_painter.h"

#include <QPen>
#include <QPolygon>
#include <cmath>

#include "core/chart/projection.h"
#include "render/chart_painter.h"
#include "render/grid_painter.h"

namespace zorva {

namespace {

constexpr uint32_t kDotColour = 0xFF0000; // blue

int Floor(double v) {
    return TruncPixel(std::floor(v)); // kept within the whole pixels a picture can use
}

QPoint ToQPoint(const Pixel& px) {
    return {px.X, px.Y};
}

} // namespace

std::optional<QPointF> SeparationMiddlePixel(const SeparationFigure& figure, const DiskFrame& f) {
    const std::optional<PixelPoint> p = MiddlePixel(figure, f);
    if (!p) return std::nullopt;
    return QPointF(p->x, p->y);
}

void PaintSeparation(QPainter& p, const SeparationFigure& figure, const DiskFrame& f,
                     const SeparationColours& colours) {
    p.setRenderHint(QPainter::Antialiasing, false);
    if (figure.OutsideLine) {
        p.setPen(QPen(ColourFromWord(colours.Line), 1));
        p.drawLine(ToQPoint(DiskToWholePixel(f, figure.LineFrom.x, figure.LineFrom.y)),
                   ToQPoint(DiskToWholePixel(f, figure.LineTo.x, figure.LineTo.y)));
    } else if (!figure.Arc.empty()) {
        QPolygon line;
        for (const DiskPosition& pos : figure.Arc)
            line << ToQPoint(PolarToWholePixel(f, pos.r, pos.pa));
        p.setPen(QPen(ColourFromWord(colours.Arc), 1));
        p.drawPolyline(line);
    }
    p.setPen(QPen(Qt::black, 1));
}

std::optional<QPointF> DrawChartSeparation(QImage& chart, const SeparationFigure& figure,
                                           const ChartGeometry& geometry, double q,
                                           const SeparationColours& colours) {
    const DiskFrame f = ChartDiskFrame(chart.width(), chart.height(), geometry, q);
    QPainter p(&chart);
    PaintSeparation(p, figure, f, colours);
    return SeparationMiddlePixel(figure, f);
}

std::optional<QPointF> DrawImageSeparation(QImage& image, const SeparationFigure& figure, double cx,
                                           double cy, double radius, const ChartGeometry& geometry,
                                           double q, const SeparationColours& colours) {
    const DiskFrame f = ImageFrame(cx, cy, radius, geometry, q);
    QPainter p(&image);
    PaintSeparation(p, figure, f, colours);
    return SeparationMiddlePixel(figure, f);
}

void DrawMiddleDot(QImage& image, QPointF m, FigureForm form, const QRect& area) {
    // The great-circle dot reaches 3 pixels up and left of the middle, the longitude-arc
    // dot 3 pixels down and right.
    const double before = form == FigureForm::GreatCircle ? 3 : 2;
    const double after = form == FigureForm::GreatCircle ? 2 : 3;
    QPainter p(&image);
    ClipTo(p, area);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor blue = ColourFromWord(kDotColour);
    p.setPen(QPen(blue, 1));
    p.setBrush(blue);
    CornerEllipse(p, Floor(m.x() - before), Floor(m.y() - before), Floor(m.x() + after),
                  Floor(m.y() + after));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
}

} // namespace zorva
