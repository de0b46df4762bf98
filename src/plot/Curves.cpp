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

namespace {

// The segment of stage curve `row` (its colour, 2 pixels wide when selected).
void PlotStageSegment(Canvas& canvas, int x, int y, int row) {
  const int k = row - 1;
  canvas.SetPenColor(CurveColors[k]);
  canvas.SetPenWidth(PlotState.SelectedCurve == k ? 2 : 1);
  PlotSegment(canvas, x, y, row);
}

// The segment of the total curve, 2 pixels wide when it is the only curve or
// selected.
void PlotTotalSegment(Canvas& canvas, int x, int y) {
  canvas.SetPenWidth(PlotState.DisplayMode == 0 || PlotState.SelectedCurve == 0 ? 2 : 1);
  canvas.SetPenColor(CurveColors[0]);
  PlotSegment(canvas, x, y, 0);
}

}  // namespace

void PlotColumn(Canvas& canvas, int column, double f) {
  const PlotStateData& s = PlotState;
  const int x = column + PlotLeft;
  const int n = CurveCount();
  double sum = 0.0;
  for (int row = FirstStageRow; row <= n + 1; ++row) {
    const double v = StageValue(row, f, s.ShowAmplitude);
    sum = fp::Add(sum, v);
    if (s.DisplayMode != 0)
      PlotStageSegment(canvas, x, ValueToY(s.DisplayMode == 1 ? sum : v), row);
  }
  // The total last, on top of the stage curves.
  PlotTotalSegment(canvas, x, ValueToY(sum));
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

namespace {

// Columns computed together before they are drawn.
constexpr int ColumnBlock = StageSweepBlock;

// The rows of every curve over a block of columns, stage by stage:
// rows[row][i] is the bitmap row of curve row - 1 in column first + i, and
// rows[0][i] that of the total, with the values, sums and rounding PlotColumn
// uses. False when any of it would raise an arithmetic error; nothing is
// drawn then.
bool BlockRows(int first, int count, int (&rows)[MaxStages + 2][ColumnBlock]) {
  const PlotStateData& s = PlotState;
  const int n = CurveCount();
  double f[ColumnBlock];
  double v[ColumnBlock];
  double sum[ColumnBlock] = {};
  try {
    const RowMapping mapping = CurrentRowMapping();
    for (int i = 0; i < count; ++i) f[i] = XToFreq(first + i);
    // A short last block repeats its last frequency; those columns go unused.
    for (int i = count; i < ColumnBlock; ++i) f[i] = f[count - 1];
    // The sums are plain additions: the checked ones give the same numbers,
    // and a sum that leaves the finite numbers stays so up to the total, whose
    // row then refuses the block.
    for (int row = FirstStageRow; row <= n + 1; ++row) {
      if (!StageValuesAt(row, f, s.ShowAmplitude, v))
        for (int i = 0; i < count; ++i) v[i] = StageValue(row, f[i], s.ShowAmplitude);
      for (int i = 0; i < count; ++i) sum[i] += v[i];
      if (s.DisplayMode != 0 && !MapToRows(mapping, s.DisplayMode == 1 ? sum : v, count, rows[row]))
        return false;
    }
    if (!MapToRows(mapping, sum, count, rows[0])) return false;
  } catch (const FloatError&) {
    return false;
  }
  return true;
}

// PlotColumn's drawing with the rows already known.
void PlotColumnRows(Canvas& canvas, int column, const int (&rows)[MaxStages + 2][ColumnBlock],
                    int i) {
  const int x = column + PlotLeft;
  const int n = CurveCount();
  if (PlotState.DisplayMode != 0)
    for (int row = FirstStageRow; row <= n + 1; ++row)
      PlotStageSegment(canvas, x, rows[row][i], row);
  PlotTotalSegment(canvas, x, rows[0][i]);
}

}  // namespace

void RedrawGraph(Canvas& canvas, const GraphControls& controls, const QString& fileName,
                 const GraphMessageFn& showError) {
  PrepareGraph(canvas, controls, fileName, showError);
  DrawLegend(canvas, CurveCount());
  PrepareStages();
  // The curves column by column from the left edge. The rows of a block of
  // columns are computed first, a stage across all of them at a time, which
  // keeps the processor busy with many independent divisions instead of one
  // stage after the other; the drawing then takes the same steps as
  // PlotColumn. Should anything in the block raise, the block is drawn with
  // PlotColumn itself, which draws what comes before the error and raises the
  // same error at the same place.
  int rows[MaxStages + 2][ColumnBlock];
  for (int first = 0; first <= PlotState.PlotWidth; first += ColumnBlock) {
    const int count = std::min(ColumnBlock, PlotState.PlotWidth + 1 - first);
    if (BlockRows(first, count, rows)) {
      for (int i = 0; i < count; ++i) PlotColumnRows(canvas, first + i, rows, i);
    } else {
      for (int i = first; i < first + count; ++i) PlotColumn(canvas, i, XToFreq(i));
    }
  }
}
