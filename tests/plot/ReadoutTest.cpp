#include "plot/Readout.h"

#include "PlotTestSupport.h"
#include "plot/Curves.h"

#include <limits>

using namespace plottest;

namespace {

constexpr ColorWord Cyan = 0xFFFF00;

class ReadoutTest : public PlotTest {
 protected:
  // A 2nd-order low-pass at 1 kHz, drawn in the start-up state.
  void DrawLowPass() {
    SetStages({{3, 1, 1000, 0.7071, 0}});
    RedrawGraph(canvas, GraphControls{}, QString());
    plain = canvas.image().copy();
  }

  Canvas canvas{GraphWidth, GraphHeight};
  QImage plain;
};

}  // namespace

TEST(ReadoutText, AmplitudeAndDelayViews) {
  EXPECT_EQ(ReadoutText(1000, -3.0103, true), QStringLiteral("  1.000kHz     -3.010dB"));
  EXPECT_EQ(ReadoutText(50, 0.0012, false), QStringLiteral(" 50.000 Hz     1.200mS"));
  EXPECT_EQ(ReadoutText(1000, -1234.5678, true), QStringLiteral("  1.000kHz   -1234.568dB"));
}

TEST_F(ReadoutTest, CrossHairFollowsTheCurveAndErasesItself) {
  DrawLowPass();
  const int x = 50 + 348;  // 1 kHz
  const std::optional<QString> text = MoveReadout(canvas, x, 200);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, QStringLiteral("  1.000kHz     -3.010dB"));
  EXPECT_EQ(PlotState.CursorLineX, x);
  const int row = ValueToY(CurveValueAt(XToFreq(348)));
  EXPECT_EQ(PlotState.CursorLineY, row);
  // Exclusive-or with pure red: white under the line shows cyan.
  EXPECT_EQ(canvas.PixelAt(x, 30), RgbToColorWord(plain.pixel(x, 30)) ^ 0x0000FFu);
  EXPECT_EQ(canvas.PixelAt(x, 404), RgbToColorWord(plain.pixel(x, 404)));  // end left out
  EXPECT_EQ(canvas.PixelAt(60, row), Cyan);
  EXPECT_FALSE(PlotState.ReadoutBusy);

  // The same column again changes nothing.
  const QImage marked = canvas.image().copy();
  EXPECT_FALSE(MoveReadout(canvas, x, 300).has_value());
  EXPECT_EQ(canvas.image(), marked);

  // Back and forth leaves no trace; leaving removes the lines.
  for (int i = 0; i < 5; ++i) {
    MoveReadout(canvas, x + 1, 100);
    MoveReadout(canvas, x, 100);
  }
  LeaveReadout(canvas);
  EXPECT_EQ(canvas.image(), plain);
  EXPECT_EQ(PlotState.CursorLineX, 0);
  EXPECT_EQ(PlotState.CursorLineY, 0);
}

TEST_F(ReadoutTest, MarginsEmptyTheTextAndRemoveTheLines) {
  DrawLowPass();
  MoveReadout(canvas, 300, 100);
  for (int x : {49, 50 + 697}) {
    const std::optional<QString> text = MoveReadout(canvas, x, 100);
    ASSERT_TRUE(text.has_value()) << x;
    EXPECT_TRUE(text->isEmpty()) << x;
    EXPECT_EQ(canvas.image(), plain) << x;
    MoveReadout(canvas, 300, 100);
  }
}

TEST_F(ReadoutTest, ValuesOffThePlotGetNoHorizontalLine) {
  // A gain of 40 dB lies above the 20 dB upper limit.
  SetStages({{3, 100, 1000, 0.7071, 0}});
  RedrawGraph(canvas, GraphControls{}, QString());
  const std::optional<QString> text = MoveReadout(canvas, 60, 100);
  ASSERT_TRUE(text.has_value());
  EXPECT_FALSE(text->isEmpty());
  EXPECT_NE(PlotState.CursorLineX, 0);
  EXPECT_EQ(PlotState.CursorLineY, 0);
}

TEST_F(ReadoutTest, WithoutStagesOnlyThePositionIsStored) {
  RedrawGraph(canvas, GraphControls{}, QString());
  plain = canvas.image().copy();
  EXPECT_FALSE(MoveReadout(canvas, 300, 200).has_value());
  EXPECT_EQ(PlotState.CursorX, 300);
  EXPECT_EQ(PlotState.CursorY, 200);
  EXPECT_EQ(canvas.image(), plain);
}

TEST_F(ReadoutTest, LegendClicksSelectCurves) {
  SetStages({{3, 1, 1000, 0.7, 0}, {1, 1, 500, 0, 0}, {2, 1, 200, 0, 0}});
  RedrawGraph(canvas, GraphControls{}, QString());
  const struct {
    int x, y;
    bool hit;
    int selected;
  } cases[] = {{755, 45, true, 3}, {755, 56, false, 3}, {755, 15, false, 3}, {755, 16, true, 0},
               {755, 25, true, 1}, {749, 30, false, 1}, {763, 30, false, 1}, {750, 54, true, 3}};
  PlotState.SelectedCurve = 3;
  for (const auto& c : cases) {
    MoveReadout(canvas, c.x, c.y);
    EXPECT_EQ(OverLegend(GraphWidth), c.hit) << c.x << "," << c.y;
    if (c.hit) PlotState.SelectedCurve = -1;
    EXPECT_EQ(ClickReadout(GraphWidth), c.hit) << c.y;
    if (c.hit) {
      EXPECT_EQ(PlotState.SelectedCurve, c.selected) << c.y;
    }
  }
}

TEST_F(ReadoutTest, AFailingValueLeavesTheReadoutOff) {
  DrawLowPass();
  // A Q that was left empty gives NaN values, which have no pixel row.
  ElementCell(FirstStageRow, TransferElement::Q) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(FaultOf([&] { MoveReadout(canvas, 300, 100); }), FloatErrorKind::InvalidOperation);
  EXPECT_TRUE(PlotState.ReadoutBusy);
  EXPECT_EQ(canvas.PenModeOf(), PenMode::Copy);
  EXPECT_FALSE(MoveReadout(canvas, 301, 100).has_value());
}
