#include "plot/Curves.h"

#include "document/TransferTable.h"
#include "platform/Fp.h"
#include "plot/PlotState.h"
#include "response/Response.h"

#include <algorithm>

namespace {

// The reader and the editor keep n within 0 .. 30; a damaged table must still
// not index past the stage rows and the curve tables.
int CurveCount() { return std::clamp(StageCount(), 0, MaxStages); }

constexpr int LegendRight = 5;  // swatches from W - 16 to W - 5
constexpr int LegendLeft = 16;
constexpr int LegendSpacing = 10;

}  // namespace

void DrawLegend(Canvas& canvas, int count) {
  const int w = canvas.width();
  for (int i = 0; i <= 30; ++i) {
    const bool present = i <= count;
    canvas.SetPenColor(present ? CurveColors[i] : ColorWhite);
    // Absent stages get a white swatch 2 pixels wide: nothing shows.
    canvas.SetPenWidth(i == PlotState.SelectedCurve || !present ? 2 : 1);
    const int y = PlotTop + LegendSpacing * i;
    canvas.MoveTo(w - LegendLeft, y);
    canvas.LineTo(w - LegendRight, y);
  }
  canvas.SetPenWidth(1);
}

void PlotSegment(Canvas& canvas, int x, int y, int curve) {
  std::int32_t& last = PlotState.CurveLastY[curve];
  if (y < PlotTop || y > PlotState.PlotHeight + PlotTop) {
    last = 0;
    return;
  }
  if (last > 0)
    canvas.MoveTo(x - 1, last);
  else
    canvas.MoveTo(x, y);
  canvas.LineTo(x, y);
  last = y;
}

void PlotColumn(Canvas& canvas, int column, double f) {
  const PlotStateData& s = PlotState;
  const int x = column + PlotLeft;
  const int n = CurveCount();
  double sum = 0.0;
  for (int row = FirstStageRow; row <= n + 1; ++row) {
    const int k = row - 1;
    const double v = StageValue(row, f, s.ShowAmplitude);
    sum = fp::Add(sum, v);
    if (s.DisplayMode != 0) {
      canvas.SetPenColor(CurveColors[k]);
      canvas.SetPenWidth(s.SelectedCurve == k ? 2 : 1);
      PlotSegment(canvas, x, ValueToY(s.DisplayMode == 1 ? sum : v), row);
    }
  }
  // The total last, on top of the stage curves.
  const int y = ValueToY(sum);
  canvas.SetPenWidth(s.DisplayMode == 0 || s.SelectedCurve == 0 ? 2 : 1);
  canvas.SetPenColor(CurveColors[0]);
  PlotSegment(canvas, x, y, 0);
}

double CurveValueAt(double f) {
  const PlotStateData& s = PlotState;
  const int n = CurveCount();
  int first = FirstStageRow;
  int last = n + 1;
  if (s.SelectedCurve > 0 && s.SelectedCurve <= n) {
    if (s.DisplayMode == 1) {
      last = s.SelectedCurve + 1;
    } else if (s.DisplayMode == 2) {
      first = s.SelectedCurve + 1;
      last = first;
    }
  }
  return CascadeSum(first, last, f, s.ShowAmplitude);
}

void RedrawGraph(Canvas& canvas, const GraphControls& controls, const QString& fileName,
                 const GraphMessageFn& showError) {
  PrepareGraph(canvas, controls, fileName, showError);
  DrawLegend(canvas, CurveCount());
  PrepareStages();
  for (int i = 0; i <= PlotState.PlotWidth; ++i) PlotColumn(canvas, i, XToFreq(i));
}
