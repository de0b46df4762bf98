#include "platform/ImageControl.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(int width, int height, QWidget* parent)
    : QWidget(parent), canvas_(width, height) {
  setFixedSize(width, height);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void ImageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, canvas_.image());
}

void ImageControl::enterEvent(QEnterEvent*) { emit mouseEntered(); }

void ImageControl::leaveEvent(QEvent*) { emit mouseLeft(); }

void ImageControl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit mouseMoved(p.x(), p.y());
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
  // A click is a left press and release over the control.
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (rect().contains(event->position().toPoint())) emit clicked();
}
