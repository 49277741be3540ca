#include "render/picture_painter.h"

#include <QPainter>

#include "render/chart_painter.h"
#include "render/region_plot.h"
#include "render/separation_painter.h"

namespace zorva {

namespace {

void PaintOverlays(QImage& canvas, const std::optional<SeparationOverlay>& separation,
                   const std::optional<RegionsOverlay>& regions, const QFont& font) {
    if (separation) {
        QPainter p(&canvas);
        PaintSeparation(p, separation->figure, separation->frame,
                        {separation->arcColour, separation->lineColour});
    }
    // The regions stay on top of whatever else is drawn.
    if (regions) {
        DrawRegions(canvas, regions->frame, *regions->regions, regions->places,
                    RegionStyleOf(*regions), font);
    }
}

} // namespace

void PaintChartView(QImage& canvas, const ChartView& view, const QFont& font) {
    RedrawChart(canvas, view.scene, font);
    PaintOverlays(canvas, view.separation, view.regions, font);
}

} // namespace zorva
