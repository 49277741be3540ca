#pragma once

#include <QByteArray>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <functional>
#include <span>

#include "core/record/activity.h"
#include "core/record/record_tables.h"
#include "render/chart_export.h"

namespace zorva {

// The plots of the observer's record, drawn from what core works out of it.

// The size the plots are drawn at: pixels of a PNG, and units of a vector file at 96 to the
// inch.
inline constexpr int kRecordPlotWidth = 1000;
inline constexpr int kRecordPlotHeight = 500;

// The activity curve: each day's R as a dot, the monthly means as a line through their
// points, against time.
void PaintActivity(QPainter& painter, const QRectF& area, const ActivityCurve& curve,
                   const QFont& font);

// The butterfly diagram: each group's latitude against its day, a disc whose area grows with
// the group's.
void PaintButterfly(QPainter& painter, const QRectF& area, std::span<const ButterflyPoint> points,
                    const QFont& font);

// A group's area through its life against the days since it was first seen, under `title`:
// a point a day, joined by a line.
void PaintGroupArea(QPainter& painter, const QRectF& area, std::span<const GroupAreaPoint> points,
                    const QString& title, const QFont& font);

// Where a plot puts its data: the frame inside its margins for axis labels and a title.
QRectF PlotFrame(const QRectF& area);

// The radius in pixels a butterfly mark has for a group of `areaMsh` millionths.
double ButterflyRadius(double areaMsh);

// A plot painted by `paint` into a file's bytes: PNG, or PDF and SVG as vectors. Empty when
// it could not be drawn.
QByteArray RecordPlotBytes(ChartFileFormat format,
                           const std::function<void(QPainter&, const QRectF&)>& paint);

} // namespace zorva
