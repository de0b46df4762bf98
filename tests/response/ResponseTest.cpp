#include "document/TransferTable.h"
#include "platform/FloatError.h"
#include "response/Response.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using Complex = std::complex<double>;
using K = FloatErrorKind;

const double kPi = std::acos(-1.0);
const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

using Stage = StageValues;

// The textbook transfer function of a stage at s = j f / fo, with the gain of
// a TZF stage referred to the side of the notch that H describes.
Complex Textbook(const Stage& s, double f) {
  const Complex jw(0.0, f / s.fo);
  const Complex w2 = jw * jw;  // -(f/fo)^2
  const Complex second = 1.0 + jw / s.q + w2;
  switch (static_cast<int>(s.type)) {
    case 1:
      return s.h / (1.0 + jw);
    case 2:
      return s.h * jw / (1.0 + jw);
    case 3:
      return s.h / second;
    case 4:
      return s.h * w2 / second;
    case 5:
      return s.h * (jw / s.q) / second;
    case 6: {
      const double zero = (s.fn / s.fo) * (s.fn / s.fo);
      const double scale = s.fn > s.fo ? s.h / zero : s.h;
      return scale * (zero + w2) / second;
    }
    case 7:
      return s.h * (1.0 - jw) / (1.0 + jw);
    case 8:
      return s.h * (1.0 - jw / s.q + w2) / second;
  }
  return 0.0;
}

// Group delay -d(phase)/d(omega) by a central difference; the ratio of the two
// values keeps the phase difference away from the branch cut.
double NumericDelay(const Stage& s, double f) {
  const double h = f * 1e-5;
  const double dPhase = std::arg(Textbook(s, f + h) / Textbook(s, f - h));
  return -dPhase / (2.0 * kPi * 2.0 * h);
}

class ResponseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTransferTable();
    GainSq.fill(0.0);
    ZeroRatioSq.fill(0.0);
  }
  void TearDown() override { ClearTransferTable(); }

  // Puts the stages into rows 2 .., sets n and prepares them.
  static void Load(std::initializer_list<Stage> stages) {
    int row = FirstStageRow;
    for (const Stage& s : stages) Put(row++, s);
    HeaderCell(FilterHeader::N) = row - FirstStageRow;
    PrepareStages();
  }
  static void Put(int row, const Stage& s) {
    ElementCell(row, TransferElement::Type) = s.type;
    ElementCell(row, TransferElement::H) = s.h;
    ElementCell(row, TransferElement::FoFa) = s.fo;
    ElementCell(row, TransferElement::Q) = s.q;
    ElementCell(row, TransferElement::Fn) = s.fn;
  }
};

const Stage kEveryType[] = {
    {1, 1.5, 1000, 0, 0},     {2, 0.8, 250, 0, 0},   {3, 2.0, 1000, 0.707, 0},
    {4, 1.0, 3300, 2.5, 0},   {5, 3.0, 440, 8.0, 0}, {6, 1.0, 1000, 4.0, 2000},
    {6, 2.0, 1000, 0.6, 450}, {7, 1.2, 1500, 0, 0},  {8, 0.9, 700, 1.3, 0},
    {3, 1.0, 50, 0.3, 0},     {5, 1.0, 1e5, 0.5, 0}, {6, 0.5, 20000, 12, 17000},
};

TEST_F(ResponseTest, GainAndDelayMatchTheTransferFunction) {
  for (const Stage& s : kEveryType) {
    Load({s});
    for (const double ratio : {0.01, 0.3, 0.9, 1.0, 1.17, 3.0, 25.0}) {
      const double f = ratio * s.fo;
      SCOPED_TRACE("type " + std::to_string(s.type) + " at f/fo " + std::to_string(ratio));
      const double gain = std::norm(Textbook(s, f));
      EXPECT_TRUE(NearlyEqual(StageGainSq(2, f), gain, 1e-12))
          << StageGainSq(2, f) << " vs " << gain;
      EXPECT_TRUE(NearlyEqual(StageValue(2, f, true), 10.0 * std::log10(gain), 1e-12));
      const double delay = NumericDelay(s, f);
      EXPECT_TRUE(NearlyEqual(StageDelay(2, f), delay, 1e-6))
          << StageDelay(2, f) << " vs " << delay;
      EXPECT_EQ(StageValue(2, f, false), StageDelay(2, f));
    }
  }
}

