// kesto-plot's option parsing and data writing, in-process.

#include "app/cli/PlotOptions.h"
#include "app/cli/ResponseCsv.h"

#include "TestSupport.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "platform/FloatError.h"
#include "plot/PlotState.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

QStringList Args(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* text : texts) list.append(QString::fromUtf8(text));
  return list;
}

}  // namespace

TEST(KestoPlotOptionsTest, AcceptedCommandLines) {
  {
    const ParsedPlotOptions p = ParsePlotOptions(Args({"f.csv"}));
    EXPECT_TRUE(p.error.isEmpty());
    EXPECT_EQ(p.options.file, QStringLiteral("f.csv"));
    EXPECT_TRUE(p.options.pngPath.isEmpty());
    EXPECT_TRUE(p.options.csvPath.isEmpty());
    EXPECT_FALSE(p.options.displayMode || p.options.selectedCurve || p.options.editSf);
  }
  {
    // Options before and after the file, both value forms, a value that
    // begins with "-", a later repetition winning.
    const ParsedPlotOptions p = ParsePlotOptions(Args({"-o",
                                                       "a.png",
                                                       "--lmin",
                                                       "-60",
                                                       "f.csv",
                                                       "--output=b.png",
                                                       "--csv",
                                                       "-",
                                                       "--delay",
                                                       "--linear",
                                                       "--mode=individual",
                                                       "--select",
                                                       "3",
                                                       "--fmax",
                                                       "20k",
                                                       "--dmax",
                                                       "10m",
                                                       "--fmin=1,000",
                                                       "--lmax",
                                                       "+5",
                                                       "--dmin",
                                                       "0"}));
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    const PlotOptions& o = p.options;
    EXPECT_EQ(o.file, QStringLiteral("f.csv"));
    EXPECT_EQ(o.pngPath, QStringLiteral("b.png"));
    EXPECT_EQ(o.csvPath, QStringLiteral("-"));
    EXPECT_TRUE(o.delayView);
    EXPECT_TRUE(o.linear);
    EXPECT_EQ(o.displayMode, ModeIndividual);
    EXPECT_EQ(o.selectedCurve, 3);
    EXPECT_EQ(o.editEf, QStringLiteral("20k"));
    EXPECT_EQ(o.editSf, QStringLiteral("1,000"));
    EXPECT_EQ(o.editMinL, QStringLiteral("-60"));
    EXPECT_EQ(o.editMaxL, QStringLiteral("+5"));
    EXPECT_EQ(o.editMinD, QStringLiteral("0"));
    EXPECT_EQ(o.editMaxD, QStringLiteral("10m"));
  }
  {
    // "--" ends the options: a file whose name begins with "-".
    const ParsedPlotOptions p = ParsePlotOptions(Args({"--linear", "--", "-odd.csv"}));
    EXPECT_TRUE(p.error.isEmpty());
    EXPECT_EQ(p.options.file, QStringLiteral("-odd.csv"));
  }
  {
    // --help wins over everything else, even a mistake.
    const ParsedPlotOptions p = ParsePlotOptions(Args({"--fmax", "x", "--help"}));
    EXPECT_TRUE(p.error.isEmpty());
    EXPECT_TRUE(p.options.help);
  }
}

