#include "plot/Axes.h"

#include "common/Common.h"
#include "platform/Canvas.h"
#include "plot/PlotState.h"

#include "PlotTestSupport.h"

#include <QStringList>

#include <vector>

namespace {

using namespace plottest;
using K = FloatErrorKind;

// Value grid rows and labels of the start-up level axis, -60 .. 20 dB.
const std::vector<int> kStartUpLevelRows = {68, 116, 164, 212, 260, 308, 356};
const std::vector<PlacedLabel> kStartUpLevelLabels = {
    {404, "-60.00 "}, {356, "-50.00 "}, {308, "-40.00 "}, {260, "-30.00 "}, {212, "-20.00 "},
    {164, "-10.00 "}, {116, "0.000 "},  {68, "10.00 "},   {20, "20.00 "}};
const std::vector<PlacedLabel> kStartUpFreqLabels = {
    {50, "100.0 "}, {398, "1.000k"}, {746, "10.00k"}};
// Grid columns of the start-up frequency axis: 200 .. 900 Hz, 1 k .. 9 kHz.
const std::vector<int> kStartUpFreqColumns = {155, 216, 260, 293, 321, 344, 364, 382, 398,
                                              503, 564, 608, 641, 669, 692, 712, 730};

class AxesTest : public PlotTest {
 protected:
  Canvas canvas{GraphWidth, GraphHeight};
  QStringList messages;

