#include "render/image_overlay.h"

#include <QPainter>
#include <QPolygon>
#include <cstring>

#include "core/common/angles.h"
#include "render/chart_painter.h"
#include "render/grid_painter.h"

namespace zorva {

namespace {

using degrees::Cos;
using degrees::Sin;

// Radii as fractions of the fitted radius.
constexpr double kTickEnd = 1.05;        // N E S W ticks run from the limb to here
constexpr double kCompassAnchor = 1.075; // centre of the N E S W letters
constexpr double kOuterLabel = 1.02;     // latitude labels and the "P" mark
constexpr double kDotHalf = 2.5;         // the spot and click dots are 5 pixels across
constexpr int kCircleSteps = 720;        // the circle is drawn every half degree
constexpr double kCircleStep = 0.5;

QColor Blue() {
    return ColourFromWord(ImageOverlayColour);
}

void Dot(QImage& canvas, double x, double y, const QRect& area) {
    QPainter p(&canvas);
    ClipTo(p, area);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Blue(), 1));
    p.setBrush(Blue());
    CornerEllipse(p, TruncPixel(x - kDotHalf), TruncPixel(y - kDotHalf), TruncPixel(x + kDotHalf),
                  TruncPixel(y + kDotHalf));
}

// The N E S W ticks and letters. A letter that would leave the picture is kept inside it
// and its tick is shortened to end short of the letter.
void DrawCompassPoints(QPainter& p, const GridFrame& f, double R, double a, int w, int h) {
    for (const CompassPoint& pt : CompassPoints(a, f.sx, f.sy)) {
        const QPoint from(RoundPixel(f.cx + pt.dx * R), RoundPixel(f.cy + pt.dy * R));
        QPoint to(RoundPixel(f.cx + pt.dx * kTickEnd * R), RoundPixel(f.cy + pt.dy * kTickEnd * R));
        const int lw = TextWidth(p, pt.letter);
        const int lh = TextHeight(p);
        int left = RoundPixel(f.cx + pt.dx * kCompassAnchor * R) - lw / 2;
        int top = RoundPixel(f.cy + pt.dy * kCompassAnchor * R) - lh / 2;
        if (pt.letter == "N" || pt.letter == "S") {
            if (top < 0) {
                top = 0;
                to.setY(std::min(lh, from.y()));
            }
            if (top + lh / 2 > h) {
                top = h - lh;
                to.setY(std::max(h - 2 * lh, from.y()));
            }
        } else {
            if (left < 0) {
                left = 0;
                to.setX(std::min(lw, from.x()));
            }
            if (left + lw / 2 > w) {
                left = w - lw;
                to.setX(std::max(w - 2 * lw, from.x()));
            }
        }
        p.drawLine(from, to);
        TextOut(p, left, top, pt.letter);
    }
}

} // namespace

void RestoreImage(QImage& canvas, const QImage& clean, const QRect& area) {
    QRect rows = clean.rect();
    if (canvas.size() != clean.size() || canvas.format() != QImage::Format_RGB32) {
        canvas = QImage(clean.size(), QImage::Format_RGB32);
    } else if (area.isValid()) {
        rows = area.intersected(clean.rect());
    }
    if (canvas.isNull() || rows.isEmpty()) return;
    const int x0 = rows.left();
    const int w = rows.width();
    if (clean.format() == QImage::Format_Grayscale8) {
        for (int y = rows.top(); y <= rows.bottom(); ++y) {
            const uchar* in = clean.constScanLine(y) + x0;
            auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(y)) + x0;
            // Opaque grey: the same level in red, green and blue, a form the compiler
            // turns into wide vector code.
            constexpr QRgb kOpaque = 0xFF000000u;
            constexpr QRgb kEachChannel = 0x010101u;
            for (int x = 0; x < w; ++x)
                out[x] = kOpaque | static_cast<QRgb>(in[x]) * kEachChannel;
        }
        return;
    }
    const QImage colour = clean.format() == QImage::Format_RGB32
                              ? clean
                              : clean.convertToFormat(QImage::Format_RGB32);
    for (int y = rows.top(); y <= rows.bottom(); ++y) {
        std::memcpy(reinterpret_cast<QRgb*>(canvas.scanLine(y)) + x0,
                    reinterpret_cast<const QRgb*>(colour.constScanLine(y)) + x0,
                    static_cast<std::size_t>(w) * sizeof(QRgb));
    }
}

