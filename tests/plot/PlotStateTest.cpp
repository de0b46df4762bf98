#include "plot/PlotState.h"

#include "PlotTestSupport.h"
#include "TestSupport.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace plottest;
using K = FloatErrorKind;

const double kNan = std::numeric_limits<double>::quiet_NaN();

// The start-up axes on the standard image: 100 Hz .. 10 kHz logarithmic,
// -60 .. 20 dB, 0 .. 10 ms.
void StartUpAxes() {
  PlotState.PlotWidth = 696;
  PlotState.PlotHeight = 384;
  PlotState.FreqStart = 100.0;
  PlotState.FreqEnd = 10000.0;
  PlotState.LogScale = true;
  PlotState.LevelMin = -60.0;
  PlotState.LevelMax = 20.0;
  PlotState.DelayMin = 0.0;
  PlotState.DelayMax = 0.01;
  PlotState.ShowAmplitude = true;
}

class PlotStateTest : public PlotTest {};

TEST_F(PlotStateTest, EveryFieldIsZeroAtStart) {
  PlotState.SelectedCurve = 4;
  PlotState.CurveLastY[7] = 100;
  PlotState.ReadoutBusy = true;
  ResetPlotState();
  EXPECT_EQ(PlotState.SelectedCurve, 0);
  EXPECT_EQ(PlotState.CurveLastY[7], 0);
  EXPECT_FALSE(PlotState.ReadoutBusy);
  EXPECT_EQ(PlotState.CurveLastY.size(), 32u);
}

TEST_F(PlotStateTest, StartUpAxesMapAsDrawn) {
  StartUpAxes();
  EXPECT_EQ(ValueToY(0.0), 116);
  EXPECT_EQ(ValueToY(-60.0), 404);
  EXPECT_EQ(ValueToY(20.0), 20);
  EXPECT_EQ(FreqToX(1000.0), 348);
  EXPECT_EQ(FreqToX(100.0), 0);
  EXPECT_EQ(FreqToX(10000.0), 696);
  EXPECT_TRUE(NearlyEqual(XToFreq(348), 1000.0, 1e-12));
  EXPECT_TRUE(NearlyEqual(XToFreq(0), 100.0, 1e-12));
  EXPECT_TRUE(NearlyEqual(XToFreq(696), 10000.0, 1e-12));
  // Values outside the limits are not clipped.
  EXPECT_EQ(ValueToY(30.0), -28);
  EXPECT_EQ(ValueToY(-70.0), 452);
  // The delay view maps with the delay limits.
  PlotState.ShowAmplitude = false;
  EXPECT_EQ(ValueToY(0.0), 404);
  EXPECT_EQ(ValueToY(0.005), 212);
}

TEST_F(PlotStateTest, LinearAxisMapsAndRoundsHalvesToEven) {
  PlotState.PlotWidth = 696;
  PlotState.LogScale = false;
  PlotState.FreqStart = 0.0;
  PlotState.FreqEnd = 696.0;
  EXPECT_EQ(XToFreq(200), 200.0);
  EXPECT_EQ(FreqToX(0.5), 0);
  EXPECT_EQ(FreqToX(1.5), 2);
  EXPECT_EQ(FreqToX(2.5), 2);
  EXPECT_EQ(FreqToX(-3.5), -4);
  // Reversed limits: the frequency falls from left to right.
  PlotState.FreqStart = 696.0;
  PlotState.FreqEnd = 0.0;
  EXPECT_EQ(XToFreq(196), 500.0);
  EXPECT_EQ(FreqToX(500.0), 196);
}

TEST_F(PlotStateTest, NoPlotWidthGivesZeroHertz) {
  StartUpAxes();
  PlotState.FreqStart = 0.0;  // would fail on a logarithmic axis
  for (int width : {0, -5}) {
    PlotState.PlotWidth = width;
    EXPECT_EQ(XToFreq(3), 0.0);
  }
}

TEST_F(PlotStateTest, ValueRowsFarOffThePlotSaturate) {
  StartUpAxes();
  PlotState.LevelMin = 0.0;
  PlotState.LevelMax = 1e-9;
  EXPECT_EQ(ValueToY(-60.0), std::numeric_limits<int>::max());
  EXPECT_EQ(ValueToY(60.0), std::numeric_limits<int>::min());
}

