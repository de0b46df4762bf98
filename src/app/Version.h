#pragma once

#include <QString>
#include <QtGlobal>

// "major.minor" of a file version given as major << 16 | minor; the minor
// number has at least two digits: 0x00010010 gives "1.16", 0x00020005 "2.05".
QString FileVersionText(quint32 version);
// The running program's version in that form.
QString FileVersionText();
