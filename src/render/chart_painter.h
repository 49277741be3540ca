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
inline constexpr uint32_t WhiteColour = 0xFFFFFF;

// The screen's colours, or the print style's white ground and disk under the black grid,
// which spares ink on a drawing blank.
enum class ChartStyle { Screen, Print };
uint32_t BackgroundColourOf(ChartStyle style);
uint32_t DiskColourOf(ChartStyle style);

// How a chart is drawn. The screen places every point on the pixel grid by the chart's
// integer rules; a smooth chart keeps the same geometry unrounded, for vector files and
// paper, where stepped lines would show.
struct ChartLook {
    ChartStyle Style = ChartStyle::Screen;
    bool Smooth = false;
    bool LongitudeLabels = false; // Carrington longitudes every 30 degrees along the equator
};

QColor ColourFromWord(uint32_t bgr);
uint32_t WordFromColour(const QColor& colour);
// The 0x00BBGGRR word of one pixel, for code that compares packed values.
uint32_t PixelWord(const QImage& image, int x, int y);

// The label font of charts drawn outside the window (command line, tests): fixed, so
// that the same chart comes out the same on every machine.
QFont DefaultChartFont();

// A blank square chart image of ChartSide pixels for the scene's diameter.
QImage NewChartImage(double diameterMm);

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

// The same onto any paint device, in a w x h box of the painter's units (a PDF page, say);
// the painter's font is used for the labels. A smooth look takes fractional sizes.
void PaintChartGrid(QPainter& painter, double w, double h, const ChartScene& scene,
                    const ChartLook& look = {});
MarkerPixel PaintChartMarkers(QPainter& painter, double w, double h, const ChartScene& scene,
                              const ChartLook& look = {});

} // namespace zorva
