#include "render/svg_document.h"

#include <QFont>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTextItem>
#include <QTransform>
#include <cmath>

namespace zorva {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;
// Thousandths of a unit: far below anything a printer or screen resolves.
constexpr int kDecimals = 3;

QString Num(double v) {
    QString text = QString::number(v, 'f', kDecimals); // always the C locale
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.')) text.chop(1);
    return text == "-0" ? "0" : text;
}

QString Colour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

} // namespace

// Hands every primitive over whole (AllFeatures), so nothing is rasterised or split up:
// the painter's transform is applied here, to the coordinates that are written.
class SvgPaintEngine : public QPaintEngine {
  public:
    SvgPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen) pen_ = state.pen();
        if (dirty & DirtyBrush) brush_ = state.brush();
        if (dirty & DirtyTransform) transform_ = state.transform();
        if (dirty & DirtyFont) font_ = state.font();
    }

    void drawPath(const QPainterPath& path) override {
        const QPainterPath mapped = transform_.map(path);
        QString d;
        for (int i = 0; i < mapped.elementCount(); ++i) {
            const QPainterPath::Element e = mapped.elementAt(i);
            switch (e.type) {
            case QPainterPath::MoveToElement:
                d += "M" + Point(e.x, e.y);
                break;
            case QPainterPath::LineToElement:
                d += "L" + Point(e.x, e.y);
                break;
            case QPainterPath::CurveToElement:
                d += "C" + Point(e.x, e.y);
                break;
            case QPainterPath::CurveToDataElement:
                d += Point(e.x, e.y);
                break;
            }
        }
        const QString rule = mapped.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero";
        Emit("<path d=\"" + d.trimmed() + "\" fill-rule=\"" + rule + "\"" + Fill() + Stroke() +
             "/>");
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QString list;
        for (int i = 0; i < count; ++i) {
            const QPointF p = transform_.map(points[i]);
            list += Point(p.x(), p.y());
        }
        if (mode == PolylineMode) {
            Emit("<polyline points=\"" + list.trimmed() + "\" fill=\"none\"" + Stroke() + "/>");
        } else {
            const QString rule = mode == OddEvenMode ? "evenodd" : "nonzero";
            Emit("<polygon points=\"" + list.trimmed() + "\" fill-rule=\"" + rule + "\"" + Fill() +
                 Stroke() + "/>");
        }
    }

    void drawEllipse(const QRectF& r) override {
        // A circle stays a circle under the scales and moves the charts use; anything
        // turned goes as a path.
        if (transform_.type() > QTransform::TxScale) {
            QPainterPath path;
            path.addEllipse(r);
            drawPath(path);
            return;
        }
        const QRectF m = transform_.mapRect(r);
        Emit("<ellipse cx=\"" + Num(m.center().x()) + "\" cy=\"" + Num(m.center().y()) +
             "\" rx=\"" + Num(m.width() / 2) + "\" ry=\"" + Num(m.height() / 2) + "\"" + Fill() +
             Stroke() + "/>");
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QPointF at = transform_.map(p);
        const QFont font = item.font();
        const double pixels = font.pixelSize() > 0
                                  ? font.pixelSize()
                                  : font.pointSizeF() * unitsPerInch_ / kPointsPerInch;
        const double size = pixels * std::sqrt(std::fabs(transform_.determinant()));
        Emit("<text x=\"" + Num(at.x()) + "\" y=\"" + Num(at.y()) + "\" font-family=\"" +
             Escaped(font.family()) + "\" font-size=\"" + Num(size) + "\" fill=\"" +
             Colour(pen_.color()) + "\" xml:space=\"preserve\">" + Escaped(item.text()) +
             "</text>");
    }

    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {
        // Charts draw no bitmaps.
    }

    void SetUnitsPerInch(double unitsPerInch) { unitsPerInch_ = unitsPerInch; }
    const QString& Body() const { return body_; }

  private:
    static QString Point(double x, double y) { return " " + Num(x) + "," + Num(y); }

    QString Fill() const {
        if (brush_.style() == Qt::NoBrush) return " fill=\"none\"";
        return " fill=\"" + Colour(brush_.color()) + "\"";
    }

    QString Stroke() const {
        if (pen_.style() == Qt::NoPen) return " stroke=\"none\"";
        QString s = " stroke=\"" + Colour(pen_.color()) + "\"";
        if (pen_.isCosmetic()) {
            // As thin as the device shows a line, whatever the scale.
            s += " stroke-width=\"" + Num(pen_.widthF() > 0 ? pen_.widthF() : 1) +
                 "\" vector-effect=\"non-scaling-stroke\"";
        } else {
            const double scale = std::sqrt(std::fabs(transform_.determinant()));
            s += " stroke-width=\"" + Num(pen_.widthF() * scale) + "\"";
        }
        return s;
    }

    void Emit(const QString& element) { body_ += element + "\n"; }

    QPen pen_;
    QBrush brush_;
    QTransform transform_;
    QFont font_;
    double unitsPerInch_ = 96;
    QString body_;
};

SvgDocument::SvgDocument(QSizeF size, double unitsPerInch)
    : size_(size), unitsPerInch_(unitsPerInch), engine_(std::make_unique<SvgPaintEngine>()) {
    engine_->SetUnitsPerInch(unitsPerInch);
}

SvgDocument::~SvgDocument() = default;

QPaintEngine* SvgDocument::paintEngine() const {
    return engine_.get();
}

int SvgDocument::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return static_cast<int>(std::ceil(size_.width()));
    case PdmHeight:
        return static_cast<int>(std::ceil(size_.height()));
    case PdmWidthMM:
        return static_cast<int>(std::lround(size_.width() / unitsPerInch_ * kMmPerInch));
    case PdmHeightMM:
        return static_cast<int>(std::lround(size_.height() / unitsPerInch_ * kMmPerInch));
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return static_cast<int>(std::lround(unitsPerInch_));
    case PdmNumColors:
        return 0xFFFFFF;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}

QByteArray SvgDocument::Document() const {
    const double mmPerUnit = kMmPerInch / unitsPerInch_;
    const QString head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                         Num(size_.width() * mmPerUnit) + "mm\" height=\"" +
                         Num(size_.height() * mmPerUnit) + "mm\" viewBox=\"0 0 " +
                         Num(size_.width()) + " " + Num(size_.height()) + "\">\n";
    return (head + engine_->Body() + "</svg>\n").toUtf8();
}

} // namespace zorva