TEST_F(ResponseTest, DelayClosedFormsAtZeroCornerAndFarAbove) {
  const double fo = 800.0, q = 2.5;
  const double base = 1.0 / (2.0 * kPi * fo);
  struct Case {
    int type;
    double atZero, atFo, times400SquaredFarAbove;
  };
  // Far above fo (x = 400^2) the first-order delays fall as 1/x and the
  // second-order ones as 1/(Q x).
  const Case cases[] = {
      {1, base, base / 2, base},
      {2, base, base / 2, base},
      {7, 2 * base, base, 2 * base},
      {3, base / q, 2 * q * base, base / q},
      {4, base / q, 2 * q * base, base / q},
      {5, base / q, 2 * q * base, base / q},
      {6, base / q, 2 * q * base, base / q},
      {8, 2 * base / q, 4 * q * base, 2 * base / q},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Load({{double(c.type), 1.0, fo, q, 3 * fo}});
    EXPECT_TRUE(NearlyEqual(StageDelay(2, 0.0), c.atZero, 1e-14));
    EXPECT_TRUE(NearlyEqual(StageDelay(2, fo), c.atFo, 1e-14));
    EXPECT_TRUE(NearlyEqual(StageDelay(2, 400 * fo) * 400 * 400, c.times400SquaredFarAbove, 1e-4));
  }
}

TEST_F(ResponseTest, GainAtZeroFrequencyAndAtTheCorner) {
  const double h = 1.7, q = 3.0, fo = 1200.0;
  // At f = 0 the low-pass and all-pass stages pass H, the high- and band-pass
  // stages are exactly zero.
  const struct {
    int type;
    double atZero;
  } zeroCases[] = {{1, h * h}, {2, 0}, {3, h * h}, {4, 0}, {5, 0}, {7, h * h}, {8, h * h}};
  for (const auto& c : zeroCases) {
    SCOPED_TRACE(c.type);
    Load({{double(c.type), h, fo, q, 0}});
    EXPECT_EQ(StageGainSq(2, 0.0), c.atZero);
    EXPECT_EQ(StageValue(2, 0.0, true), c.atZero == 0 ? ZeroGainLevel : 10 * SafeLog10(h * h));
  }
  // At f = fo the second-order low- and high-pass peak at H Q, the band-pass
  // at exactly H.
  for (const int type : {3, 4}) {
    Load({{double(type), h, fo, q, 0}});
    EXPECT_TRUE(NearlyEqual(StageGainSq(2, fo), h * h * q * q, 1e-14)) << type;
  }
  Load({{5, h, fo, q, 0}});
  EXPECT_EQ(StageGainSq(2, fo), h * h);
}

TEST_F(ResponseTest, TzfGainIsReferredToTheSideAwayFromTheNotch) {
  const double sixteenth = 10.0 * std::log10(1.0 / 16.0);  // about -12.04 dB
  Load({{6, 1.0, 1000, 0.7, 2000}});
  EXPECT_EQ(ZeroRatioSq[2], 4.0);
  EXPECT_EQ(GainSq[2], 1.0 / 16.0);
  EXPECT_NEAR(StageValue(2, 0.0, true), 0.0, 1e-12);
  EXPECT_NEAR(StageValue(2, 1e7, true), sixteenth, 1e-5);

  Load({{6, 1.0, 1000, 0.7, 500}});
  EXPECT_EQ(ZeroRatioSq[2], 0.25);
  EXPECT_EQ(GainSq[2], 1.0);
  EXPECT_NEAR(StageValue(2, 0.0, true), sixteenth, 1e-12);
  EXPECT_NEAR(StageValue(2, 1e7, true), 0.0, 1e-5);

  // H scales the whole stage: at f = 0 the zero-above stage passes H^2.
  Load({{6, 3.0, 1000, 0.7, 2000}});
  EXPECT_EQ(StageGainSq(2, 0.0), 9.0);
}

