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

namespace {

// The loops over the frequencies: one expression per stage type, each the
// same operations in the same order as GainSqAt and DelayAt, on two columns at
// a time (a pair of doubles per instruction rounds each of them exactly as a
// single one). Beside every value goes a check word, the sum of every
// intermediate result times 0: 0 while they are all finite, NaN as soon as
// one is not.
using Block = double[StageSweepBlock];
using Pair = double __attribute__((vector_size(2 * sizeof(double))));
static_assert(StageSweepBlock % 2 == 0);

template <class Value>
bool SweepStage(const Block& f, double fo, Block& out, Value&& value) {
  Pair check{0.0, 0.0};
  for (int i = 0; i < StageSweepBlock; i += 2) {
    const Pair t = Pair{f[i], f[i + 1]} / fo;
    const Pair x = t * t;
    Pair c = t * 0.0 + x * 0.0;
    const Pair r = value(x, c);
    out[i] = r[0];
    out[i + 1] = r[1];
    check += c;
  }
  return std::isfinite(fo) && check[0] == 0.0 && check[1] == 0.0;
}

// r, with r * 0 added to the check word.
template <class T>
inline T Checked(T r, T& c) {
  c += r * 0.0;
  return r;
}

bool GainSqSweep(int row, int code, const Block& f, Block& out) {
  const double fo = ElementCell(row, TransferElement::FoFa);
  const double q = ElementCell(row, TransferElement::Q);
  const double g = GainSq[row];
  const double z = ZeroRatioSq[row];
  const double qq = q * q;
  if (!std::isfinite(qq) || !std::isfinite(g) || !std::isfinite(z)) return false;
  // (1 - x)^2 + x / Q^2, as GainDenominator.
  const auto denominator = [q](Pair x, Pair& c) {
    const Pair oneMinusX = 1.0 - x;
    return Checked(Checked(oneMinusX * oneMinusX, c) + Checked(Checked(x / q, c) / q, c), c);
  };
  switch (code) {
    case FirstOrderLpf:
      return SweepStage(f, fo, out, [g](Pair x, Pair& c) { return Checked(g / (x + 1.0), c); });
    case FirstOrderHpf:
      return SweepStage(f, fo, out,
                        [g](Pair x, Pair& c) { return Checked(Checked(g * x, c) / (x + 1.0), c); });
    case SecondOrderLpf:
      return SweepStage(f, fo, out,
                        [&](Pair x, Pair& c) { return Checked(g / denominator(x, c), c); });
    case SecondOrderHpf:
      return SweepStage(f, fo, out, [&](Pair x, Pair& c) {
        const Pair d = denominator(x, c);
        return Checked(Checked(Checked(g * x, c) * x, c) / d, c);
      });
    case SecondOrderBpf:
      return SweepStage(f, fo, out, [&](Pair x, Pair& c) {
        const Pair d = denominator(x, c);
        return Checked(Checked(g * x, c) / Checked(qq * d, c), c);
      });
    case SecondOrderTzf:
      return SweepStage(f, fo, out, [&](Pair x, Pair& c) {
        const Pair d = denominator(x, c);
        const Pair zeroMinusX = Checked(z - x, c);
        return Checked(Checked(Checked(g * zeroMinusX, c) * zeroMinusX, c) / d, c);
      });
    case FirstOrderApf:
    case SecondOrderApf:
      return SweepStage(f, fo, out, [g](Pair, Pair&) { return Pair{g, g}; });
    default:
      return SweepStage(f, fo, out, [](Pair, Pair&) { return Pair{0.0, 0.0}; });
  }
}

bool DelaySweep(int row, int code, const Block& f, Block& out) {
  const double fo = ElementCell(row, TransferElement::FoFa);
  const double q = ElementCell(row, TransferElement::Q);
  const double qq = q * q;
  if (!std::isfinite(qq)) return false;
  // x + Q^2 (1 - x)^2, as DelayDenominator.
  const auto denominator = [qq](Pair x, Pair& c) {
    const Pair oneMinusX = 1.0 - x;
    return Checked(x + Checked(Checked(qq * oneMinusX, c) * oneMinusX, c), c);
  };
  switch (code) {
    case FirstOrderLpf:
    case FirstOrderHpf:
      return SweepStage(f, fo, out, [fo](Pair x, Pair& c) {
        return Checked(1.0 / Checked((x + 1.0) * fo, c), c) / TwoPi;
      });
    case FirstOrderApf:
      return SweepStage(f, fo, out, [fo](Pair x, Pair& c) {
        return Checked(2.0 / Checked((x + 1.0) * fo, c), c) / TwoPi;
      });
    case SecondOrderLpf:
    case SecondOrderHpf:
    case SecondOrderBpf:
    case SecondOrderTzf:
      return SweepStage(f, fo, out, [&](Pair x, Pair& c) {
        const Pair e = denominator(x, c);
        return Checked(Checked(Checked((x + 1.0) / e, c) * q, c) / fo, c) / TwoPi;
      });
    case SecondOrderApf:
      return SweepStage(f, fo, out, [&](Pair x, Pair& c) {
        const Pair e = denominator(x, c);
        const Pair r = Checked(Checked(Checked((x + 1.0) * 2.0, c) / e, c) * q, c);
        return Checked(r / fo, c) / TwoPi;
      });
    default:
      return SweepStage(f, fo, out, [](Pair, Pair&) { return Pair{0.0, 0.0}; });
  }
}

}  // namespace

bool StageValuesAt(int row, const double (&f)[StageSweepBlock], bool amplitude,
                   double (&out)[StageSweepBlock]) {
  const double v = ElementCell(row, TransferElement::Type);
  if (!(v >= 0.0 && v <= 8.0) || static_cast<double>(static_cast<int>(v)) != v) return false;
  const int code = static_cast<int>(v);
  if (!amplitude) return DelaySweep(row, code, f, out);
  if (!GainSqSweep(row, code, f, out)) return false;
  for (int i = 0; i < StageSweepBlock; ++i) {
    const double a = out[i];
    out[i] = a == 0.0 ? ZeroGainLevel : SafeLog10Inline(a) * 10.0;
  }
  return true;
}

double CascadeSum(int firstRow, int lastRow, double f, bool amplitude) {
  double sum = 0.0;
  for (int row = firstRow; row <= lastRow; ++row)
    sum = fp::Add(sum, StageValueAt(row, f, amplitude));
  return sum;
}
