// Time of a full redraw of the standard 766 x 434 graph with 30 stages in
// each display mode.

#include "document/TransferTable.h"
#include "platform/Canvas.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

// Text drawing needs the GUI application; one is made on first use.
void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "kesto_bench";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(argc, argv);
}

// Thirty stages, every listed type in turn, spread over the axis.
void FillThirtyStages() {
  ClearTransferTable();
  HeaderCell(FilterHeader::N) = MaxStages;
  for (int k = 1; k <= MaxStages; ++k) {
    const int row = k + 1;
    ElementCell(row, TransferElement::Type) = 1 + (k - 1) % 8;
    ElementCell(row, TransferElement::H) = 1.0;
    ElementCell(row, TransferElement::FoFa) = 150.0 * k;
    ElementCell(row, TransferElement::Q) = 0.5 + 0.1 * k;
    ElementCell(row, TransferElement::Fn) = 300.0 * k;
  }
}

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
