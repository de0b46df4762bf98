#include "plot/Curves.h"

#include "plot/PlotState.h"
#include "response/Response.h"

#include "PlotTestSupport.h"
#include "TestSupport.h"

#include <QStringList>

#include <cmath>
#include <vector>

namespace {

using namespace plottest;
using K = FloatErrorKind;

constexpr ColorWord Blue = 0xFF0000;   // stage 1
constexpr ColorWord Green = 0x00FF00;  // stage 2
constexpr ColorWord Red = 0x0000FF;    // stage 3
constexpr int LegendLeft = GraphWidth - 16;
constexpr int LegendEnd = GraphWidth - 5;  // left out by the line

// A low-pass, a high-pass and a flat -6 dB all-pass.
const Stage kLowPass{1, 1, 1000, 0, 0};
const Stage kHighPass{4, 1, 300, 0.7071, 0};
const Stage kAllPassHalf{7, 0.5, 2000, 0, 0};  // -6.02 dB, row 145
const Stage kAllPassTwice{7, 2, 2000, 0, 0};   // +6.02 dB, row 87
constexpr int kHalfRow = 145;
constexpr int kTwiceRow = 87;
constexpr int kZeroDbRow = 116;

class CurvesTest : public PlotTest {
 protected:
  Canvas canvas{GraphWidth, GraphHeight};
  QStringList messages;

  void Redraw(const GraphControls& controls, const QString& fileName = QString()) {
    RedrawGraph(canvas, controls, fileName, [this](const QString& text) { messages << text; });
  }
  GraphControls Mode(int mode) {
    GraphControls controls;
    controls.displayMode = mode;
    return controls;
  }
  // Whether the legend swatch i has this colour and width.
  ::testing::AssertionResult Swatch(int i, ColorWord color, int width) {
    const int row = 20 + 10 * i;
    if (!AllOf(canvas, LegendLeft, row, LegendEnd, row + width, color))
      return ::testing::AssertionFailure() << "swatch " << i << " is not drawn as expected";
    if (width == 1 && canvas.PixelAt(LegendLeft + 3, row + 1) == color)
      return ::testing::AssertionFailure() << "swatch " << i << " is wider than 1 pixel";
    if (canvas.PixelAt(LegendEnd, row) != ColorWhite)
      return ::testing::AssertionFailure() << "swatch " << i << " runs past its end";
    return ::testing::AssertionSuccess();
  }
  // Plot columns in which `row` has the colour, counted.
  int CountOnRow(int row, ColorWord color) { return int(ColumnsOf(canvas, row, color).size()); }
};

TEST_F(CurvesTest, ColourTable) {
  EXPECT_EQ(CurveColors.size(), 31u);
  EXPECT_EQ(CurveColors[0], 0x000000u);
  EXPECT_EQ(CurveColors[1], 0xFF0000u);
  EXPECT_EQ(CurveColors[4], 0x555500u);
  EXPECT_EQ(CurveColors[21], 0x0055FFu);
  for (int k = 22; k <= 30; ++k) EXPECT_EQ(CurveColors[k], CurveColors[k - 21]) << k;
}

TEST_F(CurvesTest, WithoutStagesTheTotalIsFlatAtZeroDecibels) {
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    Redraw(Mode(mode));
    EXPECT_TRUE(Swatch(0, ColorBlack, 2));
    EXPECT_TRUE(AllOf(canvas, LegendLeft - 1, 22, GraphWidth - 1, 340, ColorWhite));
    // Row 116, two pixels wide, over the plot columns 50 .. 745.
    EXPECT_TRUE(AllOf(canvas, 50, kZeroDbRow, 746, kZeroDbRow + 2, ColorBlack));
    EXPECT_EQ(RowsOf(canvas, 400, ColorBlack), (std::vector<int>{kZeroDbRow, kZeroDbRow + 1}));
  }
  // A selection beyond the stages leaves the total 1 pixel wide in modes 1, 2.
  PlotState.SelectedCurve = 1;
  Redraw(Mode(1));
  EXPECT_EQ(RowsOf(canvas, 400, ColorBlack), std::vector<int>{kZeroDbRow});
  EXPECT_TRUE(Swatch(0, ColorBlack, 1));
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(CurvesTest, ThreeStagesInEachMode) {
  SetStages({kLowPass, kHighPass, kAllPassHalf});
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    Redraw(Mode(mode), "/filters/three.csv");
    // The legend always shows n + 1 swatches, the total's highlighted.
    EXPECT_TRUE(Swatch(0, ColorBlack, 2));
    EXPECT_TRUE(Swatch(1, Blue, 1));
    EXPECT_TRUE(Swatch(2, Green, 1));
    EXPECT_TRUE(Swatch(3, Red, 1));
    EXPECT_TRUE(AllOf(canvas, LegendLeft - 1, 52, GraphWidth - 1, 340, ColorWhite));

    // The total is drawn last, in black, at its mapped row in every column.
    for (int x = 50; x < 746; ++x) {
      const int y = ValueToY(CascadeSum(2, 4, XToFreq(x - 50), true));
      ASSERT_EQ(canvas.PixelAt(x, y), ColorBlack) << x;
    }
    const std::set<ColorWord> colours = PlotColours(canvas);
    switch (mode) {
      case 0:
        EXPECT_EQ(colours, (std::set<ColorWord>{ColorWhite, Grey, ColorBlack}));
        break;
      case 1:
        // Curve 3 is the total and lies under it.
        EXPECT_EQ(colours, (std::set<ColorWord>{ColorWhite, Grey, ColorBlack, Blue, Green}));
        break;
      case 2:
        EXPECT_EQ(colours, (std::set<ColorWord>{ColorWhite, Grey, ColorBlack, Blue, Green, Red}));
        // The all-pass alone, flat at -6.02 dB; the total crosses it once.
        EXPECT_GT(CountOnRow(kHalfRow, Red), 680);
        break;
    }
  }
}

