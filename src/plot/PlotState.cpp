#include "plot/PlotState.h"

#include "platform/Fp.h"
#include "response/Response.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

PlotStateData PlotState;

void ResetPlotState() { PlotState = PlotStateData{}; }

double XToFreq(int column) {
  const PlotStateData& s = PlotState;
  if (s.PlotWidth <= 0) return 0.0;
  if (s.LogScale) {
    const double decades = fp::Ln(fp::Div(s.FreqEnd, s.FreqStart));
    return fp::Exp(fp::Add(fp::Div(fp::Mul(decades, column), s.PlotWidth), fp::Ln(s.FreqStart)));
  }
  return fp::Add(fp::Div(fp::Mul(fp::Sub(s.FreqEnd, s.FreqStart), column), s.PlotWidth),
                 s.FreqStart);
}

int FreqToX(double f) {
  const PlotStateData& s = PlotState;
  double fraction;
  if (s.LogScale)
    fraction =
        fp::Div(fp::Sub(fp::Ln(f), fp::Ln(s.FreqStart)), fp::Ln(fp::Div(s.FreqEnd, s.FreqStart)));
  else
    fraction = fp::Div(fp::Sub(f, s.FreqStart), fp::Sub(s.FreqEnd, s.FreqStart));
  return fp::RoundInt(fp::Mul(fraction, s.PlotWidth));
}

RowMapping CurrentRowMapping() {
  const PlotStateData& s = PlotState;
  const double low = s.ShowAmplitude ? s.LevelMin : s.DelayMin;
  const double high = s.ShowAmplitude ? s.LevelMax : s.DelayMax;
  return {low, fp::Div(s.PlotHeight, fp::Sub(high, low)), double(s.PlotHeight + PlotTop)};
}

namespace {

// The rows a finite value saturates to.
constexpr double LowestRow = std::numeric_limits<int>::min();
constexpr double HighestRow = std::numeric_limits<int>::max();

}  // namespace

bool MapToRows(const RowMapping& mapping, const double* v, int count, int* rows) {
  // ValueToY raises exactly when the row is not a finite number: a step that
  // leaves the finite numbers never comes back to them. Otherwise it
  // saturates and rounds, as here, without a branch per value.
  constexpr double largest = std::numeric_limits<double>::max();
  int i = 0;
  bool finite = true;
#if defined(__SSE2__)
  // Two values at a time. The conversion rounds in the current mode, halves
  // to even like rint, and the clamp keeps it inside the int range.
  const __m128d low = _mm_set1_pd(mapping.low);
  const __m128d scale = _mm_set1_pd(mapping.scale);
  const __m128d bottom = _mm_set1_pd(mapping.bottom);
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
  __m128d inRange = _mm_castsi128_pd(_mm_set1_epi64x(-1));
  for (; i + 2 <= count; i += 2) {
    const __m128d y = _mm_sub_pd(bottom, _mm_mul_pd(scale, _mm_sub_pd(_mm_loadu_pd(v + i), low)));
    inRange = _mm_and_pd(inRange, _mm_cmple_pd(_mm_and_pd(y, magnitude), _mm_set1_pd(largest)));
    const __m128d clamped =
        _mm_min_pd(_mm_max_pd(y, _mm_set1_pd(LowestRow)), _mm_set1_pd(HighestRow));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(rows + i), _mm_cvtpd_epi32(clamped));
  }
  finite = _mm_movemask_pd(inRange) == 3;
#endif
  for (; i < count; ++i) {
    const double y = mapping.bottom - mapping.scale * (v[i] - mapping.low);
    finite &= std::fabs(y) <= largest;
    rows[i] = static_cast<int>(std::rint(std::min(std::max(y, LowestRow), HighestRow)));
  }
  return finite;
}

int ValueToY(double v) {
  const RowMapping mapping = CurrentRowMapping();
  const double y = fp::Sub(mapping.bottom, fp::Mul(mapping.scale, fp::Sub(v, mapping.low)));
  // A finite row beyond the integer range (a curve far outside a very narrow
  // value range) is as far off the plot as any other: it saturates instead of
  // ending the redraw. NaN and infinite rows still raise.
  if (std::isfinite(y)) {
    if (y < LowestRow) return std::numeric_limits<int>::min();
    if (y > HighestRow) return std::numeric_limits<int>::max();
  }
  return fp::RoundInt(y);
}

double GridStep(double span) {
  const double y = span < 1.0 ? fp::Div(1.0, span) : span;
  double p = 1.0;
  while (y > p) p = fp::Mul(p, 10.0);
  if (span < 1.0) p = fp::Div(10.0, p);
  const double r = fp::Div(span, p);
  if (r > 0.5) return p / 10.0;
  if (r > 0.2) return p / 20.0;
  if (r > 0.1) return p / 50.0;
  return p / 100.0;
}

double PowerOfTen(int exponent, bool invert) {
  double p = 1.0;
  for (int i = std::abs(exponent); i > 0; --i) p = fp::Mul(p, 10.0);
  if (invert && exponent < 0) p = fp::Div(1.0, p);
  return p;
}

double LogFreqStep(double upper, double lower) {
  double p = PowerOfTen(fp::TruncInt(SafeLog10(lower) + 0.0001), true);
  if (p > lower) p = fp::Div(p, 10.0);
  if (fp::TruncInt(SafeLog10(fp::Div(upper, lower)) + 0.0001) > 0) return p;

  const double range = fp::Sub(upper, lower);
  double s = PowerOfTen(fp::RoundInt(SafeLog10(range)), false);
  while (fp::Div(range, s) < 10.0) s = fp::Div(s, 10.0);
  while (fp::Div(range, s) > 100.0) s = fp::Mul(s, 10.0);
  return s;
}
