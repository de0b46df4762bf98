#include "platform/AppInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

quint32 ExecutableFileVersion() {
#if defined(KESTO_VERSION_MAJOR) && defined(KESTO_VERSION_MINOR)
  return (static_cast<quint32>(KESTO_VERSION_MAJOR) << 16) |
         static_cast<quint32>(KESTO_VERSION_MINOR);
#else
  return 0xFFFFFFFFu;
#endif
}

QString ApplicationTitleFromPath(const QString& executablePath) {
  QString name = QFileInfo(executablePath).fileName();
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  if (name.isEmpty()) return name;
  return name.left(1).toUpper() + name.mid(1).toLower();
}

QString ApplicationTitle() {
  return ApplicationTitleFromPath(QCoreApplication::applicationFilePath());
}
