#pragma once

#include "document/TransferTable.h"
#include "platform/Canvas.h"
#include "platform/FloatError.h"
#include "plot/Axes.h"
#include "plot/PlotState.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <vector>

namespace plottest {

constexpr int GraphWidth = 766;
constexpr int GraphHeight = 434;
constexpr ColorWord Grey = 0xA0A0A0;
constexpr int LabelTop = 408;  // top of the frequency labels on the standard image

using Stage = StageValues;

// Fresh globals for every test: an empty table and the start-up plot state.
class PlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTransferTable();
    ResetPlotState();
  }
  void TearDown() override {
    ClearTransferTable();
    ResetPlotState();
  }
};

// Whether `text` stands with its top-left corner at (left, top), pixel for
// pixel as the canvas draws it on a white box.
inline ::testing::AssertionResult TextAt(const Canvas& canvas, int left, int top,
                                         const QString& text) {
  Canvas reference(canvas.width(), canvas.height());
  reference.SetBrushColor(ColorWhite);
  reference.TextOut(left, top, text);
  const int right = left + reference.TextWidth(text);
  const int bottom = top + reference.TextHeight(text);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (canvas.PixelAt(x, y) != reference.PixelAt(x, y))
        return ::testing::AssertionFailure()
               << '"' << text.toStdString() << "\" not at (" << left << ", " << top << "): pixel ("
               << x << ", " << y << ") differs";
  return ::testing::AssertionSuccess();
}

// Whether every pixel of the rectangle (right and bottom exclusive) has the
// colour.
inline bool AllOf(const Canvas& canvas, int left, int top, int right, int bottom, ColorWord color) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (canvas.PixelAt(x, y) != color) return false;
  return true;
}

// Columns of the plot in which `row` has the colour.
inline std::vector<int> ColumnsOf(const Canvas& canvas, int row, ColorWord color) {
  std::vector<int> columns;
  for (int x = PlotLeft; x < PlotLeft + PlotState.PlotWidth; ++x)
    if (canvas.PixelAt(x, row) == color) columns.push_back(x);
  return columns;
}

// Plot rows in which `column` has the colour.
inline std::vector<int> RowsOf(const Canvas& canvas, int column, ColorWord color) {
  std::vector<int> rows;
  for (int y = PlotTop; y < PlotTop + PlotState.PlotHeight; ++y)
    if (canvas.PixelAt(column, y) == color) rows.push_back(y);
  return rows;
}

// The colours found inside the plot rows and columns.
inline std::set<ColorWord> PlotColours(const Canvas& canvas) {
  std::set<ColorWord> colours;
  for (int y = PlotTop; y <= PlotTop + PlotState.PlotHeight; ++y)
    for (int x = PlotLeft; x <= PlotLeft + PlotState.PlotWidth; ++x)
      colours.insert(canvas.PixelAt(x, y));
  return colours;
}

}  // namespace plottest

namespace plottest {

struct PlacedLabel {
  int at;  // frequency labels: centre column; value labels: centre row
  QString text;
};

// Whether the label row under the plot and the margin left of it hold exactly
// these labels and nothing else. The value labels are drawn after the
// frequency labels, over them where they meet.
inline ::testing::AssertionResult LabelsAre(const Canvas& canvas,
                                            const std::vector<PlacedLabel>& freqLabels,
                                            const std::vector<PlacedLabel>& valueLabels) {
  Canvas reference(canvas.width(), canvas.height());
  reference.SetBrushColor(ColorWhite);
  const int top = PlotState.PlotHeight + 24;
  for (const PlacedLabel& label : freqLabels)
    reference.TextOut(label.at - reference.TextWidth(label.text) / 2, top, label.text);
  for (const PlacedLabel& label : valueLabels)
    reference.TextOut(48 - reference.TextWidth(label.text),
                      label.at - reference.TextHeight(label.text) / 2, label.text);
  const int bottom = top + reference.TextHeight(QString());
  for (int y = 1; y < canvas.height() - 1; ++y) {
    const bool labelRow = y >= top && y < bottom;
    for (int x = 1; x < (labelRow ? canvas.width() - 1 : PlotLeft - 1); ++x)
      if (canvas.PixelAt(x, y) != reference.PixelAt(x, y))
        return ::testing::AssertionFailure() << (labelRow ? "frequency" : "value")
                                             << " labels differ at (" << x << ", " << y << ")";
  }
  return ::testing::AssertionSuccess();
}

// Bitmap columns of the frequency grid, read on a plot row that no value
// grid line crosses.
inline std::vector<int> FreqGridColumns(const Canvas& canvas, int row = 30) {
  return ColumnsOf(canvas, row, Grey);
}

// Rows of the value grid, read on a plot column that no frequency grid line
// crosses.
inline std::vector<int> ValueGridRows(const Canvas& canvas, int column = 51) {
  return RowsOf(canvas, column, Grey);
}

}  // namespace plottest