TEST_F(CurvesTest, TheSelectedCurveAndItsSwatchAreTwoPixelsWide) {
  SetStages({kAllPassHalf, kAllPassTwice});
  PlotState.SelectedCurve = 2;

  Redraw(Mode(2));
  EXPECT_TRUE(AllOf(canvas, 50, kTwiceRow, 746, kTwiceRow + 2, Green));
  EXPECT_TRUE(AllOf(canvas, 50, kHalfRow, 746, kHalfRow + 1, Blue));
  EXPECT_EQ(CountOnRow(kHalfRow + 1, Blue), 0);
  EXPECT_TRUE(AllOf(canvas, 50, kZeroDbRow, 746, kZeroDbRow + 1, ColorBlack));
  EXPECT_EQ(RowsOf(canvas, 60, ColorBlack), std::vector<int>{kZeroDbRow});
  EXPECT_TRUE(Swatch(0, ColorBlack, 1));
  EXPECT_TRUE(Swatch(1, Blue, 1));
  EXPECT_TRUE(Swatch(2, Green, 2));

  // Cumulative: curve 2 is the total, which lies on top of its upper row.
  Redraw(Mode(1));
  EXPECT_TRUE(AllOf(canvas, 50, kZeroDbRow, 746, kZeroDbRow + 1, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 50, kZeroDbRow + 1, 746, kZeroDbRow + 2, Green));
  EXPECT_TRUE(AllOf(canvas, 50, kHalfRow, 746, kHalfRow + 1, Blue));

  // Total only: always 2 pixels wide, and no stage curves.
  Redraw(Mode(0));
  EXPECT_TRUE(AllOf(canvas, 50, kZeroDbRow, 746, kZeroDbRow + 2, ColorBlack));
  EXPECT_EQ(PlotColours(canvas), (std::set<ColorWord>{ColorWhite, Grey, ColorBlack}));
  EXPECT_TRUE(Swatch(2, Green, 2));
}

TEST_F(CurvesTest, SelectionBeyondTheStagesHighlightsNothing) {
  // Left behind when stages were deleted in the editor. (CurveValueAt reads
  // the total then; see CurveValueAtFollowsTheSelection.)
  SetStages({kAllPassHalf, kAllPassTwice});
  PlotState.SelectedCurve = 5;
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(FaultOf([&] { Redraw(Mode(mode)); }), std::nullopt);
    EXPECT_EQ(RowsOf(canvas, 60, ColorBlack), std::vector<int>{kZeroDbRow});
    EXPECT_TRUE(Swatch(0, ColorBlack, 1));
    EXPECT_TRUE(Swatch(1, Blue, 1));
    EXPECT_TRUE(Swatch(2, Green, 1));
    EXPECT_TRUE(AllOf(canvas, LegendLeft - 1, 42, GraphWidth - 1, 340, ColorWhite));
  }
}

TEST_F(CurvesTest, CurveValueAtFollowsTheSelection) {
  // Flat stages of -6.02, +6.02 and +12.04 dB.
  SetStages({kAllPassHalf, kAllPassTwice, {7, 4, 2000, 0, 0}});
  const double half = 20 * std::log10(0.5);
  const double twice = 20 * std::log10(2.0);
  const double four = 20 * std::log10(4.0);
  struct Case {
    int mode, selected;
    double value;
  };
  const Case cases[] = {
      {0, 0, half + twice + four},
      {1, 0, half + twice + four},
      {2, 0, half + twice + four},
      {0, 2, half + twice + four},
      {1, 2, half + twice},
      {2, 2, twice},
      {1, 1, half},
      {2, 3, four},
      {1, 4, half + twice + four},
      {2, 4, half + twice + four},
  };
  PrepareStages();
  PlotState.ShowAmplitude = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << ", selected " << c.selected);
    PlotState.DisplayMode = static_cast<std::uint8_t>(c.mode);
    PlotState.SelectedCurve = c.selected;
    EXPECT_NEAR(CurveValueAt(1234.0), c.value, 1e-12);
  }
  // The delay view sums delays the same way.
  PlotState.ShowAmplitude = false;
  PlotState.DisplayMode = 2;
  PlotState.SelectedCurve = 2;
  EXPECT_EQ(CurveValueAt(500.0), StageDelay(3, 500.0));
}

