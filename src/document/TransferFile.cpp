#include "document/TransferFile.h"

#include "platform/FloatError.h"
#include "platform/Fp.h"
#include "platform/RegularFile.h"
#include "platform/SafeSave.h"

#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <locale.h>

namespace {

bool IsAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Every leading and trailing character with a code from 0 to 32 goes.
QString TrimControls(const QString& line) {
  qsizetype first = 0;
  qsizetype last = line.size();
  while (first < last && line[first].unicode() <= 32) ++first;
  while (last > first && line[last - 1].unicode() <= 32) --last;
  return line.mid(first, last - first);
}

// The first character of a header line: "+", "-" or a digit.
bool IsHeaderStart(QChar c) {
  return c == QLatin1Char('+') || c == QLatin1Char('-') || IsAsciiDigit(c);
}

// Decimal text that has passed the file's number syntax, to the nearest
// double. The conversion ignores the process locale, which Qt sets from the
// environment. Too large a number gives an infinity, too small a one 0.
double DecimalTextToDouble(const std::string& text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return strtod_l(text.c_str(), nullptr, cLocale);
}

QString DecodeText(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
  if (bytes.startsWith("\xFF\xFE")) {
    QStringDecoder decoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
    return decoder(bytes.mid(2));
  }
  if (bytes.startsWith("\xFE\xFF")) {
    QStringDecoder decoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
    return decoder(bytes.mid(2));
  }
  // Stateless: a sequence cut off at the end of the file is an error too.
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(bytes);
}

// A number as the transfer file holds it. "INF" would do as a stage field,
// but as the first field of the header line it would hide that line from the
// reader, which takes the first line beginning with a sign or a digit; so
// infinities always carry their sign.
QByteArray FileFieldText(double x) {
  if (std::isinf(x)) return x > 0 ? "+INF" : "-INF";
  return NumberToFileText(x).toLatin1();
}

QByteArray JoinedNumbers(const TransferTableData& table, const int* cells, int count) {
  QByteArray line;
  for (int i = 0; i < count; ++i) {
    if (i > 0) line += ',';
    line += FileFieldText(table[cells[i]]);
  }
  line += "\r\n";
  return line;
}

QStringView FileNamePart(const QString& path) {
  return QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace

QString NextCsvField(QString& line) {
  const qsizetype comma = line.indexOf(QLatin1Char(','));
  QString field;
  if (comma < 0) {
    field = line;
    line.clear();
  } else {
    field = line.left(comma);
    line.remove(0, comma + 1);
  }
  return field;
}

double FileFieldNumber(QStringView field) {
  const qsizetype size = field.size();
  qsizetype i = 0;
  while (i < size && field[i] == QLatin1Char(' ')) ++i;

  const QStringView word = field.mid(i);
  if (word.compare(u"NAN", Qt::CaseInsensitive) == 0)
    return std::numeric_limits<double>::quiet_NaN();
  if (word.compare(u"INF", Qt::CaseInsensitive) == 0 ||
      word.compare(u"+INF", Qt::CaseInsensitive) == 0)
    return std::numeric_limits<double>::infinity();
  if (word.compare(u"-INF", Qt::CaseInsensitive) == 0)
    return -std::numeric_limits<double>::infinity();

  std::string text;
  if (i < size && (field[i] == QLatin1Char('+') || field[i] == QLatin1Char('-')))
    text += static_cast<char>(field[i++].unicode());
  int digits = 0;
  while (i < size && IsAsciiDigit(field[i])) {
    text += static_cast<char>(field[i++].unicode());
    ++digits;
  }
  if (i < size && field[i] == QLatin1Char('.')) {
    text += '.';
    ++i;
    while (i < size && IsAsciiDigit(field[i])) {
      text += static_cast<char>(field[i++].unicode());
      ++digits;
    }
  }
  if (digits == 0) return 0.0;
  if (i < size && (field[i] == QLatin1Char('e') || field[i] == QLatin1Char('E'))) {
    text += 'e';
    ++i;
    if (i < size && (field[i] == QLatin1Char('+') || field[i] == QLatin1Char('-')))
      text += static_cast<char>(field[i++].unicode());
    int exponentDigits = 0;
    while (i < size && IsAsciiDigit(field[i])) {
      text += static_cast<char>(field[i++].unicode());
      ++exponentDigits;
    }
    if (exponentDigits == 0) return 0.0;
  }
  while (i < size && field[i] == QLatin1Char(' ')) ++i;
  if (i != size) return 0.0;
  return DecimalTextToDouble(text);
}

double ReadCsvNumber(QString& line) { return FileFieldNumber(NextCsvField(line)); }

QStringList DecodeTransferLines(const QByteArray& bytes) {
  const QString text = DecodeText(bytes);
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
    lines.append(text.mid(start, i - start));
    if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.append(text.mid(start));
  return lines;
}

TransferFileContent ParseTransferLines(const QStringList& lines) {
  TransferFileContent content;

  // Empty lines at the very end of the file are not stage lines: a stray line
  // break after the last stage must not add a stage of zeros.
  qsizetype count = lines.size();
  while (count > 0 && TrimControls(lines[count - 1]).isEmpty()) --count;

  // Title lines, other text lines and blank lines above the numbers.
  qsizetype i = 0;
  QString line;
  for (; i < count; ++i) {
    line = TrimControls(lines[i]);
    if (!line.isEmpty() && IsHeaderStart(line[0])) break;
  }
  if (i >= count) return content;

  TransferTableData& table = content.table;
  for (int field = 0; field < int(FilterHeader::FileOrder.size()) && !line.isEmpty(); ++field)
    table[FilterHeader::FileOrder[field]] = ReadCsvNumber(line);

  int row = FirstStageRow;
  ++i;
  while (i < count && row < TableRows) {
    line = TrimControls(lines[i]);
    ++i;
    for (int column = 0; column < TableColumns && !line.isEmpty(); ++column)
      table[CellIndex(column, row)] = ReadCsvNumber(line);
    ++row;
  }
  content.tooManyStages = i < count;
  table[FilterHeader::N] = row - FirstStageRow;
  content.ok = true;
  return content;
}

TransferFileContent ReadTransferFile(const QString& path) {
  const std::optional<QByteArray> bytes = ReadRegularFile(path, MaxTransferFileBytes);
  if (!bytes) return {};
  return ParseTransferLines(DecodeTransferLines(*bytes));
}

QString NumberToFileText(double x) {
  if (std::isnan(x)) return QStringLiteral("NAN");
  if (std::isinf(x)) return x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (x == 0.0) return QStringLiteral("0");

  // d.dddddddddddddde[+-]xx: abs(x) rounded to 15 significant digits.
  char buffer[40];
  const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                       std::chars_format::scientific, 14);
  if (converted.ec != std::errc()) return {};
  std::string scientific(buffer, converted.ptr);
  if (scientific.ends_with("e+308") && std::isinf(DecimalTextToDouble(scientific))) {
    // Rounded up past the largest double, the text would read as infinity:
    // the digits are cut after the 15th instead (taken from 17 digits, which
    // near the largest double never carry into the 15th).
    const auto exact = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                     std::chars_format::scientific, 16);
    if (exact.ec != std::errc()) return {};
    const std::string longer(buffer, exact.ptr);
    const std::size_t e = longer.find('e');
    scientific = longer.substr(0, 16) + longer.substr(e);
  }
  const std::size_t e = scientific.find('e');
  std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int k = int(digits.size());
  // abs(x) = 0.d1d2...dk times 10 to the power exponent.
  const int exponent = std::atoi(scientific.c_str() + e + 1) + 1;

