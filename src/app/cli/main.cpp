#include "app/cli/PlotRun.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

QtMessageHandler QtDefaultHandler = nullptr;

// Qt's remark about a missing XDG_RUNTIME_DIR concerns windows the tool never
// opens; every other message of Qt's keeps its way to standard error.
void QtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
    return;
  QtDefaultHandler(type, context, text);
}

}  // namespace

int main(int argc, char* argv[]) {
  // The arguments as given, before the application object takes its own
  // options out of argv.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));

  // The canvas font needs a GUI application; without a display the
  // offscreen platform gives the same metrics and pixels.
  QtDefaultHandler = qInstallMessageHandler(QtMessages);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);

  QFile out;
  QFile err;
  out.open(stdout, QIODevice::WriteOnly);
  err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
  const int status = RunKestoPlot(arguments, out, err);
  out.flush();
  return status;
}