TEST_F(CurvesTest, PlotSegmentLiftsThePenOutsideThePlotRows) {
  PlotState.PlotHeight = 384;
  Canvas reference(GraphWidth, GraphHeight);
  auto step = [&](int x, int y) { PlotSegment(canvas, x, y, 0); };

  step(60, 100);  // first point: a line of length zero
  EXPECT_EQ(canvas.image(), reference.image());
  EXPECT_EQ(PlotState.CurveLastY[0], 100);
  step(61, 104);
  reference.MoveTo(60, 100);
  reference.LineTo(61, 104);
  EXPECT_EQ(canvas.image(), reference.image());

  step(62, 19);  // above the upper row: lifted, nothing drawn
  EXPECT_EQ(PlotState.CurveLastY[0], 0);
  step(63, 405);  // below the lower row
  EXPECT_EQ(PlotState.CurveLastY[0], 0);
  step(64, 20);  // back on the top row: a fresh start, no joining line
  EXPECT_EQ(canvas.image(), reference.image());
  step(65, 404);  // the bottom row is inside too
  reference.MoveTo(64, 20);
  reference.LineTo(65, 404);
  EXPECT_EQ(canvas.image(), reference.image());
  EXPECT_EQ(PlotState.CurveLastY[0], 404);
  // Each curve keeps its own last row.
  EXPECT_EQ(PlotState.CurveLastY[2], 0);
}

TEST_F(CurvesTest, LeavingThePlotLeavesAGap) {
  // A second-order low-pass with Q = 10 peaks at +20 dB, above the 10 dB limit.
  SetStages({{3, 1, 1000, 10, 0}});
  GraphControls controls = Mode(0);
  controls.editMaxL = "10";
  Redraw(controls);
  std::vector<int> outside;
  for (int i = 0; i <= PlotState.PlotWidth; ++i)
    if (ValueToY(CascadeSum(2, 2, XToFreq(i), true)) < 20) outside.push_back(i + 50);
  ASSERT_GT(outside.size(), 5u);
  const int lastInside = outside.front() - 1;
  const int reentry = outside.back() + 1;
  for (int x = lastInside + 1; x < reentry; ++x)
    EXPECT_TRUE(RowsOf(canvas, x, ColorBlack).empty()) << x;
  EXPECT_FALSE(RowsOf(canvas, lastInside - 1, ColorBlack).empty());
  EXPECT_FALSE(RowsOf(canvas, reentry, ColorBlack).empty());
}

TEST_F(CurvesTest, ZeroGainLiftsThePen) {
  // A high-pass at 0 Hz on a linear axis from 0 Hz: -999.99 dB in column 0.
  SetStages({{2, 1, 1000, 0, 0}});
  GraphControls controls = Mode(0);
  controls.checkBoxLog = false;
  controls.editSf = "0";
  Redraw(controls);
  EXPECT_TRUE(RowsOf(canvas, 50, ColorBlack).empty());
  EXPECT_FALSE(RowsOf(canvas, 51, ColorBlack).empty());

  // A notch exactly at its zero: fo = 1000, fn = 2000 at 2000 Hz.
  ClearTransferTable();
  SetStages({{6, 1, 1000, 0.7071, 2000}});
  controls = Mode(1);
  controls.checkBoxLog = false;
  controls.editSf = "0";
  controls.editEf = "6960";
  Redraw(controls);
  ASSERT_EQ(XToFreq(200), 2000.0);
  PlotColumn(canvas, 199, XToFreq(199));
  EXPECT_GT(PlotState.CurveLastY[2], 0);
  EXPECT_GT(PlotState.CurveLastY[0], 0);
  EXPECT_EQ(StageValue(2, 2000.0, true), ZeroGainLevel);
  PlotColumn(canvas, 200, 2000.0);
  EXPECT_EQ(PlotState.CurveLastY[2], 0);
  EXPECT_EQ(PlotState.CurveLastY[0], 0);
}

