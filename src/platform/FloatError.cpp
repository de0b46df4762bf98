#include "platform/FloatError.h"

#include "platform/Fp.h"

#include <cmath>
#include <limits>

const char* FloatError::what() const noexcept {
  switch (kind_) {
    case FloatErrorKind::InvalidOperation:
      return "不正な浮動小数点数演算命令";
    case FloatErrorKind::DivisionByZero:
      return "0 による浮動小数点数除算";
    case FloatErrorKind::Overflow:
      return "浮動小数点数のオーバーフロー";
  }
  return "";
}

void RaiseFloatError(FloatErrorKind kind) { throw FloatError(kind); }

namespace fp {
namespace detail {

void CheckDiv(double a, double b, double r) {
  if (std::isnan(r)) {
    if (!std::isnan(a) && !std::isnan(b)) RaiseFloatError(FloatErrorKind::InvalidOperation);
  } else if (std::isinf(r) && std::isfinite(a)) {
    if (b == 0.0) RaiseFloatError(FloatErrorKind::DivisionByZero);
    if (std::isfinite(b)) RaiseFloatError(FloatErrorKind::Overflow);
  }
}

void CheckResult(double a, double b, double r) {
  if (std::isnan(r)) {
    if (!std::isnan(a) && !std::isnan(b)) RaiseFloatError(FloatErrorKind::InvalidOperation);
  } else if (std::isinf(r) && std::isfinite(a) && std::isfinite(b)) {
    RaiseFloatError(FloatErrorKind::Overflow);
  }
}

void CheckLn(double x) {
  if (x == 0.0) RaiseFloatError(FloatErrorKind::DivisionByZero);
  if (x < 0.0) RaiseFloatError(FloatErrorKind::InvalidOperation);
}

void CheckExp(double x, double r) {
  if (std::isinf(r) && std::isfinite(x)) RaiseFloatError(FloatErrorKind::Overflow);
}

[[noreturn]] void RaiseBadRounding() { RaiseFloatError(FloatErrorKind::InvalidOperation); }

}  // namespace detail

long long RoundInt64(double x) {
  const double r = std::rint(x);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) detail::RaiseBadRounding();
  return static_cast<long long>(r);
}

int TruncInt(double x) {
  const double r = std::trunc(x);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) detail::RaiseBadRounding();
  return static_cast<int>(r);
}

}  // namespace fp
