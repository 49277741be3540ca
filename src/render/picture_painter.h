#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <optional>

#include "core/present/presentation.h"

namespace zorva {

// The chart as the presentation shows it: the drawing, the separation's figure, the regions.
// `canvas` must have the chart's side.
void PaintChartView(QImage& canvas, const ChartView& view, const QFont& font);

// An opened picture as the presentation shows it: the clean picture with its grid, the
// limb points and circle when asked for, the spot, the separation and the regions. `canvas`
// becomes a 32-bit copy of the clean picture's size. With an area, the canvas holds the
// picture already but for that part, which is painted again.
void PaintPictureView(QImage& canvas, const QImage& clean, const PictureView& view,
                      const QFont& font, const QRect& area = QRect());

// Where two views of a picture differ when only the spot moved: the marks of both places.
// Nothing when anything else differs; an empty rectangle when nothing shown differs.
std::optional<QRect> SpotOnlyChange(const PictureView& before, const PictureView& after);

} // namespace zorva
