#include "render/image_overlay.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "core/common/angles.h"
#include "render/chart_painter.h"
#include "render/grid_painter.h"
#include "render/region_plot.h"
#include "render/separation_painter.h"

namespace zorva {

namespace {

using degrees::Cos;
using degrees::Sin;
using Ink = GridFrame::Ink;

// Radii as fractions of the fitted radius.
constexpr double kTickEnd = 1.05;        // N E S W ticks run from the limb to here
constexpr double kCompassAnchor = 1.075; // centre of the N E S W letters
constexpr double kMoved = 0.01;          // pixels a letter must move to count as moved
constexpr double kOuterLabel = 1.02;     // latitude labels and the "P" mark
constexpr int kCircleSteps = 720;        // the circle is drawn every half degree
constexpr double kCircleStep = 0.5;

// On the surface, in the units of the line width.
constexpr double kHaloReach = 1.25; // the halo shows this far each side of a line
constexpr double kSpotRadius = 3.5;
constexpr double kPlusArm = 3.5;      // a limb point's plus reaches this far from it
constexpr double kHandArm = 5;        // a hand-clicked point's cross, and the hand circle's centre
constexpr double kRejectedRadius = 4; // a rejected feature's ring, surface pixels
constexpr double kChosenWidth = 2;    // a chosen group's or spot's outline, times the line
constexpr double kGroupLabelGap = 3;  // a group's label stands off its top right corner
// An outline less than this across is a ring this far outside the patch instead.
constexpr double kSmallestOutline = 4;
constexpr double kRingGap = 2.5;

// A disk this far from the surface's origin, or larger, cannot be drawn meaningfully; its
// numbers came from a damaged header or a fit gone astray.
constexpr double kFarthest = 1 << 24;

// The caption block under a saved picture: its margin, and the reference width of the
// screen whose overlay a saved picture reproduces.
constexpr double kCaptionMargin = 8;
constexpr double kReferenceSide = 1024;
constexpr double kSmallestSavedScale = 1;

QPointF Surface(const PicturePlacement& at, double u, double v) {
    return {at.left + (u + 0.5) * at.scale, at.top + (v + 0.5) * at.scale};
}

bool Drawable(QPointF point) {
    return std::isfinite(point.x()) && std::isfinite(point.y()) &&
           std::fabs(point.x()) < kFarthest && std::fabs(point.y()) < kFarthest;
}

// The pen of a pass: a wide dark one under everything first, then the colours over it.
QPen PassPen(Ink ink, uint32_t colour) {
    QPen pen;
    if (ink == Ink::Halo) {
        pen = QPen(ColourFromWord(OverlayHaloColour), OverlayLineWidth + 2 * kHaloReach);
    } else {
        pen = QPen(ColourFromWord(colour), OverlayLineWidth);
    }
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}

bool Touches(const std::vector<QRectF>& boxes, const QRectF& box) {
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const QRectF& other) { return other.intersects(box); });
}

// A letter's box centred `reach` from the disk's centre along its direction and `shift`
// across it, kept inside the bounds.
QRectF LetterBox(const CompassPoint& pt, const GridFrame& f, double reach, double shift,
                 QSizeF size, const QRectF& b) {
    const double x = f.cx + pt.dx * reach - pt.dy * shift - size.width() / 2;
    const double y = f.cy + pt.dy * reach + pt.dx * shift - size.height() / 2;
    return {std::max(b.left(), std::min(x, b.right() - size.width())),
            std::max(b.top(), std::min(y, b.bottom() - size.height())), size.width(),
            size.height()};
}

// The letter's own place, or the nearest clear of the grid's labels by a quarter of a line:
// moved out from the disk a pixel at a time, else, where the bounds stop that, along it.
QRectF PlaceLetter(const CompassPoint& pt, const GridFrame& f, double R, QSizeF size,
                   const QRectF& b, const std::vector<QRectF>& labels) {
    const double reach = kCompassAnchor * R;
    const double farthest = 3 * size.height();
    const double gap = size.height() / 4;
    const auto clear = [&](const QRectF& box) {
        return !Touches(labels, box.adjusted(-gap, -gap, gap, gap));
    };
    for (double d = 0; d <= farthest; ++d) {
        const QRectF box = LetterBox(pt, f, reach + d, 0, size, b);
        if (clear(box)) return box;
    }
    for (double d = 1; d <= farthest; ++d) {
        for (const double across : {d, -d}) {
            const QRectF box = LetterBox(pt, f, reach, across, size, b);
            if (clear(box)) return box;
        }
    }
    return LetterBox(pt, f, reach, 0, size, b);
}

