#include "render/chart_painter.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QString>
#include <array>
#include <cmath>
#include <memory>

#include "core/chart/projection.h"
#include "core/common/angles.h"
#include "render/cpu_state.h"

namespace zorva {

namespace {

using degrees::Cos;
using degrees::Sin;

int Round(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}
int Trunc(double v) {
    return static_cast<int>(std::trunc(v));
}

// Fractions of the image side.
constexpr double kDiskInset = 0.1;       // the disk's bounding box starts here...
constexpr double kDiskOutset = 0.9;      // ...and ends here
constexpr double kDiskRadius = ChartDiskFraction / 2; // so the radius is 0.4 of the side
constexpr double kTickEnd = 0.42;        // N E S W ticks run from the limb to here
constexpr double kCompassAnchor = 0.435; // centre of the N E S W letters
constexpr double kGridLabelRadius = 0.405;
constexpr double kPoleMarkRadius = 0.41;
constexpr double kMarkerHalf = 2.5;  // the marker is a 5-pixel circle

constexpr int kNoPointYet = -9999;
constexpr std::array<int, 9> kGridDegrees = {-80, -60, -40, -20, 0, 20, 40, 60, 80};
const QString kDegree = QString(QChar(0x00B0));

struct Frame {
    int w;
    int h;
    double cx;
    double cy;
    double q;
    int sx;
    int sy;
    double cutoff;
};

// Ellipse with corners (x1, y1) and (x2, y2), the right and bottom edges outside it: a
// rectangle of (x2 - x1 - 1) by (y2 - y1 - 1) drawn with a one-pixel pen covers exactly that.
void Ellipse(QPainter& p, int x1, int y1, int x2, int y2) {
    p.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

// The font engines smooth glyphs unless the font itself says not to.
void HardEdgedFont(QPainter& p) {
    QFont f = p.font();
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
}

// Text whose cell's top-left corner is (x, y).
void TextOut(QPainter& p, int x, int y, const QString& text) {
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

// Text on a solid box of the background colour.
void OpaqueTextOut(QPainter& p, int x, int y, const QString& text) {
    const QFontMetrics fm = p.fontMetrics();
    p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()),
               ColourFromWord(ChartBackgroundColour));
    TextOut(p, x, y, text);
}

int TextWidth(const QPainter& p, const QString& s) {
    return p.fontMetrics().horizontalAdvance(s);
}
int TextHeight(const QPainter& p) {
    return p.fontMetrics().height();
}

// Draws one grid line by the point rule and returns the rightmost visible point.
struct Rightmost {
    bool found = false;
    DiskPosition point;
};
template <std::size_t N>
Rightmost DrawGridLine(QPainter& p, const Frame& f, const std::array<DiskPosition, N>& points) {
    ClearUpperVectorState(); // the previous line's drawing may have left it set
    Rightmost right;
    int rightX = kNoPointYet;
    QPolygon line;
    for (const DiskPosition& pt : points) {
        if (pt.rho == FarSide || pt.r > f.cutoff) continue;
        const double x = f.cx + Sin(pt.pa + f.q) * f.sx * pt.r * kDiskRadius * f.w;
        const double y = f.cy - Cos(pt.pa + f.q) * f.sy * pt.r * kDiskRadius * f.h;
        const int px = static_cast<int>(std::floor(x));
        line << QPoint(px, static_cast<int>(std::floor(y)));
        if (x > rightX) {
            rightX = px;
            right = {true, pt};
        }
    }
    if (line.size() > 1) p.drawPolyline(line);
    return right;
}

// Label of a latitude line just right of its rightmost point, raised or lowered by half
// a line as the line leaves the disk upwards or downwards.
QPoint GridLabelPlace(const QPainter& p, const Frame& f, const DiskPosition& pt) {
    const int space = TextWidth(p, " ");
    const int height = TextHeight(p);
    const double turn = pt.pa + f.q;
    const int x = Trunc(space + f.cx + Sin(turn) * f.sx * pt.r * kGridLabelRadius * f.w);
    const int y = Trunc(f.cy - Cos(turn) * f.sy * pt.r * kGridLabelRadius * f.h -
                        height * Cos(turn) * f.sy * 0.5 - height / 2);
    return {x, y};
}

void DrawCompassPoints(QPainter& p, const Frame& f, double a) {
    const double H = f.h;
    const double sinA = Sin(a) * f.sx;
    const double cosA = Cos(a) * f.sy;
    const double sinAy = Sin(a) * f.sy;
    const double cosAx = Cos(a) * f.sx;
    struct Point {
        QString letter;
        double dx; // direction of the point on the screen, x right and y down
        double dy;
    };
    const Point points[] = {
        {"N", sinA, -cosA}, {"E", cosAx, sinAy}, {"S", -sinA, cosA}, {"W", -cosAx, -sinAy}};
    const int sideShift = (TextWidth(p, "W") + TextWidth(p, "E")) / 4;
    const QBrush previous = p.brush();
    p.setBrush(ColourFromWord(ChartBackgroundColour));
    for (const Point& pt : points) {
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

// "P" just outside the limb at the north end of the rotation axis; below its anchor
// when the chart is flipped, so it stays outside the disk.
void DrawPoleMark(QPainter& p, const Frame& f) {
    const double H = f.h;
    const int ax = Round(Sin(f.q) * f.sx * kPoleMarkRadius * H + H / 2);
    const int ay = Round(f.cy - Cos(f.q) * f.sy * kPoleMarkRadius * H);
    const int x = ax - TextWidth(p, "P") / 2;
    const int y = f.sy == 1 ? ay - TextHeight(p) : ay;
    TextOut(p, x, y, "P");
}

QString LatitudeLabel(int degrees) {
    return (degrees < 0 ? QString::number(degrees) : " " + QString::number(degrees)) + kDegree;
}

using CirclePoints = std::array<DiskPosition, LatitudeCircleSamples>;
using MeridianPoints = std::array<DiskPosition, MeridianSamples>;

// Every grid line the scene shows, projected before any drawing starts.
struct GridLines {
    CirclePoints equator;
    MeridianPoints centralMeridian;
    std::array<CirclePoints, kGridDegrees.size()> circles;
    std::array<MeridianPoints, kGridDegrees.size()> meridians;
};

std::unique_ptr<GridLines> ProjectGrid(const ChartScene& s) {
    // The projection is plain scalar code; clear what earlier painting left in the
    // vector registers first, or it runs at a fraction of its speed.
    ClearUpperVectorState();
    auto grid = std::make_unique<GridLines>();
    const ChartGeometry& g = s.Geometry;
    const auto& dL = ChartLongitudeSamples();
    const auto& lat = ChartLatitudeSamples();
    if (g.ShowEquator && !g.ShowLatLines) {
        for (std::size_t k = 0; k < dL.size(); ++k)
            ProjectPoint(0, dL[k], s.D, s.B0, grid->equator[k]);
    }
    if (g.ShowCentralMeridian && !g.ShowLongLines) {
        for (std::size_t k = 0; k < lat.size(); ++k) {
            ProjectPoint(lat[k], 0, s.D, s.B0, grid->centralMeridian[k]);
        }
    }
    for (std::size_t i = 0; i < kGridDegrees.size(); ++i) {
        if (g.ShowLatLines) ProjectLatitudeCircle(kGridDegrees[i], dL, s.D, s.B0, grid->circles[i]);
        if (g.ShowLongLines) ProjectMeridian(lat, kGridDegrees[i], s.D, s.B0, grid->meridians[i]);
    }
    return grid;
}

void DrawLatitudeLines(QPainter& p, const Frame& f, const GridLines& grid) {
    for (std::size_t i = 0; i < kGridDegrees.size(); ++i) {
        const int lat = kGridDegrees[i];
        const Rightmost right = DrawGridLine(p, f, grid.circles[i]);
        if (!right.found) continue;
        QPoint at = GridLabelPlace(p, f, right.point);
        // The polar circles can end left of the centre; keep their labels off the line.
        if (f.w / 2.0 > at.x()) {
            if (lat == kGridDegrees.front()) at.rx() -= TextWidth(p, "-80" + kDegree);
            if (lat == kGridDegrees.back()) at.rx() -= TextWidth(p, "80" + kDegree);
        }
        TextOut(p, at.x(), at.y(), LatitudeLabel(lat));
    }
}

void DrawLongitudeLines(QPainter& p, const Frame& f, const GridLines& grid) {
    for (const MeridianPoints& meridian : grid.meridians)
        DrawGridLine(p, f, meridian);
}

void DrawEquatorAlone(QPainter& p, const Frame& f, const GridLines& grid) {
    const Rightmost right = DrawGridLine(p, f, grid.equator);
    if (!right.found) return;
    const QPoint at = GridLabelPlace(p, f, right.point);
    TextOut(p, at.x(), at.y(), LatitudeLabel(0));
}

MarkerPixel MarkerAt(int w, int h, double xMm, double yMm, double diameter) {
    return {Round(w * ChartDiskFraction * xMm / diameter + w / 2.0),
            Round(h / 2.0 - h * ChartDiskFraction * yMm / diameter)};
}

void MarkerCircle(QPainter& p, const MarkerPixel& m) {
    Ellipse(p, Trunc(m.MarkerX - kMarkerHalf), Trunc(m.MarkerY - kMarkerHalf),
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
    const Frame f{w,
                  h,
                  w / 2.0,
                  h / 2.0,
                  ChartRotation(g.Mode, s.P, s.ParallacticAngle),
                  g.MirrorSign,
                  g.FlipSign,
                  LimbCutoff(g.ChartDiameter)};
    // Hard pixels, as the integer rules place them; the labels too, so that a label's
    // pixels are black or not at all.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    HardEdgedFont(p);
    p.setPen(QPen(Qt::black, 1));
    p.fillRect(QRect(0, 0, w, h), ColourFromWord(ChartBackgroundColour));
    p.setBrush(ColourFromWord(DiskColour));
    Ellipse(p, Round(kDiskInset * w), Round(kDiskInset * h), Round(kDiskOutset * w),
            Round(kDiskOutset * h));
    p.setBrush(Qt::NoBrush);

    // The N point marks celestial north whatever the orientation.
    if (s.NESWPoints) DrawCompassPoints(p, f, f.q - s.P);
    if (g.ShowEquator && !g.ShowLatLines) DrawEquatorAlone(p, f, *grid);
    if (g.ShowCentralMeridian && !g.ShowLongLines) DrawGridLine(p, f, grid->centralMeridian);
    if (g.ShowCentralMeridian || g.ShowLongLines) DrawPoleMark(p, f);
    if (g.ShowLatLines) DrawLatitudeLines(p, f, *grid);
    if (g.ShowLongLines) DrawLongitudeLines(p, f, *grid);
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
