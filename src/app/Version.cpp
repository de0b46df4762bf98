#include "app/Version.h"

#include "platform/AppInfo.h"

QString FileVersionText(quint32 version) {
  QString minor = QString::number(version & 0xFFFFu);
  while (minor.size() < 2) minor.prepend(QLatin1Char('0'));
  return QString::number(version >> 16) + QLatin1Char('.') + minor;
}

QString FileVersionText() { return FileVersionText(ExecutableFileVersion()); }
