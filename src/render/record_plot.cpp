// The activity curve and the butterfly diagram of the observer's record, with their axes.
#include "render/record_plot.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <map>

#include "core/record/plot_axes.h"
#include "render/svg_document.h"

namespace zorva {

namespace {

// Room for the title above and the tick labels left of and below the frame, pixels.
constexpr double kLeftMargin = 64;
constexpr double kRightMargin = 24;
constexpr double kTopMargin = 36;
constexpr double kBottomMargin = 44;
constexpr double kTickLength = 5;
constexpr int kMostTimeTicks = 12;
constexpr int kMostValueTicks = 7;
constexpr int kMostLatitudeTicks = 11;
// Units to the inch of the vector files: the PNG's pixels at the usual screen's 96.
constexpr double kVectorUnitsPerInch = 96;

const QColor kFrameColour(0x40, 0x40, 0x40);
const QColor kGridColour(0xE0, 0xE0, 0xE0);
const QColor kDailyColour(0x60, 0x80, 0xB0);
const QColor kMonthlyColour(0xC0, 0x20, 0x20);
const QColor kGroupColour(0x20, 0x30, 0x80, 0x90);

// Where a value falls along an axis, in the frame's pixels.
double Along(const PlotAxis& axis, double v, double from, double to) {
    const double span = axis.high - axis.low;
    return from + (span > 0 ? (v - axis.low) / span : 0.5) * (to - from);
}

// The frame, its grid and tick labels, the axes' names and the title.
void PaintAxes(QPainter& p, const QRectF& area, const PlotAxis& x, const PlotAxis& y,
               const QString& yName, const QString& title, const QFont& font) {
    const QRectF frame = PlotFrame(area);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    for (const PlotTick& t : y.ticks) {
        const double at = Along(y, t.value, frame.bottom(), frame.top());
        p.setPen(QPen(kGridColour, 1));
        p.drawLine(QPointF(frame.left(), at), QPointF(frame.right(), at));
        p.setPen(QPen(kFrameColour, 1));
        p.drawLine(QPointF(frame.left() - kTickLength, at), QPointF(frame.left(), at));
        const QString label = QString::fromStdString(t.label);
        p.drawText(QPointF(frame.left() - kTickLength - 3 - metrics.horizontalAdvance(label),
                           at + metrics.ascent() / 2 - 1),
                   label);
    }
    for (const PlotTick& t : x.ticks) {
        const double at = Along(x, t.value, frame.left(), frame.right());
        p.setPen(QPen(kGridColour, 1));
        p.drawLine(QPointF(at, frame.top()), QPointF(at, frame.bottom()));
        p.setPen(QPen(kFrameColour, 1));
        p.drawLine(QPointF(at, frame.bottom()), QPointF(at, frame.bottom() + kTickLength));
        const QString label = QString::fromStdString(t.label);
        p.drawText(QPointF(at - metrics.horizontalAdvance(label) / 2,
                           frame.bottom() + kTickLength + 2 + metrics.ascent()),
                   label);
    }
    p.setPen(QPen(kFrameColour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.drawText(QPointF(area.left() + 4, area.top() + metrics.ascent() + 4), yName);
    p.drawText(QPointF(frame.center().x() - metrics.horizontalAdvance(title) / 2,
                       area.top() + metrics.ascent() + 4),
               title);
}

// The time axis over the span of `years`, with a little room beyond the ends so that no mark
// sits on the frame: a hundredth of the span, and half a day at least.
template <class Range> PlotAxis TimeAxisOf(const Range& years) {
    if (years.empty()) return TimeAxis(0, 1, kMostTimeTicks);
    const auto [first, last] = std::minmax_element(years.begin(), years.end());
    constexpr double kHalfDay = 0.5 / 365.25, kShare = 0.01;
    const double room = std::max(kHalfDay, kShare * (*last - *first));
    return TimeAxis(*first - room, *last + room, kMostTimeTicks);
}

// A smooth disc of radius `r` in the middle of a transparent square of whole pixels.
QImage Disc(double r, const QColor& colour) {
    const int side = 2 * static_cast<int>(std::ceil(r)) + 2;
    QImage disc(side, side, QImage::Format_ARGB32_Premultiplied);
    disc.fill(Qt::transparent);
    QPainter p(&disc);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
    return disc;
}

// Discs at their places with their radii. On pixels each is drawn once for its radius (to
// a quarter pixel) and stamped where it goes: a record of many years holds tens of
// thousands of marks, and smoothing the edge of each anew takes most of the drawing's time.
// Vector files keep true discs.
void DrawDiscs(QPainter& p, const std::vector<std::pair<QPointF, double>>& discs,
               const QColor& colour) {
    const bool pixels = p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster &&
                        p.transform().isIdentity();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    std::map<long, QImage> stamps;
    constexpr double kQuarters = 4;
    for (const auto& [at, r] : discs) {
        if (!pixels) {
            p.drawEllipse(at, r, r);
            continue;
        }
        QImage& stamp = stamps[std::lround(r * kQuarters)];
        if (stamp.isNull()) stamp = Disc(r, colour);
        p.drawImage(QPointF(std::round(at.x() - stamp.width() / 2.0),
                            std::round(at.y() - stamp.height() / 2.0)),
                    stamp);
    }
}

} // namespace

QRectF PlotFrame(const QRectF& area) {
    return area.adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
}

double ButterflyRadius(double areaMsh) {
    // The disc's area grows with the group's: 2.5 pixels for a pore or a group whose area is
    // not known, 4 for 100 millionths, 9 (the largest) from some 1900.
    constexpr double kSmallest = 2.5, kLargest = 9, kPerRootMsh = 0.15;
    return std::clamp(kSmallest + kPerRootMsh * std::sqrt(std::max(0.0, areaMsh)), kSmallest,
                      kLargest);
}

void PaintActivity(QPainter& p, const QRectF& area, const ActivityCurve& curve, const QFont& font) {
    std::vector<double> years;
    double highest = 0;
    for (const auto* points : {&curve.daily, &curve.monthly}) {
        for (const ActivityPoint& a : *points) {
            years.push_back(a.year);
            highest = std::max(highest, a.wolf);
        }
    }
    const PlotAxis x = TimeAxisOf(years);
    const PlotAxis y = ValueAxis(0, std::max(highest, 10.0), kMostValueTicks);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    PaintAxes(p, area, x, y, "R", "Daily sunspot number R (dots) and its monthly mean (line)",
              font);
    const QRectF frame = PlotFrame(area);
    const auto place = [&](const ActivityPoint& a) {
        return QPointF(Along(x, a.year, frame.left(), frame.right()),
                       Along(y, a.wolf, frame.bottom(), frame.top()));
    };
    constexpr double kDot = 2.2, kMeanDot = 3.5;
    std::vector<std::pair<QPointF, double>> dots;
    dots.reserve(curve.daily.size());
    for (const ActivityPoint& d : curve.daily)
        dots.push_back({place(d), kDot});
    DrawDiscs(p, dots, kDailyColour);
    if (!curve.monthly.empty()) {
        QPainterPath line(place(curve.monthly.front()));
        for (const ActivityPoint& m : curve.monthly)
            line.lineTo(place(m));
        p.setPen(QPen(kMonthlyColour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
        p.setPen(Qt::NoPen);
        p.setBrush(kMonthlyColour);
        for (const ActivityPoint& m : curve.monthly)
            p.drawEllipse(place(m), kMeanDot, kMeanDot);
    }
    p.restore();
}

void PaintButterfly(QPainter& p, const QRectF& area, std::span<const ButterflyPoint> points,
                    const QFont& font) {
    std::vector<double> years;
    // Sunspots keep within some 45 degrees of the equator; the axis shows that much always.
    constexpr double kUsualReach = 45;
    double reach = kUsualReach;
    for (const ButterflyPoint& b : points) {
        years.push_back(b.year);
        reach = std::max(reach, std::fabs(b.latitude));
    }
    const PlotAxis x = TimeAxisOf(years);
    const PlotAxis y = ValueAxis(-reach, reach, kMostLatitudeTicks);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    PaintAxes(p, area, x, y, "Latitude",
              "Butterfly diagram: sunspot groups' latitudes (north up), discs by area", font);
    const QRectF frame = PlotFrame(area);
    p.setPen(QPen(kFrameColour, 1, Qt::DashLine));
    const double equator = Along(y, 0, frame.bottom(), frame.top());
    p.drawLine(QPointF(frame.left(), equator), QPointF(frame.right(), equator));
    std::vector<std::pair<QPointF, double>> discs;
    discs.reserve(points.size());
    for (const ButterflyPoint& b : points) {
        discs.push_back({QPointF(Along(x, b.year, frame.left(), frame.right()),
                                 Along(y, b.latitude, frame.bottom(), frame.top())),
                         ButterflyRadius(b.areaMsh)});
    }
    DrawDiscs(p, discs, kGroupColour);
    p.restore();
}

void PaintGroupArea(QPainter& p, const QRectF& area, std::span<const GroupAreaPoint> points,
                    const QString& title, const QFont& font) {
    double lastDay = 1, largest = 10;
    for (const GroupAreaPoint& g : points) {
        lastDay = std::max(lastDay, g.day);
        largest = std::max(largest, g.areaMsh);
    }
    const PlotAxis x = ValueAxis(0, lastDay, kMostValueTicks);
    const PlotAxis y = ValueAxis(0, largest, kMostValueTicks);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    PaintAxes(p, area, x, y, "MSH", title, font);
    const QRectF frame = PlotFrame(area);
    const auto place = [&](const GroupAreaPoint& g) {
        return QPointF(Along(x, g.day, frame.left(), frame.right()),
                       Along(y, g.areaMsh, frame.bottom(), frame.top()));
    };
    if (!points.empty()) {
        QPainterPath line(place(points.front()));
        for (const GroupAreaPoint& g : points)
            line.lineTo(place(g));
        p.setPen(QPen(kMonthlyColour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
        p.setPen(Qt::NoPen);
        p.setBrush(kMonthlyColour);
        constexpr double kDot = 3.5;
        for (const GroupAreaPoint& g : points)
            p.drawEllipse(place(g), kDot, kDot);
    }
    p.restore();
}

QByteArray RecordPlotBytes(ChartFileFormat format,
                           const std::function<void(QPainter&, const QRectF&)>& paint) {
    const QRectF area(0, 0, kRecordPlotWidth, kRecordPlotHeight);
    QByteArray bytes;
    QPainter p;
    switch (format) {
    case ChartFileFormat::Png: {
        QImage image(kRecordPlotWidth, kRecordPlotHeight, QImage::Format_RGB32);
        if (image.isNull()) return {};
        image.fill(Qt::white);
        if (!p.begin(&image)) return {};
        paint(p, area);
        p.end();
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
        return bytes;
    }
    case ChartFileFormat::Svg: {
        SvgDocument svg(area.size(), kVectorUnitsPerInch);
        if (!p.begin(&svg)) return {};
        p.fillRect(area, Qt::white);
        paint(p, area);
        if (!p.end()) return {};
        return svg.Document();
    }
    case ChartFileFormat::Pdf:
        break;
    }
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(static_cast<int>(kVectorUnitsPerInch));
        writer.setPageSize(QPageSize(
            QSizeF(kRecordPlotWidth, kRecordPlotHeight) / kVectorUnitsPerInch, QPageSize::Inch));
        writer.setPageMargins(QMarginsF());
        if (!p.begin(&writer)) return {};
        paint(p, area);
        if (!p.end()) return {};
    }
    return bytes;
}

} // namespace zorva
