#include "render/picture_painter.h"

#include <QPainter>
#include <type_traits>

#include "render/image_overlay.h"
#include "render/region_plot.h"
#include "render/separation_painter.h"

namespace zorva {

void PaintOverlays(QImage& canvas, const std::vector<Overlay>& overlays, const QFont& font) {
    for (const Overlay& overlay : overlays) {
        std::visit(
            [&canvas, &font](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, SeparationOverlay>) {
                    QPainter p(&canvas);
                    PaintSeparation(p, o.figure, o.frame, {o.arcColour, o.lineColour});
                } else if constexpr (std::is_same_v<T, ClickDotOverlay>) {
                    DrawClickDot(canvas, o.x, o.y);
                } else if constexpr (std::is_same_v<T, RegionsOverlay>) {
                    DrawRegions(canvas, o.frame, *o.regions, o.places,
                                {o.colour, o.fileNameLabel, o.fileName, o.highlight}, font);
                } else {
                    DrawMiddleDot(canvas, QPointF(o.x, o.y), o.form);
                }
            },
            overlay);
    }
}

void PaintImagePicture(QImage& canvas, const QImage& clean, const ImagePicture& picture,
                       const QFont& font) {
    const ImageOverlayScene scene{picture.scene, picture.disk, picture.limb, picture.points,
                                  picture.circle};
    DrawImageGrid(canvas, clean, scene, font);
    if (picture.spot) DrawImageSpot(canvas, scene);
    PaintOverlays(canvas, picture.overlays, font);
}

} // namespace zorva