  std::string text = x < 0 ? "-" : "";
  if (exponent > 15 || exponent < -3) {
    text += digits[0];
    if (k > 1) text += '.' + digits.substr(1);
    text += 'E' + std::to_string(exponent - 1);
  } else if (exponent <= 0) {
    text += "0." + std::string(std::size_t(-exponent), '0') + digits;
  } else if (k <= exponent) {
    text += digits + std::string(std::size_t(exponent - k), '0');
  } else {
    text += digits.substr(0, std::size_t(exponent)) + '.' + digits.substr(std::size_t(exponent));
  }
  return QString::fromLatin1(text);
}

QByteArray TransferFileBytes(const TransferTableData& table) {
  // No text that begins with a sign or a digit reads as NaN: a header line
  // beginning with "NAN" would be lost, and the first stage line taken for it.
  if (std::isnan(table[FilterHeader::Order])) RaiseFloatError(FloatErrorKind::InvalidOperation);
  QByteArray bytes = "Order,Rtype,Ftype,fo|fc,fb,n,Ap,As,Ws\r\nType,H,fo|fa,Q,fn\r\n";
  bytes +=
      JoinedNumbers(table, FilterHeader::FileOrder.data(), int(FilterHeader::FileOrder.size()));
  // The table holds at most 30 stages; a larger n must not read past them.
  const int n = std::clamp(fp::RoundInt(table[FilterHeader::N]), 0, MaxStages);
  for (int stage = 1; stage <= n; ++stage) {
    const int row = stage + 1;
    int cells[TableColumns];
    for (int column = 0; column < TableColumns; ++column) cells[column] = CellIndex(column, row);
    bytes += JoinedNumbers(table, cells, TableColumns);
  }
  return bytes;
}

QString CompleteCsvExtension(const QString& path) {
  if (FileNamePart(path).contains(QLatin1Char('.'))) return path;
  return path + QStringLiteral(".csv");
}

bool SaveTransferFile(const QString& path, const TransferTableData& table) {
  QByteArray bytes;
  try {
    bytes = TransferFileBytes(table);
  } catch (const FloatError&) {
    return false;
  }
  return SaveFileSafely(path, bytes);
}

QString DialogFolderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return {};
  QString folder = path.left(slash);
  while (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  return folder.isEmpty() ? QStringLiteral("/") : folder;
}

bool IsTransferFileName(const QString& path) {
  const QStringView name = FileNamePart(path);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return false;
  const QStringView extension = name.mid(dot);
  if (extension.size() != 4) return false;
  QString upper;
  for (QChar c : extension)
    upper += (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ? QChar(c.unicode() - 32) : c;
  return upper == QLatin1String(".CSV");
}
