#pragma once

#include <QString>

#include <optional>

// The axis-stepping buttons. Each press works on the limits of the last
// redraw in PlotState, changes them by one grid step and returns the texts
// that go into the limit boxes (the caller writes them and redraws). An axis
// without a grid step (equal limits, limits that are no numbers, or a
// logarithmic axis starting at or below 0 Hz) is left as it is: the press
// returns nothing, and the caller neither rewrites the boxes nor redraws.
// tag 1 moves the curves right (frequency) or up (level/delay), tag 2 the
// other way, tag 3 zooms in, tag 4 zooms out; `reverse` swaps tags 1 and 2.

struct LimitTexts {
  QString upper;  // EditEf, EditMaxL or EditMaxD
  QString lower;  // EditSf, EditMinL or EditMinD
};

std::optional<LimitTexts> StepFrequencyAxis(int tag, bool reverse);
// Steps the level limits in the level view and the delay limits in the delay
// view (PlotState.ShowAmplitude).
std::optional<LimitTexts> StepValueAxis(int tag, bool reverse);
