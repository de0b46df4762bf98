#include "plot/AxisStep.h"

#include "plot/PlotState.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class AxisStepTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetPlotState(); }
  void TearDown() override { ResetPlotState(); }

  static void Frequencies(double start, double end, bool log) {
    PlotState.FreqStart = start;
    PlotState.FreqEnd = end;
    PlotState.LogScale = log;
  }
};

}  // namespace

TEST_F(AxisStepTest, LogarithmicFrequencySteps) {
  const struct {
    int tag;
    bool reverse;
    double start, end;
  } cases[] = {{1, false, 50, 5000},  {2, false, 200, 20000}, {3, false, 200, 5000},
               {4, false, 50, 20000}, {1, true, 200, 20000},  {2, true, 50, 5000},
               {3, true, 200, 5000},  {4, true, 50, 20000}};
  for (const auto& c : cases) {
    Frequencies(100, 10000, true);
    StepFrequencyAxis(c.tag, c.reverse);
    EXPECT_DOUBLE_EQ(PlotState.FreqStart, c.start) << c.tag << c.reverse;
    EXPECT_DOUBLE_EQ(PlotState.FreqEnd, c.end) << c.tag << c.reverse;
  }
  Frequencies(100, 10000, true);
  const std::optional<LimitTexts> texts = StepFrequencyAxis(1, false);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->lower, QStringLiteral("50.0000 "));
  EXPECT_EQ(texts->upper, QStringLiteral(" 5.0000k"));
}

TEST_F(AxisStepTest, LinearFrequencyStepsStopAtZero) {
  Frequencies(0, 10000, false);
  StepFrequencyAxis(1, false);
  EXPECT_EQ(PlotState.FreqStart, 0.0);
  EXPECT_EQ(PlotState.FreqEnd, 9000.0);
  Frequencies(0, 10000, false);
  StepFrequencyAxis(3, false);
  EXPECT_EQ(PlotState.FreqStart, 1000.0);
  EXPECT_EQ(PlotState.FreqEnd, 9000.0);
}

TEST_F(AxisStepTest, ZoomInStopsAtATwoPerMilleSpan) {
  for (bool log : {true, false}) {
    Frequencies(1000, 1001, log);
    const std::optional<LimitTexts> texts = StepFrequencyAxis(3, false);
    EXPECT_EQ(PlotState.FreqStart, 1000.0) << log;
    EXPECT_EQ(PlotState.FreqEnd, 1001.0) << log;
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->upper, QStringLiteral(" 1.0010k"));
  }
}

TEST_F(AxisStepTest, LevelSteps) {
  PlotState.ShowAmplitude = true;
  const struct {
    int tag;
    double lower, upper;
  } cases[] = {{1, -70, 10}, {2, -50, 30}, {3, -50, 10}, {4, -70, 30}};
  for (const auto& c : cases) {
    PlotState.LevelMin = -60;
    PlotState.LevelMax = 20;
    StepValueAxis(c.tag, false);
    EXPECT_EQ(PlotState.LevelMin, c.lower) << c.tag;
    EXPECT_EQ(PlotState.LevelMax, c.upper) << c.tag;
  }
  PlotState.LevelMin = -60;
  PlotState.LevelMax = 20;
  const std::optional<LimitTexts> texts = StepValueAxis(1, false);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->lower, QStringLiteral("-70.000 "));
  EXPECT_EQ(texts->upper, QStringLiteral(" 10.000 "));
  PlotState.LevelMin = -60;
  PlotState.LevelMax = 20;
  StepValueAxis(1, true);
  EXPECT_EQ(PlotState.LevelMin, -50.0);
}

TEST_F(AxisStepTest, DelayStepsKeepTheLowerLimitAtOrAboveZero) {
  PlotState.ShowAmplitude = false;
  PlotState.DelayMin = 0;
  PlotState.DelayMax = 0.01;
  const std::optional<LimitTexts> texts = StepValueAxis(1, false);
  EXPECT_EQ(PlotState.DelayMin, 0.0);
  EXPECT_DOUBLE_EQ(PlotState.DelayMax, 0.009);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->upper, QStringLiteral("  9.000m"));
  EXPECT_EQ(texts->lower, QStringLiteral("  0.000 "));
  // The level limits are not touched in the delay view.
  EXPECT_EQ(PlotState.LevelMin, 0.0);
}

TEST_F(AxisStepTest, AxesWithoutAGridStepStayAsTheyAre) {
  // Equal limits, limits that are no numbers, and a logarithmic axis starting
  // at 0 Hz have no step: the press changes nothing and asks for no redraw.
  const struct {
    double start, end;
    bool log;
  } frequencies[] = {{1000, 1000, false},
                     {1000, 1000, true},
                     {0, 1000, true},
                     {-5, 1000, true},
                     {std::nan(""), 1000, false}};
  for (const auto& c : frequencies) {
    Frequencies(c.start, c.end, c.log);
    for (int tag = 1; tag <= 4; ++tag) EXPECT_FALSE(StepFrequencyAxis(tag, false)) << c.start;
    EXPECT_TRUE(std::isnan(c.start) ? std::isnan(PlotState.FreqStart)
                                    : PlotState.FreqStart == c.start);
    EXPECT_EQ(PlotState.FreqEnd, c.end);
  }
  for (bool level : {true, false}) {
    PlotState.ShowAmplitude = level;
    PlotState.LevelMin = PlotState.LevelMax = 5;
    PlotState.DelayMin = PlotState.DelayMax = 0.001;
    for (int tag = 1; tag <= 4; ++tag) EXPECT_FALSE(StepValueAxis(tag, false)) << level;
    EXPECT_EQ(PlotState.LevelMin, 5.0);
    EXPECT_EQ(PlotState.DelayMax, 0.001);
  }
}
