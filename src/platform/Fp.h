#pragma once

// Checked floating-point arithmetic. The computing code does its divisions,
// products, sums, logarithms, exponentials and roundings through these helpers,
// which raise FloatError by IEEE's rules:
// - invalid operation: a NaN result from non-NaN operands;
// - division by zero: a finite non-zero value divided by zero, ln(0);
// - overflow: an infinite result from finite operands.
// A quiet NaN operand passes through silently, and comparisons never raise.
// The hardware exception flags are not used: the compiler is free to move and
// merge floating-point operations around flag tests, so the checks look at the
// operands and the result instead.

#include "platform/FloatError.h"

#include <cmath>

namespace fp {
namespace detail {
void CheckDiv(double a, double b, double r);
void CheckResult(double a, double b, double r);
void CheckLn(double x);
void CheckExp(double x, double r);
}  // namespace detail

inline double Div(double a, double b) {
  const double r = a / b;
  if (!std::isfinite(r)) [[unlikely]]
    detail::CheckDiv(a, b, r);
  return r;
}

inline double Mul(double a, double b) {
  const double r = a * b;
  if (!std::isfinite(r)) [[unlikely]]
    detail::CheckResult(a, b, r);
  return r;
}

inline double Add(double a, double b) {
  const double r = a + b;
  if (!std::isfinite(r)) [[unlikely]]
    detail::CheckResult(a, b, r);
  return r;
}

inline double Sub(double a, double b) {
  const double r = a - b;
  if (!std::isfinite(r)) [[unlikely]]
    detail::CheckResult(a, b, r);
  return r;
}

// Natural logarithm: ln(0) is a division by zero, ln of a negative number an
// invalid operation; ln(NaN) is NaN and ln(+inf) is +inf without a fault.
inline double Ln(double x) {
  if (!(x > 0.0) && !std::isnan(x)) [[unlikely]]
    detail::CheckLn(x);
  return std::log(x);
}

inline double Exp(double x) {
  const double r = std::exp(x);
  if (std::isinf(r)) [[unlikely]]
    detail::CheckExp(x, r);
  return r;
}

namespace detail {
[[noreturn]] void RaiseBadRounding();
}

// Nearest integer, halves to even. NaN, infinities and values outside the
// 32-bit (or 64-bit) range raise an invalid operation. rint rounds in the
// current mode, which the program never changes from round-to-nearest-even.
inline int RoundInt(double x) {
  const double r = std::rint(x);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) [[unlikely]]
    detail::RaiseBadRounding();
  return static_cast<int>(r);
}
long long RoundInt64(double x);

// Truncation toward zero, with the same range check as RoundInt.
int TruncInt(double x);

}  // namespace fp
