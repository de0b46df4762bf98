#pragma once

#include "platform/ScreenRect.h"

#include <QObject>

class QWidget;

// Keeps a file dialog centred over the main window and inside the work area
// of the main window's monitor while it opens: the dialog is placed when it
// is shown, and the platform's first three moves of it are overridden; after
// that the user moves it freely. One hook per dialog.
class FileDialogHook : public QObject {
 public:
  FileDialogHook(QWidget* dialog, QWidget* mainWindow);

  // How many more position changes are to be re-centred.
  quint8 MoveFlag = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ScreenPoint Centre() const;
  bool AtCentre() const;
  void MoveToCentre();

  QWidget* dialog_;
  QWidget* mainWindow_;
};
