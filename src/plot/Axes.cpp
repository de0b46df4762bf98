#include "plot/Axes.h"

#include "common/Common.h"
#include "platform/Canvas.h"
#include "platform/FloatError.h"
#include "platform/Fp.h"
#include "plot/PlotState.h"
#include "response/Response.h"

#include <cmath>
#include <cstdlib>

namespace {

// Label texts are formed unpadded; PadToWidth is back on afterwards on every
// path, so that an error inside a formatter cannot leave it off.
class UnpaddedText {
 public:
  UnpaddedText() { PadToWidth = false; }
  ~UnpaddedText() { PadToWidth = true; }
  UnpaddedText(const UnpaddedText&) = delete;
  UnpaddedText& operator=(const UnpaddedText&) = delete;
};

// 1-based position of the first decimal point of a formatted number, 0 when
// there is none.
int PointPosition(const QString& text) { return static_cast<int>(text.indexOf(QChar('.'))) + 1; }

// Four significant digits: the integer digits of a one-decimal text decide
// how many decimals remain.
QString FreqLabelText(double v) {
  UnpaddedText unpadded;
  const int p = PointPosition(FormatEng(v, 5, 1));
  return FormatEng(v, 5, 5 - p);
}

QString ValueLabelText(double v) {
  UnpaddedText unpadded;
  const QString t1 = FormatEng(v, 5, 3);
  int p = PointPosition(t1);
  if (t1.contains(QChar('-'))) --p;
  return FormatEng(v, 5, 5 - p);
}

// The frequency labels go left to right; `right` is the right edge of the
// last label drawn.
struct FreqLabelRow {
  Canvas& canvas;
  int right = 0;

  // A label centred on column x, dropped when its left edge is not right of
  // the previous label's right edge.
  void Draw(int x, double v) {
    const QString text = FreqLabelText(v);
    canvas.SetBrushColor(ColorWhite);
    const int half = canvas.TextWidth(text) / 2;
    const int left = x - half;
    if (left <= right) return;
    canvas.TextOut(left, PlotState.PlotHeight + PlotTop + 4, text);
    right = x + half;
  }
};

// Ticks of the linear axis and of a logarithmic axis narrower than a decade
// are the values first + j * step, formed by repeated addition, counted from
// 0 Hz or from the power of ten below the left edge. Walking them one by one
// up to the left edge is unbounded when the range is narrow and far from
// `first` (1 THz to 1 THz + 1 Hz: 10^13 ticks on a linear axis), so the walk
// starts at the last tick at or below the left edge, found here. Up to
// MaxAddedTicks ticks are still stepped by addition, which gives the very
// values (to the last bit) of a walk from `first`, so ordinary ranges keep
// their ticks and labels exactly; beyond that the tick index is computed
// directly. A tick that addition can no longer advance (a step below the
// spacing of doubles) ends the search where it is.
double LastTickAtOrBelow(double first, double step, double edge) {
  constexpr int MaxAddedTicks = 100000;
  constexpr int SettlingTicks = 4;
  auto advance = [step, edge](double& v, int count) {
    for (int i = 0; i < count; ++i) {
      const double next = fp::Add(v, step);
      if (!(next <= edge) || next == v) return true;
      v = next;
    }
    return false;
  };
  double v = first;
  if (advance(v, MaxAddedTicks)) return v;
  // Far from `first` the sums have drifted from the true multiples of the
  // step: jump from `first` itself to two ticks short of the edge, so that
  // rounding in the product cannot carry the start past it, and settle by
  // addition.
  const double ticks = std::floor(fp::Div(fp::Sub(edge, first), step));
  v = fp::Add(first, fp::Mul(ticks - 2.0, step));
  advance(v, SettlingTicks);
  return v;
}

void DrawFreqAxisUnguarded(Canvas& canvas, FreqLabelRow& labels) {
  PlotStateData& s = PlotState;
  int dec = 0;
  double v = 0.0;
  double step = 0.0;
  if (s.LogScale) {
    v = PowerOfTen(fp::TruncInt(SafeLog10(s.FreqStart) + 0.0001), true);
    if (v > s.FreqStart) v = fp::Div(v, 10.0);
    dec = fp::TruncInt(SafeLog10(fp::Div(s.FreqEnd, s.FreqStart)) + 0.0001);
    if (dec > 0) {
      // At least a decade: ticks at 1 .. 9 times each power of ten.
      step = v;
    } else {
      const double range = fp::Sub(s.FreqEnd, s.FreqStart);
      const int m = fp::RoundInt(fp::Div(SafeLog10(range), SafeLog10(5.0)));
      step = 1.0;
      for (int i = std::abs(m); i > 0; --i) step = fp::Mul(step, 5.0);
      while (fp::Div(range, step) < 5.0) step = fp::Div(step, 5.0);
      while (fp::Div(range, step) > 10.0) step = fp::Mul(step, 2.0);
    }
  } else {
    step = GridStep(fp::Sub(s.FreqEnd, s.FreqStart));
  }

  canvas.SetPenColor(GridColor);
  const int right = s.PlotWidth + PlotLeft;
  if (!s.LogScale) labels.Draw(PlotLeft, s.FreqStart);

  const bool decades = s.LogScale && dec > 0;
  // A decade walk starts within a decade of the left edge and has at most
  // nine ticks a decade, so only the other walks need the jump. (With
  // reversed linear limits the last tick at or below the left edge lies above
  // the right-edge frequency, and the loop draws no ticks.)
  if (!decades) v = LastTickAtOrBelow(v, step, s.FreqStart);
  bool advancing = true;
  while (advancing && s.FreqEnd > v) {
    for (int k = 1; k <= 9; ++k) {
      const int x = FreqToX(v) + PlotLeft;
      if (x >= PlotLeft && x < right) {
        if (x > PlotLeft) {
          canvas.MoveTo(x, PlotTop);
          canvas.LineTo(x, s.PlotHeight + PlotTop);
        }
        if (k == 1 || !decades) labels.Draw(x, v);
      }
      const double next = fp::Add(v, step);
      if (next == v) {
        // The step is below the spacing of doubles here: every further tick
        // would be this one again.
        advancing = false;
        break;
      }
      v = next;
    }
    if (decades) step = fp::Mul(step, 10.0);
  }
  labels.Draw(right, s.FreqEnd);
  canvas.SetPenColor(ColorBlack);
}

// Any arithmetic error inside the frequency axis ends the axis silently; what
// was drawn stays.
void DrawFreqAxis(Canvas& canvas) {
  FreqLabelRow labels{canvas};
  try {
    DrawFreqAxisUnguarded(canvas, labels);
  } catch (const FloatError&) {
  }
}

void DrawValueTick(Canvas& canvas, double v) {
  const PlotStateData& s = PlotState;
  const int y = ValueToY(v);
  const QString text = ValueLabelText(v);
  canvas.SetBrushColor(ColorWhite);
  const int w = canvas.TextWidth(text);
  const int h = canvas.TextHeight(text);
  canvas.TextOut(PlotLeft - 2 - w, y - h / 2, text);
  if (PlotTop < y && y < s.PlotHeight + PlotTop) {
    canvas.MoveTo(PlotLeft, y);
    canvas.LineTo(s.PlotWidth + PlotLeft, y);
  }
}

// Ticks from the lower limit itself in grid steps; the values come from
// repeated addition, so rounding may carry the last one just past the upper
// limit and drop it.
void DrawValueAxis(Canvas& canvas) {
  const PlotStateData& s = PlotState;
  canvas.SetPenColor(GridColor);
  const double low = s.ShowAmplitude ? s.LevelMin : s.DelayMin;
  const double high = s.ShowAmplitude ? s.LevelMax : s.DelayMax;
  const double step = GridStep(fp::Sub(high, low));
  double v = low;
  while (high >= v) {
    if (v >= low) DrawValueTick(canvas, v);
    const double next = fp::Add(v, step);
    // A step below the spacing of doubles would repeat this tick forever.
    if (next == v) break;
    v = next;
  }
  canvas.SetPenColor(ColorBlack);
}

// Reversed limits become the ordered pair of their negatives; the boxes keep
// their texts.
void ReadLimits(const QString& lowText, const QString& highText, double& low, double& high) {
  low = ParseEng(lowText);
  high = ParseEng(highText);
  if (low > high) {
    low = -low;
    high = -high;
  }
}

}  // namespace