void ClipTo(QPainter& painter, const QRect& area) {
    if (area.isValid()) painter.setClipRect(area);
}

void DrawLimbPoints(QImage& canvas, const LimbPoints& limb, const QRect& area) {
    QPainter p(&canvas);
    ClipTo(p, area);
    p.setPen(QPen(ColourFromWord(LimbPointColour), 1));
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (limb.flag[i] == LimbPointAccepted) PlusMark(p, limb.x[i], limb.y[i]);
    }
}

void DrawLimbCircle(QImage& canvas, const Circle& disk, const QRect& area) {
    QPolygon line;
    for (int k = 0; k <= kCircleSteps; ++k) {
        const double theta = kCircleStep * k;
        line << QPoint(RoundPixel(disk.cx + Sin(theta) * disk.r),
                       RoundPixel(disk.cy + Cos(theta) * disk.r));
    }
    QPainter p(&canvas);
    ClipTo(p, area);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Blue(), 1));
    p.drawPolyline(line);
}

void DrawImageGrid(QImage& canvas, const QImage& clean, const ImageOverlayScene& s,
                   const QFont& font, const QRect& area) {
    RestoreImage(canvas, clean, area);
    if (canvas.isNull()) return;
    if (s.points) DrawLimbPoints(canvas, s.limb, area);
    if (s.circle) DrawLimbCircle(canvas, s.disk, area);

    const ChartScene& c = s.chart;
    const ChartGeometry& g = c.Geometry;
    const std::shared_ptr<const GridLines> grid = ProjectGrid(c);
    const double R = s.disk.r;
    GridFrame f;
    f.cx = s.disk.cx;
    f.cy = s.disk.cy;
    f.fraction = 1;
    f.sizeX = R;
    f.sizeY = R;
    f.q = ChartRotation(g, c.P, c.ParallacticAngle);
    f.sx = g.MirrorSign;
    f.sy = g.FlipSign;
    f.cutoff = 1; // grid lines reach the limb itself
    f.nearest = true;

    QPainter p(&canvas);
    ClipTo(p, area);
    p.setFont(font);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    HardEdgedFont(p);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Blue(), 1));
    // The N point marks celestial north whatever the orientation.
    if (c.NESWPoints) DrawCompassPoints(p, f, R, f.q - c.P, canvas.width(), canvas.height());
    const QPoint pole(RoundPixel(f.cx + Sin(f.q) * f.sx * kOuterLabel * R),
                      RoundPixel(f.cy - Cos(f.q) * f.sy * kOuterLabel * R));
    DrawGridLines(p, f, *grid, c, LabelRadius{R, 1, 1}, LabelRadius{R, kOuterLabel, kOuterLabel},
                  pole);
}

void DrawImageSpot(QImage& canvas, const ImageOverlayScene& s, const QRect& area) {
    const double D = s.chart.Geometry.ChartDiameter;
    // The disk's centre is in pixel indices, as a clicked pixel is; the dot's corners are
    // pixel edges, half a pixel before the middle of the pixel they surround.
    Dot(canvas, s.disk.cx + 0.5 + 2 * s.disk.r * s.chart.SpotX / D,
        s.disk.cy + 0.5 - 2 * s.disk.r * s.chart.SpotY / D, area);
}

void DrawClickDot(QImage& canvas, int x, int y, const QRect& area) {
    Dot(canvas, x, y, area);
}

} // namespace zorva
