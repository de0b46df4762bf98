// Starts Kesto's windows exactly as the program does and ends the process at
// a fixed point, for bench/run to time it from the outside:
//   kesto_window_probe --first-paint     ends once the main window has painted
//   kesto_window_probe --session FILE    loads FILE, draws it in each display
//                                        mode and moves the cross-hair over
//                                        the graph, then ends
// The first gives the start-up time to a painted window, the second the peak
// memory of a window process that did the usual work.

#include "app/FormMain.h"
#include "app/KestoApplication.h"
#include "app/Windows.h"

#include <QEvent>
#include <QRadioButton>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// Quits the application once the watched window has painted.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      // Leave the paint event first, so that the frame reaches the screen.
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool seen_ = false;
};

void Session(TFormMain& window, const QString& file) {
  window.LoadTransferFile(file);
  for (QRadioButton* mode :
       {window.RadioButtonTotal, window.RadioButtonInt, window.RadioButtonIndiv}) {
    mode->click();
    window.ImageGraphMouseEnter();
    for (int x = 60; x < 740; x += 4) window.ImageGraphMouseMove(x, 200);
    window.ImageGraphMouseLeave();
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool firstPaint = argc == 2 && std::strcmp(argv[1], "--first-paint") == 0;
  const bool session = argc == 3 && std::strcmp(argv[1], "--session") == 0;
  if (!firstPaint && !session) {
    std::fprintf(stderr, "usage: %s --first-paint | --session FILE\n", argv[0]);
    return 2;
  }
  const QString file = session ? QString::fromLocal8Bit(argv[2]) : QString();
  KestoApplication application(argc, argv);
  ProgramWindows windows;
  FirstPaint painted;
  if (firstPaint) windows.main->installEventFilter(&painted);
  windows.main->show();
  if (session) {
    QTimer::singleShot(0, [&] {
      Session(*windows.main, file);
      QCoreApplication::quit();
    });
  }
  return application.exec();
}
