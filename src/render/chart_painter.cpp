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

int Round(double v) {
    return RoundPixel(v);
}
int Trunc(double v) {
    return TruncPixel(v);
}

// Fractions of the image side.
constexpr double kDiskInset = 0.1;                    // the disk's bounding box starts here...
constexpr double kDiskOutset = 0.9;                   // ...and ends here
constexpr double kDiskRadius = ChartDiskFraction / 2; // so the radius is 0.4 of the side
constexpr double kTickEnd = 0.42;                     // N E S W ticks run from the limb to here
constexpr double kCompassAnchor = 0.435;              // centre of the N E S W letters
constexpr double kGridLabelRadius = 0.405;
constexpr double kPoleMarkRadius = 0.41;
constexpr double kMarkerHalf = 2.5; // the marker is a 5-pixel circle

// Text on a solid box of the background colour.
void OpaqueTextOut(QPainter& p, int x, int y, const QString& text) {
    const QFontMetrics fm = p.fontMetrics();
    p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()),
               ColourFromWord(ChartBackgroundColour));
    TextOut(p, x, y, text);
}

// All radii of the N E S W points are fractions of the height, on both axes.
void DrawCompassPoints(QPainter& p, const GridFrame& f, double H, double a) {
    const std::array<CompassPoint, 4> points = CompassPoints(a, f.sx, f.sy);
    const int sideShift = (TextWidth(p, "W") + TextWidth(p, "E")) / 4;
    const QBrush previous = p.brush();
    p.setBrush(ColourFromWord(ChartBackgroundColour));
    for (const CompassPoint& pt : points) {
        const QPoint from(Round(f.cx + pt.dx * kDiskRadius * H),
                          Round(f.cy + pt.dy * kDiskRadius * H));
        const QPoint to(Round(f.cx + pt.dx * kTickEnd * H), Round(f.cy + pt.dy * kTickEnd * H));
        p.drawLine(from, to);
        const int ax = Round(f.cx + pt.dx * kCompassAnchor * H);
        const int ay = Round(f.cy + pt.dy * kCompassAnchor * H);
        const int half = TextHeight(p) / 2;
        if (pt.letter == "N" || pt.letter == "S") {
            OpaqueTextOut(p, ax - TextWidth(p, pt.letter) / 2, ay - half, pt.letter);
        } else {
            OpaqueTextOut(p, ax - sideShift, ay - half, pt.letter);
        }
    }
    p.setBrush(previous);
}

MarkerPixel MarkerAt(int w, int h, double xMm, double yMm, double diameter) {
    return {Round(w * ChartDiskFraction * xMm / diameter + w / 2.0),
            Round(h / 2.0 - h * ChartDiskFraction * yMm / diameter)};
}

void MarkerCircle(QPainter& p, const MarkerPixel& m) {
    CornerEllipse(p, Trunc(m.MarkerX - kMarkerHalf), Trunc(m.MarkerY - kMarkerHalf),
                  Trunc(m.MarkerX + kMarkerHalf), Trunc(m.MarkerY + kMarkerHalf));
}

MarkerPixel DrawRotationMarker(QPainter& p, const ChartScene& s, int w, int h, double xMm,
                               double yMm, bool farSide, const MarkerLook& look,
                               const QString& letter) {
    const MarkerPixel m = MarkerAt(w, h, xMm, yMm, s.Geometry.ChartDiameter);
    const QColor colour = ColourFromWord(look.Colour);
    p.setBrush(farSide ? ColourFromWord(DiskColour) : colour);
    p.setPen(QPen(colour, 1));
    MarkerCircle(p, m);
    p.setPen(QPen(Qt::black, 1));
    if (look.Label) {
        TextOut(p, m.MarkerX - TextWidth(p, letter) / 2 - 1, m.MarkerY - TextHeight(p) - 3, letter);
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
    return Round(kDiskOutset * side) - Round(kDiskInset * side) - 1;
}

QImage NewChartImage(const ChartGeometry& geometry) {
    const int side = ChartSide(geometry.ChartDiameter);
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(ColourFromWord(ChartBackgroundColour));
    return image;
}

void PaintChartGrid(QPainter& p, int w, int h, const ChartScene& s) {
    const ChartGeometry& g = s.Geometry;
    const std::unique_ptr<GridLines> grid = ProjectGrid(s);
    GridFrame f;
    f.cx = w / 2.0;
    f.cy = h / 2.0;
    f.fraction = kDiskRadius;
    f.sizeX = w;
    f.sizeY = h;
    f.q = ChartRotation(g.Mode, s.P, s.ParallacticAngle);
    f.sx = g.MirrorSign;
    f.sy = g.FlipSign;
    f.cutoff = LimbCutoff(g.ChartDiameter);
    // Hard pixels, as the integer rules place them; the labels too, so that a label's
    // pixels are black or not at all.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    HardEdgedFont(p);
    p.setPen(QPen(Qt::black, 1));
    p.fillRect(QRect(0, 0, w, h), ColourFromWord(ChartBackgroundColour));
    p.setBrush(ColourFromWord(DiskColour));
    CornerEllipse(p, Round(kDiskInset * w), Round(kDiskInset * h), Round(kDiskOutset * w),
                  Round(kDiskOutset * h));
    p.setBrush(Qt::NoBrush);

    // The N point marks celestial north whatever the orientation.
    if (s.NESWPoints) DrawCompassPoints(p, f, h, f.q - s.P);
    const LabelRadius labels{kGridLabelRadius, static_cast<double>(w), static_cast<double>(h)};
    const double H = h;
    const QPoint pole(Round(Sin(f.q) * f.sx * kPoleMarkRadius * H + H / 2),
                      Round(f.cy - Cos(f.q) * f.sy * kPoleMarkRadius * H));
    DrawGridLines(p, f, *grid, s, labels, labels, pole);
}

MarkerPixel PaintChartMarkers(QPainter& p, int w, int h, const ChartScene& s) {
    const MarkerState& m = s.Markers;
    MarkerPixel last;
    p.setRenderHint(QPainter::Antialiasing, false);
    HardEdgedFont(p);
    p.setPen(QPen(Qt::black, 1));
    if (!m.CarrMarkerShown && !m.DiffMarkerShown) {
        last = MarkerAt(w, h, s.SpotX, s.SpotY, s.Geometry.ChartDiameter);
        if (s.Sunspot) {
            p.setBrush(Qt::black);
            MarkerCircle(p, last);
        }
    }
    if (m.CarrMarkerShown) {
        last = DrawRotationMarker(p, s, w, h, m.CarrMarkerX, m.CarrMarkerY, m.CarrMarkerFarSide,
                                  s.Carrington, "C");
    }
    if (m.DiffMarkerShown) {
        last = DrawRotationMarker(p, s, w, h, m.DiffMarkerX, m.DiffMarkerY, m.DiffMarkerFarSide,
                                  s.Differential, "D");
    }
    p.setBrush(Qt::NoBrush);
    return last;
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
