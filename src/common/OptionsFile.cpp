#include "common/OptionsFile.h"

#include "platform/Profile.h"
#include "platform/SafeSave.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
const QString OptionSection = QStringLiteral("Option");
const QString DirKey = QStringLiteral("Dir");
const QString ReverseKey = QStringLiteral("Reverse");
}  // namespace

QString OptionsFileNameFor(const QString& executablePath) {
  const qsizetype nameStart = executablePath.lastIndexOf(u'/') + 1;
  const qsizetype dot = executablePath.lastIndexOf(u'.');
  const QString stem = dot >= nameStart ? executablePath.left(dot) : executablePath;
  return stem + QStringLiteral(".ini");
}

QString OptionsFileName() { return OptionsFileNameFor(QCoreApplication::applicationFilePath()); }

bool ReadOptionsFile(const QString& iniPath, StoredOptions& options) {
  const QFileInfo info(iniPath);
  if (!info.exists() && !SaveFileSafely(iniPath, QByteArray("\xFF\xFE", 2))) return false;

  QString dir = ReadProfileString(iniPath, OptionSection, DirKey, options.dir);
  if (dir.size() > MaxOptionsDirLength) {
    dir.truncate(MaxOptionsDirLength);
    // Never keep half of a character outside the basic plane, nor blanks at
    // the end: the file keeps no blanks around a value, so the folder saved
    // at closing would not be the one read at the next start.
    while (!dir.isEmpty() &&
           (dir.back().isHighSurrogate() || dir.back() == u' ' || dir.back() == u'\t'))
      dir.chop(1);
  }
  options.dir = dir;

  options.reverse =
      ReadProfileInt(iniPath, OptionSection, ReverseKey, options.reverse ? 1 : 0) != 0;
  return true;
}

bool WriteOptionsFile(const QString& iniPath, const StoredOptions& options) {
  return WriteProfileString(iniPath, OptionSection, DirKey, options.dir) &&
         WriteProfileString(iniPath, OptionSection, ReverseKey,
                            options.reverse ? QStringLiteral("1") : QStringLiteral("0"));
}
