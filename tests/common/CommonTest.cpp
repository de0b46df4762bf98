#include "common/Common.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

// Every test starts and ends with PadToWidth on, as the program does.
class NumberText : public ::testing::Test {
 protected:
  void SetUp() override { PadToWidth = true; }
  void TearDown() override { PadToWidth = true; }
};

struct FormatCase {
  double value;
  int width;
  int decimals;
  bool pad;  // state of PadToWidth during the call
  const char* expected;
};

using Formatter = QString (*)(double, int, int);

void CheckFormatCases(Formatter format, const std::vector<FormatCase>& cases) {
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << c.value << ", width " << c.width << ", decimals "
                                    << c.decimals << ", pad " << c.pad);
    PadToWidth = c.pad;
    const std::string actual = format(c.value, c.width, c.decimals).toStdString();
    PadToWidth = true;
    EXPECT_EQ(actual, c.expected);
  }
}

TEST_F(NumberText, FormatEngChoosesRowAndPads) {
  CheckFormatCases(FormatEng,
                   {
                       {1500, 8, 3, true, "  1.500k"},     {0.0047, 8, 3, true, "  4.700m"},
                       {0, 8, 3, true, "  0.000 "},        {-0.0, 8, 3, true, "  0.000 "},
                       {20, 8, 3, true, " 20.000 "},       {-2.2e6, 8, 3, true, " -2.200M"},
                       {4.7e-6, 8, 3, true, "  4.700u"},   {1e-9, 8, 3, true, "  1.000n"},
                       {1e-12, 8, 3, true, "  1.000p"},    {2.2e9, 8, 3, true, "  2.200G"},
                       {1e-15, 8, 3, true, "  0.001p"},    {1e-300, 8, 3, true, "  0.000p"},
                       {330e12, 8, 3, true, "330.000T"},   {100, 8, 4, true, "100.0000 "},
                       {-0.0001, 8, 3, true, "-100.000u"}, {123456, 10, 5, true, "123.45600k"},
                       {1500, 8, 3, false, "1.500k"},      {20, 5, 0, false, "20 "},
                       {kNaN, 8, 3, true, " ***** p"},     {kNaN, 8, 3, false, " ***** p"},
                       {kNaN, 1, 0, true, "  p"},
                   });
}

// A mantissa that would round to 1000 moves to the next row; the limit is
// 1000 - 0.499 x 10^-decimals (999.999501 with 3 decimals).
TEST_F(NumberText, FormatEngCarriesToNextRow) {
  CheckFormatCases(FormatEng, {
                                  {999.9996, 8, 3, true, "  1.000k"},
                                  {999.99951, 8, 3, true, "  1.000k"},
                                  {999.9994, 8, 3, true, "999.999 "},
                                  {-999.9996, 8, 3, true, " -1.000k"},
                                  {999999.7, 8, 3, true, "  1.000M"},
                                  {0.9999996, 8, 3, true, "  1.000 "},
                                  {999.9996e-12, 8, 3, true, "  1.000n"},
                                  {999.6, 5, 0, true, "   1k"},
                                  {999.4, 5, 0, true, " 999 "},
                                  {999.96, 6, 1, true, "  1.0k"},
                                  {999.94, 6, 1, true, "999.9 "},
                              });
}

// Beyond the "T" row there is no row to carry to: the mantissa grows.
TEST_F(NumberText, FormatEngStaysOnTopRowForHugeValues) {
  CheckFormatCases(FormatEng, {
                                  {999.9996e12, 8, 3, true, "1000.000T"},
                                  {1e15, 8, 3, true, "1000.000T"},
                                  {-2.5e16, 8, 3, true, "-25000.000T"},
                                  {2e29, 8, 3, true, "2.000E+17T"},
                                  {kMax, 8, 3, true, "1.798E+296T"},
                                  {kInf, 8, 3, true, "    INF "},
                                  {-kInf, 8, 3, true, "   -INF "},
                                  {kInf, 8, 3, false, "INF "},
                              });
}

