#include "render/picture_painter.h"

#include <QPainter>
#include <cmath>

#include "render/chart_painter.h"
#include "render/grid_painter.h"
#include "render/image_overlay.h"
#include "render/region_plot.h"
#include "render/separation_painter.h"

namespace zorva {

namespace {

void PaintOverlays(QImage& canvas, const std::optional<SeparationOverlay>& separation,
                   const std::optional<RegionsOverlay>& regions, const QFont& font,
                   const QRect& area) {
    if (separation) {
        QPainter p(&canvas);
        ClipTo(p, area);
        PaintSeparation(p, separation->figure, separation->frame,
                        {separation->arcColour, separation->lineColour});
    }
    // The regions stay on top of whatever else is drawn.
    if (regions) {
        DrawRegions(canvas, regions->frame, *regions->regions, regions->places,
                    RegionStyleOf(*regions), font, area);
    }
}

// The pixels the spot marker of a view covers, with a pixel to spare each way.
QRect SpotMarkArea(const PictureView& v) {
    if (!v.disk) return {};
    const double D = v.scene.Geometry.ChartDiameter;
    const double x = v.disk->cx + 0.5 + 2 * v.disk->r * v.scene.SpotX / D;
    const double y = v.disk->cy + 0.5 - 2 * v.disk->r * v.scene.SpotY / D;
    constexpr int kReach = 4; // the marker reaches 2.5 pixels from its centre
    if (!std::isfinite(x) || !std::isfinite(y)) return {};
    const int ix = TruncPixel(x);
    const int iy = TruncPixel(y);
    return QRect(ix - kReach, iy - kReach, 2 * kReach + 1, 2 * kReach + 1);
}

} // namespace

void PaintChartView(QImage& canvas, const ChartView& view, const QFont& font) {
    RedrawChart(canvas, view.scene, font);
    PaintOverlays(canvas, view.separation, view.regions, font, QRect());
}

void PaintPictureView(QImage& canvas, const QImage& clean, const PictureView& view,
                      const QFont& font, const QRect& area) {
    if (!view.disk) {
        // Nothing to fit a grid to: the picture as it is, with the search's points if asked.
        RestoreImage(canvas, clean, area);
        if (view.points && !canvas.isNull()) DrawLimbPoints(canvas, view.limb, area);
        return;
    }
    const ImageOverlayScene scene{view.scene, *view.disk, view.limb, view.points, view.circle};
    DrawImageGrid(canvas, clean, scene, font, area);
    if (view.spot) DrawImageSpot(canvas, scene, area);
    PaintOverlays(canvas, view.separation, view.regions, font, area);
}

std::optional<QRect> SpotOnlyChange(const PictureView& before, const PictureView& after) {
    PictureView moved = before;
    moved.scene.SpotX = after.scene.SpotX;
    moved.scene.SpotY = after.scene.SpotY;
    if (!(moved == after)) return std::nullopt;
    if (!after.spot ||
        (before.scene.SpotX == after.scene.SpotX && before.scene.SpotY == after.scene.SpotY)) {
        return QRect(); // nothing shown differs
    }
    const QRect from = SpotMarkArea(before);
    const QRect to = SpotMarkArea(after);
    if (from.isNull() || to.isNull()) return std::nullopt;
    return from.united(to);
}

} // namespace zorva
