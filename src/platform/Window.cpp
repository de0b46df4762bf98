#include "platform/Window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <climits>

namespace {
QPointer<QWidget> mainWindow;
CursorShape currentCursor = CursorShape::Arrow;

ScreenRect ToScreenRect(const QRect& r) {
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// Opens QWidget::focusNextPrevChild, which Qt keeps protected, for the focus
// stepping of the value boxes: it walks the window's tab chain exactly as Tab
// and Shift+Tab do.
struct FocusChainAccess : QWidget {
  static bool Step(QWidget* window, bool forward) {
    return (window->*(&FocusChainAccess::focusNextPrevChild))(forward);
  }
};
}  // namespace

void RunPendingEvents() { QCoreApplication::processEvents(); }

void SetAppCursor(CursorShape shape) {
  while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
  currentCursor = shape;
  switch (shape) {
    case CursorShape::Arrow:
      break;
    case CursorShape::Cross:
      QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
      break;
    case CursorShape::Wait:
      QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
      break;
  }
}

CursorShape AppCursor() { return currentCursor; }

void SetMainWindow(QWidget* window) { mainWindow = window; }
QWidget* MainWindow() { return mainWindow.data(); }

ScreenRect OuterRect(const QWidget* window) { return ToScreenRect(window->frameGeometry()); }

ScreenRect WorkAreaNearest(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  QScreen* best = nullptr;
  long long bestArea = -1;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->geometry().intersected(frame);
    const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = screen;
    }
  }
  if (bestArea <= 0) {
    // On no monitor: take the one whose edge is nearest to the window's centre.
    const QPoint c = frame.center();
    long long bestDistance = LLONG_MAX;
    for (QScreen* screen : QGuiApplication::screens()) {
      const QRect g = screen->geometry();
      const long long dx = c.x() < g.left()    ? g.left() - c.x()
                           : c.x() > g.right() ? c.x() - g.right()
                                               : 0;
      const long long dy = c.y() < g.top()      ? g.top() - c.y()
                           : c.y() > g.bottom() ? c.y() - g.bottom()
                                                : 0;
      if (dx * dx + dy * dy < bestDistance) {
        bestDistance = dx * dx + dy * dy;
        best = screen;
      }
    }
  }
  if (best == nullptr) best = QGuiApplication::primaryScreen();
  if (best == nullptr) return {};
  return ToScreenRect(best->availableGeometry());
}

int VirtualKeyOf(const QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Delete:
      return 46;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Space:
      return 32;
    default:
      break;
  }
  const int key = event->key();
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) return key;
  // Qt's character keys, unknown characters (code 0) included, lie below its
  // named keys.
  if (key >= 0 && key < Qt::Key_Escape) return CharacterKeyBase + key;
  return key;
}

void FocusNextTabStop(QWidget* window, bool forward) {
  if (window == nullptr) return;
  FocusChainAccess::Step(window->window(), forward);
}

void StepFocus(QWidget* window, int& key) {
  if (key == KeyEnter || key == KeyDown) {
    FocusNextTabStop(window, true);
    key = 0;
  } else if (key == KeyUp) {
    FocusNextTabStop(window, false);
    key = 0;
  }
}
