// Time of the interactive paths: loading a 30-stage file with its axis fit
// and redraw, and one cross-hair readout update.

#include "BenchSupport.h"
#include "document/TransferFile.h"
#include "platform/Canvas.h"
#include "plot/AutoScale.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"
#include "plot/Readout.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

// Load, fit and redraw as the window does after a file was chosen.
void BM_LoadFitRedraw(benchmark::State& state) {
  EnsureGuiApplication();
  FillThirtyStages();
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("thirty.csv"));
  SaveTransferFile(path, TransferTable);
  ResetPlotState();
  Canvas canvas(766, 434);
  for (auto _ : state) {
    const TransferFileContent content = ReadTransferFile(path);
    TransferTable = content.table;
    GraphControls controls;
    AxisBoxTexts boxes{controls.editSf, controls.editEf, controls.editMinL, controls.editMaxL,
                       controls.editMaxD};
    AutoScaleAxes(boxes);
    controls.editSf = boxes.editSf;
    controls.editEf = boxes.editEf;
    controls.editMinL = boxes.editMinL;
    controls.editMaxL = boxes.editMaxL;
    controls.editMaxD = boxes.editMaxD;
    RedrawGraph(canvas, controls, path);
    benchmark::DoNotOptimize(canvas.PixelAt(400, 200));
  }
  ClearTransferTable();
}

// One mouse move to a new column: erase, evaluate 30 stages, draw the lines.
void BM_ReadoutUpdate(benchmark::State& state) {
  EnsureGuiApplication();
  FillThirtyStages();
  ResetPlotState();
  Canvas canvas(766, 434);
  GraphControls controls;
  controls.editMinL = QStringLiteral("-200");
  RedrawGraph(canvas, controls, QString());
  int x = 100;
  for (auto _ : state) {
    x = x == 100 ? 101 : 100;
    benchmark::DoNotOptimize(MoveReadout(canvas, x, 200));
  }
  ClearTransferTable();
}

}  // namespace

BENCHMARK(BM_LoadFitRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadoutUpdate)->Unit(benchmark::kMicrosecond);