// Every value from the "p" row to the "T" row fills the field exactly and
// reads back as the value it was written from.
TEST_F(NumberText, FormatEngFillsFieldAndReadsBack) {
  for (int tenths = -120; tenths < 150; ++tenths) {
    for (double sign : {1.0, -1.0}) {
      const double value = sign * std::pow(10.0, tenths / 10.0);
      const int width = sign > 0 ? 8 : 9;  // the minus sign takes one more place
      const QString text = FormatEng(value, width, 3);
      SCOPED_TRACE(testing::Message() << value << " -> \"" << text.toStdString() << "\"");
      EXPECT_EQ(text.size(), width);
      EXPECT_TRUE(NearlyEqual(ParseEng(text), value, 5e-4));
    }
  }
}

TEST_F(NumberText, FormatFixedRoundsHalvesAwayFromZero) {
  CheckFormatCases(FormatFixed, {
                                    {0.125, 8, 2, true, "    0.13"},
                                    {-0.125, 0, 2, true, "-0.13"},
                                    {2.675, 8, 2, true, "    2.67"},  // stored below 2.675
                                    {1.005, 0, 2, true, "1.00"},      // stored below 1.005
                                    {2.5, 0, 0, true, "3"},
                                    {-2.5, 3, 0, true, " -3"},
                                    {0.5, 0, 0, true, "1"},
                                    {0.49999999999999994, 0, 0, true, "0"},
                                    {-0.0005, 0, 3, true, "-0.001"},
                                    {9.9996, 0, 3, true, "10.000"},
                                    {99999.5, 0, 0, true, "100000"},
                                    {1500, 8, 3, true, "1500.000"},
                                    {-42, 0, 0, true, "-42"},
                                });
}

TEST_F(NumberText, FormatFixedWritesNoNegativeZero) {
  CheckFormatCases(FormatFixed, {
                                    {-0.0001, 8, 3, true, "   0.000"},
                                    {-0.0001, 8, 3, false, "0.000"},
                                    {-0.0004999, 0, 3, true, "0.000"},
                                    {-0.4, 0, 0, true, "0"},
                                    {-0.0, 0, 2, true, "0.00"},
                                    {-5e-324, 0, 3, true, "0.000"},
                                });
}

// The text keeps at most 17 significant digits of the 18-digit expansion;
// places behind them are "0".
TEST_F(NumberText, FormatFixedKeepsSeventeenSignificantDigits) {
  CheckFormatCases(FormatFixed, {
                                    {1234567890.123456789, 0, 10, true, "1234567890.1234567000"},
                                    {0.1, 0, 20, true, "0.10000000000000001000"},
                                    {1e-20, 0, 25, true, "0.0000000000000000000100000"},
                                    {1e16, 0, 3, true, "10000000000000000.000"},
                                    {99999999999999984.0, 0, 1, true, "99999999999999984.0"},
                                });
}

// From 1e17 on the text is one digit, the decimals and a signed exponent.
TEST_F(NumberText, FormatFixedWritesExponentFormForHugeValues) {
  CheckFormatCases(FormatFixed, {
                                    {1e17, 0, 3, true, "1.000E+17"},
                                    {1e17, 0, 0, true, "1E+17"},
                                    {-1.5e20, 12, 3, true, "  -1.500E+20"},
                                    {1.25e20, 0, 1, true, "1.3E+20"},
                                    {9.99996e20, 0, 3, true, "1.000E+21"},
                                    {kMax, 0, 3, true, "1.798E+308"},
                                    {1.5e20, 0, 20, true, "1.50000000000000000000E+20"},
                                    {kInf, 6, 2, true, "   INF"},
                                    {-kInf, 0, 0, true, "-INF"},
                                    {kInf, 6, 2, false, "INF"},
                                });
}

TEST_F(NumberText, FormatFixedFieldAndStars) {
  CheckFormatCases(FormatFixed, {
                                    {kNaN, 10, 5, true, " ******** "},
                                    {kNaN, 6, 1, false, " **** "},
                                    {kNaN, 3, 0, true, " * "},
                                    {kNaN, 2, 0, true, "  "},
                                    {kNaN, 1, 0, true, "  "},
                                    {kNaN, 0, 0, true, "  "},
                                    {123456.789, 5, 2, true, "123456.79"},  // never cut
                                    {0.125, 8, 2, false, "0.13"},
                                });
}

