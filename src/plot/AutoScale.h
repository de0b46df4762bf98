#pragma once

#include <QString>

// The texts of the axis boxes that the automatic limits write. EditMinD is
// never changed.
struct AxisBoxTexts {
  QString editSf;
  QString editEf;
  QString editMinL;
  QString editMaxL;
  QString editMaxD;
};

// Fits the axes to the filter in TransferTable after a load: the frequency
// range, the level limits and the upper delay limit, from the header and the
// total response at reference frequencies chosen by the filter form. Writes
// the five texts of `boxes` in the order Sf, Ef, MinL, MaxL, MaxD; a
// FloatError ends it with the texts written so far changed and the others as
// they were. Selects the total curve; leaves ShowAmplitude in the delay view
// when it evaluated the response.
void AutoScaleAxes(AxisBoxTexts& boxes);
