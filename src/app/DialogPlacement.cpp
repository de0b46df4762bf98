#include "app/DialogPlacement.h"

#include "common/MessageDlg.h"
#include "platform/ScreenRect.h"
#include "platform/Window.h"

#include <QEvent>
#include <QWidget>

FileDialogHook::FileDialogHook(QWidget* dialog, QWidget* mainWindow)
    : QObject(dialog), dialog_(dialog), mainWindow_(mainWindow) {
  dialog->installEventFilter(this);
}

ScreenPoint FileDialogHook::Centre() const {
  const ScreenRect d = OuterRect(dialog_);
  return CenteredPlacement(OuterRect(mainWindow_), d.width(), d.height(),
                           MonitorWorkArea(mainWindow_));
}

bool FileDialogHook::AtCentre() const {
  const ScreenRect d = OuterRect(dialog_);
  return Centre() == ScreenPoint{d.left, d.top};
}

void FileDialogHook::MoveToCentre() {
  const ScreenPoint p = Centre();
  dialog_->move(p.x, p.y);
}

bool FileDialogHook::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialog_ && event->type() == QEvent::Show) {
    MoveFlag = 3;
    MoveToCentre();
  } else if (watched == dialog_ && event->type() == QEvent::Move) {
    // A move to the centred place is the echo of our own; any other move
    // while the flag lasts is the platform's and is overridden.
    if (MoveFlag > 0 && !AtCentre()) {
      --MoveFlag;
      MoveToCentre();
    }
  }
  return QObject::eventFilter(watched, event);
}
