#pragma once

#include "platform/Canvas.h"

#include <QString>

#include <optional>

// The cross-hair readout over the graph bitmap. The lines are drawn in pure
// red with exclusive-or, so drawing a line again erases it exactly; their
// positions live in PlotState.CursorLineX / CursorLineY (0 = none).

// True when the last mouse position (PlotState.CursorX/Y) is on the legend's
// hit area of a bitmap `imageWidth` pixels wide.
bool OverLegend(int imageWidth);

// The readout text: frequency, then the value in dB or seconds.
// "  1.000kHz     -3.010dB", " 50.000 Hz     1.200mS".
QString ReadoutText(double frequency, double value, bool amplitude);

// Removes the cross-hair lines from the canvas.
void EraseCrossHair(Canvas& canvas);

// A mouse move to (x, y): stores the position and, when there are stages and
// the column is new and no update is running, moves the cross-hair and
// returns the new text of the readout label. Returns nothing when the update
// did not run. An arithmetic error of the curve value ends the update with
// ReadoutBusy left set, so that a failing readout stays off until the next
// redraw.
std::optional<QString> MoveReadout(Canvas& canvas, int x, int y);

// The mouse left the graph: removes the cross-hair.
void LeaveReadout(Canvas& canvas);

// A click at the last mouse position: selects the legend's curve under it and
// returns true (the caller redraws), or returns false off the legend.
bool ClickReadout(int imageWidth);