TEST_F(NumberText, FormatFixedGroupedInsertsCommas) {
  CheckFormatCases(FormatFixedGrouped,
                   {
                       {1234567.891, 10, 5, true, "1,234,567.89100"},
                       {-1234.5, 10, 2, true, " -1,234.50"},
                       {-999.6, 8, 0, true, "  -1,000"},
                       {12345678, 8, 0, true, "12,345,678"},
                       {123, 0, 0, true, "123"},
                       {-123, 0, 0, true, "-123"},
                       {-123.25, 0, 2, true, "-123.25"},
                       {1234, 0, 0, true, "1,234"},
                       {123456, 0, 0, true, "123,456"},
                       {-123456.5, 0, 1, true, "-123,456.5"},
                       {999.9996, 0, 3, true, "1,000.000"},
                       {0.5, 0, 3, true, "0.500"},
                       {-0.0001, 6, 3, true, " 0.000"},
                       {99999999999999984.0, 0, 0, true, "99,999,999,999,999,984"},
                   });
}

TEST_F(NumberText, FormatFixedGroupedAlwaysPads) {
  CheckFormatCases(FormatFixedGrouped, {
                                           {1234.5, 10, 1, false, "   1,234.5"},
                                           {kNaN, 10, 5, true, " ******** "},
                                           {kNaN, 10, 5, false, " ******** "},
                                           {1e17, 12, 3, true, "   1.000E+17"},
                                           {-kInf, 6, 0, false, "  -INF"},
                                       });
}

struct ParseCase {
  const char* text;  // UTF-8
  double expected;   // NaN: the text is no number
};

void CheckParseCases(const std::vector<ParseCase>& cases) {
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
    const double actual = ParseEng(QString::fromUtf8(c.text));
    if (std::isnan(c.expected)) {
      EXPECT_TRUE(std::isnan(actual)) << actual;
    } else {
      EXPECT_DOUBLE_EQ(actual, c.expected);
    }
  }
}

TEST_F(NumberText, ParseEngSuffixLetters) {
  CheckParseCases({
      {"10k", 1e4},     {"10 k", 1e4},     {"10K", 1e4},      {"10ｋ", 1e4},     {"10Ｋ", 1e4},
      {"10m", 0.01},    {"10ｍ", 0.01},    {"10M", 1e7},      {"10Ｍ", 1e7},     {"4.7u", 4.7e-6},
      {"4.7U", 4.7e-6}, {"4.7μ", 4.7e-6},  {"4.7ｕ", 4.7e-6}, {"4.7Ｕ", 4.7e-6}, {"1p", 1e-12},
      {"1P", 1e-12},    {"1ｐ", 1e-12},    {"1Ｐ", 1e-12},    {"1n", 1e-9},      {"1N", 1e-9},
      {"1ｎ", 1e-9},    {"1Ｎ", 1e-9},     {"2g", 2e9},       {"2G", 2e9},       {"2ｇ", 2e9},
      {"2Ｇ", 2e9},     {"3t", 3e12},      {"3T", 3e12},      {"3ｔ", 3e12},     {"3Ｔ", 3e12},
      {"-60m", -0.06},  {"1e-10p", 1e-22}, {"4.7µ", 4.7},  // the micro sign U+00B5 is no suffix
  });
}

TEST_F(NumberText, ParseEngLooksAtFirstSuffixCharacterOnly) {
  CheckParseCases({
      {"1.5 MHz", 1.5e6},
      {"10 k Hz", 1e4},
      {"2mV", 2e-3},
      {"5k3", 5e3},
      {"1Meg", 1e6},
      {"100Hz", 100},
      {"10 Ω", 10},
      {"0x10", 0},
  });
}

