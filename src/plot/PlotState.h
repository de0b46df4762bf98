#pragma once

#include <array>
#include <cstdint>

// Bitmap layout of the graph, from the image's width W and height H: plot
// column i (0 .. PlotWidth) is bitmap column PlotLeft + i, the plot rows run
// from PlotTop (upper limit) to PlotTop + PlotHeight (lower limit).
constexpr int PlotLeft = 50;
constexpr int PlotTop = 20;
constexpr int PlotWidthMargin = 70;   // PlotWidth = W - 70
constexpr int PlotHeightMargin = 50;  // PlotHeight = H - 50

// The plotting state shared by the graph, its readout and its axis buttons,
// one instance, all zero at start-up. PrepareGraph refills the limits and
// switches from the main window's controls at every redraw.
struct PlotStateData {
  // Last drawn row of each curve, 0 = pen lifted. Entry 0 is the total, entry
  // r (2 .. 31) the stage in table row r; entry 1 is unused.
  std::array<std::int32_t, 32> CurveLastY{};
  double LevelMin = 0.0;   // dB
  double LevelMax = 0.0;   // dB
  double DelayMax = 0.0;   // seconds
  double DelayMin = 0.0;   // seconds
  double FreqStart = 0.0;  // Hz at the left edge of the plot
  double FreqEnd = 0.0;    // Hz at the right edge
  std::int32_t PlotWidth = 0;
  std::int32_t PlotHeight = 0;
  bool LogScale = false;
  std::uint8_t DisplayMode = 0;    // 0 total only, 1 cumulative, 2 single stages
  bool ShowAmplitude = false;      // true: level in dB, false: group delay in s
  std::int32_t SelectedCurve = 0;  // 0 = total, k = stage k
  std::int32_t CursorLineX = 0;    // column of the readout's vertical line, 0 = none
  std::int32_t CursorLineY = 0;    // row of the readout's horizontal line, 0 = none
  bool ReadoutBusy = false;
  std::int32_t CursorX = 0;  // last mouse position over the graph
  std::int32_t CursorY = 0;
};

extern PlotStateData PlotState;

// Back to the start-up state (all zero).
void ResetPlotState();

// Frequency in Hz of plot column i (0 = left edge, PlotWidth = right edge);
// 0 when PlotWidth <= 0. Raises FloatError on a logarithmic axis with a
// limit <= 0.
double XToFreq(int column);
// Plot column of f Hz, rounded half to even (add PlotLeft for the bitmap
// column). Raises FloatError for f or a limit <= 0 on a logarithmic axis and
// for equal limits.
int FreqToX(double f);
// Bitmap row of v (dB in the level view, seconds in the delay view), rounded
// half to even and not clipped to the plot. Raises FloatError for equal
// limits and for a NaN or infinite row.
int ValueToY(double v);

// ValueToY for many values with the same limits: the mapping of the current
// limits and plot height, which raises for equal or NaN limits, then the rows
// of the values.
struct RowMapping {
  double low;     // lower limit of the current view
  double scale;   // rows per unit
  double bottom;  // bitmap row of the lower limit
};
RowMapping CurrentRowMapping();
// ValueToY's rows of v[0 .. count-1] into rows[0 .. count-1]; false, with
// rows not to be used, when ValueToY would raise for any of them.
bool MapToRows(const RowMapping& mapping, const double* v, int count, int* rows);
// 1-2-5 grid step giving more than 4 and at most 10 steps over a positive
// span. GridStep(0) raises a division by zero.
double GridStep(double span);
// Step in Hz of the logarithmic frequency buttons for the limits
// (upper, lower): the power of ten at or below `lower` when the range spans a
// decade, else the power of ten giving 10 to 100 steps over the range.
double LogFreqStep(double upper, double lower);

// 10 raised to |exponent| by repeated multiplication; inverted for a negative
// exponent when `invert` is set.
double PowerOfTen(int exponent, bool invert);
