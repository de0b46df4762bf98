#include "editor/EditorCodes.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(EditorCodesTest, TextsTurnIntoCodesIgnoringLetterCase) {
  const struct {
    const QStringList& items;
    QString text;
    int code;
  } cases[] = {
      {FilterFormItems(), "LPF", 1},          {FilterFormItems(), "normalized lpf", 6},
      {FilterFormItems(), "OTHER", 7},        {FilterFormItems(), "", 0},
      {FilterFormItems(), " LPF", 0},         {FilterFormItems(), "LP", 0},
      {ResponseTypeItems(), "W-W", 1},        {ResponseTypeItems(), "bessel", 5},
      {ResponseTypeItems(), "Other", 6},      {ResponseTypeItems(), "Chebyshev", 0},
      {ElementTypeItems(), "1st-Ord LPF", 1}, {ElementTypeItems(), "2ND-ORD TZF", 6},
      {ElementTypeItems(), "2nd-Ord APF", 8}, {ElementTypeItems(), "2nd-Ord APF ", 0},
      {ElementTypeItems(), "LPF", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CodeOfText(c.items, c.text), c.code) << c.text.toStdString();
  }
  EXPECT_EQ(ElementTypePosition(QStringLiteral("1st-ord lpf")), 0);
  EXPECT_EQ(ElementTypePosition(QStringLiteral("2nd-Ord TZF")), 5);
  EXPECT_EQ(ElementTypePosition(QString()), -1);
}

TEST(EditorCodesTest, CodesOutsideTheListGiveTheEmptyText) {
  EXPECT_EQ(TextOfCode(FilterFormItems(), 6), QStringLiteral("Normalized LPF"));
  EXPECT_EQ(TextOfCode(ResponseTypeItems(), 2), QStringLiteral("T-W"));
  EXPECT_EQ(TextOfCode(ElementTypeItems(), 8), QStringLiteral("2nd-Ord APF"));
  for (int code : {0, -1, 8, 1000}) EXPECT_EQ(TextOfCode(FilterFormItems(), code), QString());
  EXPECT_EQ(TextOfCode(ResponseTypeItems(), 7), QString());
  EXPECT_EQ(TextOfCode(ElementTypeItems(), 9), QString());
}

TEST(EditorCodesTest, CellsRoundToCodesAndBrokenCellsNameNoItem) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  const struct {
    double cell;
    int code;
  } cases[] = {
      {0.0, 0},
      {-0.0, 0},
      {1.0, 1},
      {1.4, 1},
      {1.5, 2},
      {2.5, 2},
      {7.6, 8},
      {-1.0, -1},
      {nan, 0},
      {-nan, 0},
      {inf, 0},
      {-inf, 0},
      {1e300, 0},
      {-1e300, 0},
      {2147483647.0, 2147483647},
      {2147483647.4, 2147483647},
      {2147483648.0, 0},
      {-2147483648.0, -2147483647 - 1},
      {-2147483649.0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CodeOfCell(c.cell), c.code) << c.cell;
}

TEST(EditorCodesTest, TypesAndFormsSayWhichValuesTheyUse) {
  QString q, fn, listed;
  for (int code = 0; code <= 9; ++code) {
    q += ElementUsesQ(code) ? '1' : '0';
    fn += ElementUsesFn(code) ? '1' : '0';
    listed += IsListedElementType(code) ? '1' : '0';
  }
  EXPECT_EQ(q, QStringLiteral("0001111010"));
  EXPECT_EQ(fn, QStringLiteral("0000001000"));
  EXPECT_EQ(listed, QStringLiteral("0111111110"));
  QString corner, band;
  for (int form = 0; form <= 8; ++form) {
    corner += FilterFormHasCornerFrequency(form) ? '1' : '0';
    band += FilterFormHasBandwidth(form) ? '1' : '0';
  }
  EXPECT_EQ(corner, QStringLiteral("011000100"));
  EXPECT_EQ(band, QStringLiteral("000111010"));
}

}  // namespace
