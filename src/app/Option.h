#pragma once

#include <QString>

// The options file beside the executable keeps the open dialog's folder and
// the reverse-direction switch from one run to the next. Both operations are
// silent: no failure ever reaches the user.
bool LoadOptions();
void SaveOptions();

// Tests keep their options in a file of their own instead of the one beside
// the test program; an empty path goes back to the usual file.
void SetOptionsFileOverride(const QString& path);
