#pragma once

#include "document/TransferTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// The transfer file: two title lines, one header line of nine numbers and one
// line of five numbers per stage, comma separated. Numbers in the file are
// plain decimal numbers with a period as decimal separator, whatever the
// user's regional settings say: a comma there would split the numbers into
// fields, and files must read the same on every machine.

// The program's messages about transfer files, shown by the window code.
inline const QString TooManyStagesMessage = QStringLiteral("データ数が多すぎます");
inline const QString FileNotFoundMessage = QStringLiteral("ファイルが見つかりません");
inline const QString WriteErrorMessage = QStringLiteral("ファイル書き込みエラー!!");
inline const QString OverwriteQuestion =
    QStringLiteral("ファイルが実在しています. 上書きしますか？");

// ---- Reading

// Cuts the first field off the line: the text before the first ",", which
// the line loses together with that comma; without a comma the whole line,
// which becomes empty.
QString NextCsvField(QString& line);

// The number a field of the file holds: optional spaces (not tabs), a sign,
// digits with an optional decimal point (at least one digit), an optional
// exponent, optional spaces; or one of the words NAN, INF, +INF, -INF in any
// letter case with optional spaces before them. Anything else is 0.
double FileFieldNumber(QStringView field);

// NextCsvField, then the field's number.
double ReadCsvNumber(QString& line);

// The file's bytes as text lines. The byte-order marks of UTF-8, UTF-16 LE
// and UTF-16 BE are tested in that order; without a mark the text is UTF-8
// when it is valid UTF-8, else Latin-1. Lines end at CR LF, LF or CR; a line
// break at the very end adds no empty line.
QStringList DecodeTransferLines(const QByteArray& bytes);

// What reading a transfer file gave. The table is a fresh value: the reader
// never touches TransferTable, so a failed read leaves the document as it was.
struct TransferFileContent {
  // False when the file could not be read, was empty or held no header line.
  bool ok = false;
  // The header, the stages and n = the number of stage lines read (0 .. 30);
  // all zero when ok is false.
  TransferTableData table{};
  // More than 30 stage lines: the first 30 are in the table and
  // TooManyStagesMessage is to be shown once.
  bool tooManyStages = false;
};

// The header line is the first line whose trimmed text begins with "+", "-"
// or a digit; every later line is a stage line, blank and text lines
// included, except the empty lines at the very end of the file.
TransferFileContent ParseTransferLines(const QStringList& lines);

// The largest transfer file read. A filter of 30 stages takes some 2 KiB;
// anything much larger is no transfer file.
constexpr qint64 MaxTransferFileBytes = 1 << 20;

// Reads and parses the file at path (any length the system allows). Only a
// regular file of at most MaxTransferFileBytes is read: a folder, a pipe, a
// device or a larger file is unreadable (ok false).
TransferFileContent ReadTransferFile(const QString& path);

// ---- Writing

// The shortest form with 15 significant digits: "0", "NAN", "INF", "-INF",
// plain digits for decimal exponents -3 .. 15 ("1000", "0.0001",
// "0.333333333333333"), scientific form outside ("1.5E-5", "1E15"). A value
// whose 15 digits would round up beyond the largest double (DBL_MAX) has them
// cut instead ("1.79769313486231E308"), so that every finite value reads back
// as a finite value.
QString NumberToFileText(double x);

// The complete file text for a table: the two title lines, the header line and
// one line per stage (n rounded, 0 .. 30), every line ending with CR LF, ASCII
// without a byte-order mark. Numbers are NumberToFileText, except that plus
// infinity is "+INF": the reader finds the header line by its first
// character, which must be a sign or a digit. Raises FloatError when n is NaN
// or infinite, and when Order, the first field of the header line, is NaN,
// which no text of that kind reads as (such a table comes from no file and no
// editor commit).
QByteArray TransferFileBytes(const TransferTableData& table);

// Appends ".csv" to a path whose file name has no "." at all.
QString CompleteCsvExtension(const QString& path);

// Writes the table to path with SaveFileSafely: on failure the previous file
// is left untouched and the result is false (WriteErrorMessage).
bool SaveTransferFile(const QString& path, const TransferTableData& table);

// ---- Names and folders

// The folder of a chosen file, as the file dialogs keep it: without the final
// separator, except for the root folder "/". Empty for a bare file name.
QString DialogFolderOf(const QString& path);

// True when the file name's extension (from its last ".") is ".csv" in any
// mix of the letters' cases: the files a drop on the main window loads.
bool IsTransferFileName(const QString& path);
