#include "FuzzBodies.h"

#include "common/Common.h"
#include "common/OptionsFile.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "platform/FloatError.h"
#include "platform/Profile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace fuzz {
namespace {

const char* inputLabel = nullptr;

// Stops the process on a broken rule, naming the rule and the input.
#define FUZZ_CHECK(condition, ...)                                                        \
  do {                                                                                    \
    if (!(condition)) [[unlikely]] {                                                      \
      std::fprintf(stderr, "broken rule at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, "  " __VA_ARGS__);                                             \
      std::fprintf(stderr, "\n  input: %s\n", inputLabel ? inputLabel : "(generated)");   \
      std::abort();                                                                       \
    }                                                                                     \
  } while (false)

std::string Text(const QString& text) { return text.toStdString(); }

// ---- Transfer files

bool SameValue(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// What a table that was read must look like: n counts the stage rows, which
// are the only rows besides the header that may hold anything.
void CheckTableShape(const TransferFileContent& content) {
  const TransferTableData& table = content.table;
  if (!content.ok) {
    FUZZ_CHECK(!content.tooManyStages, "a failed read reports no stage count");
    for (int i = 0; i < TableCells; ++i) FUZZ_CHECK(table[i] == 0.0, "cell %d of a failed read", i);
    return;
  }
  const double n = table[FilterHeader::N];
  FUZZ_CHECK(n >= 0 && n <= MaxStages && n == std::floor(n), "n = %g", n);
  if (content.tooManyStages) FUZZ_CHECK(n == MaxStages, "n = %g with too many stages", n);
  for (int row = FirstStageRow + int(n); row < TableRows; ++row)
    for (int column = 0; column < TableColumns; ++column)
      FUZZ_CHECK(table[CellIndex(column, row)] == 0.0, "row %d beyond n = %g", row, n);
}

// Reads the bytes TransferFileBytes gave; they must read without a fault.
TransferFileContent ReadWritten(const QByteArray& written) {
  FUZZ_CHECK(written.endsWith("\r\n"), "the file ends with CR LF");
  for (char c : written) FUZZ_CHECK(uchar(c) < 0x80, "the file is ASCII");
  const TransferFileContent back = ParseTransferLines(DecodeTransferLines(written));
  FUZZ_CHECK(back.ok, "a written file reads back:\n%s", written.constData());
  FUZZ_CHECK(!back.tooManyStages, "a written file holds at most 30 stages");
  CheckTableShape(back);
  return back;
}

// ---- Number text

// The scale of FormatEng's prefix letter, the last character of its text.
double PrefixScale(QChar letter) {
  switch (letter.unicode()) {
    case u'p':
      return 1e-12;
    case u'n':
      return 1e-9;
    case u'u':
      return 1e-6;
    case u'm':
      return 1e-3;
    case u' ':
      return 1.0;
    case u'k':
      return 1e3;
    case u'M':
      return 1e6;
    case u'G':
      return 1e9;
    case u'T':
      return 1e12;
    default:
      return 0.0;
  }
}

// The largest error of a number written with `decimals` decimals and read
// back: half a unit of the last decimal (of the mantissa's leading digit in
// the exponent form), and the 17 digits the formatters keep at most.
double RoundingBound(double magnitude, int decimals) {
  return 0.50001 * std::pow(10.0, -decimals) * std::max(1.0, magnitude) + 1e-15 * magnitude;
}

// ---- Options files

// A folder of this process for the options file the bytes become, on a
// memory file system where there is one: each input is written and saved a
// few times.
class ScratchFolder {
 public:
  ScratchFolder() {
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() && access("/dev/shm", W_OK) == 0
                             ? QStringLiteral("/dev/shm")
                             : QDir::tempPath();
    QByteArray pattern = QFile::encodeName(base + QStringLiteral("/kesto-fuzz-XXXXXX"));
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    path_ = QFile::decodeName(pattern);
  }
  ~ScratchFolder() { QDir(path_).removeRecursively(); }
  QString file(const char* name) const { return path_ + u'/' + QLatin1String(name); }

 private:
  QString path_;
};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  FUZZ_CHECK(file.open(QIODevice::ReadOnly), "the options file can be read");
  return file.readAll();
}

void SetFileBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file opens");
  FUZZ_CHECK(file.write(bytes) == bytes.size(), "the scratch file takes the bytes");
}

struct Probe {
  const char* section;
  const char* key;
};

// Keys of the options file and of files edited by hand; the dictionary has
// the same names, so that generated files hold them.
constexpr Probe OtherKeys[] = {
    {"Option", "Other"}, {"option", "dir2"}, {"Window", "Left"}, {"Print", "Margin"},
    {"Tail", "x"},       {"", "Dir"},        {"Extra", "k"},
};

QString ValueOf(const QString& path, const Probe& probe) {
  return ReadProfileString(path, QLatin1String(probe.section), QLatin1String(probe.key),
                           QStringLiteral("<missing>"));
}

}  // namespace

void SetInputLabel(const char* label) { inputLabel = label; }

void TransferFileInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const QStringList lines = DecodeTransferLines(bytes);
  for (const QString& line : lines)
    FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'), "a line holds no line break");

  const TransferFileContent first = ParseTransferLines(lines);
  CheckTableShape(first);
  if (!first.ok) return;

  QByteArray written;
  try {
    written = TransferFileBytes(first.table);
  } catch (const FloatError&) {
    FUZZ_CHECK(false, "a table that was read can be written");
  }
  const TransferFileContent second = ReadWritten(written);
  for (int i = 0; i < TableCells; ++i) {
    const double before = first.table[i];
    const double after = second.table[i];
    // Written with 15 digits: the same text, and no finite value turned into
    // an infinity or the other way round.
    FUZZ_CHECK(NumberToFileText(after) == NumberToFileText(before),
               "cell %d: %.17g read back as %.17g", i, before, after);
    FUZZ_CHECK(std::isnan(after) == std::isnan(before) && std::isinf(after) == std::isinf(before),
               "cell %d: %.17g read back as %.17g", i, before, after);
  }
  // The digits written are the digits read: a second round is exact.
  const QByteArray again = TransferFileBytes(second.table);
  FUZZ_CHECK(again == written, "a second write changes the file:\n%s\n%s", written.constData(),
             again.constData());
  const TransferFileContent third = ReadWritten(again);
  for (int i = 0; i < TableCells; ++i)
    FUZZ_CHECK(SameValue(third.table[i], second.table[i]), "cell %d changed on the second round",
               i);
}

void ParseEngInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return;
  const bool utf16 = data[0] & 1;
  const bool pad = data[0] & 2;
  const int width = data[1] % 48;
  const int decimals = data[2] % 24;
  data += 3;
  size -= 3;
  QString text;
  if (utf16) {
    text.resize(qsizetype(size / 2));
    for (qsizetype i = 0; i < text.size(); ++i)
      text[i] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));
  } else {
    text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  }

  const double x = ParseEng(text);
  FUZZ_CHECK(std::isnan(x) || std::isfinite(x), "ParseEng(\"%s\") = %g", Text(text).c_str(), x);

  const bool padBefore = PadToWidth;
  PadToWidth = pad;
  const QString eng = FormatEng(x, width, decimals);
  const QString fixed = FormatFixed(x, width, decimals);
  const QString grouped = FormatFixedGrouped(x, width, decimals);
  PadToWidth = padBefore;

  FUZZ_CHECK(!eng.isEmpty() && PrefixScale(eng.back()) != 0.0, "FormatEng(%.17g) = \"%s\"", x,
             Text(eng).c_str());
  if (std::isnan(x)) {
    FUZZ_CHECK(std::isnan(ParseEng(eng)) && std::isnan(ParseEng(fixed)),
               "a star field is no number");
    return;
  }
  if (pad) FUZZ_CHECK(fixed.size() >= width, "FormatFixed pads to %d", width);
  FUZZ_CHECK(grouped.size() >= width, "the grouped form always pads to %d", width);

  // What was written reads back, unless rounding the last digit up carried it
  // beyond the largest double.
  const double magnitude = std::fabs(x);
  if (magnitude > 1e307) return;
  const double fromFixed = ParseEng(fixed);
  const double fromGrouped = ParseEng(grouped);
  const double fromEng = ParseEng(eng);
  FUZZ_CHECK(std::fabs(fromFixed - x) <= RoundingBound(magnitude, decimals),
             "FormatFixed(%.17g, %d) = \"%s\" reads as %.17g", x, decimals, Text(fixed).c_str(),
             fromFixed);
  FUZZ_CHECK(fromGrouped == fromFixed, "FormatFixedGrouped(%.17g, %d) = \"%s\" reads as %.17g", x,
             decimals, Text(grouped).c_str(), fromGrouped);
  const double scale = PrefixScale(eng.back());
  const double mantissa = magnitude / scale;
  FUZZ_CHECK(
      std::fabs(fromEng - x) <= RoundingBound(mantissa, decimals) * scale + 1e-15 * magnitude,
      "FormatEng(%.17g, %d) = \"%s\" reads as %.17g", x, decimals, Text(eng).c_str(), fromEng);
}

void OptionsFileInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFolder folder;
  const QString ini = folder.file("kesto.ini");
  const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
  SetFileBytes(ini, original);

  StoredOptions options{QStringLiteral("/default"), (size & 1) != 0};
  FUZZ_CHECK(ReadOptionsFile(ini, options), "an existing options file is read");
  FUZZ_CHECK(options.dir.size() <= MaxOptionsDirLength, "Dir has %lld units",
             static_cast<long long>(options.dir.size()));
  FUZZ_CHECK(!options.dir.contains(u'\r') && !options.dir.contains(u'\n'), "Dir is one line");

  std::vector<QString> others;
  for (const Probe& probe : OtherKeys) others.push_back(ValueOf(ini, probe));

  // Closing the program writes what it read; starting again reads it back.
  const bool small = size <= std::size_t(MaxProfileFileBytes);
  const bool saved = WriteOptionsFile(ini, options);
  FUZZ_CHECK(saved == small, "saving %s", saved ? "succeeded" : "failed");
  if (!small) {
    FUZZ_CHECK(FileBytes(ini) == original, "a file too large to read is left alone");
    return;
  }
  const QByteArray written = FileBytes(ini);
  StoredOptions back{QStringLiteral("/other default"), !options.reverse};
  FUZZ_CHECK(ReadOptionsFile(ini, back), "the saved file is read");
  FUZZ_CHECK(back.dir == options.dir, "Dir \"%s\" read back as \"%s\"", Text(options.dir).c_str(),
             Text(back.dir).c_str());
  FUZZ_CHECK(back.reverse == options.reverse, "Reverse read back as %d", int(back.reverse));
  for (std::size_t i = 0; i < std::size(OtherKeys); ++i)
    FUZZ_CHECK(ValueOf(ini, OtherKeys[i]) == others[i], "[%s] %s was \"%s\", is \"%s\"",
               OtherKeys[i].section, OtherKeys[i].key, Text(others[i]).c_str(),
               Text(ValueOf(ini, OtherKeys[i])).c_str());

  // The encoding stays: the mark, and whole UTF-16 code units with an odd
  // last byte kept behind them.
  for (const char* mark : {"\xFF\xFE", "\xEF\xBB\xBF"})
    if (original.startsWith(mark))
      FUZZ_CHECK(written.startsWith(mark), "the mark %02x is kept", uchar(mark[0]));
  if (original.startsWith("\xFF\xFE"))
    FUZZ_CHECK(written.size() % 2 == original.size() % 2, "UTF-16 units are kept whole");

  // Writing the same values again changes nothing.
  FUZZ_CHECK(WriteOptionsFile(ini, options), "saving again");
  FUZZ_CHECK(FileBytes(ini) == written, "saving the same values again changed the file");

  // A new key in a new section leaves all the others as they were.
  FUZZ_CHECK(WriteProfileString(ini, QStringLiteral("Fuzz Added"), QStringLiteral("Key"),
                                QStringLiteral("value")),
             "adding a key");
  FUZZ_CHECK(ReadProfileString(ini, QStringLiteral("Fuzz Added"), QStringLiteral("Key"), {}) ==
                 QStringLiteral("value"),
             "the added key reads back");
  StoredOptions last;
  FUZZ_CHECK(ReadOptionsFile(ini, last), "the file is read after adding a key");
  FUZZ_CHECK(last.dir == options.dir && last.reverse == options.reverse,
             "adding a key changed the settings");
  for (std::size_t i = 0; i < std::size(OtherKeys); ++i)
    FUZZ_CHECK(ValueOf(ini, OtherKeys[i]) == others[i], "adding a key changed [%s] %s",
               OtherKeys[i].section, OtherKeys[i].key);
}

}  // namespace fuzz
