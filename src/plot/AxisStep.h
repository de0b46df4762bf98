#pragma once

#include <QString>

// The axis-stepping buttons. Each press works on the limits of the last
// redraw in PlotState, changes them by one grid step and returns the texts
// that go into the limit boxes (the caller writes them and redraws).
// tag 1 moves the curves right (frequency) or up (level/delay), tag 2 the
// other way, tag 3 zooms in, tag 4 zooms out; `reverse` swaps tags 1 and 2.

struct LimitTexts {
  QString upper;  // EditEf, EditMaxL or EditMaxD
  QString lower;  // EditSf, EditMinL or EditMinD
};

LimitTexts StepFrequencyAxis(int tag, bool reverse);
// Steps the level limits in the level view and the delay limits in the delay
// view (PlotState.ShowAmplitude).
LimitTexts StepValueAxis(int tag, bool reverse);
