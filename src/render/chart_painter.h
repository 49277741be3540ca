#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "core/chart/chart_geometry.h"
#include "core/chart/rotation_markers.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// Colours as the 0x00BBGGRR words the program stores and compares.
inline constexpr uint32_t ChartBackgroundColour = 0xFFCE73; // light blue
inline constexpr uint32_t DiskColour = 0x14FFFF;            // yellow
inline constexpr uint32_t BlackColour = 0x000000;

QColor ColourFromWord(uint32_t bgr);
uint32_t WordFromColour(const QColor& colour);
// The 0x00BBGGRR word of one pixel, for code that compares packed values.
uint32_t PixelWord(const QImage& image, int x, int y);

// Colour and label option of one rotation marker.
struct MarkerLook {
    uint32_t Colour = 0x0000FF;
    bool Label = false;
};

// Everything the chart drawing reads.
struct ChartScene {
    ChartGeometry Geometry;
    double B0 = 0;
    double P = 0;
    double D = 0.5333; // apparent diameter, degrees
    double ParallacticAngle = 0;
    bool NESWPoints = true; // check of the N E S W points item
    bool Sunspot = true;    // check of the sunspot item
    double SpotX = 0;       // millimetres, as displayed
    double SpotY = 0;
    MarkerState Markers;
    MarkerLook Carrington;
    MarkerLook Differential;
};

// The label font of charts drawn outside the window (command line, tests): fixed, so
// that the same chart comes out the same on every machine.
QFont DefaultChartFont();

// The scene of the window's state.
ChartScene MakeChartScene(const ChartGeometry& geometry, const Ephemeris& ephemeris,
                          const SpotState& spot, const MarkerState& markers);

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
