#pragma once

#include <QFont>
#include <QImage>
#include <vector>

#include "core/session/picture.h"

namespace zorva {

// The figures drawn over a picture since its grid, in their order.
void PaintOverlays(QImage& canvas, const std::vector<Overlay>& overlays, const QFont& font);

// The solar image's picture: the clean picture with its grid, the spot when it was drawn,
// then the overlays. `canvas` becomes a 32-bit copy of the clean picture's size.
void PaintImagePicture(QImage& canvas, const QImage& clean, const ImagePicture& picture,
                       const QFont& font);

} // namespace zorva
