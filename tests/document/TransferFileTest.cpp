#include "document/TransferFile.h"

#include "platform/FloatError.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

#include <sys/stat.h>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

QString Fixture(const char* name) {
  return QStringLiteral(KESTO_TEST_DATA_DIR "/transfer/") + QLatin1String(name);
}

double Cell(const TransferTableData& table, int column, int row) {
  return table[CellIndex(column, row)];
}

// Same value, NaN matching NaN.
bool SameNumber(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// The filter of plain-three-stages.csv: a 5th-order Butterworth low-pass.
TransferTableData ThreeStageTable() {
  TransferTableData table{};
  const double header[9] = {5, 1, 1, 1000, 0, 3, 3, 40, 2};
  for (int i = 0; i < 9; ++i) table[FilterHeader::FileOrder[i]] = header[i];
  const double stages[3][5] = {
      {1, 1, 1000, 0, 0}, {3, 1, 1000, 0.618033988749895, 0}, {3, 1, 1000, 1.61803398874989, 0}};
  for (int s = 0; s < 3; ++s)
    for (int c = 0; c < 5; ++c) table[CellIndex(c, s + 2)] = stages[s][c];
  return table;
}

}  // namespace

// ---- Fields and numbers

TEST(NextCsvFieldTest, CutsAtTheFirstCommaAndConsumesIt) {
  const struct {
    const char* line;
    const char* field;
    const char* rest;
  } cases[] = {
      {"1,2,3", "1", "2,3"}, {"abc", "abc", ""},      {",2", "", "2"}, {"1,", "1", ""},
      {"", "", ""},          {" a , b", " a ", " b"}, {",,", "", ","},
  };
  for (const auto& c : cases) {
    QString line = QString::fromLatin1(c.line);
    EXPECT_EQ(NextCsvField(line), QLatin1String(c.field)) << c.line;
    EXPECT_EQ(line, QLatin1String(c.rest)) << c.line;
  }
}