// How far along a tick from `from` to `to`, as a fraction, it enters the box; 1 when it
// misses it.
double Entry(QPointF from, QPointF to, const QRectF& box) {
    const std::array<double, 2> d = {to.x() - from.x(), to.y() - from.y()};
    const std::array<double, 2> lo = {box.left() - from.x(), box.top() - from.y()};
    const std::array<double, 2> hi = {box.right() - from.x(), box.bottom() - from.y()};
    double enter = 0;
    double leave = 1;
    for (std::size_t k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (lo[k] > 0 || hi[k] < 0) return 1;
            continue;
        }
        const double a = lo[k] / d[k];
        const double b = hi[k] / d[k];
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
        if (enter > leave) return 1;
    }
    return enter;
}

// A tick from `from` towards `to` ends where it, with its halo, first runs into a box.
QPointF TickEnd(QPointF from, QPointF to, const std::vector<QRectF>& boxes) {
    double t = 1;
    for (const QRectF& box : boxes)
        t = std::min(
            t, Entry(from, to, box.adjusted(-kHaloReach, -kHaloReach, kHaloReach, kHaloReach)));
    return from + (to - from) * t;
}

// The N E S W ticks and letters, clear of the grid's labels. A letter that would leave the
// bounds is kept inside them; a tick ends short of a letter so moved, and of any label.
void DrawCompassPoints(QPainter& p, const GridFrame& f, double R, double a, const QRectF& b,
                       const std::vector<QRectF>& labels) {
    for (const CompassPoint& pt : CompassPoints(a, f.sx, f.sy)) {
        const QSizeF size(TextWidth(p, f, pt.letter), TextHeight(p, f));
        const QRectF box = PlaceLetter(pt, f, R, size, b, labels);
        const QPointF from(f.cx + pt.dx * R, f.cy + pt.dy * R);
        const QPointF to(f.cx + pt.dx * kTickEnd * R, f.cy + pt.dy * kTickEnd * R);
        const QPointF own(f.cx + pt.dx * kCompassAnchor * R, f.cy + pt.dy * kCompassAnchor * R);
        std::vector<QRectF> stops = labels;
        if (QLineF(box.center(), own).length() > kMoved) stops.push_back(box);
        const QPointF end = TickEnd(from, to, stops);
        if (end != from) Line(p, f, from, end);
        TextOut(p, f, box.left(), box.top(), pt.letter);
    }
}

void DrawCircle(QPainter& p, const Circle& disk, const PicturePlacement& at) {
    QPolygonF line;
    for (int k = 0; k <= kCircleSteps; ++k) {
        const double theta = kCircleStep * k;
        line << Surface(at, disk.cx + Sin(theta) * disk.r, disk.cy + Cos(theta) * disk.r);
    }
    p.drawPolyline(line);
}

void DrawLimbPoints(QPainter& p, const LimbPoints& limb, const PicturePlacement& at) {
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (limb.flag[i] != LimbPointAccepted) continue;
        const QPointF c = Surface(at, limb.x[i], limb.y[i]);
        p.drawLine(c - QPointF(kPlusArm, 0), c + QPointF(kPlusArm, 0));
        p.drawLine(c - QPointF(0, kPlusArm), c + QPointF(0, kPlusArm));
    }
}

void DrawSpots(QPainter& p, const SpotsOverlay& s, const PicturePlacement& at, GridFrame f);

// One pass of what is drawn in the overlay's own colours.
void PaintPass(QPainter& p, const PictureView& v, const PicturePlacement& at, Ink ink) {
    p.setBrush(Qt::NoBrush);
    if (v.points) {
        p.setPen(PassPen(ink, LimbPointColour));
        DrawLimbPoints(p, v.limb, at);
    }
    if (!v.disk) return;
    const Circle& disk = *v.disk;
    const QPointF centre = Surface(at, disk.cx, disk.cy);
    const double R = disk.r * at.scale;
    if (!Drawable(centre) || !(R > 0) || !(R < kFarthest)) return;
    p.setPen(PassPen(ink, ImageOverlayColour));
    if (v.circle) DrawCircle(p, disk, at);

    const ChartScene& c = v.scene;
    GridFrame f;
    f.cx = centre.x();
    f.cy = centre.y();
    f.fraction = 1;
    f.sizeX = R;
    f.sizeY = R;
    f.q = c.Frame.q;
    f.sx = c.Frame.mirror;
    f.sy = c.Frame.flip;
    f.cutoff = 1; // grid lines reach the limb itself
    f.smooth = true;
    f.ink = ink;
    const QPointF pole(f.cx + Sin(f.q) * f.sx * kOuterLabel * R,
                       f.cy - Cos(f.q) * f.sy * kOuterLabel * R);
    const std::vector<QRectF> labels =
        DrawGridLines(p, f, *ProjectGrid(c, RadialSearch::Exact), c, LabelRadius{R, 1, 1},
                      LabelRadius{R, kOuterLabel, kOuterLabel}, pole);
    // The N point marks celestial north whatever the orientation.
    if (c.NESWPoints) DrawCompassPoints(p, f, R, f.q - c.P, at.bounds, labels);

    if (v.spot) {
        const double D = c.Frame.diameter;
        const QPointF spot =
            Surface(at, disk.cx + 2 * disk.r * c.SpotX / D, disk.cy - 2 * disk.r * c.SpotY / D);
        if (Drawable(spot)) {
            p.setBrush(ink == Ink::Halo ? p.pen().color() : ColourFromWord(ImageOverlayColour));
            p.drawEllipse(spot, kSpotRadius, kSpotRadius);
            p.setBrush(Qt::NoBrush);
        }
    }
    // Over the marker: a click on a small spot leaves the marker on it, and its outline
    // must still show round it.
    if (v.spots) DrawSpots(p, *v.spots, at, f);
}

