#include "gui/image_view.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

namespace zorva::gui {

namespace {

// Zoom steps: halves and thirds between the powers of two, so each step is 1.33 to 1.5
// times the last.
constexpr std::array<double, 17> kZoomSteps = {
    1.0 / 16, 1.0 / 12, 1.0 / 8, 1.0 / 6, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 1,
    1.5,      2,        3,       4,       6,       8,       12,      16};
constexpr double kStepTolerance = 1e-9;
constexpr int kScrollStep = 20;   // pixels per scroll-bar arrow step
constexpr int kWheelNotch = 120;  // angle delta of one wheel notch
const QColor kMargin(64, 64, 64); // around a picture smaller than the window

// The next zoom step above or below a zoom; the zoom itself at either end.
double NextStep(double zoom, bool larger) {
    if (larger) {
        for (const double s : kZoomSteps) {
            if (s > zoom + kStepTolerance) return s;
        }
    } else {
        for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
            if (*it < zoom - kStepTolerance) return *it;
        }
    }
    return zoom;
}

} // namespace

ImageView::ImageView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
}

void ImageView::setImage(const QImage& image) {
    const bool sameSize = !image_.isNull() && image.size() == image_.size();
    image_ = image;
    halvings_.clear();
    if (!sameSize) {
        fitToWindow();
        return;
    }
    UpdateScrollBars();
    viewport()->update();
}

void ImageView::SetFit(bool fit) {
    fit_ = fit;
    // A fitted picture needs no scroll bars, and a bar that came and went as the zoom
    // followed the window would change the room it is fitted to.
    const Qt::ScrollBarPolicy policy = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

double ImageView::FitZoom() const {
    if (image_.isNull()) return 1;
    const QSize room = viewport()->size();
    const double fit = std::min(static_cast<double>(room.width()) / image_.width(),
                                static_cast<double>(room.height()) / image_.height());
    return std::clamp(fit, SmallestZoom, LargestZoom);
}

void ImageView::zoomIn() {
    ZoomAround(NextStep(zoom_, true), QRectF(viewport()->rect()).center());
}

void ImageView::zoomOut() {
    ZoomAround(NextStep(zoom_, false), QRectF(viewport()->rect()).center());
}

void ImageView::fitToWindow() {
    SetFit(true);
    zoom_ = FitZoom();
    UpdateScrollBars();
    viewport()->update();
    emit zoomChanged(zoom_);
}

void ImageView::actualSize() {
    ZoomAround(1, QRectF(viewport()->rect()).center());
}

void ImageView::setZoom(double zoom) {
    ZoomAround(std::clamp(zoom, SmallestZoom, LargestZoom), QRectF(viewport()->rect()).center());
}

void ImageView::ZoomAround(double zoom, QPointF anchor) {
    if (fit_) SetFit(false);
    if (zoom == zoom_) return;
    const QPointF origin = Origin();
    const QPointF imagePoint = (anchor - origin) / zoom_;
    zoom_ = zoom;
    UpdateScrollBars();
    // Scroll so the same image point is under the anchor again.
    horizontalScrollBar()->setValue(
        static_cast<int>(std::lround(imagePoint.x() * zoom_ - anchor.x())));
    verticalScrollBar()->setValue(
        static_cast<int>(std::lround(imagePoint.y() * zoom_ - anchor.y())));
    viewport()->update();
    emit zoomChanged(zoom_);
}

void ImageView::UpdateScrollBars() {
    const QSize room = viewport()->size();
    // A picture fitted to the window fills it exactly: no rounding may add a scroll bar.
    const int w = static_cast<int>(std::ceil(image_.width() * zoom_ - kStepTolerance));
    const int h = static_cast<int>(std::ceil(image_.height() * zoom_ - kStepTolerance));
    horizontalScrollBar()->setRange(0, std::max(0, w - room.width()));
    horizontalScrollBar()->setPageStep(room.width());
    verticalScrollBar()->setRange(0, std::max(0, h - room.height()));
    verticalScrollBar()->setPageStep(room.height());
}

QPointF ImageView::Origin() const {
    const QSize room = viewport()->size();
    const double w = image_.width() * zoom_;
    const double h = image_.height() * zoom_;
    // A picture narrower or lower than the window is centred in it.
    const double x =
        w <= room.width() ? std::floor((room.width() - w) / 2) : -horizontalScrollBar()->value();
    const double y =
        h <= room.height() ? std::floor((room.height() - h) / 2) : -verticalScrollBar()->value();
    return {x, y};
}

std::optional<QPoint> ImageView::imagePixelAt(QPointF point) const {
    if (image_.isNull()) return std::nullopt;
    const QPointF at = (point - Origin()) / zoom_;
    const int x = static_cast<int>(std::floor(at.x()));
    const int y = static_cast<int>(std::floor(at.y()));
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return std::nullopt;
    return QPoint(x, y);
}

QPointF ImageView::picturePointAt(QPointF point) const {
    // A pixel's middle lies half a pixel in from its corner.
    return (point - Origin()) / zoom_ - QPointF(0.5, 0.5);
}

QPointF ImageView::viewportPointOf(QPointF picturePoint) const {
    return Origin() + (picturePoint + QPointF(0.5, 0.5)) * zoom_;
}

void ImageView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), kMargin);
    if (image_.isNull()) return;
    const QPointF origin = Origin();
    // Below actual size, the halving at most twice as fine as the screen, scaled smoothly:
    // fine detail fades rather than flickers, and each repaint costs only what is shown.
    int k = 0;
    while (zoom_ * (1 << (k + 1)) <= 1 && (image_.width() >> (k + 1)) > 0 &&
           (image_.height() >> (k + 1)) > 0)
        ++k;
    const QImage& shown = Halving(k);
    p.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1);
    PaintVisiblePart(
        p, origin, shown,
        QSizeF(zoom_ * image_.width() / shown.width(), zoom_ * image_.height() / shown.height()));
    if (overlay_) overlay_(p, zoom_, origin);
}

