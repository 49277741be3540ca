#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "core/chart/chart_scene.h"

namespace zorva {

// Colours as the 0x00BBGGRR words the program stores and compares.
inline constexpr uint32_t ChartBackgroundColour = 0xFFCE73; // light blue
inline constexpr uint32_t DiskColour = 0x14FFFF;            // yellow
inline constexpr uint32_t BlackColour = 0x000000;

QColor ColourFromWord(uint32_t bgr);
uint32_t WordFromColour(const QColor& colour);
// The 0x00BBGGRR word of one pixel, for code that compares packed values.
uint32_t PixelWord(const QImage& image, int x, int y);

// The label font of charts drawn outside the window (command line, tests): fixed, so
// that the same chart comes out the same on every machine.
QFont DefaultChartFont();

// A blank square chart image of ChartSide pixels for the scene's diameter.
QImage NewChartImage(const ChartGeometry& geometry);

// Pixel of the last marker drawn.
struct MarkerPixel {
    int32_t MarkerX = 0;
    int32_t MarkerY = 0;

    bool operator==(const MarkerPixel&) const = default;
};

// Background, disk, N E S W points and grid over the whole image.
void DrawChart(QImage& image, const ChartScene& scene, const QFont& font);
// DrawChart, then the spot marker or the rotation markers.
MarkerPixel RedrawChart(QImage& image, const ChartScene& scene, const QFont& font);

// Width of the disk outline's path in pixels on a chart image of the given side.
int DiskOutlineWidth(int side);

// The same onto any paint device of w x h device units (a PDF page, say); the
// painter's font is used for the labels.
void PaintChartGrid(QPainter& painter, int w, int h, const ChartScene& scene);
MarkerPixel PaintChartMarkers(QPainter& painter, int w, int h, const ChartScene& scene);

} // namespace zorva
