// Time of a full redraw of the standard 766 x 434 graph with 30 stages in
// each display mode.

#include "BenchSupport.h"
#include "document/TransferTable.h"
#include "platform/Canvas.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RedrawGraph(benchmark::State& state) {
  EnsureGuiApplication();
  FillThirtyStages();
  ResetPlotState();
  Canvas canvas(766, 434);
  GraphControls controls;
  controls.displayMode = static_cast<int>(state.range(0));
  controls.editMinL = QStringLiteral("-200");
  for (auto _ : state) {
    RedrawGraph(canvas, controls, QStringLiteral("/tmp/bench.csv"));
    benchmark::DoNotOptimize(canvas.PixelAt(400, 200));
  }
  ClearTransferTable();
}

}  // namespace

BENCHMARK(BM_RedrawGraph)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

namespace {

// The frame, axes and title alone, as every redraw starts.
void BM_PrepareGraph(benchmark::State& state) {
  EnsureGuiApplication();
  ResetPlotState();
  Canvas canvas(766, 434);
  const GraphControls controls;
  for (auto _ : state) {
    PrepareGraph(canvas, controls, QStringLiteral("/tmp/bench.csv"));
    benchmark::DoNotOptimize(canvas.PixelAt(400, 200));
  }
}

}  // namespace

BENCHMARK(BM_PrepareGraph)->Unit(benchmark::kMicrosecond);