TEST(FileFieldNumberTest, FollowsTheFileNumberSyntax) {
  const struct {
    const char* field;
    double value;
  } cases[] = {
      {"1", 1},
      {" 1.5 ", 1.5},
      {"   -2.25", -2.25},
      {"+7", 7},
      {"1e3", 1000},
      {"1E3", 1000},
      {"-2.5E-3", -0.0025},
      {"1e+2", 100},
      {"5.", 5},
      {".5", 0.5},
      {"5.e1", 50},
      {"007", 7},
      {"0.333333333333333", 0.333333333333333},
      {"1e400", Inf},
      {"-1e400", -Inf},
      {"1e-400", 0},
      // Not numbers: 0.
      {"", 0},
      {"   ", 0},
      {".", 0},
      {"+", 0},
      {"-", 0},
      {"+.", 0},
      {"1.5k", 0},
      {"10k", 0},
      {"abc", 0},
      {"12abc", 0},
      {"1e", 0},
      {"1e+", 0},
      {"e3", 0},
      {"- 5", 0},
      {"1 000", 0},
      {"1.2.3", 0},
      {"0x10", 0},
      {"\t1", 0},
      {"1\t", 0},
      {"1\t2", 0},
      {"1;", 0},
      {"--1", 0},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(SameNumber(FileFieldNumber(QString::fromLatin1(c.field)), c.value))
        << '"' << c.field << "\" gave " << FileFieldNumber(QString::fromLatin1(c.field));
}

TEST(FileFieldNumberTest, ReadsTheWordsForNaNAndInfinities) {
  const struct {
    const char* field;
    double value;
  } cases[] = {
      {"NAN", NaN},
      {"nan", NaN},
      {"  NaN", NaN},
      {"INF", Inf},
      {"inf", Inf},
      {"+Inf", Inf},
      {"-INF", -Inf},
      {" -iNf", -Inf},
      // No spaces after a word, no signed NaN, no longer words.
      {"NAN ", 0},
      {"INF ", 0},
      {"-NAN", 0},
      {"+NAN", 0},
      {"INFINITY", 0},
      {"NA", 0},
      {"- INF", 0},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(SameNumber(FileFieldNumber(QString::fromLatin1(c.field)), c.value)) << c.field;
}

TEST(FileFieldNumberTest, TakesOnlyAsciiDigitsAndThePeriod) {
  EXPECT_EQ(FileFieldNumber(u"１"), 0.0);       // full-width digit
  EXPECT_EQ(FileFieldNumber(u"1,5"), 0.0);      // a comma is never a decimal separator here
  EXPECT_EQ(FileFieldNumber(u"1\u00A0"), 0.0);  // no-break space is no space
}

TEST(ReadCsvNumberTest, ReadsFieldAfterFieldAndNeverFails) {
  QString line = QStringLiteral("1.5,abc,,-2e1");
  EXPECT_EQ(ReadCsvNumber(line), 1.5);
  EXPECT_EQ(ReadCsvNumber(line), 0.0);
  EXPECT_EQ(ReadCsvNumber(line), 0.0);
  EXPECT_EQ(ReadCsvNumber(line), -20.0);
  EXPECT_TRUE(line.isEmpty());
  EXPECT_EQ(ReadCsvNumber(line), 0.0);
}

// ---- Decoding and lines

TEST(DecodeTransferLinesTest, SplitsAtEveryKindOfLineBreak) {
  const struct {
    QByteArray bytes;
    QStringList lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\n", {"a"}},
      {"a\r", {"a"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeTransferLines(c.bytes), c.lines) << c.bytes.toStdString();
}

TEST(DecodeTransferLinesTest, TestsTheMarksThenUtf8ThenLatin1) {
  const struct {
    QByteArray bytes;
    QString first;
  } cases[] = {
      {QByteArray("\xEF\xBB\xBF"
                  "1,2\r\n"),
       "1,2"},
      {QByteArray("\xFF\xFE"
                  "1\0,\0"
                  "2\0",
                  8),
       "1,2"},
      {QByteArray("\xFE\xFF\0"
                  "1\0,\0"
                  "2",
                  8),
       "1,2"},
      {QByteArray("\xC3\xA9t\xC3\xA9"), QString::fromUtf8("été")},    // valid UTF-8
      {QByteArray("\xE9t\xE9"), QString::fromLatin1("\xE9t\xE9")},    // not UTF-8
      {QByteArray("ok\xE3\x81"), QString::fromLatin1("ok\xE3\x81")},  // cut-off sequence
      {QByteArray("\xEF\xBB"), QString::fromLatin1("\xEF\xBB")},      // half a mark
  };
  for (const auto& c : cases) {
    const QStringList lines = DecodeTransferLines(c.bytes);
    ASSERT_FALSE(lines.isEmpty()) << c.bytes.toHex().toStdString();
    EXPECT_EQ(lines.first(), c.first) << c.bytes.toHex().toStdString();
  }
  // UTF-16 line breaks are UTF-16 characters.
  EXPECT_EQ(DecodeTransferLines(QByteArray("\xFF\xFE"
                                           "a\0\r\0\n\0b\0",
                                           10)),
            QStringList({"a", "b"}));
}

// ---- Reading files

TEST(ReadTransferFileTest, ReadsTheFixtureFilesAsTheFormatSays) {
  const TransferTableData threeStages = ThreeStageTable();
  const struct {
    const char* file;
    bool tooMany;
    int n;
  } sameAsThreeStages[] = {
      {"plain-three-stages.csv", false, 3},  {"utf8-mark.csv", false, 3},
      {"utf16le-mark.csv", false, 3},        {"utf16be-mark.csv", false, 3},
      {"final-empty-line.csv", false, 3},    {"final-empty-lines-with-spaces.csv", false, 3},
      {"no-final-line-break.csv", false, 3}, {"lf-line-breaks.csv", false, 3},
      {"cr-line-breaks.csv", false, 3},      {"latin1-title-without-mark.csv", false, 3},
  };
  for (const auto& c : sameAsThreeStages) {
    const TransferFileContent content = ReadTransferFile(Fixture(c.file));
    EXPECT_TRUE(content.ok) << c.file;
    EXPECT_EQ(content.tooManyStages, c.tooMany) << c.file;
    EXPECT_EQ(content.table, threeStages) << c.file;
  }
}

TEST(ReadTransferFileTest, FilesWithoutHeaderLineFail) {
  for (const char* file :
       {"title-lines-only.csv", "empty-file.csv", "only-blank-lines.csv", "no-such-file.csv"}) {
    const TransferFileContent content = ReadTransferFile(Fixture(file));
    EXPECT_FALSE(content.ok) << file;
    EXPECT_FALSE(content.tooManyStages) << file;
    EXPECT_EQ(content.table, TransferTableData{}) << file;
  }
  EXPECT_FALSE(ReadTransferFile(QString()).ok);
  EXPECT_FALSE(ReadTransferFile(QStringLiteral(KESTO_TEST_DATA_DIR)).ok);  // a folder
}

TEST(ReadTransferFileTest, OnlyRegularFilesOfAtMostOneMebibyteAreRead) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A pipe without a writer and an endless device once hung the reader or
  // filled the memory: neither is a file to read.
  const QString pipe = dir.filePath("pipe.csv");
  ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  EXPECT_FALSE(ReadTransferFile(pipe).ok);
  EXPECT_FALSE(ReadTransferFile(QStringLiteral("/dev/zero")).ok);
  EXPECT_FALSE(ReadTransferFile(QStringLiteral("/dev/null")).ok);
  const QString link = dir.filePath("zero.csv");
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), link));
  EXPECT_FALSE(ReadTransferFile(link).ok);

  // Up to the limit the file is read; one byte more and it is not.
  const QByteArray header = "5,1,1,1000,0,0,3,40,2\r\n";
  QByteArray bytes = header + QByteArray(MaxTransferFileBytes - header.size(), ' ');
  const QString largest = dir.filePath("largest.csv");
  ASSERT_TRUE(WriteBytes(largest, bytes));
  const TransferFileContent content = ReadTransferFile(largest);
  EXPECT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::FoFc], 1000.0);
  const QString tooLarge = dir.filePath("too-large.csv");
  ASSERT_TRUE(WriteBytes(tooLarge, bytes + ' '));
  EXPECT_FALSE(ReadTransferFile(tooLarge).ok);

  // A symbolic link to a regular file is read as the file.
  const QString toPlain = dir.filePath("plain-link.csv");
  ASSERT_TRUE(QFile::link(Fixture("plain-three-stages.csv"), toPlain));
  EXPECT_EQ(ReadTransferFile(toPlain).table,
            ReadTransferFile(Fixture("plain-three-stages.csv")).table);
}