TEST_F(ResponseTest, TzfAtItsZeroFrequency) {
  // x and z are formed in different orders; for fn = 2 fo both are exactly 4
  // and the stage is exactly zero.
  Load({{6, 1.0, 1000, 0.7, 2000}});
  EXPECT_EQ(StageGainSq(2, 2000.0), 0.0);
  EXPECT_EQ(StageValue(2, 2000.0, true), ZeroGainLevel);

  // For fn = 1100 they differ in the last bit: a finite, very deep notch.
  Load({{6, 1.0, 1000, 0.7, 1100}});
  const double notch = StageValue(2, 1100.0, true);
  EXPECT_GT(StageGainSq(2, 1100.0), 0.0);
  EXPECT_LT(notch, -200.0);
  EXPECT_GT(notch, ZeroGainLevel);
}

TEST_F(ResponseTest, AllPassStagesAreFlat) {
  Load({{7, 0.5, 300, 0, 0}, {8, 4.0, 3000, 0.4, 0}});
  for (const double f : {0.0, 10.0, 300.0, 3000.0, 1e6}) {
    EXPECT_EQ(StageGainSq(2, f), 0.25);
    EXPECT_EQ(StageGainSq(3, f), 16.0);
    EXPECT_NEAR(StageValue(2, f, true), 20 * std::log10(0.5), 1e-12);
    EXPECT_NEAR(StageValue(3, f, true), 20 * std::log10(4.0), 1e-12);
  }
}

TEST_F(ResponseTest, UnlistedTypesContributeNothingWithoutFault) {
  // Q = 0 and fn = 0 would fault in a listed second-order or TZF stage.
  for (const double type : {0.0, 9.0, -1.0, 100.0, 0.4}) {
    SCOPED_TRACE(type);
    Load({{type, 2.0, 1000, 0, 0}});
    for (const double f : {0.0, 1000.0, 5e4}) {
      EXPECT_EQ(FaultOf([&] { return StageGainSq(2, f); }), std::nullopt);
      EXPECT_EQ(StageGainSq(2, f), 0.0);
      EXPECT_EQ(StageValue(2, f, true), ZeroGainLevel);
      EXPECT_EQ(FaultOf([&] { return StageDelay(2, f); }), std::nullopt);
      EXPECT_EQ(StageDelay(2, f), 0.0);
    }
  }
}

