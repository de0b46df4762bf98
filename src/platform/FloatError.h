#pragma once

#include <exception>

// The three floating-point faults that end an operation. Underflow, inexact
// results and denormal operands are not faults.
enum class FloatErrorKind {
  InvalidOperation,  // 0/0, inf-inf, 0*inf, log of a negative number, bad rounding
  DivisionByZero,    // finite non-zero value divided by zero, log(0)
  Overflow,          // infinite result from finite operands
};

// Raised by the checked arithmetic in Fp.h. what() is the user-facing message
// in UTF-8, shown by the general error report.
class FloatError : public std::exception {
 public:
  explicit FloatError(FloatErrorKind kind) noexcept : kind_(kind) {}
  FloatErrorKind kind() const noexcept { return kind_; }
  const char* what() const noexcept override;

 private:
  FloatErrorKind kind_;
};

[[noreturn]] void RaiseFloatError(FloatErrorKind kind);
