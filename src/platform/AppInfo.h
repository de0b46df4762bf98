#pragma once

#include <QString>
#include <QtGlobal>

// The running program's file version as the platform reports it: the major
// number in the upper 16 bits, the minor number in the lower 16 bits. All bits
// are set when the program carries no version.
quint32 ExecutableFileVersion();

// The application title: the executable's file name up to its first period,
// the first letter in upper case and every letter after it in lower case
// ("Kesto" for /usr/bin/kesto).
QString ApplicationTitleFromPath(const QString& executablePath);
QString ApplicationTitle();
