#pragma once

#include <QString>

// Private-profile (ini) files, read and written one key at a time.
//
// A file is made of lines: "[Section]" headers, "key=value" lines, comments
// (lines starting with ";" or "#") and anything else. Section and key names
// match in any letter case; the first matching key counts. A value is the
// text after the first "=", without the spaces and tabs around it.
//
// A file that begins with FF FE is UTF-16 little-endian and stays so; any
// other file is UTF-8 (a UTF-8 byte-order mark is kept). A write changes or
// adds just the one line of its key (and the section header when the section
// is new); every other line keeps its bytes. New lines end like the file's
// first line break, CR LF in a file without one.

// The largest file read: settings take a few hundred bytes. A larger file, a
// folder, a pipe or a device counts as a file that cannot be read, so that
// nothing can make the program wait for or fill its memory with endless bytes.
constexpr qint64 MaxProfileFileBytes = 64 * 1024;

// The value of key in section, or defaultValue when the file, the section or
// the key is missing or the file cannot be read.
QString ReadProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue);

// The value read as a whole number (optional sign, decimal digits, within the
// range of int); defaultValue when missing or no whole number ("abc", "1.5").
int ReadProfileInt(const QString& file, const QString& section, const QString& key,
                   int defaultValue);

// Sets key in section to value; a missing file is created (UTF-8). The file
// is replaced as a whole only after the new text was written completely
// (SaveFileSafely). Returns false when nothing could be written, also for an
// existing file that cannot be read, and for names or values that cannot be
// kept on one line (a line break in the value, "=" in the key, "]" in the
// section).
bool WriteProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value);
