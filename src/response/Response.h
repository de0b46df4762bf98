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
// Frequencies handled by one StageValuesAt call.
constexpr int StageSweepBlock = 64;
// StageValue of one row at StageSweepBlock frequencies, with the same
// operations and so the same results to the last bit. The loops run without
// the per-operation checks: when any step leaves the finite numbers (where the
// checked arithmetic might raise) or the type code is not a whole number
// 0 .. 8, the answer is false and out is not to be used; StageValue one by one
// then gives the values or raises the error where it belongs.
bool StageValuesAt(int row, const double (&f)[StageSweepBlock], bool amplitude,
                   double (&out)[StageSweepBlock]);
// Sum of StageValue over rows firstRow .. lastRow; 0 for an empty range.
double CascadeSum(int firstRow, int lastRow, double f, bool amplitude);