TEST(ReadTransferFileTest, HeaderOnlyGivesNoStages) {
  const TransferFileContent content = ReadTransferFile(Fixture("header-only.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::N], 0.0);
  EXPECT_EQ(content.table[FilterHeader::FoFc], 1000.0);
}

TEST(ReadTransferFileTest, NCountsTheStageLinesNotTheHeaderField) {
  const TransferFileContent content =
      ReadTransferFile(Fixture("header-n-says-5-with-two-stages.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::N], 2.0);
  EXPECT_EQ(content.table[FilterHeader::Order], 4.0);
  EXPECT_EQ(Cell(content.table, TransferElement::Type, 3), 3.0);
  EXPECT_EQ(Cell(content.table, TransferElement::Type, 4), 0.0);
}

TEST(ReadTransferFileTest, BlankLineBetweenStagesIsAStageOfZeros) {
  const TransferFileContent content = ReadTransferFile(Fixture("blank-line-between-stages.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::N], 3.0);
  EXPECT_EQ(Cell(content.table, TransferElement::Type, 2), 1.0);
  for (int column = 0; column < TableColumns; ++column)
    EXPECT_EQ(Cell(content.table, column, 3), 0.0);
  EXPECT_EQ(Cell(content.table, TransferElement::Q, 4), 0.618033988749895);
}

TEST(ReadTransferFileTest, ThirtyStagesAtMost) {
  const struct {
    const char* file;
    bool tooMany;
  } cases[] = {
      {"stage-lines-30.csv", false},
      {"stage-lines-30-then-empty-lines.csv", false},
      {"stage-lines-31.csv", true},
  };
  for (const auto& c : cases) {
    const TransferFileContent content = ReadTransferFile(Fixture(c.file));
    ASSERT_TRUE(content.ok) << c.file;
    EXPECT_EQ(content.tooManyStages, c.tooMany) << c.file;
    EXPECT_EQ(content.table[FilterHeader::N], 30.0) << c.file;
    EXPECT_EQ(Cell(content.table, TransferElement::FoFa, 2), 100.0) << c.file;
    EXPECT_EQ(Cell(content.table, TransferElement::FoFa, 31), 3000.0) << c.file;
  }
}

TEST(ReadTransferFileTest, OddFieldsReadAsZero) {
  const TransferFileContent content = ReadTransferFile(Fixture("odd-number-fields.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::N], 1.0);
  const double expected[5] = {1000, 1.5, 0, 0, 0};  // 1e3, " 1.5 ", 1.5k, abc, a tab inside
  for (int column = 0; column < 5; ++column)
    EXPECT_EQ(Cell(content.table, column, 2), expected[column]) << column;
}

TEST(ReadTransferFileTest, WordsForNaNAndInfinitiesInStages) {
  const TransferFileContent content = ReadTransferFile(Fixture("lowercase-nan-and-inf.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_TRUE(std::isnan(Cell(content.table, 0, 2)));
  EXPECT_EQ(Cell(content.table, 1, 2), Inf);
  EXPECT_EQ(Cell(content.table, 2, 2), 0.0);  // "NaN " has a space after the word
  EXPECT_EQ(Cell(content.table, 3, 2), -Inf);
  EXPECT_EQ(Cell(content.table, 4, 2), Inf);
}

TEST(ReadTransferFileTest, HeaderLineMustBeginWithSignOrDigit) {
  const TransferFileContent content = ReadTransferFile(Fixture("header-starting-with-period.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::Order], -1.0);
  EXPECT_EQ(content.table[FilterHeader::FoFc], 2000.0);
  EXPECT_EQ(content.table[FilterHeader::N], 1.0);

  const TransferFileContent text =
      ReadTransferFile(Fixture("text-lines-and-blanks-above-header.csv"));
  ASSERT_TRUE(text.ok);
  EXPECT_EQ(text.table[FilterHeader::Order], 5.0);
  EXPECT_EQ(text.table[FilterHeader::N], 1.0);
}

TEST(ReadTransferFileTest, ExtraFieldsAreIgnoredAndMissingOnesAreZero) {
  const TransferFileContent content = ReadTransferFile(Fixture("extra-and-missing-fields.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::Ws], 2.0);
  EXPECT_EQ(Cell(content.table, 4, 1), 0.0);  // the 10th header field goes nowhere
  EXPECT_EQ(content.table[FilterHeader::N], 3.0);
  const double rows[3][5] = {{1, 2, 3, 4, 5}, {3, 1, 0, 0, 0}, {3, 1, 1000, 0, 0}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(Cell(content.table, c, r + 2), rows[r][c]);
  for (int r = 5; r < TableRows; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(Cell(content.table, c, r), 0.0);
}

TEST(ReadTransferFileTest, ReadingNeverTouchesTheDocument) {
  TransferTable.fill(7.0);
  CurrentFile = QStringLiteral("/previous.csv");
  EXPECT_FALSE(ReadTransferFile(Fixture("no-such-file.csv")).ok);
  EXPECT_TRUE(ReadTransferFile(Fixture("plain-three-stages.csv")).ok);
  for (double cell : TransferTable) EXPECT_EQ(cell, 7.0);
  EXPECT_EQ(CurrentFile, QStringLiteral("/previous.csv"));
  ClearTransferTable();
  CurrentFile.clear();
}

TEST(ReadTransferFileTest, StageWithZeroFrequencyIsReadAsItStands) {
  const TransferFileContent content = ReadTransferFile(Fixture("stage-with-zero-frequency.csv"));
  ASSERT_TRUE(content.ok);
  EXPECT_EQ(content.table[FilterHeader::N], 1.0);
  EXPECT_EQ(Cell(content.table, TransferElement::FoFa, 2), 0.0);
}

TEST(ReadTransferFileTest, LongPathsAreFine) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString folder = dir.path();
  while (folder.size() < 400) folder += QStringLiteral("/a-rather-long-folder-name");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = folder + QStringLiteral("/filter.csv");
  ASSERT_TRUE(WriteBytes(path, ReadBytes(Fixture("plain-three-stages.csv"))));
  EXPECT_TRUE(ReadTransferFile(path).ok);
}

// ---- Writing

TEST(NumberToFileTextTest, ShortestFormWithFifteenDigits) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {1, "1"},
      {0.5, "0.5"},
      {1000, "1000"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.000015, "1.5E-5"},
      {123456789012345, "123456789012345"},
      {1e15, "1E15"},
      {2.5e20, "2.5E20"},
      {-40, "-40"},
      {0, "0"},
      {-0.0, "0"},
      {NaN, "NAN"},
      {Inf, "INF"},
      {-Inf, "-INF"},
      {0.00015, "0.00015"},
      {0.001, "0.001"},
      {100000000000000, "100000000000000"},
      {999999999999999.4, "999999999999999"},
      {9999999999999999.0, "1E16"},
      {12345678901234567.0, "1.23456789012346E16"},
      {123.456, "123.456"},
      {-0.618033988749895, "-0.618033988749895"},
      {1.61803398874989485, "1.61803398874989"},
      {6.283185307179586, "6.28318530717959"},
      {1.23e-10, "1.23E-10"},
      {-4e-5, "-4E-5"},
      {1e100, "1E100"},
      // Rounded up, the 15 digits of the largest doubles would read back as
      // infinity: they are cut instead.
      {std::numeric_limits<double>::max(), "1.79769313486231E308"},
      {-std::numeric_limits<double>::max(), "-1.79769313486231E308"},
      {1.797693134862315e308, "1.79769313486231E308"},
      {1.797693134862314e308, "1.79769313486231E308"},
      {1.79769313486231e308, "1.79769313486231E308"},
      {1.7976931348623e308, "1.7976931348623E308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {0.1 + 0.2, "0.3"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberToFileText(c.value), QLatin1String(c.text)) << c.text;
}

TEST(NumberToFileTextTest, EveryFiniteValueReadsBackFinite) {
  const double largest = std::numeric_limits<double>::max();
  for (double x : {largest, -largest, std::nextafter(largest, 0.0), 1.797693134862315e308, 1e308,
                   std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min()}) {
    const QString text = NumberToFileText(x);
    const double back = FileFieldNumber(text);
    EXPECT_TRUE(std::isfinite(back)) << text.toStdString();
    EXPECT_EQ(NumberToFileText(back), text);
    EXPECT_LE(std::abs(back - x), 1e-14 * std::abs(x)) << text.toStdString();
  }
}

TEST(TransferFileBytesTest, WritesTheExactFileText) {
  const QByteArray expected =
      "Order,Rtype,Ftype,fo|fc,fb,n,Ap,As,Ws\r\n"
      "Type,H,fo|fa,Q,fn\r\n"
      "5,1,1,1000,0,3,3,40,2\r\n"
      "1,1,1000,0,0\r\n"
      "3,1,1000,0.618033988749895,0\r\n"
      "3,1,1000,1.61803398874989,0\r\n";
  EXPECT_EQ(TransferFileBytes(ThreeStageTable()), expected);
  EXPECT_EQ(ReadBytes(Fixture("plain-three-stages.csv")), expected);
}

TEST(TransferFileBytesTest, NoStagesGiveThreeLines) {
  TransferTableData table{};
  table[FilterHeader::FoFc] = 2.5e20;
  table[FilterHeader::Ap] = 1.0 / 3;
  table[CellIndex(0, 2)] = 3;  // beyond n: not written
  EXPECT_EQ(TransferFileBytes(table), QByteArray("Order,Rtype,Ftype,fo|fc,fb,n,Ap,As,Ws\r\n"
                                                 "Type,H,fo|fa,Q,fn\r\n"
                                                 "0,0,0,2.5E20,0,0,0.333333333333333,0,0\r\n"));
}

TEST(TransferFileBytesTest, StageCountIsRoundedAndKeptWithinTheTable) {
  const struct {
    double n;
    int lines;
  } cases[] = {{2.5, 2 + 3}, {3.5, 4 + 3}, {-1, 3}, {31, 30 + 3}, {1e9, 30 + 3}};
  for (const auto& c : cases) {
    TransferTableData table{};
    table[FilterHeader::N] = c.n;
    EXPECT_EQ(TransferFileBytes(table).count("\r\n"), c.lines) << c.n;
  }
  TransferTableData table{};
  table[FilterHeader::N] = NaN;
  EXPECT_THROW(TransferFileBytes(table), FloatError);
}

TEST(TransferFileBytesTest, ReadsBackIntoTheSameTable) {
  TransferTableData table{};
  const double header[9] = {7, 2, 3, 1234.5, 1.0 / 7, 4, 0.5, -60, 2.75};
  for (int i = 0; i < 9; ++i) table[FilterHeader::FileOrder[i]] = header[i];
  for (int row = 2; row < 6; ++row)
    for (int column = 0; column < 5; ++column)
      table[CellIndex(column, row)] = column == 0 ? row + 1 : std::pow(-1.7, row) / (column + 0.3);
  table[CellIndex(TransferElement::Fn, 5)] = NaN;

  const TransferFileContent back =
      ParseTransferLines(DecodeTransferLines(TransferFileBytes(table)));
  ASSERT_TRUE(back.ok);
  EXPECT_FALSE(back.tooManyStages);
  for (int i = 0; i < TableCells; ++i) {
    // Equal up to the 15 digits written: the text of both is the same.
    EXPECT_EQ(NumberToFileText(back.table[i]), NumberToFileText(table[i])) << i;
    if (!std::isnan(table[i])) {
      EXPECT_LE(std::abs(back.table[i] - table[i]), 1e-14 * std::abs(table[i])) << i;
    }
  }
  // A second round trip is exact.
  EXPECT_EQ(TransferFileBytes(back.table), TransferFileBytes(table));
}

TEST(TransferFileBytesTest, InfinitiesCarryTheirSignSoTheHeaderLineIsFoundAgain) {
  // An infinite Order once came out as "INF": the header line no longer began
  // with a sign or a digit, and the first stage line was read as the header.
  TransferTableData table{};
  table[FilterHeader::Order] = Inf;
  table[FilterHeader::Rtype] = NaN;
  table[FilterHeader::FoFc] = -Inf;
  table[FilterHeader::Ws] = std::numeric_limits<double>::max();
  table[FilterHeader::N] = 2;
  const double stages[2][5] = {{Inf, NaN, 1000, -Inf, 0}, {NaN, 1, Inf, 0.5, NaN}};
  for (int s = 0; s < 2; ++s)
    for (int c = 0; c < 5; ++c) table[CellIndex(c, s + 2)] = stages[s][c];

  const QByteArray bytes = TransferFileBytes(table);
  EXPECT_EQ(bytes, QByteArray("Order,Rtype,Ftype,fo|fc,fb,n,Ap,As,Ws\r\n"
                              "Type,H,fo|fa,Q,fn\r\n"
                              "+INF,NAN,0,-INF,0,2,0,0,1.79769313486231E308\r\n"
                              "+INF,NAN,1000,-INF,0\r\n"
                              "NAN,1,+INF,0.5,NAN\r\n"));
  const TransferFileContent back = ParseTransferLines(DecodeTransferLines(bytes));
  ASSERT_TRUE(back.ok);
  for (int i = 0; i < TableCells; ++i) {
    if (i == FilterHeader::Ws) continue;  // the 15 digits written
    EXPECT_TRUE(SameNumber(back.table[i], table[i])) << i << ": " << back.table[i];
  }
  EXPECT_TRUE(std::isfinite(back.table[FilterHeader::Ws]));
  EXPECT_EQ(TransferFileBytes(back.table), bytes);
}

TEST(TransferFileBytesTest, ANaNOrderIsNotWritten) {
  // No text that begins with a sign or a digit reads as NaN, so a header line
  // starting with one could not be found again: the save fails instead, and
  // SaveTransferFile keeps the old file (see SaveTransferFileTest).
  TransferTableData table = ThreeStageTable();
  table[FilterHeader::Order] = NaN;
  EXPECT_THROW(TransferFileBytes(table), FloatError);
  table[FilterHeader::Order] = 5;
  table[FilterHeader::Rtype] = NaN;
  EXPECT_NO_THROW(TransferFileBytes(table));
}

TEST(CompleteCsvExtensionTest, AddsCsvOnlyToNamesWithoutAnyDot) {
  const struct {
    const char* path;
    const char* completed;
  } cases[] = {
      {"/home/u/filter1", "/home/u/filter1.csv"},
      {"/home/u/filter1.txt", "/home/u/filter1.txt"},
      {"/home/u/filter1.csv", "/home/u/filter1.csv"},
      {"/home/u/filter1.", "/home/u/filter1."},
      {"/home/u.v/filter1", "/home/u.v/filter1.csv"},
      {"/home/u/.filter", "/home/u/.filter"},
      {"filter1", "filter1.csv"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CompleteCsvExtension(QString::fromLatin1(c.path)), QLatin1String(c.completed));
}

class SaveTransferFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
  QTemporaryDir dir_;
};

TEST_F(SaveTransferFileTest, WritesTheFileText) {
  const QString target = path("filter.csv");
  ASSERT_TRUE(SaveTransferFile(target, ThreeStageTable()));
  EXPECT_EQ(ReadBytes(target), TransferFileBytes(ThreeStageTable()));
  const TransferFileContent back = ReadTransferFile(target);
  EXPECT_TRUE(back.ok);
  EXPECT_EQ(back.table, ThreeStageTable());
}

TEST_F(SaveTransferFileTest, AFailedSaveKeepsTheOldFile) {
  const QString target = path("filter.csv");
  const QByteArray old = "old content\r\n";
  ASSERT_TRUE(WriteBytes(target, old));
  ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0444), 0);
  EXPECT_FALSE(SaveTransferFile(target, ThreeStageTable()));
  EXPECT_EQ(ReadBytes(target), old);

  ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0644), 0);
  TransferTableData broken = ThreeStageTable();
  broken[FilterHeader::N] = NaN;
  EXPECT_FALSE(SaveTransferFile(target, broken));
  EXPECT_EQ(ReadBytes(target), old);
  broken = ThreeStageTable();
  broken[FilterHeader::Order] = NaN;
  EXPECT_FALSE(SaveTransferFile(target, broken));
  EXPECT_EQ(ReadBytes(target), old);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"filter.csv"});
}

// ---- Names and folders

TEST(DialogFolderOfTest, DropsTheFileNameAndTheFinalSeparator) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {
      {"/home/u/filter.csv", "/home/u"}, {"/filter.csv", "/"}, {"/home/u//filter.csv", "/home/u"},
      {"/home/u/", "/home/u"},           {"filter.csv", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DialogFolderOf(QString::fromLatin1(c.path)), QLatin1String(c.folder)) << c.path;
}

TEST(IsTransferFileNameTest, ExtensionCsvInAnyLetterCase) {
  const struct {
    const char* path;
    bool accepted;
  } cases[] = {
      {"/d/DATA.Csv", true},   {"/d/data.csv", true},  {"/d/a.b.CSV", true},
      {"/d/data.txt", false},  {"/d/data", false},     {"/d/data.csv.txt", false},
      {"/d/data.csvx", false}, {"/d.csv/data", false}, {"/d/.csv", true},
      {"/d/data.cs", false},   {"/d/data.", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsTransferFileName(QString::fromLatin1(c.path)), c.accepted) << c.path;
  EXPECT_FALSE(IsTransferFileName(QString::fromUtf8("/d/data.ｃｓｖ")));
}

// ---- The example filters

TEST(ExampleFilesTest, LoadCleanlyAndAreInTheWrittenFormat) {
  const QDir examples(QStringLiteral(KESTO_EXAMPLES_DIR));
  const QStringList files = examples.entryList({"*.csv"}, QDir::Files);
  ASSERT_GE(files.size(), 4);
  for (const QString& name : files) {
    const QString file = examples.filePath(name);
    const TransferFileContent content = ReadTransferFile(file);
    ASSERT_TRUE(content.ok) << name.toStdString();
    EXPECT_FALSE(content.tooManyStages) << name.toStdString();
    const int n = int(content.table[FilterHeader::N]);
    EXPECT_GE(n, 1) << name.toStdString();
    int order = 0;
    for (int row = 2; row < n + 2; ++row) {
      const int type = int(Cell(content.table, TransferElement::Type, row));
      EXPECT_GE(type, 1) << name.toStdString();
      EXPECT_LE(type, 8) << name.toStdString();
      EXPECT_GT(Cell(content.table, TransferElement::FoFa, row), 0.0) << name.toStdString();
      if (ElementOrder(type) == 2) {
        EXPECT_GT(Cell(content.table, TransferElement::Q, row), 0.0) << name.toStdString();
      }
      order += ElementOrder(type);
    }
    EXPECT_EQ(content.table[FilterHeader::Order], order) << name.toStdString();
    EXPECT_EQ(content.table[FilterHeader::N], n) << name.toStdString();
    EXPECT_GT(content.table[FilterHeader::FoFc], 0.0) << name.toStdString();
    EXPECT_EQ(TransferFileBytes(content.table), ReadBytes(file)) << name.toStdString();
  }
}
