#include "render/chart_painter.h"

#include <QFontMetrics>
#include <QString>
#include <array>
#include <cmath>
#include <memory>

#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "render/grid_painter.h"

namespace zorva {

namespace {

using degrees::Cos;
using degrees::Sin;

// Fractions of the image side.
constexpr double kDiskInset = 0.1;                    // the disk's bounding box starts here...
constexpr double kDiskOutset = 0.9;                   // ...and ends here
constexpr double kDiskRadius = ChartDiskFraction / 2; // so the radius is 0.4 of the side
constexpr double kTickEnd = 0.42;                     // N E S W ticks run from the limb to here
constexpr double kCompassAnchor = 0.435;              // centre of the N E S W letters
constexpr double kGridLabelRadius = 0.405;
constexpr double kPoleMarkRadius = 0.41;
constexpr double kMarkerHalf = 2.5; // the marker is a 5-pixel circle

// Longitude labels: every 30 degrees of Carrington longitude, a tick across the equator
// and the number just below it.
constexpr int kLongitudeLabelStep = 30;
constexpr double kLongitudeTickHalf = 3; // pixels either side of the equator
constexpr double kLongitudeLabelGap = 1; // pixels between the tick and the number
const QString kDegree = QString(QChar(0x00B0));

// The grid frame of a w x h chart and the colours of its look.
struct ChartDrawFrame {
    GridFrame grid;
    QColor background;
    QColor disk;
};

ChartDrawFrame MakeFrame(double w, double h, const ChartScene& s, const ChartLook& look) {
    ChartDrawFrame c;
    GridFrame& f = c.grid;
    f.cx = w / 2.0;
    f.cy = h / 2.0;
    f.fraction = kDiskRadius;
    f.sizeX = w;
    f.sizeY = h;
    f.q = s.Frame.q;
    f.sx = s.Frame.mirror;
    f.sy = s.Frame.flip;
    f.cutoff = LimbCutoff(s.Frame.diameter);
    f.smooth = look.Smooth;
    c.background = ColourFromWord(BackgroundColourOf(look.Style));
    c.disk = ColourFromWord(DiskColourOf(look.Style));
    return c;
}

// Hard pixels on the screen, as the integer rules place them, the labels too, so that a
// label's pixels are black or not at all; smoothed lines and text on paper.
void SetRendering(QPainter& p, const GridFrame& f) {
    p.setRenderHint(QPainter::Antialiasing, f.smooth);
    p.setRenderHint(QPainter::TextAntialiasing, f.smooth);
    if (!f.smooth) HardEdgedFont(p);
}

// Text on a solid box of the background colour.
void OpaqueTextOut(QPainter& p, const ChartDrawFrame& c, double x, double y, const QString& text) {
    p.fillRect(QRectF(x, y, TextWidth(p, c.grid, text), TextHeight(p, c.grid)), c.background);
    TextOut(p, c.grid, x, y, text);
}

// All radii of the N E S W points are fractions of the height, on both axes.
void DrawCompassPoints(QPainter& p, const ChartDrawFrame& c, double H, double a) {
    const GridFrame& f = c.grid;
    const std::array<CompassPoint, 4> points = CompassPoints(a, f.sx, f.sy);
    const double sideShift = Part(f, TextWidth(p, f, "W") + TextWidth(p, f, "E"), 4);
    const QBrush previous = p.brush();
    p.setBrush(c.background);
    for (const CompassPoint& pt : points) {
        const auto at = [&](double radius) {
            return QPointF(Place(f, f.cx + pt.dx * radius * H, PixelRule::Nearest),
                           Place(f, f.cy + pt.dy * radius * H, PixelRule::Nearest));
        };
        Line(p, f, at(kDiskRadius), at(kTickEnd));
        const QPointF anchor = at(kCompassAnchor);
        const double half = Part(f, TextHeight(p, f), 2);
        if (pt.letter == "N" || pt.letter == "S") {
            OpaqueTextOut(p, c, anchor.x() - Part(f, TextWidth(p, f, pt.letter), 2),
                          anchor.y() - half, pt.letter);
        } else {
            OpaqueTextOut(p, c, anchor.x() - sideShift, anchor.y() - half, pt.letter);
        }
    }
    p.setBrush(previous);
}

// The Carrington longitudes 0, 30, ..., 330 where they cross the equator on the visible
// disk: a tick across the equator and the number centred below it.
void DrawLongitudeLabels(QPainter& p, const GridFrame& f, const ChartScene& s) {
    constexpr double kFullTurn = 360.0;
    for (int lon = 0; lon < kFullTurn; lon += kLongitudeLabelStep) {
        DiskPosition pt;
        // dL = L0 - L, taken the short way round.
        ProjectPoint(0, std::remainder(s.L0 - lon, kFullTurn), s.D, s.B0, pt);
        if (!GridShows(f, pt)) continue;
        const QPointF at = GridPoint(f, pt);
        const double x = Place(f, at.x(), PixelRule::Down);
        const double y = Place(f, at.y(), PixelRule::Down);
        Line(p, f, QPointF(x, y - kLongitudeTickHalf), QPointF(x, y + kLongitudeTickHalf));
        const QString text = QString::number(lon) + kDegree;
        TextOut(p, f, Place(f, x - TextWidth(p, f, text) / 2, PixelRule::TowardsZero),
                y + kLongitudeTickHalf + kLongitudeLabelGap, text);
    }
}

// The marker's centre on the chart: the nearest pixel on the screen.
QPointF MarkerCentre(const GridFrame& f, double xMm, double yMm, double diameter) {
    const double w = f.sizeX, h = f.sizeY;
    return {Place(f, w * ChartDiskFraction * xMm / diameter + w / 2.0, PixelRule::Nearest),
            Place(f, h / 2.0 - h * ChartDiskFraction * yMm / diameter, PixelRule::Nearest)};
}

void MarkerCircle(QPainter& p, const GridFrame& f, const QPointF& m) {
    CornerEllipse(p, f, Place(f, m.x() - kMarkerHalf, PixelRule::TowardsZero),
                  Place(f, m.y() - kMarkerHalf, PixelRule::TowardsZero),
                  Place(f, m.x() + kMarkerHalf, PixelRule::TowardsZero),
                  Place(f, m.y() + kMarkerHalf, PixelRule::TowardsZero));
}

QPointF DrawRotationMarker(QPainter& p, const ChartDrawFrame& c, const ChartScene& s, double xMm,
                           double yMm, bool farSide, const MarkerLook& look,
                           const QString& letter) {
    const GridFrame& f = c.grid;
    const QPointF m = MarkerCentre(f, xMm, yMm, s.Frame.diameter);
    const QColor colour = ColourFromWord(look.Colour);
    p.setBrush(farSide ? c.disk : colour);
    p.setPen(QPen(colour, 1));
    MarkerCircle(p, f, m);
    p.setPen(QPen(Qt::black, 1));
    if (look.Label) {
        TextOut(p, f, m.x() - Part(f, TextWidth(p, f, letter), 2) - 1, m.y() - TextHeight(p, f) - 3,
                letter);
    }
    return m;
}

} // namespace

QColor ColourFromWord(uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t WordFromColour(const QColor& colour) {
    return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
           (static_cast<uint32_t>(colour.blue()) << 16);
}

uint32_t PixelWord(const QImage& image, int x, int y) {
    return WordFromColour(QColor::fromRgb(image.pixel(x, y)));
}

QFont DefaultChartFont() {
    constexpr int kLabelPoints = 8;
    return QFont("DejaVu Sans", kLabelPoints);
}

int DiskOutlineWidth(int side) {
    return RoundPixel(kDiskOutset * side) - RoundPixel(kDiskInset * side) - 1;
}

QImage NewChartImage(double diameterMm) {
    const int side = ChartSide(diameterMm);
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(ColourFromWord(ChartBackgroundColour));
    return image;
}

uint32_t BackgroundColourOf(ChartStyle style) {
    return style == ChartStyle::Print ? WhiteColour : ChartBackgroundColour;
}

uint32_t DiskColourOf(ChartStyle style) {
    return style == ChartStyle::Print ? WhiteColour : DiskColour;
}

void PaintChartGrid(QPainter& p, double w, double h, const ChartScene& s, const ChartLook& look) {
    const std::shared_ptr<const GridLines> grid = ProjectGrid(s);
    const ChartDrawFrame c = MakeFrame(w, h, s, look);
    const GridFrame& f = c.grid;
    SetRendering(p, f);
    p.setPen(QPen(Qt::black, 1));
    p.fillRect(QRectF(0, 0, w, h), c.background);
    p.setBrush(c.disk);
    CornerEllipse(p, f, Place(f, kDiskInset * w, PixelRule::Nearest),
                  Place(f, kDiskInset * h, PixelRule::Nearest),
                  Place(f, kDiskOutset * w, PixelRule::Nearest),
                  Place(f, kDiskOutset * h, PixelRule::Nearest));
    p.setBrush(Qt::NoBrush);

    // The N point marks celestial north whatever the orientation.
    if (s.NESWPoints) DrawCompassPoints(p, c, h, f.q - s.P);
    const LabelRadius labels{kGridLabelRadius, w, h};
    const QPointF pole(Place(f, Sin(f.q) * f.sx * kPoleMarkRadius * h + h / 2, PixelRule::Nearest),
                       Place(f, f.cy - Cos(f.q) * f.sy * kPoleMarkRadius * h, PixelRule::Nearest));
    DrawGridLines(p, f, *grid, s, labels, labels, pole);
    if (look.LongitudeLabels) DrawLongitudeLabels(p, f, s);
}

MarkerPixel PaintChartMarkers(QPainter& p, double w, double h, const ChartScene& s,
                              const ChartLook& look) {
    const MarkerState& m = s.Markers;
    const ChartDrawFrame c = MakeFrame(w, h, s, look);
    const GridFrame& f = c.grid;
    QPointF last;
    SetRendering(p, f);
    p.setPen(QPen(Qt::black, 1));
    if (!m.CarrMarkerShown && !m.DiffMarkerShown) {
        last = MarkerCentre(f, s.SpotX, s.SpotY, s.Frame.diameter);
        if (s.Sunspot) {
            p.setBrush(Qt::black);
            MarkerCircle(p, f, last);
        }
    }
    if (m.CarrMarkerShown) {
        last = DrawRotationMarker(p, c, s, m.CarrMarkerX, m.CarrMarkerY, m.CarrMarkerFarSide,
                                  s.Carrington, "C");
    }
    if (m.DiffMarkerShown) {
        last = DrawRotationMarker(p, c, s, m.DiffMarkerX, m.DiffMarkerY, m.DiffMarkerFarSide,
                                  s.Differential, "D");
    }
    p.setBrush(Qt::NoBrush);
    return {RoundPixel(last.x()), RoundPixel(last.y())};
}

void DrawChart(QImage& image, const ChartScene& scene, const QFont& font) {
    QPainter p(&image);
    p.setFont(font);
    PaintChartGrid(p, image.width(), image.height(), scene);
}

MarkerPixel RedrawChart(QImage& image, const ChartScene& scene, const QFont& font) {
    QPainter p(&image);
    p.setFont(font);
    PaintChartGrid(p, image.width(), image.height(), scene);
    return PaintChartMarkers(p, image.width(), image.height(), scene);
}

} // namespace zorva