namespace {

// A picture at half its size, each pixel the mean of the two by two it stands for. A grey
// picture stays grey, a quarter of its memory, where a smooth scaling would make it four
// bytes a pixel.
QImage Halved(const QImage& finer) {
    const int w = std::max(1, finer.width() / 2);
    const int h = std::max(1, finer.height() / 2);
    if (finer.format() != QImage::Format_Grayscale8 || finer.width() < 2 || finer.height() < 2)
        return finer.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage half(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        const uchar* top = finer.constScanLine(2 * y);
        const uchar* bottom = finer.constScanLine(2 * y + 1);
        uchar* out = half.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int sum = top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1];
            out[x] = static_cast<uchar>((sum + 2) / 4);
        }
    }
    return half;
}

} // namespace

const QImage& ImageView::Halving(int k) {
    if (k == 0) return image_;
    while (static_cast<int>(halvings_.size()) < k)
        halvings_.push_back(Halved(halvings_.empty() ? image_ : halvings_.back()));
    return halvings_[k - 1];
}

void ImageView::PaintVisiblePart(QPainter& p, QPointF origin, const QImage& image,
                                 QSizeF pixel) const {
    // Only the part inside the window.
    const QRectF visible = QRectF(QPointF(0, 0), QSizeF(viewport()->size()));
    const int x0 = std::max(0, static_cast<int>(std::floor(-origin.x() / pixel.width())));
    const int y0 = std::max(0, static_cast<int>(std::floor(-origin.y() / pixel.height())));
    const int x1 =
        std::min(image.width(),
                 static_cast<int>(std::ceil((visible.right() - origin.x()) / pixel.width())) + 1);
    const int y1 =
        std::min(image.height(),
                 static_cast<int>(std::ceil((visible.bottom() - origin.y()) / pixel.height())) + 1);
    if (x1 <= x0 || y1 <= y0) return;
    const QRectF target(origin.x() + x0 * pixel.width(), origin.y() + y0 * pixel.height(),
                        (x1 - x0) * pixel.width(), (y1 - y0) * pixel.height());
    p.drawImage(target, image, QRect(x0, y0, x1 - x0, y1 - y0));
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fit_ && !image_.isNull()) {
        const double fit = FitZoom();
        if (fit != zoom_) {
            zoom_ = fit;
            emit zoomChanged(zoom_);
        }
    }
    UpdateScrollBars();
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    if (const auto pixel = imagePixelAt(event->position())) {
        emit mouseDown(event->buttons(), event->modifiers(), pixel->x(), pixel->y());
    }
    // Beside the picture too: the centre of a disk cut by the frame lies off it.
    if (!image_.isNull() && event->button() == Qt::LeftButton) {
        leftHeld_ = true;
        emit leftPressed(picturePointAt(event->position()));
    }
    event->accept();
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    if (leftHeld_) emit leftDragged(picturePointAt(event->position()));
    event->accept();
}

bool ImageView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = tip_ && !image_.isNull() ? tip_(picturePointAt(help->pos())) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport());
    }
    return true;
}

void ImageView::mouseReleaseEvent(QMouseEvent* event) {
    if (leftHeld_ && event->button() == Qt::LeftButton) {
        leftHeld_ = false;
        emit leftReleased(picturePointAt(event->position()));
    }
    event->accept();
}

void ImageView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // One step per notch, towards larger or smaller.
    const int notches = event->angleDelta().y() / kWheelNotch;
    double zoom = zoom_;
    for (int i = 0; i < std::abs(notches); ++i)
        zoom = NextStep(zoom, notches > 0);
    if (notches != 0) ZoomAround(zoom, event->position());
    event->accept();
}

void ImageView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::ZoomIn) || (ctrl && event->key() == Qt::Key_Equal)) {
        zoomIn();
    } else if (event->matches(QKeySequence::ZoomOut)) {
        zoomOut();
    } else if (ctrl && event->key() == Qt::Key_0) {
        fitToWindow();
    } else if (ctrl && event->key() == Qt::Key_1) {
        actualSize();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ImageView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    viewport()->update();
}

} // namespace zorva::gui
