#include "response/Response.h"

#include "document/TransferTable.h"
#include "platform/Fp.h"

#include <cmath>
#include <limits>

std::array<double, 32> GainSq{};
std::array<double, 32> ZeroRatioSq{};

// Every expression below is evaluated in the order it is written, so that the
// results agree to the last bit wherever that matters (a TZF stage evaluated
// exactly at its zero). Operations that can raise an arithmetic fault for some
// input go through the checked helpers of fp::; the few that cannot are plain:
// - x + 1 and 1 - x, because x = t * t is never negative (it is >= 0, +inf or
//   NaN), so neither can overflow or give inf - inf;
// - the final division of a delay by 2 pi, and the products with the log
//   factor and with 10, which shrink or keep the magnitude of a value.
// Comparisons never fault.

namespace {

// Type code of a stage row, rounded halves to even. The codes held in the
// table are nearly always whole numbers from 0 to 8; those are taken as they
// are, everything else goes through the checked rounding (which raises an
// invalid operation for NaN and infinities).
inline int TypeCode(int row) {
  const double v = ElementCell(row, TransferElement::Type);
  if (v >= 0.0 && v <= 8.0) {
    const int i = static_cast<int>(v);
    if (static_cast<double>(i) == v) return i;
  }
  return fp::RoundInt(v);
}

// The squared-amplitude denominator of the second-order low-, high-, band-pass
// and TZF stages: (1 - x)^2 + x / Q^2.
inline double GainDenominator(double x, double q) {
  const double oneMinusX = 1.0 - x;
  return fp::Add(fp::Mul(oneMinusX, oneMinusX), fp::Div(fp::Div(x, q), q));
}

// The delay denominator of the second-order stages: x + Q^2 (1 - x)^2.
inline double DelayDenominator(double x, double q) {
  const double oneMinusX = 1.0 - x;
  return fp::Add(x, fp::Mul(fp::Mul(fp::Mul(q, q), oneMinusX), oneMinusX));
}

inline double GainSqAt(int row, double f) {
  const int code = TypeCode(row);
  // f / fo comes before the type is looked at: fo = 0 fails for every code.
  const double t = fp::Div(f, ElementCell(row, TransferElement::FoFa));
  const double x = fp::Mul(t, t);
  const double g = GainSq[row];
  switch (code) {
    case FirstOrderLpf:
      return fp::Div(g, x + 1.0);
    case FirstOrderHpf:
      return fp::Div(fp::Mul(g, x), x + 1.0);
    case SecondOrderLpf:
    case SecondOrderHpf:
    case SecondOrderBpf:
    case SecondOrderTzf: {
      const double q = ElementCell(row, TransferElement::Q);
      const double d = GainDenominator(x, q);
      switch (code) {
        case SecondOrderLpf:
          return fp::Div(g, d);
        case SecondOrderHpf:
          return fp::Div(fp::Mul(fp::Mul(g, x), x), d);
        case SecondOrderBpf:
          return fp::Div(fp::Mul(g, x), fp::Mul(fp::Mul(q, q), d));
        default: {
          const double zeroMinusX = fp::Sub(ZeroRatioSq[row], x);
          return fp::Div(fp::Mul(fp::Mul(g, zeroMinusX), zeroMinusX), d);
        }
      }
    }
    case FirstOrderApf:
    case SecondOrderApf:
      return g;  // all-pass: flat
    default:
      return 0.0;  // no stage, or a code this program does not know
  }
}

inline double DelayAt(int row, double f) {
  const int code = TypeCode(row);
  const double fo = ElementCell(row, TransferElement::FoFa);
  const double t = fp::Div(f, fo);
  const double x = fp::Mul(t, t);
  double value;
  switch (code) {
    case FirstOrderLpf:
    case FirstOrderHpf:
      value = fp::Div(1.0, fp::Mul(x + 1.0, fo));
      break;
    case FirstOrderApf:
      value = fp::Div(2.0, fp::Mul(x + 1.0, fo));
      break;
    case SecondOrderLpf:
    case SecondOrderHpf:
    case SecondOrderBpf:
    case SecondOrderTzf: {
      const double q = ElementCell(row, TransferElement::Q);
      const double e = DelayDenominator(x, q);
      value = fp::Div(fp::Mul(fp::Div(x + 1.0, e), q), fo);
      break;
    }
    case SecondOrderApf: {
      const double q = ElementCell(row, TransferElement::Q);
      const double e = DelayDenominator(x, q);
      value = fp::Div(fp::Mul(fp::Div(fp::Mul(x + 1.0, 2.0), e), q), fo);
      break;
    }
    default:
      return 0.0;
  }
  return value / TwoPi;
}

inline double SafeLog10Inline(double x) {
  if (!(x > 0.0)) [[unlikely]]
    return std::numeric_limits<double>::quiet_NaN();
  return std::log(x) * Log10E;
}

inline double StageValueAt(int row, double f, bool amplitude) {
  if (!amplitude) return DelayAt(row, f);
  const double a = GainSqAt(row, f);
  if (a == 0.0) return ZeroGainLevel;
  return SafeLog10Inline(a) * 10.0;
}

}  // namespace

void PrepareStages() {
  int n = StageCount();
  if (n < 1) return;
  // The table's writers keep n within 30; the bound keeps the row loop inside
  // the table should that ever be broken.
  if (n > MaxStages) n = MaxStages;
  for (int r = FirstStageRow; r <= n + 1; ++r) {
    const double h = ElementCell(r, TransferElement::H);
    GainSq[r] = fp::Mul(h, h);
    if (TypeCode(r) == SecondOrderTzf) {
      const double fo = ElementCell(r, TransferElement::FoFa);
      const double fn = ElementCell(r, TransferElement::Fn);
      const double z = fp::Div(fp::Mul(fp::Div(fn, fo), fn), fo);
      ZeroRatioSq[r] = z;
      // With the zero above fo, H is the gain below the notch.
      if (fn > fo) GainSq[r] = fp::Div(GainSq[r], fp::Mul(z, z));
    }
  }
}

double StageGainSq(int row, double f) { return GainSqAt(row, f); }

double StageDelay(int row, double f) { return DelayAt(row, f); }

double SafeLog10(double x) { return SafeLog10Inline(x); }

double StageValue(int row, double f, bool amplitude) { return StageValueAt(row, f, amplitude); }

double CascadeSum(int firstRow, int lastRow, double f, bool amplitude) {
  double sum = 0.0;
  for (int row = firstRow; row <= lastRow; ++row)
    sum = fp::Add(sum, StageValueAt(row, f, amplitude));
  return sum;
}