TEST_F(CurvesTest, ArithmeticErrorsEndTheRedraw) {
  struct Case {
    const char* what;
    std::vector<Stage> stages;
    std::function<void(GraphControls&)> controls;
    K fault;
    bool legendDrawn;
  };
  const Case cases[] = {
      {"equal level limits",
       {kLowPass},
       [](GraphControls& c) { c.editMaxL = c.editMinL = "0"; },
       K::DivisionByZero,
       false},
      {"0 Hz on a log axis",
       {kLowPass},
       [](GraphControls& c) { c.editSf = "0"; },
       K::DivisionByZero,
       true},
      {"stage with fo|fa = 0", {{1, 1, 0, 0, 0}}, [](GraphControls&) {}, K::DivisionByZero, true},
      {"second-order stage with Q = 0",
       {{3, 1, 1000, 0, 0}},
       [](GraphControls&) {},
       K::DivisionByZero,
       true},
      {"NaN Q", {{3, 1, 1000, std::nan(""), 0}}, [](GraphControls&) {}, K::InvalidOperation, true},
      {"NaN frequency limit",
       {kLowPass},
       [](GraphControls& c) { c.editEf = "?"; },
       K::InvalidOperation,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearTransferTable();
    HeaderCell(FilterHeader::N) = 0;
    SetStages(c.stages);
    GraphControls controls;
    c.controls(controls);
    EXPECT_EQ(FaultOf([&] { Redraw(controls); }), c.fault);
    EXPECT_EQ(canvas.PixelAt(LegendLeft, 20) == ColorBlack, c.legendDrawn);
    // No curve was drawn.
    EXPECT_TRUE(RowsOf(canvas, 60, ColorBlack).empty());
  }
  EXPECT_EQ(messages, QStringList{"  0Hz is illegal in Log-scale"});
}

TEST_F(CurvesTest, ImageNarrowerThanTheMarginsHasNoSweep) {
  Canvas tiny(60, 60);
  SetStages({kLowPass});
  EXPECT_EQ(FaultOf([&] { RedrawGraph(tiny, GraphControls{}, QString()); }), std::nullopt);
  EXPECT_EQ(PlotState.PlotWidth, -10);
}

// The redraw computes blocks of columns ahead of drawing them; its bitmap and
// its errors are those of drawing column after column with PlotColumn.
TEST_F(CurvesTest, RedrawDrawsWhatPlotColumnDrawsColumnByColumn) {
  const auto columnByColumn = [](Canvas& c, const GraphControls& controls) {
    PrepareGraph(c, controls, QString(), [](const QString&) {});
    DrawLegend(c, StageCount());
    PrepareStages();
    for (int i = 0; i <= PlotState.PlotWidth; ++i) PlotColumn(c, i, XToFreq(i));
  };
  std::vector<Stage> thirty;
  for (int k = 1; k <= MaxStages; ++k)
    thirty.push_back({double(1 + (k - 1) % 8), 1.0, 150.0 * k, 0.5 + 0.1 * k, 300.0 * k});
  // An HPF with a huge gain overflows above about 3.5 kHz, two thirds along
  // the axis: the columns before it stay drawn.
  const std::vector<Stage> overflowing = {kLowPass, {4, 1e150, 30, 1, 0}, kAllPassHalf};
  const struct {
    const char* what;
    std::vector<Stage> stages;
    std::optional<K> fault;
  } cases[] = {
      {"thirty stages", thirty, std::nullopt},
      {"overflow part-way", overflowing, K::Overflow},
      {"unknown and odd codes", {kLowPass, {2.5, 1, 500, 1, 0}, {0, 1, 100, 1, 0}}, std::nullopt},
  };
  for (const auto& c : cases) {
    for (int mode = 0; mode <= 2; ++mode) {
      for (const bool delay : {false, true}) {
        SCOPED_TRACE(testing::Message() << c.what << ", mode " << mode << (delay ? ", delay" : ""));
        ClearTransferTable();
        SetStages(c.stages);
        GraphControls controls = Mode(mode);
        controls.editMinL = "-200";
        controls.checkBoxLevel = !delay;
        ResetPlotState();
        const auto fault = FaultOf([&] { Redraw(controls); });
        if (!delay) {
          EXPECT_EQ(fault, c.fault);
        }
        Canvas reference(GraphWidth, GraphHeight);
        ResetPlotState();
        EXPECT_EQ(FaultOf([&] { columnByColumn(reference, controls); }), fault);
        EXPECT_TRUE(canvas.image() == reference.image());
      }
    }
  }
  // The overflow case drew the low-pass curve of its first columns before it
  // stopped.
  ClearTransferTable();
  SetStages(overflowing);
  ResetPlotState();
  EXPECT_EQ(FaultOf([&] { Redraw(Mode(2)); }), K::Overflow);
  EXPECT_FALSE(RowsOf(canvas, 300, Blue).empty());
  EXPECT_TRUE(RowsOf(canvas, 700, Blue).empty());
}

}  // namespace
