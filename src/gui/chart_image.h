#pragma once

#include <QImage>
#include <QWidget>

namespace zorva::gui {

// An image control: a picture the program draws into, shown at one pixel per pixel,
// that reports where the mouse went down.
class ImageControl final : public QWidget {
    Q_OBJECT
  public:
    explicit ImageControl(QWidget* parent = nullptr);

    // The canvas; call update() after drawing into it.
    QImage& canvas() { return canvas_; }
    const QImage& canvas() const { return canvas_; }
    // A new blank canvas of the given size; the control takes the same size.
    void setCanvasSize(int width, int height);

  signals:
    void mouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QImage canvas_;
};

} // namespace zorva::gui