TEST(KestoPlotOptionsTest, RefusedCommandLinesNameTheOption) {
  struct Case {
    QStringList arguments;
    const char* error;
  };
  const QList<Case> cases = {
      {Args({}), "伝達関数ファイルが指定されていません"},
      {Args({"a.csv", "b.csv"}), "伝達関数ファイルは一つだけ指定してください: \"b.csv\""},
      {Args({"f.csv", "--fmin", "abc"}), "--fmin: 数値として読めません: \"abc\""},
      {Args({"f.csv", "--fmax", "1.5.0k"}), "--fmax: 数値として読めません: \"1.5.0k\""},
      {Args({"f.csv", "--lmin", "１０"}), "--lmin: 数値として読めません: \"１０\""},
      {Args({"f.csv", "--lmax="}), "--lmax: 数値として読めません: \"\""},
      {Args({"f.csv", "--dmin", "2E"}), "--dmin: 数値として読めません: \"2E\""},
      {Args({"f.csv", "--dmax", "1e300T"}), "--dmax: 数値として読めません: \"1e300T\""},
      {Args({"f.csv", "--mode", "Total"}),
       "--mode: total, cumulative, individual のどれかを指定してください: \"Total\""},
      {Args({"f.csv", "--select", "31"}),
       "--select: 0 から 30 までの整数を指定してください: \"31\""},
      {Args({"f.csv", "--select", "1.0"}),
       "--select: 0 から 30 までの整数を指定してください: \"1.0\""},
      {Args({"f.csv", "--at", "1k;;5k"}), "--at: 周波数として読めません: \"\""},
      {Args({"f.csv", "--at", "1k;x"}), "--at: 周波数として読めません: \"x\""},
      {Args({"f.csv", "-o"}), "-o: 値がありません"},
      {Args({"f.csv", "--csv="}), "--csv: 出力ファイル名が空です"},
      {Args({"f.csv", "--delay=yes"}), "--delay: 値は指定できません"},
      {Args({"f.csv", "-x"}), "不明なオプションです: -x"},
      {Args({"f.csv", "-o", "-", "--csv", "-"}),
       "-o と --csv の両方に標準出力 (-) は指定できません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(u' ').toStdString());
    EXPECT_EQ(ParsePlotOptions(c.arguments).error, QString::fromUtf8(c.error));
  }
}

TEST(KestoPlotOptionsTest, FrequencyListsUseSemicolonsAndRepeatedOptions) {
  QString error;
  EXPECT_EQ(ParseFrequencyList(QStringLiteral("1k;2.5k; 10 k ;1000Hz;4.7u"), error),
            (QList<double>{1000, 2500, 10000, 1000, 4.7e-6}));
  EXPECT_TRUE(error.isEmpty());
  // The box syntax would read "1k,2k" as 1 kHz alone: a comma is refused.
  EXPECT_TRUE(ParseFrequencyList(QStringLiteral("1k,2k"), error).isEmpty());
  EXPECT_EQ(error,
            QStringLiteral("--at: 周波数の区切りは \";\" です (\",\" は使えません): \"1k,2k\""));
  const ParsedPlotOptions p =
      ParsePlotOptions(Args({"f.csv", "--at", "100;200", "--at=0", "--at", "1M"}));
  EXPECT_EQ(p.options.at, (QList<double>{100, 200, 0, 1e6}));
}

TEST(KestoPlotOptionsTest, OptionsGoIntoTheControlsAsTyped) {
  GraphControls controls;
  controls.editSf = QStringLiteral("100.0000 ");
  PlotOptions options;
  ApplyPlotOptions(options, controls);
  EXPECT_EQ(controls.editSf, QStringLiteral("100.0000 "));
  EXPECT_TRUE(controls.checkBoxLevel);
  EXPECT_TRUE(controls.checkBoxLog);
  EXPECT_EQ(controls.displayMode, ModeCumulative);

  options.editSf = QStringLiteral("50");
  options.editEf = QStringLiteral("20 k");
  options.editMinL = QStringLiteral("-80");
  options.editMaxL = QStringLiteral("5");
  options.editMinD = QStringLiteral("1m");
  options.editMaxD = QStringLiteral("3m");
  options.delayView = true;
  options.linear = true;
  options.displayMode = ModeTotal;
  ApplyPlotOptions(options, controls);
  EXPECT_EQ(controls.editSf, QStringLiteral("50"));
  EXPECT_EQ(controls.editEf, QStringLiteral("20 k"));
  EXPECT_EQ(controls.editMinL, QStringLiteral("-80"));
  EXPECT_EQ(controls.editMaxL, QStringLiteral("5"));
  EXPECT_EQ(controls.editMinD, QStringLiteral("1m"));
  EXPECT_EQ(controls.editMaxD, QStringLiteral("3m"));
  EXPECT_FALSE(controls.checkBoxLevel);
  EXPECT_FALSE(controls.checkBoxLog);
  EXPECT_EQ(controls.displayMode, ModeTotal);
}

TEST(KestoPlotOptionsTest, DataStopAtTheRowWhoseArithmeticFails) {
  ClearTransferTable();
  // A first-order low-pass and a first-order all-pass whose corner is 0 Hz:
  // every evaluation of the second divides by zero, except at 0 Hz where it
  // is 0 / 0.
  HeaderCell(FilterHeader::N) = 2;
  ElementCell(2, TransferElement::Type) = FirstOrderLpf;
  ElementCell(2, TransferElement::H) = 1;
  ElementCell(2, TransferElement::FoFa) = 1000;
  ElementCell(3, TransferElement::Type) = FirstOrderApf;
  ElementCell(3, TransferElement::H) = 1;

  QByteArray out;
  int rows = -1;
  EXPECT_THROW(AppendResponseCsv(out, {1000.0}, rows), FloatError);
  EXPECT_EQ(out, ResponseCsvHeader(2));
  EXPECT_EQ(rows, 0);

  ElementCell(3, TransferElement::FoFa) = 1000;
  out.clear();
  AppendResponseCsv(out, {0.0, 1000.0}, rows);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(out.count('\n'), 3);
  EXPECT_TRUE(out.startsWith(
      "frequency_hz,total_db,total_delay_s,stage1_db,stage1_delay_s,stage2_db,stage2_delay_s\n"
      "0,0,"));
  ClearTransferTable();
}

TEST(KestoPlotOptionsTest, ThePlotColumnsOfTheStartUpAxis) {
  ResetPlotState();
  PlotState.PlotWidth = 696;
  PlotState.LogScale = true;
  PlotState.FreqStart = 100;
  PlotState.FreqEnd = 10000;
  const QList<double> f = PlotColumnFrequencies();
  ASSERT_EQ(f.size(), 697);
  EXPECT_DOUBLE_EQ(f.front(), 100.0);
  EXPECT_TRUE(NearlyEqual(f[348], 1000.0, 1e-12));
  EXPECT_TRUE(NearlyEqual(f.back(), 10000.0, 1e-12));
  PlotState.FreqEnd = 0;
  EXPECT_THROW(PlotColumnFrequencies(), FloatError);
  ResetPlotState();
}

TEST(KestoPlotOptionsTest, DataNumbersAreTheTransferFilesNumbers) {
  QList<double> values = {0.0,
                          -0.0,
                          1.0,
                          -1.5,
                          1000.0,
                          0.001,
                          0.000999999999999999,
                          9.999999999999995e-4,
                          1e-4,
                          1e15,
                          1e16,
                          999999999999999.4,
                          999999999999999.6,
                          123456789012345678.0,
                          1.0 / 3.0,
                          -999.99,
                          4.9e-324,
                          2.2250738585072014e-308,
                          1.7976931348623157e308,
                          -1.7976931348623155e308,
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
  // Every exponent, and doubles from random bit patterns.
  for (int e = -330; e <= 310; ++e) values.append(std::pow(10.0, e) * 1.2345678901234567);
  std::mt19937_64 random(20261210);
  for (int i = 0; i < 20000; ++i) values.append(std::bit_cast<double>(random()));
  for (int i = 0; i < 20000; ++i)
    values.append(double(random() % 100000000) * std::pow(10.0, int(random() % 40) - 20));
  for (const double x : values) {
    QByteArray text;
    AppendFileNumber(text, x);
    ASSERT_EQ(text, NumberToFileText(x).toLatin1()) << x;
  }
}
