#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <optional>
#include <vector>

#include "core/session/picture.h"

namespace zorva {

// The figures drawn over a picture since its grid, in their order.
void PaintOverlays(QImage& canvas, const std::vector<Overlay>& overlays, const QFont& font,
                   const QRect& area = QRect());

// The solar image's picture: the clean picture with its grid, the spot when it was drawn,
// then the overlays. `canvas` becomes a 32-bit copy of the clean picture's size. With an
// area, the canvas holds the picture already but for that part, which is painted again.
void PaintImagePicture(QImage& canvas, const QImage& clean, const ImagePicture& picture,
                       const QFont& font, const QRect& area = QRect());

// Where two pictures of a solar image differ when only the spot marker moved: the marks
// of both places. Nothing when anything else differs.
std::optional<QRect> SpotOnlyChange(const ImagePicture& before, const ImagePicture& after);

} // namespace zorva
