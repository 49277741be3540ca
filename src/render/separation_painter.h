#pragma once

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <cstdint>
#include <optional>

#include "core/chart/chart_geometry.h"
#include "core/measure/pointer.h"
#include "core/measure/separation.h"

namespace zorva {

// Pen colours of the separation figures, as 0x00BBGGRR words.
struct SeparationColours {
    uint32_t Arc = 0xFF0000;  // SepArcColour: the arc of a separation within the disk (blue)
    uint32_t Line = 0x0000FF; // SepLineColour: the line of one outside the disk (red)
};

// Unrounded pixel of the figure's middle point, where the spot is moved; nothing when
// the figure has no middle.
std::optional<QPointF> SeparationMiddlePixel(const SeparationFigure& figure,
                                             const DiskFrame& frame);

// The line or the arc of the figure, in whole pixels; the pen is black again afterwards.
void PaintSeparation(QPainter& painter, const SeparationFigure& figure, const DiskFrame& frame,
                     const SeparationColours& colours);

// The figure on the chart image (the disk 0.8 of its side, centred) or on a loaded solar
// image (disk centre cx, cy and radius in pixels). Both return the middle pixel.
std::optional<QPointF> DrawChartSeparation(QImage& chart, const SeparationFigure& figure,
                                           const ChartGeometry& geometry, double q,
                                           const SeparationColours& colours);
std::optional<QPointF> DrawImageSeparation(QImage& image, const SeparationFigure& figure, double cx,
                                           double cy, double radius, const ChartGeometry& geometry,
                                           double q, const SeparationColours& colours);

// The blue dot that marks the middle on a loaded image; each form places its 5-pixel dot
// a pixel apart from the other's.
void DrawMiddleDot(QImage& image, QPointF middle, FigureForm form, const QRect& area = QRect());

} // namespace zorva
