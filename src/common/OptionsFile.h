#pragma once

#include <QString>

// The options file beside the executable: section "Option" with the open
// dialog's folder ("Dir") and the reverse-direction switch ("Reverse").

// The executable's path with its extension replaced by ".ini": the text from
// the last "." of the file name is replaced, a name without one gets ".ini"
// appended (/opt/kesto/kesto gives /opt/kesto/kesto.ini).
QString OptionsFileNameFor(const QString& executablePath);

// OptionsFileNameFor the running program.
QString OptionsFileName();

// The two settings as the main window holds them.
struct StoredOptions {
  QString dir;           // the open dialog's initial folder, may be empty
  bool reverse = false;  // CheckBoxRev ticked
};

// The longest "Dir" value taken from the file, in UTF-16 code units. A longer
// value is cut, and the cut drops a first half of a surrogate pair and blanks
// that it leaves at the end.
constexpr int MaxOptionsDirLength = 2047;

// Start-up: creates a missing file holding only the UTF-16 LE mark FF FE, so
// that the file keeps folder names of any script, then reads "Dir" and
// "Reverse" into options, whose values on entry are the defaults. "Reverse"
// is a whole number, non-zero ticks; anything else counts as missing.
// False when the file could not be created; options then keep their
// defaults. Never shows anything.
bool ReadOptionsFile(const QString& iniPath, StoredOptions& options);

// Closing: writes "Dir" and then "Reverse" ("1" or "0"), stopping at the
// first key that cannot be written. False on failure.
bool WriteOptionsFile(const QString& iniPath, const StoredOptions& options);