QString TitleOf(const QString& fileName) {
  QString name = fileName.mid(fileName.lastIndexOf(QChar('/')) + 1);
  const qsizetype dot = name.lastIndexOf(QChar('.'));
  if (dot >= 0) name.truncate(dot);
  return name;
}

void DrawTitle(Canvas& canvas, const QString& fileName) {
  PlotState.PlotWidth = canvas.width() - PlotWidthMargin;
  canvas.SetBrushColor(ColorWhite);
  canvas.FillRect(PlotLeft - 1, 1, PlotState.PlotWidth + PlotLeft, PlotTop - 2);
  const QString title = TitleOf(fileName);
  // Integer division truncates toward zero, also for a title wider than the
  // plot.
  canvas.TextOut((PlotState.PlotWidth - canvas.TextWidth(title)) / 2 + PlotLeft, 2, title);
}

void PrepareGraph(Canvas& canvas, const GraphControls& controls, const QString& fileName,
                  const GraphMessageFn& showError) {
  PlotStateData& s = PlotState;
  s.ShowAmplitude = controls.checkBoxLevel;
  s.DisplayMode = controls.displayMode == 0 ? 0 : controls.displayMode == 1 ? 1 : 2;
  // The repaint removes any cross-hair of the readout.
  s.CursorLineX = 0;
  s.CursorLineY = 0;
  s.LogScale = controls.checkBoxLog;

  const int w = canvas.width();
  const int h = canvas.height();
  canvas.SetPen(ColorBlack, 1, PenMode::Copy);
  canvas.SetBrushColor(ColorWhite);
  canvas.Rectangle(0, 0, w, h);
  canvas.SetBrushColor(ColorBlack);
  canvas.FrameRect(PlotLeft - 1, PlotTop - 1, w - 19, h - 29);
  s.CurveLastY.fill(0);

  ReadLimits(controls.editMinL, controls.editMaxL, s.LevelMin, s.LevelMax);
  ReadLimits(controls.editMinD, controls.editMaxD, s.DelayMin, s.DelayMax);
  // Frequency limits are not reordered: reversed ones make the frequency
  // fall from left to right.
  s.FreqStart = ParseEng(controls.editSf);
  s.FreqEnd = ParseEng(controls.editEf);
  s.PlotWidth = w - PlotWidthMargin;
  s.PlotHeight = h - PlotHeightMargin;

  // NaN limits compare false and do not trigger the message.
  if (s.LogScale && (s.FreqStart <= 0.0 || s.FreqEnd <= 0.0) && showError) showError(ZeroHzMessage);

  DrawFreqAxis(canvas);
  DrawValueAxis(canvas);
  DrawTitle(canvas, fileName);
}