bool Holds(const std::vector<int32_t>& ids, int32_t id) {
    return id != 0 && std::find(ids.begin(), ids.end(), id) != ids.end();
}

// An outline through the middles of its border pixels, drawn outside them only: a spot is
// often no more than a few pixels across, and the line must not hide what it outlines. A
// patch too small on the surface for its outline to show is ringed instead.
void DrawOutline(QPainter& p, const Outline& outline, const PicturePlacement& at) {
    QPolygonF line;
    for (const OutlinePoint& pt : outline)
        line << Surface(at, pt.x, pt.y);
    if (line.isEmpty()) return;
    const QRectF bounds = line.boundingRect();
    if (line.size() < 3 || std::max(bounds.width(), bounds.height()) < kSmallestOutline) {
        const double r = std::max(bounds.width(), bounds.height()) / 2 + kRingGap;
        p.drawEllipse(bounds.center(), r, r);
        return;
    }
    const double reach = p.pen().widthF() + 1;
    QPainterPath around;
    around.addRect(bounds.adjusted(-reach, -reach, reach, reach));
    QPainterPath inside;
    inside.addPolygon(line);
    inside.closeSubpath();
    p.save();
    p.setClipPath(around.subtracted(inside), Qt::IntersectClip);
    p.drawPolygon(line);
    p.restore();
}

QPen SpotPen(Ink ink, uint32_t colour, bool chosen) {
    QPen pen = PassPen(ink, chosen ? ChosenSpotColour : colour);
    if (chosen) pen.setWidthF(pen.widthF() + (kChosenWidth - 1) * OverlayLineWidth);
    return pen;
}

// The patches and umbrae found: all of them, or those of the chosen group or spot and of
// the spot a click measured; and with all of them each group's number, first, so that a
// label beside a small group never hides a neighbour's outline.
void DrawSpots(QPainter& p, const SpotsOverlay& s, const PicturePlacement& at, GridFrame f) {
    if (!s.detection) return;
    const SpotDetection& d = *s.detection;
    const auto patchShown = [&s](const SpotPatch& patch) {
        return (s.group != 0 && patch.group == s.group) || Holds(patch.spots, s.spot);
    };
    if (s.all) {
        std::map<int32_t, QRectF> groupBoxes; // by group id
        for (const SpotPatch& patch : d.patches) {
            QRectF& box = groupBoxes[patch.group];
            for (const OutlinePoint& pt : patch.outline)
                box = box.united(QRectF(Surface(at, pt.x, pt.y), QSizeF(1, 1)));
        }
        for (const auto& [id, box] : groupBoxes) {
            if (box.isNull()) continue;
            p.setPen(PassPen(f.ink, id == s.group ? ChosenSpotColour : PenumbraOutlineColour));
            TextOut(p, f, box.right() + kGroupLabelGap,
                    box.top() - kGroupLabelGap - TextHeight(p, f), QString::number(id));
        }
    }
    for (const SpotPatch& patch : d.patches) {
        const bool chosen = patchShown(patch);
        if (!s.all && !chosen && !Holds(patch.spots, s.measured)) continue;
        p.setPen(SpotPen(f.ink, PenumbraOutlineColour, chosen));
        DrawOutline(p, patch.outline, at);
    }
    for (const DetectedSpot& spot : d.spots) {
        const bool chosen = spot.id == s.spot || (s.group != 0 && spot.group == s.group);
        if (!s.all && !chosen && spot.id != s.measured) continue;
        p.setPen(SpotPen(f.ink, UmbraOutlineColour, chosen));
        for (const Outline& umbra : spot.umbrae)
            DrawOutline(p, umbra, at);
    }
    if (!s.rejected || f.ink != Ink::Fill) return;
    QColor faint = ColourFromWord(RejectedColour);
    faint.setAlpha(RejectedOpacity);
    p.setPen(QPen(faint, OverlayLineWidth));
    p.setBrush(Qt::NoBrush);
    for (const RejectedFeature& r : d.rejected) {
        const QPointF c = Surface(at, r.x, r.y);
        if (Drawable(c)) p.drawEllipse(c, kRejectedRadius, kRejectedRadius);
    }
}

