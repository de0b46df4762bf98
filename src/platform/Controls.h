#pragma once

#include <QLatin1String>
#include <QWidget>

// A control of a window: created under its parent, named (tests and the
// window's code find it by that name) and placed in its parent's pixels.
template <class Widget>
Widget* MakeControl(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}