TEST_F(PlotStateTest, MappingsRaiseTheirArithmeticErrors) {
  struct Case {
    const char* what;
    std::function<void()> setUp;
    std::function<void()> call;
    K fault;
  };
  const Case cases[] = {
      {"equal level limits", [] { PlotState.LevelMax = -60.0; }, [] { ValueToY(0.0); },
       K::DivisionByZero},
      {"NaN value", [] {}, [] { ValueToY(kNan); }, K::InvalidOperation},
      {"NaN level limit", [] { PlotState.LevelMax = kNan; }, [] { ValueToY(0.0); },
       K::InvalidOperation},
      {"infinite value", [] {}, [] { ValueToY(std::numeric_limits<double>::infinity()); },
       K::InvalidOperation},
      {"equal delay limits",
       [] {
         PlotState.ShowAmplitude = false;
         PlotState.DelayMax = 0.0;
       },
       [] { ValueToY(0.0); }, K::DivisionByZero},
      {"0 Hz start, log XToFreq", [] { PlotState.FreqStart = 0.0; }, [] { XToFreq(1); },
       K::DivisionByZero},
      {"0 Hz end, log XToFreq", [] { PlotState.FreqEnd = 0.0; }, [] { XToFreq(1); },
       K::DivisionByZero},
      {"negative limits, log XToFreq",
       [] {
         PlotState.FreqStart = -100.0;
         PlotState.FreqEnd = -10000.0;
       },
       [] { XToFreq(1); }, K::InvalidOperation},
      {"0 Hz start, log FreqToX", [] { PlotState.FreqStart = 0.0; }, [] { FreqToX(1000.0); },
       K::DivisionByZero},
      {"negative frequency, log FreqToX", [] {}, [] { FreqToX(-1.0); }, K::InvalidOperation},
      {"equal limits, log FreqToX", [] { PlotState.FreqEnd = 100.0; }, [] { FreqToX(1000.0); },
       K::DivisionByZero},
      {"equal limits, linear FreqToX",
       [] {
         PlotState.LogScale = false;
         PlotState.FreqEnd = 100.0;
       },
       [] { FreqToX(100.0); }, K::InvalidOperation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartUpAxes();
    c.setUp();
    EXPECT_EQ(FaultOf(c.call), c.fault);
  }
}

// The redraw maps whole blocks of values at once; each row must be the one
// ValueToY gives, and the block must be refused exactly when ValueToY would
// raise for one of its values.
TEST_F(PlotStateTest, BlockMappingGivesValueToYsRowsAndRefusesWhatRaises) {
  StartUpAxes();
  const double kInf = std::numeric_limits<double>::infinity();
  // Rows on halves (0.1 dB = 0.48 rows at 80 dB over 384 rows), far off the
  // plot, beyond the int range, and the values that raise.
  std::vector<double> values;
  for (int i = -30; i <= 30; ++i) values.push_back(i * 0.625);
  for (const double v : {-999.99, 1e5, -1e5, 1e300, -1e300, 5e-324, -0.0}) values.push_back(v);
  const RowMapping mapping = CurrentRowMapping();
  for (std::size_t count = 1; count <= values.size(); count += 6) {
    std::vector<int> rows(count);
    ASSERT_TRUE(MapToRows(mapping, values.data(), int(count), rows.data()));
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(rows[i], ValueToY(values[i])) << values[i];
  }
  for (const double bad : {kNan, kInf, -kInf, 1.7e308 * 2}) {
    for (const std::size_t at : {std::size_t{0}, std::size_t{1}, values.size() - 1}) {
      std::vector<double> some = values;
      some[at] = bad;
      std::vector<int> rows(some.size());
      EXPECT_TRUE(FaultOf([&] { ValueToY(bad); }).has_value());
      EXPECT_FALSE(MapToRows(mapping, some.data(), int(some.size()), rows.data()))
          << bad << " at " << at;
    }
  }
  // A mapping of finite limits can still give an infinite row.
  PlotState.LevelMin = -1e308;
  PlotState.LevelMax = 1e308 / 4;
  const RowMapping wide = CurrentRowMapping();
  const double huge[] = {-1e308, 1e308};
  int rows[2];
  EXPECT_TRUE(FaultOf([] { ValueToY(1e308); }).has_value());
  EXPECT_FALSE(MapToRows(wide, huge, 2, rows));
}

TEST_F(PlotStateTest, GridStepIsOneTwoFiveWithFiveToTenSteps) {
  struct Case {
    double span, step;
  };
  const Case cases[] = {{80, 10},    {9900, 1000},  {12345, 2000}, {30, 5},   {1, 0.1},
                        {0.3, 0.05}, {0.01, 0.001}, {100, 10},     {50, 5},   {20, 2},
                        {10, 1},     {0.8, 0.1},    {1e-9, 1e-10}, {384, 50}, {25, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.span);
    const double step = GridStep(c.span);
    EXPECT_TRUE(NearlyEqual(step, c.step, 1e-12)) << step;
    const double steps = c.span / step;
    EXPECT_GT(steps, 4.0 - 1e-9);
    EXPECT_LE(steps, 10.0 + 1e-9);
  }
  EXPECT_EQ(FaultOf([] { GridStep(0.0); }), K::DivisionByZero);
}

TEST_F(PlotStateTest, LogFreqStep) {
  struct Case {
    double upper, lower, step;
  };
  const Case cases[] = {
      {10000, 100, 100},  // two decades: the power of ten at the lower limit
      {500, 100, 10},     // less than a decade: 40 steps of 10
      {20000, 50, 10},    // the power of ten below 50
      {1001, 1000, 0.1},  // 10 steps
      {1200, 1000, 10},   // 20 steps
      {0.5, 0.2, 0.01},   // m = -1 starts at 10, not 0.1: 30 steps
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.upper);
    EXPECT_TRUE(NearlyEqual(LogFreqStep(c.upper, c.lower), c.step, 1e-12))
        << LogFreqStep(c.upper, c.lower);
  }
  // A non-positive limit gives NaN logarithms, whose truncation fails.
  EXPECT_EQ(FaultOf([] { LogFreqStep(1000, 0); }), K::InvalidOperation);
  EXPECT_EQ(FaultOf([] { LogFreqStep(1000, -5); }), K::InvalidOperation);
  // Equal limits: no span to step over.
  EXPECT_EQ(FaultOf([] { LogFreqStep(1000, 1000); }), K::InvalidOperation);
}

}  // namespace
