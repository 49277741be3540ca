#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <vector>

#include "core/chart/chart_caption.h"
#include "core/present/presentation.h"

namespace zorva {

// Overlay colours on a picture, as 0x00BBGGRR words: the grid, its letters and labels, the
// fitted circle and the spot in a light cyan, the limb points in red, each on a dark halo
// so that they read on black sky and on a bright disk alike.
inline constexpr uint32_t ImageOverlayColour = 0xFFE040;
inline constexpr uint32_t LimbPointColour = 0x0000FF;
inline constexpr uint32_t OverlayHaloColour = 0x000000;
// A disk being given by hand, its limb points and centre in orange: apart from the grid's
// cyan and the limb search's red.
inline constexpr uint32_t HandDiskColour = 0x00A5FF;
// Sunspots found on a picture: penumbra outlines and group labels in amber, umbra outlines
// in red, and the group or spot chosen in the table in white, drawn wider.
inline constexpr uint32_t PenumbraOutlineColour = 0x00C0FF;
inline constexpr uint32_t UmbraOutlineColour = 0x4040FF;
inline constexpr uint32_t ChosenSpotColour = 0xFFFFFF;
// Where the search judged something dark to be no spot, when asked for: a small ring in
// a faint magenta, apart from the spots' amber and red, without a halo.
inline constexpr uint32_t RejectedColour = 0xFF40FF;
inline constexpr int RejectedOpacity = 140; // of 255
// How near the pointer must come to a rejected feature's ring (surface pixels) for its
// reason to show.
inline constexpr double RejectedReach = 6;

// Where a picture lies on the surface its overlay is painted on: the middle of picture
// pixel (u, v) stands at (left + (u + 0.5) scale, top + (v + 0.5) scale). The compass
// letters are kept inside `bounds`, and the regions' file name stands at its bottom left.
struct PicturePlacement {
    double scale = 1;
    double left = 0;
    double top = 0;
    QRectF bounds;
};

// The overlay's lines are this wide and its labels this high on the surface, whatever the
// picture's size and scale: on screen, pixels at every zoom.
inline constexpr double OverlayLineWidth = 1.5;
inline constexpr int OverlayLabelPixels = 13;

// The overlay of an opened picture, drawn smooth: the limb points and circle when asked
// for, the heliographic grid fitted to the disk with its compass letters, the outlines and
// labels of the sunspots found, the spot, the separation and the regions, and over them a
// disk being given by hand. Without a disk, only the limb points and the hand's draft.
// `font` gives the labels' family; their size is the overlay's own.
void PaintPictureOverlay(QPainter& p, const PictureView& view, const PicturePlacement& at,
                         const QFont& font);

// How much larger than on screen a saved picture's overlay is drawn: as on a screen showing
// the picture 1024 pixels across, so a large and a small copy of one picture look alike;
// never smaller than on screen, so a small picture's labels stay legible.
double SavedOverlayScale(QSize picture);

// The picture as it is saved: at its own size, with the overlay drawn over it, and the
// caption block on a black strip below it (none when the caption is empty).
QImage PictureWithOverlay(const QImage& clean, const PictureView& view,
                          const std::vector<CaptionLine>& caption, const QFont& font);

} // namespace zorva
