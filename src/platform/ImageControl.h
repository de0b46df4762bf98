#pragma once

#include "platform/Canvas.h"

#include <QWidget>

// A control that shows a canvas one to one and reports the mouse over it in
// canvas pixels. Whoever draws on the canvas calls update() (or repaint()
// where the pixels must be on screen at once).
class ImageControl : public QWidget {
  Q_OBJECT

 public:
  ImageControl(int width, int height, QWidget* parent = nullptr);

  Canvas& canvas() { return canvas_; }
  const Canvas& canvas() const { return canvas_; }

 signals:
  void mouseEntered();
  void mouseLeft();
  void mouseMoved(int x, int y);
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Canvas canvas_;
  bool pressed_ = false;
};
