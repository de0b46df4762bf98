#include "plot/AutoScale.h"

#include "plot/PlotState.h"

#include "PlotTestSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace plottest;
using K = FloatErrorKind;

struct Header {
  double ftype, fo, fb, ap, as, ws;
};

void SetHeader(const Header& h) {
  HeaderCell(FilterHeader::Ftype) = h.ftype;
  HeaderCell(FilterHeader::FoFc) = h.fo;
  HeaderCell(FilterHeader::Fb) = h.fb;
  HeaderCell(FilterHeader::Ap) = h.ap;
  HeaderCell(FilterHeader::As) = h.as;
  HeaderCell(FilterHeader::Ws) = h.ws;
}

// Texts the boxes hold before the automatic limits run.
AxisBoxTexts Untouched() { return {"sf", "ef", "minL", "maxL", "maxD"}; }

class AutoScaleTest : public PlotTest {};

TEST_F(AutoScaleTest, LimitsByFilterForm) {
  struct Case {
    const char* what;
    Header header;
    std::vector<Stage> stages;
    AxisBoxTexts expected;  // Sf, Ef, MinL, MaxL, MaxD
  };
  const Stage lpf2{3, 1, 1000, 0.7071, 0};
  const Stage hpf2{4, 1, 1000, 0.7071, 0};
  const Case cases[] = {
      // hi = 2000 + 1000 * 10; A at 0 Hz is 0 dB; D = 225.1 us at 1 kHz.
      {"LPF",
       {1, 1000, 0, 1, 40, 2},
       {lpf2},
       {"100.0000 ", "12.0000k", "-50.0000 ", " 5.0000 ", "450u"}},
      {"no header",
       {1, 0, 0, 1, 40, 2},
       {lpf2},
       {" 1.0000 ", "10.0000k", "-60.0000 ", "10.0000 ", "1 "}},
      // lo = 1000 / 2 / 10; A at 10 kHz is -0.0004 dB.
      {"HPF",
       {2, 1000, 0, 0.5, 60, 2},
       {hpf2},
       {"50.0000 ", "10.0000k", "-70.0000 ", " 5.0000 ", "450u"}},
      {"HPF, negative Ws",
       {2, 1000, 0, 0.5, -60, -2},
       {hpf2},
       {" 1.0000 ", "10.0000k", "-70.0000 ", " 5.0000 ", "450u"}},
      // The band of width fb * Ws = 200 Hz around 1 kHz, widened by Ws twice;
      // the delay at the lower edge of the 100 Hz band, 951.2 Hz.
      {"BPF",
       {3, 1000, 100, 1, 40, 2},
       {{5, 1, 1000, 10, 0}},
       {"226.2469 ", " 4.4200k", "-50.0000 ", " 5.0000 ", "3m"}},
      {"BEF",
       {4, 1000, 100, 1, 40, 2},
       {{1, 1, 1000, 0, 0}},
       {"237.8123 ", " 4.2050k", "-50.0000 ", " 5.0000 ", "167u"}},
      // Ws = 0 makes the upper frequency negative; the redraw reports it.
      {"LPF, Ws = 0",
       {1, 1000, 0, 1, 40, 0},
       {lpf2},
       {"100.0000 ", "-10.0000k", "-50.0000 ", " 5.0000 ", "450u"}},
      {"normalized LPF",
       {6, 1000, 0, 1, 40, 2},
       {lpf2},
       {"100.0000 ", "12.0000k", "-50.0000 ", " 5.0000 ", "450u"}},
      // Any other form: fo / 5 .. fo * 5; no stages give 0 dB and 0 s.
      {"equalizer",
       {5, 2000, 0, 0, 0, 0},
       {},
       {"400.0000 ", "10.0000k", "-10.0000 ", " 5.0000 ", "0 "}},
      {"no form",
       {0, 2000, 0, 0, 0, 0},
       {},
       {"400.0000 ", "10.0000k", "-10.0000 ", " 5.0000 ", "0 "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearTransferTable();
    SetHeader(c.header);
    SetStages(c.stages);
    AxisBoxTexts boxes = Untouched();
    AutoScaleAxes(boxes);
    EXPECT_EQ(boxes.editSf, c.expected.editSf);
    EXPECT_EQ(boxes.editEf, c.expected.editEf);
    EXPECT_EQ(boxes.editMinL, c.expected.editMinL);
    EXPECT_EQ(boxes.editMaxL, c.expected.editMaxL);
    EXPECT_EQ(boxes.editMaxD, c.expected.editMaxD);
  }
}

TEST_F(AutoScaleTest, WsZeroFailsBeforeAnyBoxIsWritten) {
  for (int form : {2, 3, 4}) {
    SCOPED_TRACE(form);
    ClearTransferTable();
    SetHeader({double(form), 1000, 100, 1, 40, 0});
    SetStages({{3, 1, 1000, 0.7071, 0}});
    AxisBoxTexts boxes = Untouched();
    EXPECT_EQ(FaultOf([&] { AutoScaleAxes(boxes); }), K::DivisionByZero);
    EXPECT_EQ(boxes.editSf, "sf");
    EXPECT_EQ(boxes.editEf, "ef");
    EXPECT_EQ(boxes.editMinL, "minL");
    EXPECT_EQ(boxes.editMaxL, "maxL");
    EXPECT_EQ(boxes.editMaxD, "maxD");
  }
}

TEST_F(AutoScaleTest, StageErrorsEndTheFit) {
  // A stage with fo|fa = 0 fails in its evaluation.
  SetHeader({1, 1000, 0, 1, 40, 2});
  SetStages({{1, 1, 0, 0, 0}});
  AxisBoxTexts boxes = Untouched();
  EXPECT_TRUE(FaultOf([&] { AutoScaleAxes(boxes); }).has_value());
  EXPECT_EQ(boxes.editSf, "sf");
}

TEST_F(AutoScaleTest, SelectsTheTotalAndLeavesTheDelayViewOn) {
  SetHeader({1, 1000, 0, 1, 40, 2});
  SetStages({{3, 1, 1000, 0.7071, 0}, {7, 2, 500, 0, 0}});
  PlotState.SelectedCurve = 2;
  PlotState.DisplayMode = 2;  // the fit reads the total whatever the mode
  PlotState.ShowAmplitude = true;
  AxisBoxTexts boxes = Untouched();
  AutoScaleAxes(boxes);
  EXPECT_EQ(PlotState.SelectedCurve, 0);
  EXPECT_FALSE(PlotState.ShowAmplitude);
  // The all-pass adds 6.02 dB: A = 6.02, upper N(7.02 / 5) * 5 + 5 = 10.
  EXPECT_EQ(boxes.editMaxL, "10.0000 ");
  EXPECT_EQ(boxes.editMinL, "-45.0000 ");

  // Without a header nothing is evaluated and the view stays as it was.
  ClearTransferTable();
  PlotState.SelectedCurve = 1;
  PlotState.ShowAmplitude = true;
  AutoScaleAxes(boxes);
  EXPECT_EQ(PlotState.SelectedCurve, 0);
  EXPECT_TRUE(PlotState.ShowAmplitude);
}

}  // namespace
