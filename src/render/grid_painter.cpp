#include "render/grid_painter.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/common/angles.h"
#include "render/cpu_state.h"

namespace zorva {

namespace {

using degrees::Cos;
using degrees::Sin;

constexpr int kNoPointYet = -9999;
constexpr int kPlusArm = 2; // pixels of a plus mark each side of its centre
const QString kDegree = QString(QChar(0x00B0));

// Draws one grid line by the point rule and returns the rightmost visible point: a point
// replaces the remembered one when its unrounded x exceeds the remembered whole x.
struct Rightmost {
    bool found = false;
    DiskPosition point;
};
Rightmost DrawGridLine(QPainter& p, const GridFrame& f, std::span<const DiskPosition> points) {
    ClearUpperVectorState(); // the previous line's drawing may have left it set
    const PixelRule whole = f.nearest ? PixelRule::Nearest : PixelRule::Down;
    Rightmost right;
    double rightX = kNoPointYet;
    QPolygonF line;
    for (const DiskPosition& pt : points) {
        if (!GridShows(f, pt)) continue;
        const QPointF at = GridPoint(f, pt);
        const double px = Place(f, at.x(), whole);
        line << QPointF(px, Place(f, at.y(), whole));
        if (at.x() > rightX) {
            rightX = px;
            right = {true, pt};
        }
    }
    if (line.size() > 1) {
        if (f.smooth) {
            p.drawPolyline(line);
        } else {
            p.drawPolyline(line.toPolygon());
        }
    }
    return right;
}

// Label of a latitude line just right of its rightmost point, raised or lowered by half
// a line as the line leaves the disk upwards or downwards.
QPointF GridLabelPlace(const QPainter& p, const GridFrame& f, const DiskPosition& pt,
                       const LabelRadius& at) {
    const double space = TextWidth(p, f, " ");
    const double height = TextHeight(p, f);
    const double turn = pt.pa + f.q;
    const double x = space + f.cx + Sin(turn) * f.sx * pt.r * at.first * at.secondX;
    const double y = f.cy - Cos(turn) * f.sy * pt.r * at.first * at.secondY -
                     height * Cos(turn) * f.sy * 0.5 - Part(f, height, 2);
    return {Place(f, x, PixelRule::TowardsZero), Place(f, y, PixelRule::TowardsZero)};
}

QString LatitudeLabel(int degrees) {
    return (degrees < 0 ? QString::number(degrees) : " " + QString::number(degrees)) + kDegree;
}

// Writes a label and keeps the box it covers.
void Label(QPainter& p, const GridFrame& f, QPointF at, const QString& text,
           std::vector<QRectF>& boxes) {
    TextOut(p, f, at.x(), at.y(), text);
    boxes.emplace_back(at.x(), at.y(), TextWidth(p, f, text), TextHeight(p, f));
}

void DrawLatitudeLines(QPainter& p, const GridFrame& f, const GridLines& grid,
                       const LabelRadius& labels, std::vector<QRectF>& boxes) {
    for (std::size_t i = 0; i < GridDegrees.size(); ++i) {
        const int lat = GridDegrees[i];
        const Rightmost right = DrawGridLine(p, f, grid.circles[i]);
        if (!right.found) continue;
        QPointF at = GridLabelPlace(p, f, right.point, labels);
        // The polar circles can end left of the centre; keep their labels off the line.
        if (f.cx > at.x()) {
            if (lat == GridDegrees.front()) at.rx() -= TextWidth(p, f, "-80" + kDegree);
            if (lat == GridDegrees.back()) at.rx() -= TextWidth(p, f, "80" + kDegree);
        }
        Label(p, f, at, LatitudeLabel(lat), boxes);
    }
}

// "P" at the north end of the rotation axis, just outside the limb: above its anchor, or
// below it when the picture is flipped, so it stays outside the disk.
void DrawPoleMark(QPainter& p, const GridFrame& f, QPointF anchor, std::vector<QRectF>& boxes) {
    const double x = anchor.x() - Part(f, TextWidth(p, f, "P"), 2);
    const double y = f.sy == 1 ? anchor.y() - TextHeight(p, f) : anchor.y();
    Label(p, f, {x, y}, "P", boxes);
}

} // namespace

namespace {
// Whole pixels are kept within this far of the picture's origin: far beyond any picture
// that can be opened, so clipping hides anything out there, and far enough inside an int
// that the sums and halvings of the placement rules cannot overflow.
constexpr double kFarthestPixel = 1 << 24;

double Clamped(double v) {
    if (std::isnan(v)) return 0;
    return std::clamp(v, -kFarthestPixel, kFarthestPixel);
}
} // namespace

int RoundPixel(double v) {
    return static_cast<int>(std::floor(Clamped(v) + 0.5));
}
int TruncPixel(double v) {
    return static_cast<int>(std::trunc(Clamped(v)));
}

double Place(const GridFrame& f, double v, PixelRule rule) {
    if (f.smooth) return v;
    switch (rule) {
    case PixelRule::Down:
        return std::floor(Clamped(v));
    case PixelRule::Nearest:
        return RoundPixel(v);
    case PixelRule::TowardsZero:
        return TruncPixel(v);
    }
    return v;
}

double Part(const GridFrame& f, double v, int parts) {
    return f.smooth ? v / parts : TruncPixel(v / parts);
}

QPointF GridPoint(const GridFrame& f, const DiskPosition& pt) {
    return {f.cx + Sin(pt.pa + f.q) * f.sx * pt.r * f.fraction * f.sizeX,
            f.cy - Cos(pt.pa + f.q) * f.sy * pt.r * f.fraction * f.sizeY};
}

bool GridShows(const GridFrame& f, const DiskPosition& pt) {
    return pt.rho != FarSide && pt.r <= f.cutoff;
}

std::shared_ptr<const GridLines> ProjectGrid(const ChartScene& s, RadialSearch search) {
    // What the projected lines depend on.
    struct Key {
        double D, B0;
        bool equator, centralMeridian, latLines, longLines;
        RadialSearch search;
        bool operator==(const Key&) const = default;
    };
    const Key key{
        s.D, s.B0, s.ShowEquator, s.ShowCentralMeridian, s.ShowLatLines, s.ShowLongLines, search};
    thread_local std::optional<Key> lastKey;
    thread_local std::shared_ptr<const GridLines> last;
    if (last && lastKey == key) return last;
    // The projection is plain scalar code; clear what earlier painting left in the
    // vector registers first, or it runs at a fraction of its speed.
    ClearUpperVectorState();
    auto grid = std::make_shared<GridLines>();
    const auto& dL = ChartLongitudeSamples();
    const auto& lat = ChartLatitudeSamples();
    const bool exact = search == RadialSearch::Exact;
    if (s.ShowEquator && !s.ShowLatLines) {
        if (exact) {
            ProjectLatitudeCircle(0, dL, s.D, s.B0, grid->equator, search);
        } else {
            for (std::size_t k = 0; k < dL.size(); ++k)
                ProjectPoint(0, dL[k], s.D, s.B0, grid->equator[k]);
        }
    }
    if (s.ShowCentralMeridian && !s.ShowLongLines) {
        if (exact) {
            ProjectMeridian(lat, 0, s.D, s.B0, grid->centralMeridian, search);
        } else {
            for (std::size_t k = 0; k < lat.size(); ++k)
                ProjectPoint(lat[k], 0, s.D, s.B0, grid->centralMeridian[k]);
        }
    }
    for (std::size_t i = 0; i < GridDegrees.size(); ++i) {
        if (s.ShowLatLines) {
            ProjectLatitudeCircle(GridDegrees[i], dL, s.D, s.B0, grid->circles[i], search);
        }
        if (s.ShowLongLines) {
            ProjectMeridian(lat, GridDegrees[i], s.D, s.B0, grid->meridians[i], search);
        }
    }
    lastKey = key;
    last = grid;
    return grid;
}

std::vector<QRectF> DrawGridLines(QPainter& p, const GridFrame& f, const GridLines& grid,
                                  const ChartScene& s, const LabelRadius& equatorLabel,
                                  const LabelRadius& latitudeLabels, QPointF poleMarkAnchor) {
    std::vector<QRectF> boxes;
    if (s.ShowEquator && !s.ShowLatLines) {
        const Rightmost right = DrawGridLine(p, f, grid.equator);
        if (right.found) {
            Label(p, f, GridLabelPlace(p, f, right.point, equatorLabel), LatitudeLabel(0), boxes);
        }
    }
    if (s.ShowCentralMeridian && !s.ShowLongLines) DrawGridLine(p, f, grid.centralMeridian);
    if (s.ShowCentralMeridian || s.ShowLongLines) DrawPoleMark(p, f, poleMarkAnchor, boxes);
    if (s.ShowLatLines) DrawLatitudeLines(p, f, grid, latitudeLabels, boxes);
    if (s.ShowLongLines) {
        for (const MeridianPoints& meridian : grid.meridians)
            DrawGridLine(p, f, meridian);
    }
    return boxes;
}

std::array<CompassPoint, 4> CompassPoints(double a, int sx, int sy) {
    const double sinA = Sin(a) * sx;
    const double cosA = Cos(a) * sy;
    const double sinAy = Sin(a) * sy;
    const double cosAx = Cos(a) * sx;
    return {{{"N", sinA, -cosA}, {"E", cosAx, sinAy}, {"S", -sinA, cosA}, {"W", -cosAx, -sinAy}}};
}

void TextOut(QPainter& p, int x, int y, const QString& text) {
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

int TextWidth(const QPainter& p, const QString& s) {
    return p.fontMetrics().horizontalAdvance(s);
}

int TextHeight(const QPainter& p) {
    return p.fontMetrics().height();
}

void TextOut(QPainter& p, const GridFrame& f, double x, double y, const QString& text) {
    if (!f.smooth) return TextOut(p, TruncPixel(x), TruncPixel(y), text);
    const QPointF baseline(x, y + QFontMetricsF(p.font(), p.device()).ascent());
    if (f.ink == GridFrame::Ink::Glyphs) {
        p.drawText(baseline, text);
        return;
    }
    QPainterPath outline;
    outline.addText(baseline, p.font(), text);
    if (f.ink == GridFrame::Ink::Halo) {
        p.strokePath(outline, p.pen());
    } else {
        p.fillPath(outline, p.pen().color());
    }
}

double TextWidth(const QPainter& p, const GridFrame& f, const QString& s) {
    if (!f.smooth) return TextWidth(p, s);
    return QFontMetricsF(p.font(), p.device()).horizontalAdvance(s);
}

double TextHeight(const QPainter& p, const GridFrame& f) {
    if (!f.smooth) return TextHeight(p);
    return QFontMetricsF(p.font(), p.device()).height();
}

void Line(QPainter& p, const GridFrame& f, const QPointF& from, const QPointF& to) {
    if (f.smooth) {
        p.drawLine(from, to);
    } else {
        p.drawLine(QPointF(Clamped(from.x()), Clamped(from.y())).toPoint(),
                   QPointF(Clamped(to.x()), Clamped(to.y())).toPoint());
    }
}

void HardEdgedFont(QPainter& p) {
    QFont f = p.font();
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
}

void CornerEllipse(QPainter& p, int x1, int y1, int x2, int y2) {
    p.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void CornerEllipse(QPainter& p, const GridFrame& f, double x1, double y1, double x2, double y2) {
    if (!f.smooth) {
        return CornerEllipse(p, TruncPixel(x1), TruncPixel(y1), TruncPixel(x2), TruncPixel(y2));
    }
    p.drawEllipse(QRectF(x1, y1, x2 - x1, y2 - y1));
}

void ClipTo(QPainter& painter, const QRect& area) {
    if (area.isValid()) painter.setClipRect(area);
}

void PlusMark(QPainter& p, int x, int y) {
    for (int d = -kPlusArm; d <= kPlusArm; ++d)
        p.drawPoint(x, y + d);
    for (int d = -kPlusArm; d <= kPlusArm; ++d)
        if (d != 0) p.drawPoint(x + d, y);
}

} // namespace zorva
