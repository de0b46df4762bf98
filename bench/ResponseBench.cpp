#include "document/TransferTable.h"
#include "response/Response.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

namespace {

// One sweep of the graph: PlotWidth + 1 = 697 pixel columns.
constexpr int SweepColumns = 697;

// A full cascade of 30 stages cycling through the eight stage types, with
// corner frequencies spread over the audio band.
void FillThirtyStages() {
  ClearTransferTable();
  HeaderCell(FilterHeader::N) = MaxStages;
  for (int k = 0; k < MaxStages; ++k) {
    const int row = FirstStageRow + k;
    const double fo = 100.0 * std::pow(10.0, 2.0 * k / (MaxStages - 1));
    ElementCell(row, TransferElement::Type) = 1 + k % 8;
    ElementCell(row, TransferElement::H) = 1.0 + 0.1 * (k % 5);
    ElementCell(row, TransferElement::FoFa) = fo;
    ElementCell(row, TransferElement::Q) = 0.5 + 0.3 * (k % 7);
    ElementCell(row, TransferElement::Fn) = (k % 2 == 0) ? 1.7 * fo : 0.6 * fo;
  }
  PrepareStages();
}

// Column frequencies of a logarithmic axis from 10 Hz to 100 kHz.
std::array<double, SweepColumns> SweepFrequencies() {
  std::array<double, SweepColumns> f{};
  for (int i = 0; i < SweepColumns; ++i) f[i] = 10.0 * std::pow(10.0, 4.0 * i / (SweepColumns - 1));
  return f;
}

// Total response of 30 stages at every column of one sweep; arg 1 is the
// amplitude view (dB), arg 0 the delay view.
void BM_CascadeSumSweep(benchmark::State& state) {
  const bool amplitude = state.range(0) != 0;
  FillThirtyStages();
  const std::array<double, SweepColumns> freqs = SweepFrequencies();
  for (auto _ : state) {
    for (const double f : freqs) {
      double v = CascadeSum(FirstStageRow, FirstStageRow + MaxStages - 1, f, amplitude);
      benchmark::DoNotOptimize(v);
    }
  }
  state.SetItemsProcessed(state.iterations() * SweepColumns * MaxStages);
}
BENCHMARK(BM_CascadeSumSweep)->ArgName("amplitude")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
