#pragma once

#include <array>

// Per-stage values prepared from the transfer table before every sweep,
// indexed by table row (rows 0 and 1 unused).
extern std::array<double, 32> GainSq;       // H * H, normalised for TZF stages
extern std::array<double, 32> ZeroRatioSq;  // (fn / fo)^2 of TZF stages

constexpr double TwoPi = 6.283185307179586;
constexpr double Log10E = 0.4342944819032518;
// Decibel value that stands for a squared amplitude of exactly 0.
constexpr double ZeroGainLevel = -999.99;

// Fills GainSq and ZeroRatioSq for rows 2 .. n+1 from the transfer table.
void PrepareStages();
// Squared amplitude of the stage in table row `row` at f Hz.
double StageGainSq(int row, double f);
// Group delay in seconds of that stage at f Hz.
double StageDelay(int row, double f);
// Base-10 logarithm; NaN where the logarithm fails (x <= 0). Never raises.
double SafeLog10(double x);
// The stage's value in the view's unit: dB when amplitude, else seconds.
double StageValue(int row, double f, bool amplitude);
// Sum of StageValue over rows firstRow .. lastRow; 0 for an empty range.
double CascadeSum(int firstRow, int lastRow, double f, bool amplitude);
