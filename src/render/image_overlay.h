#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>

#include "core/chart/chart_scene.h"
#include "core/images/circle_fit.h"

namespace zorva {

// Overlay colours on a solar image, as 0x00BBGGRR words: the grid, its letters and labels,
// the fitted circle and the spot in blue, the limb points in red.
inline constexpr uint32_t ImageOverlayColour = 0xFF0000;
inline constexpr uint32_t LimbPointColour = 0x0000FF;

// Everything the overlay on a solar image reads.
struct ImageOverlayScene {
    ChartScene chart;    // grid flags, orientation, flip, mirror, B0, P, D, N E S W, spot
    Circle disk;         // the fitted disk in image pixels
    LimbPoints limb;     // the limb points of the last fit
    bool points = false; // the Points item is checked
    bool circle = false; // the Circle item is checked
};

// Puts the clean picture back on the canvas (32-bit colour, the clean picture's size),
// which wipes every overlay drawn before; with an area, only there (a canvas of another
// size is made anew whole).
void RestoreImage(QImage& canvas, const QImage& clean, const QRect& area = QRect());

// The limb points as red pluses, and the fitted circle as a blue polyline of 721 points.
void DrawLimbPoints(QImage& canvas, const LimbPoints& limb, const QRect& area = QRect());
void DrawLimbCircle(QImage& canvas, const Circle& disk, const QRect& area = QRect());

// Restores the canvas from the clean picture, then draws the limb points and the circle
// when their items are checked, and the heliographic grid fitted to the disk, in blue. With
// an area, only that part is restored and the grid drawn again over it (everything is drawn
// opaque and without smoothing, so drawing it again elsewhere changes nothing).
void DrawImageGrid(QImage& canvas, const QImage& clean, const ImageOverlayScene& scene,
                   const QFont& font, const QRect& area = QRect());

// The spot marker: the spot's millimetres on the chart scaled to the image disk.
void DrawImageSpot(QImage& canvas, const ImageOverlayScene& scene, const QRect& area = QRect());

// The filled blue dot a plain click leaves on the image at pixel (x, y).
void DrawClickDot(QImage& canvas, int x, int y, const QRect& area = QRect());

// Keeps a painter's drawing inside an area of its picture; an invalid area is the whole.
void ClipTo(QPainter& painter, const QRect& area);

} // namespace zorva
