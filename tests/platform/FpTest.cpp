#include "platform/Fp.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double qnan = std::numeric_limits<double>::quiet_NaN();

struct Case {
  const char* name;
  double (*op)(double, double);
  double a, b;
  std::optional<FloatErrorKind> fault;
};

}  // namespace

TEST(Fp, RaisesExactlyTheThreeFaults) {
  using K = FloatErrorKind;
  const Case cases[] = {
      {"0/0", fp::Div, 0.0, 0.0, K::InvalidOperation},
      {"1/0", fp::Div, 1.0, 0.0, K::DivisionByZero},
      {"-1/0", fp::Div, -1.0, 0.0, K::DivisionByZero},
      {"1e300/1e-300", fp::Div, 1e300, 1e-300, K::Overflow},
      {"inf/0", fp::Div, inf, 0.0, std::nullopt},
      {"1/inf", fp::Div, 1.0, inf, std::nullopt},
      {"inf/inf", fp::Div, inf, inf, K::InvalidOperation},
      {"nan/0", fp::Div, qnan, 0.0, std::nullopt},
      {"0/nan", fp::Div, 0.0, qnan, std::nullopt},
      {"1e-300/1e300 underflows quietly", fp::Div, 1e-300, 1e300, std::nullopt},
      {"1e200*1e200", fp::Mul, 1e200, 1e200, K::Overflow},
      {"0*inf", fp::Mul, 0.0, inf, K::InvalidOperation},
      {"nan*inf", fp::Mul, qnan, inf, std::nullopt},
      {"2*inf", fp::Mul, 2.0, inf, std::nullopt},
      {"inf-inf", fp::Sub, inf, inf, K::InvalidOperation},
      {"inf+-inf", fp::Add, inf, -inf, K::InvalidOperation},
      {"max+max", fp::Add, 1.7e308, 1.7e308, K::Overflow},
      {"-max-max", fp::Sub, -1.7e308, 1.7e308, K::Overflow},
      {"nan+1", fp::Add, qnan, 1.0, std::nullopt},
      {"1+2", fp::Add, 1.0, 2.0, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FaultOf([&] { return c.op(c.a, c.b); }), c.fault) << c.name;
  }
}

TEST(Fp, LogarithmAndExponential) {
  using K = FloatErrorKind;
  EXPECT_EQ(FaultOf([] { return fp::Ln(0.0); }), K::DivisionByZero);
  EXPECT_EQ(FaultOf([] { return fp::Ln(-1.0); }), K::InvalidOperation);
  EXPECT_EQ(FaultOf([] { return fp::Ln(-inf); }), K::InvalidOperation);
  EXPECT_EQ(FaultOf([] { return fp::Ln(qnan); }), std::nullopt);
  EXPECT_EQ(FaultOf([] { return fp::Ln(inf); }), std::nullopt);
  EXPECT_DOUBLE_EQ(fp::Ln(std::exp(2.0)), 2.0);
  EXPECT_EQ(FaultOf([] { return fp::Exp(710.0); }), K::Overflow);
  EXPECT_EQ(FaultOf([] { return fp::Exp(inf); }), std::nullopt);
  EXPECT_EQ(FaultOf([] { return fp::Exp(-1000.0); }), std::nullopt);
  EXPECT_TRUE(std::isnan(fp::Exp(qnan)));
}

TEST(Fp, QuietNanPassesAndComparisonsStaySilent) {
  volatile double n = qnan;
  EXPECT_TRUE(std::isnan(fp::Div(n, 2.0)));
  EXPECT_TRUE(std::isnan(fp::Mul(n, 0.0)));
  EXPECT_TRUE(std::isnan(fp::Sub(n, n)));
  // Ordered comparisons with NaN are false and raise nothing.
  EXPECT_FALSE(n < 1.0);
  EXPECT_FALSE(n >= 1.0);
  EXPECT_FALSE(n == n);
}

TEST(Fp, RoundingHalvesToEvenAndRefusesNonNumbers) {
  const struct {
    double value;
    int expected;
  } cases[] = {{0.5, 0},
               {1.5, 2},
               {2.5, 2},
               {3.5, 4},
               {-0.5, 0},
               {-1.5, -2},
               {-2.5, -2},
               {2.4999, 2},
               {2.5001, 3},
               {2147483647.0, 2147483647},
               {-2147483648.0, -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(fp::RoundInt(c.value), c.expected) << c.value;

  using K = FloatErrorKind;
  for (double bad : {qnan, inf, -inf, 2147483648.0, -2147483649.0, 1e300})
    EXPECT_EQ(FaultOf([&] { return double(fp::RoundInt(bad)); }), K::InvalidOperation) << bad;
  EXPECT_EQ(FaultOf([] { return double(fp::RoundInt64(qnan)); }), K::InvalidOperation);
  EXPECT_EQ(fp::RoundInt64(4.5e12), 4500000000000LL);
}

TEST(Fp, TruncationTowardZero) {
  EXPECT_EQ(fp::TruncInt(2.9999), 2);
  EXPECT_EQ(fp::TruncInt(-2.9999), -2);
  EXPECT_EQ(fp::TruncInt(-0.9999), 0);
  EXPECT_EQ(FaultOf([] { return double(fp::TruncInt(qnan)); }), FloatErrorKind::InvalidOperation);
}

TEST(Fp, MessagesAreTheProgramsOwn) {
  EXPECT_STREQ(FloatError(FloatErrorKind::InvalidOperation).what(), "不正な浮動小数点数演算命令");
  EXPECT_STREQ(FloatError(FloatErrorKind::DivisionByZero).what(), "0 による浮動小数点数除算");
  EXPECT_STREQ(FloatError(FloatErrorKind::Overflow).what(), "浮動小数点数のオーバーフロー");
  const std::exception& asStd = FloatError(FloatErrorKind::Overflow);
  EXPECT_STREQ(asStd.what(), "浮動小数点数のオーバーフロー");
}