TEST_F(ResponseTest, TypeIsRoundedHalvesToEven) {
  // 2.5 reads as the first-order high-pass (zero at f = 0), 3.5 as the
  // second-order high-pass, 2.6 as 3 (low-pass, H at f = 0).
  const struct {
    double stored;
    int code;
  } cases[] = {{2.5, 2}, {3.5, 4}, {2.6, 3}, {1.4999, 1}, {6.5, 6}, {7.5, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    Load({{c.stored, 1.3, 900, 1.8, 1400}});
    Stage asCode{double(c.code), 1.3, 900, 1.8, 1400};
    for (const double f : {0.0, 450.0, 2000.0}) {
      EXPECT_TRUE(NearlyEqual(StageGainSq(2, f), std::norm(Textbook(asCode, f)), 1e-12)) << f;
    }
  }
  // PrepareStages reads the TZF code the same way.
  Load({{5.5, 1.0, 1000, 0.7, 2000}});
  EXPECT_EQ(ZeroRatioSq[2], 4.0);
  EXPECT_EQ(GainSq[2], 1.0 / 16.0);
}

TEST_F(ResponseTest, SafeLog10) {
  EXPECT_TRUE(NearlyEqual(SafeLog10(1000.0), 3.0, 1e-15));
  EXPECT_EQ(SafeLog10(1.0), 0.0);
  EXPECT_TRUE(NearlyEqual(SafeLog10(0.01), -2.0, 1e-15));
  EXPECT_EQ(SafeLog10(kInf), kInf);
  for (const double bad : {0.0, -0.0, -1.0, -kInf, kNan}) {
    EXPECT_EQ(FaultOf([&] { return SafeLog10(bad); }), std::nullopt) << bad;
    EXPECT_TRUE(std::isnan(SafeLog10(bad))) << bad;
  }
  // A subnormal squared gain still has a finite level below the zero level.
  EXPECT_LT(10 * SafeLog10(5e-324), ZeroGainLevel + 1);
}

TEST_F(ResponseTest, CascadeSumAddsStagesInOrder) {
  Load({{3, 2.0, 1000, 0.9, 0}, {2, 1.0, 100, 0, 0}, {6, 1.0, 3000, 5, 6000}, {8, 1, 500, 2, 0}});
  for (const bool amplitude : {true, false}) {
    for (const double f : {10.0, 1000.0, 4321.0}) {
      double expected = 0.0;
      for (int row = 2; row <= 5; ++row) expected += StageValue(row, f, amplitude);
      EXPECT_EQ(CascadeSum(2, 5, f, amplitude), expected);
      EXPECT_EQ(CascadeSum(4, 4, f, amplitude), StageValue(4, f, amplitude));
      EXPECT_EQ(CascadeSum(3, 2, f, amplitude), 0.0);
    }
  }
  // dB values add where gains multiply.
  const double f = 777.0;
  const double product = StageGainSq(2, f) * StageGainSq(3, f) * StageGainSq(4, f);
  EXPECT_TRUE(NearlyEqual(CascadeSum(2, 4, f, true), 10 * std::log10(product), 1e-12));
  // A stage at its zero pulls the cascade down by about a thousand decibels.
  EXPECT_NEAR(CascadeSum(2, 5, 0.0, true), ZeroGainLevel + 20 * std::log10(2.0), 1e-9);
}

TEST_F(ResponseTest, EmptyCascade) {
  HeaderCell(FilterHeader::N) = 0;
  GainSq[2] = 5.0;
  PrepareStages();
  EXPECT_EQ(GainSq[2], 5.0);  // nothing to prepare
  EXPECT_EQ(CascadeSum(2, 1, 1000.0, true), 0.0);
  EXPECT_EQ(CascadeSum(2, 1, 1000.0, false), 0.0);
}

TEST_F(ResponseTest, PrepareStagesStopsAtTheLastTableRow) {
  // n beyond 30 cannot come from the table's writers; rows past 31 do not
  // exist and are left alone.
  for (int row = 2; row < TableRows; ++row) Put(row, {3, 2.0, 1000, 1, 0});
  HeaderCell(FilterHeader::N) = 45;
  ZeroRatioSq.fill(-1.0);
  PrepareStages();
  EXPECT_EQ(GainSq[31], 4.0);
  EXPECT_EQ(ZeroRatioSq[0], -1.0);
}

TEST_F(ResponseTest, NanTableValuesGiveNanSilently) {
  const Stage cases[] = {
      {3, 1, 1000, kNan, 0}, {5, 1, 1000, kNan, 0}, {6, 1, 1000, 0.7, kNan}, {1, kNan, 1000, 0, 0},
      {4, 1, kNan, 1, 0},    {8, 1, 1000, kNan, 0}, {6, 1, kNan, 0.7, 2000},
  };
  for (const Stage& s : cases) {
    SCOPED_TRACE(s.type);
    EXPECT_EQ(FaultOf([&] {
                Load({s});
                return 0.0;
              }),
              std::nullopt);
    for (const double f : {0.0, 1000.0}) {
      EXPECT_EQ(FaultOf([&] { return StageValue(2, f, true) + StageDelay(2, f); }), std::nullopt);
    }
    EXPECT_TRUE(std::isnan(StageValue(2, 500.0, true)) || std::isnan(StageDelay(2, 500.0)));
  }
  Load({{3, 1, 1000, kNan, 0}});
  EXPECT_TRUE(std::isnan(StageValue(2, 500.0, true)));
  EXPECT_TRUE(std::isnan(StageDelay(2, 500.0)));
  EXPECT_TRUE(std::isnan(CascadeSum(2, 2, 500.0, true)));
}

struct FaultCase {
  const char* name;
  Stage stage;
  double f;
  bool amplitude;
  std::optional<FloatErrorKind> fault;
};

TEST_F(ResponseTest, FaultsOfTheEvaluations) {
  const FaultCase cases[] = {
      // fo|fa = 0 fails for every code, unlisted ones included.
      {"LPF fo 0", {1, 1, 0, 0, 0}, 100, true, K::DivisionByZero},
      {"LPF fo 0 at f 0", {1, 1, 0, 0, 0}, 0, true, K::InvalidOperation},
      {"APF2 fo 0 delay", {8, 1, 0, 1, 0}, 100, false, K::DivisionByZero},
      {"type 0 fo 0", {0, 0, 0, 0, 0}, 100, true, K::DivisionByZero},
      {"type 9 fo 0 delay at f 0", {9, 0, 0, 0, 0}, 0, false, K::InvalidOperation},
      // Q = 0 in the gain of codes 3 to 6 at every f.
      {"LPF2 Q 0", {3, 1, 1000, 0, 0}, 500, true, K::DivisionByZero},
      {"HPF2 Q 0 at f 0", {4, 1, 1000, 0, 0}, 0, true, K::InvalidOperation},
      {"BPF Q 0", {5, 1, 1000, 0, 0}, 1000, true, K::DivisionByZero},
      {"TZF Q 0", {6, 1, 1000, 0, 500}, 20, true, K::DivisionByZero},
      {"APF2 Q 0 gain", {8, 1, 1000, 0, 0}, 0, true, std::nullopt},
      // Q = 0 in the delay of the second-order codes only at f = 0.
      {"LPF2 Q 0 delay at f 0", {3, 1, 1000, 0, 0}, 0, false, K::DivisionByZero},
      {"TZF Q 0 delay at f 0", {6, 1, 1000, 0, 500}, 0, false, K::DivisionByZero},
      {"APF2 Q 0 delay at f 0", {8, 1, 1000, 0, 0}, 0, false, K::DivisionByZero},
      {"BPF Q 0 delay", {5, 1, 1000, 0, 0}, 10, false, std::nullopt},
      {"APF2 Q 0 delay", {8, 1, 1000, 0, 0}, 10, false, std::nullopt},
      // First-order stages ignore Q.
      {"LPF Q 0 delay at f 0", {1, 1, 1000, 0, 0}, 0, false, std::nullopt},
      {"APF Q inf at fo", {7, 1, 1000, kInf, 0}, 1000, false, std::nullopt},
      // Extreme values overflow where the arithmetic does.
      {"LPF2 tiny fo", {3, 1, 1e-300, 1, 0}, 1e10, true, K::Overflow},
      {"HPF2 tiny Q", {4, 1, 1000, 1e-300, 0}, 10, true, K::Overflow},
      {"LPF subnormal fa delay", {1, 1, 1e-309, 0, 0}, 0, false, K::Overflow},
      // A type that cannot be rounded is an invalid operation.
      {"type NaN", {kNan, 1, 1000, 1, 0}, 100, true, K::InvalidOperation},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    ClearTransferTable();
    Put(2, c.stage);
    HeaderCell(FilterHeader::N) = 1;
    // Prepare with fo = 1 so that only the evaluation itself can fail.
    const double fo = c.stage.fo;
    ElementCell(2, TransferElement::FoFa) = 1.0;
    if (std::isnan(c.stage.type)) ElementCell(2, TransferElement::Type) = 0;
    PrepareStages();
    Put(2, c.stage);
    ElementCell(2, TransferElement::FoFa) = fo;
    EXPECT_EQ(FaultOf([&] { return StageValue(2, c.f, c.amplitude); }), c.fault);
    EXPECT_EQ(FaultOf([&] { return CascadeSum(2, 2, c.f, c.amplitude); }), c.fault);
  }
}

TEST_F(ResponseTest, FaultsOfPrepareStages) {
  const struct {
    const char* name;
    Stage stage;
    std::optional<FloatErrorKind> fault;
  } cases[] = {
      {"TZF fo 0", {6, 1, 0, 1, 500}, K::DivisionByZero},
      {"TZF fo 0 fn 0", {6, 1, 0, 1, 0}, K::InvalidOperation},
      {"LPF2 fo 0 prepares", {3, 1, 0, 1, 500}, std::nullopt},
      {"huge H", {1, 1e200, 1000, 0, 0}, K::Overflow},
      {"type NaN", {kNan, 1, 1000, 1, 0}, K::InvalidOperation},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FaultOf([&] {
                Load({c.stage});
                return 0.0;
              }),
              c.fault);
  }
  HeaderCell(FilterHeader::N) = kNan;
  EXPECT_EQ(FaultOf([] {
              PrepareStages();
              return 0.0;
            }),
            K::InvalidOperation);
}

