#pragma once

#include "platform/Canvas.h"
#include "plot/Axes.h"

#include <QString>

#include <array>

// Colour of each curve and legend swatch: index 0 the total, k stage k.
// Entries 22 .. 30 repeat entries 1 .. 9.
constexpr std::array<ColorWord, 31> CurveColors = {
    0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x555500, 0x550055, 0x005555, 0xAA5500,
    0xAA0055, 0x55AA00, 0x5500AA, 0x00AA55, 0x0055AA, 0xAAAA00, 0xAA00AA, 0x00AAAA,
    0xFF5500, 0xFF0055, 0x55FF00, 0x5500FF, 0x00FF55, 0x0055FF, 0xFF0000, 0x00FF00,
    0x0000FF, 0x555500, 0x550055, 0x005555, 0xAA5500, 0xAA0055, 0x55AA00};

// The full redraw: PrepareGraph, the legend, the stage values and the sweep of
// every plot column. A FloatError ends it where it arises, with what was
// drawn so far left on the canvas, and goes to the caller.
void RedrawGraph(Canvas& canvas, const GraphControls& controls, const QString& fileName,
                 const GraphMessageFn& showError = {});

// The colour legend right of the plot for `count` stages: swatch i on row
// 20 + 10 i, absent stages drawn white; the selected swatch 2 pixels wide.
void DrawLegend(Canvas& canvas, int count);

// Evaluates plot column i at f Hz and extends every curve by one column.
void PlotColumn(Canvas& canvas, int column, double f);

// One curve's step into bitmap column x at row y with the current pen: a
// line from the curve's last row in column x - 1, or a fresh start after the
// pen was lifted. A row outside the plot lifts the pen.
void PlotSegment(Canvas& canvas, int x, int y, int curve);

// Value at f Hz of the highlighted curve (dB in the level view, seconds in
// the delay view): the total, or through / of the selected stage in the
// intermediate / individual modes. A selection beyond the stage count (left
// behind when stages were deleted) reads the total.
double CurveValueAt(double f);
