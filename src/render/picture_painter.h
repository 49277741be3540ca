#pragma once

#include <QFont>
#include <QImage>

#include "core/present/presentation.h"

namespace zorva {

// The chart as the presentation shows it: the drawing, the separation's figure, the regions.
// `canvas` must have the chart's side.
void PaintChartView(QImage& canvas, const ChartView& view, const QFont& font);

} // namespace zorva
