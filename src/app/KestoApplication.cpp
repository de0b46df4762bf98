#include "app/KestoApplication.h"

#include "common/MessageDlg.h"

#include <QFont>

#include <exception>

KestoApplication::KestoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  SetUpFonts();
}

bool KestoApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  RunGuarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

void KestoApplication::SetUpFonts() {
  // A Japanese proportional face at the size of the window's 11-pixel text.
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(12);
  QApplication::setFont(font);
}
