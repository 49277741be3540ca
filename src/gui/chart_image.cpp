#include "gui/chart_image.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorva::gui {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageControl::setCanvasSize(int width, int height) {
    canvas_ = QImage(width, height, QImage::Format_RGB32);
    canvas_.fill(Qt::white);
    setFixedSize(width, height);
}

void ImageControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->buttons(), event->modifiers(), p.x(), p.y());
}

} // namespace zorva::gui
