#pragma once

#include <QFont>
#include <QString>

#include "render/chart_painter.h"

namespace zorva {

// The chart as a PNG image at the chart's own scale, 75 pixels per inch (recorded in
// the file, so a viewer that honours it shows the disk at its physical size).
bool SaveChartPng(const QString& path, const ChartScene& scene, const QFont& font);

// The chart as a one-page PDF at true physical size: a 150 mm chart prints a disk
// 150 mm across. Drawn as vectors in the chart's pixel units.
bool SaveChartPdf(const QString& path, const ChartScene& scene, const QFont& font);

} // namespace zorva
