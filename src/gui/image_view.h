#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace zorva::gui {

// A zoomable view of a solar image. The picture is drawn at its own resolution and scaled
// for display, and an overlay is painted over it in the window's own pixels, so its lines
// and labels keep their size at every zoom; a mouse-down on the picture is reported in the
// picture's own pixel coordinates, whatever the zoom and scroll position.
//
// Zoom: Ctrl+wheel (around the pointer), Ctrl++ or Ctrl+= in, Ctrl+- out, Ctrl+0 fit to
// the window, Ctrl+1 one image pixel per screen pixel. Fit to the window shrinks a picture
// larger than the window and enlarges a smaller one to fill it; it follows the window's
// size until another zoom is chosen.
class ImageView final : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit ImageView(QWidget* parent = nullptr);

    // Shows a picture. One of the same size (the same image redrawn) keeps the zoom and
    // scroll position; another size is fitted to the window.
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    // Paints the overlay with the painter on the viewport, given the zoom and where the
    // picture's top-left corner lies on the viewport.
    using OverlayPainter = std::function<void(QPainter&, double zoom, QPointF origin)>;
    void setOverlay(OverlayPainter overlay) { overlay_ = std::move(overlay); }
    const OverlayPainter& overlay() const { return overlay_; }
    // The overlay has changed: paint it again.
    void overlayChanged() { viewport()->update(); }
    // What a tooltip says where the pointer rests, given the point of the picture under it;
    // no tooltip where it gives no text.
    using TipAt = std::function<QString(QPointF picturePoint)>;
    void setTipAt(TipAt tip) { tip_ = std::move(tip); }

    // Screen pixels per image pixel, and whether the view fits the picture to the window.
    double zoom() const { return zoom_; }
    bool fitsWindow() const { return fit_; }

    void zoomIn();
    void zoomOut();
    void fitToWindow();
    void actualSize();
    // A zoom between the smallest and largest steps; the view stops fitting the window.
    void setZoom(double zoom);

    // The image pixel under a point of the viewport, if the point lies on the picture.
    std::optional<QPoint> imagePixelAt(QPointF viewportPoint) const;
    // The point of the picture under a point of the viewport, in picture pixels with
    // fractions ((0, 0) is the middle of the top-left pixel), and the viewport's point of
    // such a picture point.
    QPointF picturePointAt(QPointF viewportPoint) const;
    QPointF viewportPointOf(QPointF picturePoint) const;

    // The zoom steps of Ctrl+wheel and the keys.
    static constexpr double SmallestZoom = 1.0 / 16;
    static constexpr double LargestZoom = 16;

  signals:
    // A mouse button went down on image pixel (x, y).
    void mouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void zoomChanged(double zoom);
    // The left button went down, the pointer moved with it held, and it came up again:
    // picture points with fractions, which may lie beside the picture.
    void leftPressed(QPointF picturePoint);
    void leftDragged(QPointF picturePoint);
    void leftReleased(QPointF picturePoint);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    double FitZoom() const;
    void SetFit(bool fit);
    // Changes the zoom keeping the image point under `anchor` (viewport coordinates) in place.
    void ZoomAround(double zoom, QPointF anchor);
    void UpdateScrollBars();
    // The part of `image` inside the viewport, each of its pixels `pixel` viewport pixels
    // wide and high: at a zoom of 1 or more the picture's pixels as square blocks, below it
    // a halving of the picture smoothly scaled.
    void PaintVisiblePart(QPainter& p, QPointF origin, const QImage& image, QSizeF pixel) const;
    // The picture halved k times, each halving averaged from the one before; made when first
    // wanted and kept until the picture changes. 0 is the picture itself.
    const QImage& Halving(int k);
    // Viewport position of the picture's top-left corner.
    QPointF Origin() const;

    QImage image_;
    OverlayPainter overlay_;
    TipAt tip_;
    std::vector<QImage> halvings_; // Halving(1), Halving(2), ...
    double zoom_ = 1;
    bool fit_ = true;
    bool leftHeld_ = false; // the left button went down on the picture and is still down
};

} // namespace zorva::gui
