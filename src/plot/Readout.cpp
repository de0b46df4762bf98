#include "plot/Readout.h"

#include "common/Common.h"
#include "document/TransferTable.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"

namespace {

constexpr ColorWord CrossHairColor = 0x0000FF;  // pure red

void SelectCrossHairPen(Canvas& canvas) { canvas.SetPen(CrossHairColor, 1, PenMode::Xor); }

void RestorePen(Canvas& canvas) { canvas.SetPen(ColorBlack, 1, PenMode::Copy); }

void VerticalLine(Canvas& canvas, int x) {
  canvas.MoveTo(x, PlotTop);
  canvas.LineTo(x, PlotState.PlotHeight + PlotTop);
}

void HorizontalLine(Canvas& canvas, int y) {
  canvas.MoveTo(PlotLeft, y);
  canvas.LineTo(PlotState.PlotWidth + PlotLeft, y);
}

// The cross-hair pen for the life of the scope; the ordinary black pen after
// it, also when an arithmetic error ends the update.
class CrossHairPen {
 public:
  explicit CrossHairPen(Canvas& canvas) : canvas_(canvas) { SelectCrossHairPen(canvas_); }
  ~CrossHairPen() { RestorePen(canvas_); }
  CrossHairPen(const CrossHairPen&) = delete;
  CrossHairPen& operator=(const CrossHairPen&) = delete;

 private:
  Canvas& canvas_;
};

}  // namespace

bool OverLegend(int imageWidth) {
  const int n = StageCount();
  return PlotState.PlotWidth + 53 < PlotState.CursorX && PlotState.CursorX < imageWidth - 3 &&
         15 < PlotState.CursorY && PlotState.CursorY < 10 * n + 25;
}

QString ReadoutText(double frequency, double value, bool amplitude) {
  const QString f = FormatEng(frequency, 8, 3) + QStringLiteral("Hz   ");
  if (amplitude) return f + FormatFixed(value, 8, 3) + QStringLiteral("dB");
  return f + FormatEng(value, 8, 3) + QStringLiteral("S");
}

void EraseCrossHair(Canvas& canvas) {
  if (PlotState.CursorLineX != 0) {
    VerticalLine(canvas, PlotState.CursorLineX);
    PlotState.CursorLineX = 0;
  }
  if (PlotState.CursorLineY != 0) {
    HorizontalLine(canvas, PlotState.CursorLineY);
    PlotState.CursorLineY = 0;
  }
}

std::optional<QString> MoveReadout(Canvas& canvas, int x, int y) {
  PlotState.CursorX = x;
  PlotState.CursorY = y;
  if (!(StageCount() > 0) || x == PlotState.CursorLineX || PlotState.ReadoutBusy)
    return std::nullopt;
  // Set for the update; an error leaves it set, which keeps the readout off
  // until the next redraw clears it.
  PlotState.ReadoutBusy = true;
  CrossHairPen pen(canvas);
  EraseCrossHair(canvas);
  QString text;
  if (PlotState.PlotWidth > 0 && x >= PlotLeft && x <= PlotState.PlotWidth + PlotLeft) {
    const double f = XToFreq(x - PlotLeft);
    const double v = CurveValueAt(f);
    text = ReadoutText(f, v, PlotState.ShowAmplitude);
    VerticalLine(canvas, x);
    PlotState.CursorLineX = x;
    const int row = ValueToY(v);
    if (PlotTop < row && row < PlotState.PlotHeight + PlotTop) {
      HorizontalLine(canvas, row);
      PlotState.CursorLineY = row;
    }
  }
  PlotState.ReadoutBusy = false;
  return text;
}

void LeaveReadout(Canvas& canvas) {
  CrossHairPen pen(canvas);
  EraseCrossHair(canvas);
}

bool ClickReadout(int imageWidth) {
  if (!OverLegend(imageWidth)) return false;
  PlotState.SelectedCurve = (PlotState.CursorY - 15) / 10;
  return true;
}