// A disk being given by hand: its circle, a plus at its centre, and a cross on each point
// clicked on the limb.
void PaintHandDisk(QPainter& p, const HandDiskView& hand, const PicturePlacement& at) {
    for (const Ink ink : {Ink::Halo, Ink::Fill}) {
        p.setPen(PassPen(ink, HandDiskColour));
        p.setBrush(Qt::NoBrush);
        for (const PicturePoint& point : hand.points) {
            const QPointF c = Surface(at, point.x, point.y);
            if (!Drawable(c)) continue;
            p.drawLine(c + QPointF(-kHandArm, -kHandArm), c + QPointF(kHandArm, kHandArm));
            p.drawLine(c + QPointF(-kHandArm, kHandArm), c + QPointF(kHandArm, -kHandArm));
        }
        if (!hand.circle) continue;
        const QPointF centre = Surface(at, hand.circle->cx, hand.circle->cy);
        const double R = hand.circle->r * at.scale;
        if (!Drawable(centre) || !(R < kFarthest)) continue;
        if (R > 0) DrawCircle(p, *hand.circle, at);
        p.drawLine(centre - QPointF(kHandArm, 0), centre + QPointF(kHandArm, 0));
        p.drawLine(centre - QPointF(0, kHandArm), centre + QPointF(0, kHandArm));
    }
}

// A drift being drawn: a line from where the spot was to where it drifted, with an arrow's
// head at its end, which points west.
void PaintDrift(QPainter& p, const DriftLine& drift, const PicturePlacement& at) {
    const QPointF from = Surface(at, drift.from.x, drift.from.y);
    const QPointF to = Surface(at, drift.to.x, drift.to.y);
    if (!Drawable(from) || !Drawable(to)) return;
    const QLineF line(from, to);
    constexpr double kHeadAngle = 150; // each side of the head, from the line's direction
    for (const Ink ink : {Ink::Halo, Ink::Fill}) {
        p.setPen(PassPen(ink, HandDiskColour));
        p.drawLine(from - QPointF(kHandArm, 0), from + QPointF(kHandArm, 0));
        p.drawLine(from - QPointF(0, kHandArm), from + QPointF(0, kHandArm));
        if (line.length() < 1) continue;
        p.drawLine(line);
        for (const double side : {kHeadAngle, -kHeadAngle}) {
            QLineF head = QLineF::fromPolar(2 * kHandArm, line.angle() + side);
            p.drawLine(to, to + head.p2());
        }
    }
}

DiskFrame Placed(DiskFrame frame, const PicturePlacement& at) {
    const QPointF centre = Surface(at, frame.cx, frame.cy);
    frame.cx = centre.x();
    frame.cy = centre.y();
    frame.rx *= at.scale;
    frame.ry *= at.scale;
    return frame;
}

// What the regions' labels keep off: each group's outlines drawn, with its number at the top
// right corner, on the surface.
std::vector<LabelBox> OutlineBoxes(const SpotsOverlay& s, const PicturePlacement& at,
                                   double labelHeight) {
    std::vector<LabelBox> boxes;
    if (!s.detection) return boxes;
    std::map<int32_t, QRectF> groups; // by group id
    for (const SpotPatch& patch : s.detection->patches) {
        const bool shown = s.all || (s.group != 0 && patch.group == s.group) ||
                           Holds(patch.spots, s.spot) || Holds(patch.spots, s.measured);
        if (!shown) continue;
        QRectF& box = groups[patch.group];
        for (const OutlinePoint& pt : patch.outline)
            box = box.united(QRectF(Surface(at, pt.x, pt.y), QSizeF(1, 1)));
    }
    for (const auto& [id, box] : groups) {
        if (box.isNull()) continue;
        const QRectF withLabel =
            box.adjusted(0, -(kGroupLabelGap + labelHeight), kGroupLabelGap + 2 * labelHeight, 0);
        boxes.push_back({withLabel.left(), withLabel.top(), withLabel.width(), withLabel.height()});
    }
    return boxes;
}

