#pragma once

// The heliographic grid as both the chart and the overlay on a solar image draw it, and
// the small drawing rules they share. Render code only; not for the window.

#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "core/chart/chart_scene.h"
#include "core/chart/projection.h"

namespace zorva {

// Where and how the grid is drawn. A point (r, pa) goes to
//   x = cx + sin(pa + q) sx r fraction sizeX,  y = cy - cos(pa + q) sy r fraction sizeY,
// multiplied in that order: on the chart the radius is 0.4 of the side (fraction 0.4,
// sizes W and H), on an image it is the fitted radius (fraction 1, sizes R and R).
struct GridFrame {
    double cx = 0;
    double cy = 0;
    double fraction = 1;
    double sizeX = 0;
    double sizeY = 0;
    double q = 0;         // ChartRotation, degrees
    int sx = 1;           // MirrorSign
    int sy = 1;           // FlipSign
    double cutoff = 1;    // largest radial fraction drawn
    bool nearest = false; // whole pixels to the nearest (image) or downwards (chart)
    bool smooth = false;  // no whole pixels at all: vector files and paper
    // How text is put down on a smooth frame: as glyphs, or as outlines that are stroked
    // with the pen (a halo under the text) or filled with the pen's colour.
    enum class Ink { Glyphs, Halo, Fill } ink = Ink::Glyphs;
};

// How a value becomes a whole pixel, and the value itself on a smooth frame.
enum class PixelRule { Down, Nearest, TowardsZero };
double Place(const GridFrame& f, double v, PixelRule rule);
// A text size divided into parts, cut towards zero in whole pixels.
double Part(const GridFrame& f, double v, int parts);

// Where a projected point lies, unrounded, and whether the grid shows it.
QPointF GridPoint(const GridFrame& f, const DiskPosition& pt);
bool GridShows(const GridFrame& f, const DiskPosition& pt);

// The radius at which latitude labels stand, as two factors applied in turn to
// sin(pa + q) sx r: on the chart 0.405 and then W (H for y); on an image R and then a
// further factor.
struct LabelRadius {
    double first = 1;
    double secondX = 1;
    double secondY = 1;
};

// Every grid line the scene shows, projected before any drawing starts.
inline constexpr std::array<int, 9> GridDegrees = {-80, -60, -40, -20, 0, 20, 40, 60, 80};
using CirclePoints = std::array<DiskPosition, LatitudeCircleSamples>;
using MeridianPoints = std::array<DiskPosition, MeridianSamples>;
struct GridLines {
    CirclePoints equator;
    MeridianPoints centralMeridian;
    std::array<CirclePoints, GridDegrees.size()> circles;
    std::array<MeridianPoints, GridDegrees.size()> meridians;
};
// The lines depend only on the disk's size and tilt and on which lines are shown, so the
// last grid projected is kept (one for each thread) and handed out again while those stay:
// a click or a new spot repaints without projecting the grid anew.
// A large picture's grid is projected exactly; the chart's keeps its own search.
std::shared_ptr<const GridLines> ProjectGrid(const ChartScene& scene,
                                             RadialSearch search = RadialSearch::Chart);

// The lines of the scene's grid flags in the fixed order: the equator alone, the
// central meridian alone, the "P" mark (placed by `poleMark`), the latitude lines with
// their labels, the longitude lines. Gives the boxes of the labels written.
std::vector<QRectF> DrawGridLines(QPainter& p, const GridFrame& f, const GridLines& grid,
                                  const ChartScene& scene, const LabelRadius& equatorLabel,
                                  const LabelRadius& latitudeLabels, QPointF poleMarkAnchor);

// The screen directions (x right, y down) of celestial N, E, S and W for the angle a by
// which north is turned, and the mirror and flip signs.
struct CompassPoint {
    QString letter;
    double dx;
    double dy;
};
std::array<CompassPoint, 4> CompassPoints(double a, int sx, int sy);

// Whole pixels: halves upwards, or towards zero.
int RoundPixel(double v);
int TruncPixel(double v);

// Text whose cell's top-left corner is (x, y), and the metrics the placement rules use.
void TextOut(QPainter& p, int x, int y, const QString& text);
int TextWidth(const QPainter& p, const QString& s);
int TextHeight(const QPainter& p);
// The same in whole pixels, or in fractions on a smooth frame.
void TextOut(QPainter& p, const GridFrame& f, double x, double y, const QString& text);
double TextWidth(const QPainter& p, const GridFrame& f, const QString& s);
double TextHeight(const QPainter& p, const GridFrame& f);
// A line between two places, whole pixels unless the frame is smooth.
void Line(QPainter& p, const GridFrame& f, const QPointF& from, const QPointF& to);
// The font engines smooth glyphs unless the font itself says not to.
void HardEdgedFont(QPainter& p);

// Ellipse with corners (x1, y1) and (x2, y2), the right and bottom edges outside: a
// rectangle of (x2 - x1 - 1) by (y2 - y1 - 1) drawn with a one-pixel pen.
void CornerEllipse(QPainter& p, int x1, int y1, int x2, int y2);
// On a smooth frame, the ellipse of exactly that box.
void CornerEllipse(QPainter& p, const GridFrame& f, double x1, double y1, double x2, double y2);

// Keeps a painter's drawing inside an area of its picture; an invalid area is the whole.
void ClipTo(QPainter& painter, const QRect& area);

// A plus of five pixels each way centred on (x, y), in the pen's colour.
void PlusMark(QPainter& p, int x, int y);

} // namespace zorva