  void Prepare(const GraphControls& controls, const QString& fileName = QString()) {
    PrepareGraph(canvas, controls, fileName, [this](const QString& text) { messages << text; });
  }
  std::optional<K> PrepareFault(const GraphControls& controls,
                                const QString& fileName = QString()) {
    return FaultOf([&] { Prepare(controls, fileName); });
  }
};

TEST_F(AxesTest, StartUpGraph) {
  Prepare(GraphControls{});
  EXPECT_TRUE(messages.isEmpty());

  EXPECT_EQ(PlotState.PlotWidth, 696);
  EXPECT_EQ(PlotState.PlotHeight, 384);
  EXPECT_EQ(PlotState.LevelMin, -60.0);
  EXPECT_EQ(PlotState.LevelMax, 20.0);
  EXPECT_EQ(PlotState.DelayMin, 0.0);
  EXPECT_EQ(PlotState.DelayMax, 0.01);
  EXPECT_EQ(PlotState.FreqStart, 100.0);
  EXPECT_EQ(PlotState.FreqEnd, 10000.0);
  EXPECT_TRUE(PlotState.LogScale);
  EXPECT_TRUE(PlotState.ShowAmplitude);
  EXPECT_EQ(PlotState.DisplayMode, 1);

  // The bitmap's outline and the frame: columns 49 and 746, rows 19 and 404.
  EXPECT_TRUE(AllOf(canvas, 0, 0, GraphWidth, 1, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 0, GraphHeight - 1, GraphWidth, GraphHeight, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 0, 0, 1, GraphHeight, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, GraphWidth - 1, 0, GraphWidth, GraphHeight, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 49, 19, 50, 405, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 746, 19, 747, 405, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 49, 19, 747, 20, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 49, 404, 747, 405, ColorBlack));
  EXPECT_TRUE(AllOf(canvas, 48, 1, 49, 408, ColorWhite));
  EXPECT_TRUE(AllOf(canvas, 747, 1, 765, 408, ColorWhite));
  EXPECT_TRUE(AllOf(canvas, 49, 1, 747, 19, ColorWhite));  // no title
  EXPECT_TRUE(AllOf(canvas, 49, 405, 747, 408, ColorWhite));

  // Value grid lines at rows 356 to 68 only, across the plot columns.
  EXPECT_EQ(ValueGridRows(canvas), kStartUpLevelRows);
  EXPECT_TRUE(AllOf(canvas, 50, 116, 746, 117, Grey));
  EXPECT_EQ(canvas.PixelAt(746, 116), ColorBlack);

  // Frequency grid lines at 200 .. 900 Hz and 1 k .. 9 kHz, over the plot rows.
  EXPECT_EQ(FreqGridColumns(canvas), kStartUpFreqColumns);
  EXPECT_TRUE(AllOf(canvas, 398, 20, 399, 404, Grey));
  EXPECT_TRUE(LabelsAre(canvas, kStartUpFreqLabels, kStartUpLevelLabels));

  // The label texts are FormatEng's, and padding is back on.
  EXPECT_TRUE(PadToWidth);
  PadToWidth = false;
  EXPECT_EQ(FormatEng(1000.0, 5, 3), QStringLiteral("1.000k"));
  EXPECT_EQ(FormatEng(-60.0, 5, 2), QStringLiteral("-60.00 "));
  PadToWidth = true;

  // Pen and brush as the curves expect them.
  EXPECT_EQ(canvas.PenColor(), ColorBlack);
  EXPECT_EQ(canvas.PenWidth(), 1);
  EXPECT_EQ(canvas.PenModeOf(), PenMode::Copy);
  EXPECT_EQ(canvas.BrushColor(), ColorWhite);
}

TEST_F(AxesTest, RepaintClearsCrossHairAndCurveState) {
  PlotState.CursorLineX = 300;
  PlotState.CursorLineY = 200;
  PlotState.CurveLastY.fill(150);
  canvas.SetPen(0x0000FF, 2, PenMode::Xor);
  canvas.MoveTo(60, 60);
  canvas.LineTo(700, 300);
  Prepare(GraphControls{});
  EXPECT_EQ(PlotState.CursorLineX, 0);
  EXPECT_EQ(PlotState.CursorLineY, 0);
  for (int last : PlotState.CurveLastY) EXPECT_EQ(last, 0);
  EXPECT_EQ(FreqGridColumns(canvas), kStartUpFreqColumns);
  EXPECT_EQ(ValueGridRows(canvas), kStartUpLevelRows);
}

TEST_F(AxesTest, DisplayModeComesFromTheRadioButtons) {
  for (int mode : {0, 1, 2}) {
    GraphControls controls;
    controls.displayMode = mode;
    Prepare(controls);
    EXPECT_EQ(PlotState.DisplayMode, mode);
  }
}

TEST_F(AxesTest, DelayViewDropsTheTopTick) {
  GraphControls controls;
  controls.checkBoxLevel = false;
  Prepare(controls);
  EXPECT_FALSE(PlotState.ShowAmplitude);
  // Ticks 0, 0.001, ... 0.009000000000000001; the next sum, 0.010000000000000002,
  // is past the limit.
  EXPECT_EQ(ValueGridRows(canvas), (std::vector<int>{58, 97, 135, 174, 212, 250, 289, 327, 366}));
  EXPECT_TRUE(LabelsAre(canvas, kStartUpFreqLabels,
                        {{404, "0.000 "},
                         {366, "1.000m"},
                         {327, "2.000m"},
                         {289, "3.000m"},
                         {250, "4.000m"},
                         {212, "5.000m"},
                         {174, "6.000m"},
                         {135, "7.000m"},
                         {97, "8.000m"},
                         {58, "9.000m"}}));
  EXPECT_EQ(FreqGridColumns(canvas), kStartUpFreqColumns);
}

// Frequency axes: the grid columns and every label of the label row. The
// ticks of the linear and the narrow logarithmic axes are counted from 0 Hz
// or from the power of ten below the left edge by repeated addition, also
// where the walk skips the ticks left of the plot; the expected values are
// those of a walk from the very first tick.
TEST_F(AxesTest, FrequencyAxes) {
  struct Case {
    const char* sf;
    const char* ef;
    bool log;
    std::vector<int> columns;
    std::vector<PlacedLabel> labels;
  };
  const Case cases[] = {
      {"100",
       "10k",
       false,
       {113, 184, 254, 324, 394, 465, 535, 605, 676},
       {{50, "100.0 "},
        {113, "1.000k"},
        {184, "2.000k"},
        {254, "3.000k"},
        {324, "4.000k"},
        {394, "5.000k"},
        {465, "6.000k"},
        {535, "7.000k"},
        {605, "8.000k"},
        {676, "9.000k"},
        {746, "10.00k"}}},
      {"250",
       "800",
       true,
       {159, 331, 465, 574, 666},
       {{159, "300.0 "},
        {331, "400.0 "},
        {465, "500.0 "},
        {574, "600.0 "},
        {666, "700.0 "},
        {746, "800.0 "}}},
      {"50",
       "20k",
       true,
       {71,  89,  105, 118, 131, 211, 258, 292, 317, 339, 357, 372,
        386, 398, 479, 526, 559, 585, 606, 624, 640, 653, 665},
       {{131, "100.0 "}, {398, "1.000k"}, {665, "10.00k"}, {746, "20.00k"}}},
      // Seven ticks left of the plot.
      {"1500",
       "3000",
       false,
       {96, 189, 282, 375, 468, 560, 653},
       {{50, "1.500k"},
        {96, "1.600k"},
        {189, "1.800k"},
        {282, "2.000k"},
        {375, "2.200k"},
        {468, "2.400k"},
        {560, "2.600k"},
        {653, "2.800k"},
        {746, "3.000k"}}},
      // Fractional steps: the sums 0.19999999999999998, 0.21999999999999997, ...
      {"150m",
       "300m",
       false,
       {96, 189, 282, 375, 468, 560, 653},
       {{50, "150.0m"},
        {96, "160.0m"},
        {189, "180.0m"},
        {282, "200.0m"},
        {375, "220.0m"},
        {468, "240.0m"},
        {560, "260.0m"},
        {653, "280.0m"},
        {746, "300.0m"}}},
      // 160 ticks of 50 Hz from 1 kHz up to the left edge, which has its own.
      {"9000",
       "9500",
       true,
       {121, 192, 263, 333, 403, 472, 541, 610, 678},
       {{50, "9.000k"},
        {121, "9.050k"},
        {192, "9.100k"},
        {263, "9.150k"},
        {333, "9.200k"},
        {403, "9.250k"},
        {472, "9.300k"},
        {541, "9.350k"},
        {610, "9.400k"},
        {678, "9.450k"},
        {746, "9.500k"}}},
      // Steps of 0.128 ms from 1 ms: the ticks are not round numbers.
      {"1.3m",
       "2.1m",
       true,
       {141, 269, 387, 496, 598, 693},
       {{141, "1.384m"},
        {269, "1.512m"},
        {387, "1.640m"},
        {496, "1.768m"},
        {598, "1.896m"},
        {693, "2.024m"},
        {746, "2.100m"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sf) + " .. " + c.ef + (c.log ? " log" : " linear"));
    GraphControls controls;
    controls.editSf = QString::fromLatin1(c.sf);
    controls.editEf = QString::fromLatin1(c.ef);
    controls.checkBoxLog = c.log;
    Prepare(controls);
    EXPECT_EQ(FreqGridColumns(canvas), c.columns);
    EXPECT_TRUE(LabelsAre(canvas, c.labels, kStartUpLevelLabels));
    EXPECT_EQ(ValueGridRows(canvas, 60), kStartUpLevelRows);
  }
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(AxesTest, OverlappingFrequencyLabelsAreDropped) {
  // 200 plot columns from 0 to 10 kHz: a tick every 20 columns, labels about
  // 35 pixels wide, so every other label fits.
  Canvas narrow(270, GraphHeight);
  GraphControls controls;
  controls.editSf = "0";
  controls.checkBoxLog = false;
  PrepareGraph(narrow, controls, QString());
  const int width = narrow.TextWidth("2.000k");
  ASSERT_GE(width, 20);
  ASSERT_LT(width, 40);
  EXPECT_TRUE(LabelsAre(narrow,
                        {{50, "0.000 "},
                         {90, "2.000k"},
                         {130, "4.000k"},
                         {170, "6.000k"},
                         {210, "8.000k"},
                         {250, "10.00k"}},
                        kStartUpLevelLabels));
  EXPECT_EQ(FreqGridColumns(narrow), (std::vector<int>{70, 90, 110, 130, 150, 170, 190, 210, 230}));
}

TEST_F(AxesTest, ReversedValueLimitsAreNegatedNotExchanged) {
  GraphControls controls;
  controls.editMinL = "20";
  controls.editMaxL = "-60";
  controls.editMinD = "10m";
  controls.editMaxD = "0";
  Prepare(controls);
  EXPECT_EQ(PlotState.LevelMin, -20.0);
  EXPECT_EQ(PlotState.LevelMax, 60.0);
  EXPECT_EQ(PlotState.DelayMin, -0.01);
  EXPECT_EQ(PlotState.DelayMax, 0.0);
  EXPECT_EQ(controls.editMinL, QStringLiteral("20"));
  EXPECT_EQ(ValueGridRows(canvas), kStartUpLevelRows);
  EXPECT_TRUE(LabelsAre(canvas, kStartUpFreqLabels,
                        {{404, "-20.00 "},
                         {356, "-10.00 "},
                         {308, "0.000 "},
                         {260, "10.00 "},
                         {212, "20.00 "},
                         {164, "30.00 "},
                         {116, "40.00 "},
                         {68, "50.00 "},
                         {20, "60.00 "}}));
}

TEST_F(AxesTest, EqualLevelLimitsEndTheGraphAfterTheFrequencyAxis) {
  GraphControls controls;
  controls.editMinL = "0";
  controls.editMaxL = "0";
  EXPECT_EQ(PrepareFault(controls, "/data/filter.csv"), K::DivisionByZero);
  EXPECT_TRUE(AllOf(canvas, 49, 19, 50, 405, ColorBlack));
  EXPECT_EQ(FreqGridColumns(canvas), kStartUpFreqColumns);
  EXPECT_TRUE(ValueGridRows(canvas).empty());
  EXPECT_TRUE(LabelsAre(canvas, kStartUpFreqLabels, {}));
  EXPECT_TRUE(AllOf(canvas, 49, 1, 747, 19, ColorWhite));  // no title

  // In the delay view the level limits play no part.
  controls.checkBoxLevel = false;
  EXPECT_EQ(PrepareFault(controls, "/data/filter.csv"), std::nullopt);
  EXPECT_EQ(ValueGridRows(canvas).size(), 9u);
}

TEST_F(AxesTest, EqualFrequencyLimitsLeaveOutOnlyTheFrequencyAxis) {
  for (bool log : {true, false}) {
    GraphControls controls;
    controls.editSf = "1k";
    controls.editEf = "1k";
    controls.checkBoxLog = log;
    EXPECT_EQ(PrepareFault(controls), std::nullopt);
    EXPECT_TRUE(FreqGridColumns(canvas).empty());
    EXPECT_TRUE(LabelsAre(canvas, {}, kStartUpLevelLabels));
    EXPECT_EQ(ValueGridRows(canvas), kStartUpLevelRows);
  }
}

TEST_F(AxesTest, NaNLimitsDrawNoGridOnTheirAxis) {
  GraphControls controls;
  controls.editSf = "abc";
  EXPECT_EQ(PrepareFault(controls), std::nullopt);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_TRUE(FreqGridColumns(canvas).empty());
  EXPECT_EQ(ValueGridRows(canvas), kStartUpLevelRows);
  EXPECT_TRUE(LabelsAre(canvas, {}, kStartUpLevelLabels));

  controls = GraphControls{};
  controls.editMaxL = "x";
  EXPECT_EQ(PrepareFault(controls), std::nullopt);
  EXPECT_TRUE(ValueGridRows(canvas).empty());
  EXPECT_TRUE(LabelsAre(canvas, kStartUpFreqLabels, {}));
  EXPECT_EQ(FreqGridColumns(canvas), kStartUpFreqColumns);
}

TEST_F(AxesTest, ZeroHertzOnALogAxisIsReported) {
  for (const char* sf : {"0", "-10"}) {
    SCOPED_TRACE(sf);
    messages.clear();
    GraphControls controls;
    controls.editSf = sf;
    EXPECT_EQ(PrepareFault(controls, "/data/lowpass.csv"), std::nullopt);
    EXPECT_EQ(messages, QStringList{"  0Hz is illegal in Log-scale"});
    // The frequency axis fails silently; the value axis and the title follow.
    EXPECT_TRUE(FreqGridColumns(canvas).empty());
    EXPECT_TRUE(LabelsAre(canvas, {}, kStartUpLevelLabels));
    EXPECT_EQ(ValueGridRows(canvas), kStartUpLevelRows);
    EXPECT_TRUE(TextAt(canvas, (696 - canvas.TextWidth("lowpass")) / 2 + 50, 2, "lowpass"));
  }
  messages.clear();
  GraphControls endZero;
  endZero.editEf = "0";
  Prepare(endZero);
  EXPECT_EQ(messages.size(), 1);

  // A linear axis may start at 0 Hz.
  messages.clear();
  GraphControls linear;
  linear.editSf = "0";
  linear.checkBoxLog = false;
  Prepare(linear);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(FreqGridColumns(canvas).size(), 9u);
}

TEST_F(AxesTest, ReversedFrequencyLimits) {
  // Logarithmic: the logarithm of the negative span fails, no grid.
  GraphControls controls;
  controls.editSf = "10k";
  controls.editEf = "100";
  Prepare(controls);
  EXPECT_EQ(PlotState.FreqStart, 10000.0);
  EXPECT_TRUE(FreqGridColumns(canvas).empty());
  // Linear: the last tick at or below the left edge lies above the right-edge
  // frequency, so only the edge labels are drawn.
  controls.checkBoxLog = false;
  Prepare(controls);
  EXPECT_TRUE(FreqGridColumns(canvas).empty());
  EXPECT_TRUE(LabelsAre(canvas, {{50, "10.00k"}, {746, "100.0 "}}, kStartUpLevelLabels));
}

// Tick walks that would never end if they stepped from the first tick or
// kept adding a step too small to change the value.
TEST_F(AxesTest, TickWalksEndForExtremeRanges) {
  struct Case {
    const char* sf;
    const char* ef;
    bool log;
    int gridLines;  // -1: not checked
  };
  const Case cases[] = {
      {"1T", "1000000000001", false, 9},             // 10^13 ticks of 0.1 Hz from 0 Hz
      {"1T", "1000000000001", true, 4},              // steps of 0.2 Hz from 1 THz
      {"900G", "900000000001", true, 4},             // 4 * 10^12 steps from 100 GHz
      {"1e20", "100000000000000032768", false, -1},  // steps of 5 kHz below the spacing
      {"1e20", "100000000000000032768", true, -1},
      {"0", "1e300", false, 9},
      {"1e-300", "1e300", true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sf) + " .. " + c.ef + (c.log ? " log" : " linear"));
    GraphControls controls;
    controls.editSf = QString::fromLatin1(c.sf);
    controls.editEf = QString::fromLatin1(c.ef);
    controls.checkBoxLog = c.log;
    EXPECT_EQ(PrepareFault(controls), std::nullopt);
    if (c.gridLines >= 0) {
      EXPECT_EQ(FreqGridColumns(canvas).size(), size_t(c.gridLines));
    }
    EXPECT_EQ(ValueGridRows(canvas, 60), kStartUpLevelRows);
  }

  // A level step below the spacing of doubles: the lower limit's tick only.
  GraphControls level;
  level.editMinL = "1e20";
  level.editMaxL = "100000000000000032768";
  EXPECT_EQ(PrepareFault(level), std::nullopt);
  EXPECT_EQ(PlotState.LevelMax - PlotState.LevelMin, 32768.0);
  EXPECT_TRUE(ValueGridRows(canvas).empty());
}

TEST_F(AxesTest, TitleIsTheFileNameWithoutFolderAndExtension) {
  struct Case {
    const char* path;
    const char* title;
  };
  const Case cases[] = {{"", ""},
                        {"/home/user/filters/lowpass.csv", "lowpass"},
                        {"/home/user/filters/band.pass.csv", "band.pass"},
                        {"/home/user/filter.d/notch", "notch"},
                        {"relative/highpass.CSV", "highpass"},
                        {"/tmp/trailing.", "trailing"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(TitleOf(QString::fromUtf8(c.path)), QString::fromUtf8(c.title));
  }

  Prepare(GraphControls{}, "/home/user/filters/lowpass.csv");
  const int width = canvas.TextWidth("lowpass");
  EXPECT_TRUE(TextAt(canvas, (696 - width) / 2 + 50, 2, "lowpass"));

  // DrawTitle alone replaces the title band and nothing else.
  DrawTitle(canvas, "/x/y/other.csv");
  EXPECT_FALSE(TextAt(canvas, (696 - width) / 2 + 50, 2, "lowpass"));
  EXPECT_TRUE(TextAt(canvas, (696 - canvas.TextWidth("other")) / 2 + 50, 2, "other"));
  EXPECT_TRUE(AllOf(canvas, 49, 19, 747, 20, ColorBlack));
  DrawTitle(canvas, QString());
  EXPECT_TRUE(AllOf(canvas, 49, 1, 747, 18, ColorWhite));
  EXPECT_EQ(FreqGridColumns(canvas), kStartUpFreqColumns);
}

}  // namespace