// A summary's regions over a picture. Their crosses and texts are a pixel wide, and would
// vanish where the picture is as dark or as light as their colour, so each is drawn first
// in the opposite shade a pixel to every side.
void PaintRegionsOverPicture(QPainter& p, int bottom, const DiskFrame& frame,
                             const RegionsOverlay& r, std::span<const LabelBox> avoid) {
    const RegionPlotStyle style = RegionStyleOf(r);
    RegionPlotStyle edge = style;
    constexpr int kMidLightness = 128;
    // Light grey rather than white, which marks the sunspot chosen in the table.
    constexpr uint32_t kLightEdge = 0xE0E0E0;
    edge.Colour =
        ColourFromWord(style.Colour).lightness() < kMidLightness ? kLightEdge : OverlayHaloColour;
    edge.Highlight.reset();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const QPoint step : {QPoint(-1, -1), QPoint(0, -1), QPoint(1, -1), QPoint(-1, 0),
                              QPoint(1, 0), QPoint(-1, 1), QPoint(0, 1), QPoint(1, 1)}) {
        p.save();
        p.translate(step);
        PaintRegions(p, bottom, frame, *r.regions, r.places, edge, avoid);
        p.restore();
    }
    PaintRegions(p, bottom, frame, *r.regions, r.places, style, avoid);
    p.restore();
}

} // namespace

void PaintPictureOverlay(QPainter& p, const PictureView& view, const PicturePlacement& at,
                         const QFont& font) {
    p.save();
    QFont labels = font;
    labels.setPixelSize(OverlayLabelPixels);
    labels.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(labels);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // The halo is opaque and drawn without smoothing, which halves the cost of a repaint
    // while zooming; its rough edge lies under the smooth line and is not seen.
    p.setRenderHint(QPainter::Antialiasing, false);
    PaintPass(p, view, at, Ink::Halo);
    p.setRenderHint(QPainter::Antialiasing, true);
    PaintPass(p, view, at, Ink::Fill);
    if (view.disk) {
        if (view.separation) {
            const SeparationOverlay& s = *view.separation;
            PaintSeparation(p, s.figure, Placed(s.frame, at), {s.arcColour, s.lineColour});
        }
        // The regions stay on top of whatever else is drawn.
        if (view.regions) {
            const RegionsOverlay& r = *view.regions;
            const std::vector<LabelBox> avoid =
                view.spots ? OutlineBoxes(*view.spots, at, QFontMetricsF(p.font()).height())
                           : std::vector<LabelBox>{};
            PaintRegionsOverPicture(p, static_cast<int>(at.bounds.bottom()), Placed(r.frame, at), r,
                                    avoid);
        }
    }
    if (view.hand) PaintHandDisk(p, *view.hand, at);
    if (view.drift) PaintDrift(p, *view.drift, at);
    p.restore();
}

double SavedOverlayScale(QSize picture) {
    const double side = std::min(picture.width(), picture.height());
    return std::max(kSmallestSavedScale, side / kReferenceSide);
}

QImage PictureWithOverlay(const QImage& clean, const PictureView& view,
                          const std::vector<CaptionLine>& caption, const QFont& font) {
    if (clean.isNull()) return {};
    const double k = SavedOverlayScale(clean.size());
    QFont captionFont = font;
    captionFont.setPixelSize(OverlayLabelPixels);
    const QFontMetricsF fm(captionFont);
    double widest = 0;
    for (const CaptionLine& line : caption)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(line.text)));
    const double block =
        caption.empty() ? 0 : caption.size() * fm.lineSpacing() + 2 * kCaptionMargin;
    const int width =
        std::max(clean.width(), static_cast<int>(std::ceil((widest + 2 * kCaptionMargin) * k)));
    const int height = clean.height() + static_cast<int>(std::ceil(block * k));

    QImage out(width, height, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(0, 0, clean);
    p.scale(k, k);
    const QRectF picture(0, 0, clean.width() / k, clean.height() / k);
    // A disk still being given by hand is the window's business, not the picture's.
    PictureView saved = view;
    saved.hand.reset();
    saved.drift.reset();
    PaintPictureOverlay(p, saved, {1 / k, 0, 0, picture}, font);
    p.setFont(captionFont);
    p.setPen(Qt::white);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    double y = picture.bottom() + kCaptionMargin;
    for (const CaptionLine& line : caption) {
        p.drawText(QPointF(kCaptionMargin, y + fm.ascent()), QString::fromStdString(line.text));
        y += fm.lineSpacing();
    }
    return out;
}

} // namespace zorva