TEST_F(NumberText, ParseEngDropsCommasAndSpaces) {
  CheckParseCases({
      {"1,000", 1000},
      {" 2 200 ", 2200},
      {"1,5", 15},  // commas are always dropped, never a decimal separator
      {"1,234,567.891", 1234567.891},
      {"- 5", -5},
      {"\t10k\r\n", 1e4},
      {"10\tk", 1e4},     // a tab is not removed inside; the suffix is trimmed
      {"1\t0", 1},        // so the tab ends the number here
      {"10\u3000k", 10},  // the ideographic space is the suffix character
      {"\u300010", kNaN},
      {"", kNaN},
      {"   ", kNaN},
      {",", kNaN},
      {", ,", kNaN},
  });
}

TEST_F(NumberText, ParseEngNumberGrammar) {
  CheckParseCases({
      {"-60", -60},   {"+5", 5},       {".5", 0.5},        {"5.", 5},         {"-.5", -0.5},
      {"5.e3", 5000}, {"1E-3", 0.001}, {"1e+3", 1000},     {"1.5e3k", 1.5e6}, {"k", kNaN},
      {"abc", kNaN},  {"１０", kNaN},  {"2E", kNaN},       {"10-3", kNaN},    {"1.2.3", kNaN},
      {"-", kNaN},    {"+", kNaN},     {".", kNaN},        {"+-5", kNaN},     {"--5", kNaN},
      {"e5", kNaN},   {".e3", kNaN},   {"5e+", kNaN},      {"1e3.5", kNaN},   {"1Ek", kNaN},
      {"inf", kNaN},  {"nan", kNaN},   {"Infinity", kNaN},
  });
}

// Too large for a double is NaN, in the number and after the suffix; too small
// reads as the nearest double, zero or subnormal.
TEST_F(NumberText, ParseEngRange) {
  CheckParseCases({
      {"1e300T", kNaN},
      {"-1e300T", kNaN},
      {"1.7e308k", kNaN},
      {"1e309", kNaN},
      {"-1e309", kNaN},
      {"12345678901234567890e290", kNaN},
      {"1e99999999999999999999", kNaN},
      {"1e296T", 1e308},
      {"0.0000001e310", 1e303},
      {"1.7976931348623157e308", kMax},
      {"1e-400", 0},
      {"-1e-400", 0},
      {"0.001e-400", 0},
      {"1e-99999999999999999999", 0},
      {"0e99999999999999999999", 0},
      {"1000e-323", 1e-320},
  });
}

// "." is the separator in both directions, whatever the locale says.
TEST_F(NumberText, IgnoresLocale) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const std::string fixed = FormatFixed(1.5, 0, 2).toStdString();
  const std::string grouped = FormatFixedGrouped(1234.5, 0, 1).toStdString();
  const std::string eng = FormatEng(1500, 8, 3).toStdString();
  const double parsed = ParseEng(QStringLiteral("1.5k"));
  const double withComma = ParseEng(QStringLiteral("1,5"));
  QLocale::setDefault(previous);
  EXPECT_EQ(fixed, "1.50");
  EXPECT_EQ(grouped, "1,234.5");
  EXPECT_EQ(eng, "  1.500k");
  EXPECT_EQ(parsed, 1500);
  EXPECT_EQ(withComma, 15);
}

// What the formatters write, the reader takes back.
TEST_F(NumberText, FormattedTextReadsBack) {
  EXPECT_EQ(ParseEng(FormatFixed(1.5e20, 0, 3)), 1.5e20);
  EXPECT_EQ(ParseEng(FormatFixed(-2.25e100, 0, 2)), -2.25e100);
  EXPECT_EQ(ParseEng(FormatFixedGrouped(1234567.891, 12, 3)), 1234567.891);
  EXPECT_EQ(ParseEng(FormatFixedGrouped(-1234567.5, 12, 1)), -1234567.5);
  EXPECT_EQ(ParseEng(FormatEng(-2.2e6, 8, 3)), -2.2e6);
  EXPECT_EQ(ParseEng(FormatEng(4.7e-6, 8, 3)), 4.7e-6);
  EXPECT_TRUE(std::isnan(ParseEng(FormatEng(kNaN, 8, 3))));
  EXPECT_TRUE(std::isnan(ParseEng(FormatEng(kInf, 8, 3))));
}

}  // namespace
