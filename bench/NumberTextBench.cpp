// Number text of the controls: ParseEng and FormatEng. This file has no main;
// BENCHMARK_MAIN() lives in BenchMain.cpp, the one main of kesto_bench.
#include "common/Common.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <array>

namespace {

// Texts as users type them into the axis, header and stage boxes.
const std::array<QString, 8>& TypedTexts() {
  static const std::array<QString, 8> texts = {QStringLiteral("10k"),    QStringLiteral("1.5 MHz"),
                                               QStringLiteral("4.7μ"),   QStringLiteral("-60"),
                                               QStringLiteral("1,000"),  QStringLiteral("0.7071"),
                                               QStringLiteral("2.2e-9"), QStringLiteral("abc")};
  return texts;
}

// Values across all prefix rows, as the axis labels and the readout write them.
constexpr std::array<double, 8> kValues = {4.7e-12, 2.2e-9, 3.3e-6, 0.0047,
                                           20.0,    1500.0, -2.2e6, 999999.7};

void BM_ParseEng(benchmark::State& state) {
  const auto& texts = TypedTexts();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseEng(texts[i]));
    i = (i + 1) % texts.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseEng);

void BM_FormatEng(benchmark::State& state) {
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatEng(kValues[i], 8, 3));
    i = (i + 1) % kValues.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatEng);

}  // namespace
