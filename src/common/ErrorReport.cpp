#include "common/ErrorReport.h"

QString ErrorReportText(const QString& message) {
  if (!message.isEmpty() && message.back().unicode() <= u'.') return message;
  return message + QLatin1Char('.');
}