TEST_F(ResponseTest, FaultMessages) {
  const struct {
    Stage stage;
    double f;
    const char* message;
  } cases[] = {
      {{1, 1, 0, 0, 0}, 0.0, "不正な浮動小数点数演算命令"},
      {{1, 1, 0, 0, 0}, 50.0, "0 による浮動小数点数除算"},
      {{3, 1, 1e-300, 1, 0}, 1e10, "浮動小数点数のオーバーフロー"},
  };
  for (const auto& c : cases) {
    Put(2, c.stage);
    HeaderCell(FilterHeader::N) = 1;
    GainSq[2] = 1.0;
    try {
      CascadeSum(2, 2, c.f, true);
      ADD_FAILURE() << "no fault for " << c.message;
    } catch (const FloatError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST_F(ResponseTest, AFaultInALaterStageEndsTheSum) {
  Load({{1, 1, 1000, 0, 0}, {3, 1, 1000, 0, 0}});
  EXPECT_EQ(FaultOf([] { return CascadeSum(2, 2, 100.0, true); }), std::nullopt);
  EXPECT_EQ(FaultOf([] { return CascadeSum(2, 3, 100.0, true); }), K::DivisionByZero);
}

// The block sweep of the redraw must give StageValue's numbers to the last
// bit, and must give up wherever StageValue would raise.
TEST_F(ResponseTest, BlockSweepMatchesStageByStageValues) {
  const Stage stages[] = {
      {1, 1, 1000, 0, 0},     {2, 2, 150, 0, 0},        {3, 1, 1000, 0.7071, 0},
      {4, 0.5, 300, 2.5, 0},  {5, 1.5, 2000, 10, 0},    {6, 1, 1000, 0.8, 1700},
      {6, 2, 1000, 1.2, 600}, {6, 1, 1000, 0.8, 1000},  {7, 0.5, 2000, 0, 0},
      {8, 1, 500, 0.9, 0},    {0, 1, 1000, 1, 0},       {9, 1, 1000, 1, 0},
      {-1, 1, 1000, 1, 0},    {3, 1, 1e-300, 1, 0},     {4, 1e150, 30, 1, 0},
      {1, 1, 0, 0, 0},        {3, 1, 1000, 0, 0},       {3, 1, 1000, kNan, 0},
      {2.5, 1, 1000, 1, 0},   {kNan, 1, 1000, 1, 0},    {1, 1, kInf, 1, 0},
      {5, 1, 1000, 1e200, 0}, {6, 1, 1e-200, 1, 1e200}, {8, 1, 1e-300, 1e10, 0},
  };
  // A log sweep over 1 Hz .. 1 GHz, exact notch frequencies, 0 Hz, a NaN.
  std::vector<double> freqs = {0.0, 1000.0, 600.0, 1700.0, kNan};
  for (int i = 0; freqs.size() % StageSweepBlock != 0 || i < 2 * StageSweepBlock; ++i)
    freqs.push_back(std::pow(10.0, 9.0 * i / (2.0 * StageSweepBlock)));
  int swept = 0, refused = 0;
  for (const Stage& s : stages) {
    for (const bool amplitude : {true, false}) {
      if (FaultOf([&] { Load({s}); })) continue;  // the sweep never starts
      for (std::size_t first = 0; first < freqs.size(); first += StageSweepBlock) {
        SCOPED_TRACE(testing::Message()
                     << "type " << s.type << " fo " << s.fo << " Q " << s.q
                     << (amplitude ? " level" : " delay") << " from " << freqs[first]);
        double f[StageSweepBlock];
        double out[StageSweepBlock];
        std::copy_n(freqs.begin() + first, StageSweepBlock, f);
        bool raises = !std::isfinite(ElementCell(2, TransferElement::Type)) ||
                      ElementCell(2, TransferElement::Type) !=
                          std::floor(ElementCell(2, TransferElement::Type));
        for (const double fi : f)
          raises = raises || FaultOf([&] { StageValue(2, fi, amplitude); }).has_value();
        const bool ok = StageValuesAt(2, f, amplitude, out);
        if (raises) {
          EXPECT_FALSE(ok);
        }
        if (!ok) {
          ++refused;
          continue;
        }
        ++swept;
        for (int i = 0; i < StageSweepBlock; ++i) {
          const double expected = StageValue(2, f[i], amplitude);
          EXPECT_TRUE(std::memcmp(&expected, &out[i], sizeof expected) == 0 ||
                      (std::isnan(expected) && std::isnan(out[i])))
              << "f = " << f[i] << ": " << out[i] << " instead of " << expected;
        }
      }
    }
  }
  // Both paths were taken.
  EXPECT_GT(swept, 20);
  EXPECT_GT(refused, 10);
}

}  // namespace
