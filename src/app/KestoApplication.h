#pragma once

#include <QApplication>

// The application object. Every handler of the program runs through
// RunGuarded; notify() is the last net for anything that still escapes an
// event, so that no error ever crosses Qt's event loop.
class KestoApplication : public QApplication {
 public:
  KestoApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // The window font and the fonts every window relies on.
  static void SetUpFonts();
};
