#pragma once

#include <QString>

// Text of the general error report: the error's message, followed by "."
// unless it already ends in a character whose code is at most that of ".".
QString ErrorReportText(const QString& message);
