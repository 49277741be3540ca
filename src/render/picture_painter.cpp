#include "render/picture_painter.h"

#include <QPainter>
#include <cmath>
#include <type_traits>

#include "render/image_overlay.h"
#include "render/region_plot.h"
#include "render/separation_painter.h"

namespace zorva {

void PaintOverlays(QImage& canvas, const std::vector<Overlay>& overlays, const QFont& font,
                   const QRect& area) {
    for (const Overlay& overlay : overlays) {
        std::visit(
            [&canvas, &font, &area](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, SeparationOverlay>) {
                    QPainter p(&canvas);
                    ClipTo(p, area);
                    PaintSeparation(p, o.figure, o.frame, {o.arcColour, o.lineColour});
                } else if constexpr (std::is_same_v<T, ClickDotOverlay>) {
                    DrawClickDot(canvas, o.x, o.y, area);
                } else if constexpr (std::is_same_v<T, RegionsOverlay>) {
                    DrawRegions(canvas, o.frame, *o.regions, o.places,
                                {o.colour, o.fileNameLabel, o.fileName, o.highlight}, font, area);
                } else {
                    DrawMiddleDot(canvas, QPointF(o.x, o.y), o.form, area);
                }
            },
            overlay);
    }
}

void PaintImagePicture(QImage& canvas, const QImage& clean, const ImagePicture& picture,
                       const QFont& font, const QRect& area) {
    const ImageOverlayScene scene{picture.scene, picture.disk, picture.limb, picture.points,
                                  picture.circle};
    DrawImageGrid(canvas, clean, scene, font, area);
    if (picture.spot) DrawImageSpot(canvas, scene, area);
    PaintOverlays(canvas, picture.overlays, font, area);
}

namespace {

// The pixels the spot marker of a picture covers, with a pixel to spare each way.
QRect SpotMarkArea(const ImagePicture& p) {
    const double D = p.scene.Geometry.ChartDiameter;
    const double x = p.disk.cx + 0.5 + 2 * p.disk.r * p.scene.SpotX / D;
    const double y = p.disk.cy + 0.5 - 2 * p.disk.r * p.scene.SpotY / D;
    constexpr int kReach = 4; // the marker reaches 2.5 pixels from its centre
    if (!std::isfinite(x) || !std::isfinite(y)) return {};
    const int ix = static_cast<int>(std::trunc(x));
    const int iy = static_cast<int>(std::trunc(y));
    return QRect(ix - kReach, iy - kReach, 2 * kReach + 1, 2 * kReach + 1);
}

} // namespace

std::optional<QRect> SpotOnlyChange(const ImagePicture& before, const ImagePicture& after) {
    ImagePicture moved = before;
    moved.scene.SpotX = after.scene.SpotX;
    moved.scene.SpotY = after.scene.SpotY;
    if (!(moved == after)) return std::nullopt;
    if (!after.spot) return QRect(); // nothing shown differs
    const QRect from = SpotMarkArea(before);
    const QRect to = SpotMarkArea(after);
    if (from.isNull() || to.isNull()) return std::nullopt;
    return from.united(to);
}

} // namespace zorva
