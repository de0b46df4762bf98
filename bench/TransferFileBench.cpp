// Reading and writing transfer files: the file part of a load (read, decode,
// parse into a fresh table) for the largest file the program accepts, and the
// text of a save. This file has no main; BENCHMARK_MAIN() lives in
// BenchMain.cpp.
#include "document/TransferFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TransferTableData ThirtyStageTable() {
  TransferTableData table{};
  table[FilterHeader::Order] = 60;
  table[FilterHeader::Ftype] = 1;
  table[FilterHeader::FoFc] = 1000;
  table[FilterHeader::N] = 30;
  for (int row = 2; row < 32; ++row) {
    table[CellIndex(TransferElement::Type, row)] = 3;
    table[CellIndex(TransferElement::H, row)] = 1;
    table[CellIndex(TransferElement::FoFa, row)] = 1000.0 * row / 7.0;
    table[CellIndex(TransferElement::Q, row)] = 0.5 + row / 3.0;
  }
  return table;
}

void BM_ReadThirtyStageFile(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("thirty.csv"));
  SaveTransferFile(path, ThirtyStageTable());
  for (auto _ : state) benchmark::DoNotOptimize(ReadTransferFile(path));
}
BENCHMARK(BM_ReadThirtyStageFile);

void BM_ParseThirtyStageText(benchmark::State& state) {
  const QByteArray bytes = TransferFileBytes(ThirtyStageTable());
  for (auto _ : state) benchmark::DoNotOptimize(ParseTransferLines(DecodeTransferLines(bytes)));
}
BENCHMARK(BM_ParseThirtyStageText);

void BM_ThirtyStageFileText(benchmark::State& state) {
  const TransferTableData table = ThirtyStageTable();
  for (auto _ : state) benchmark::DoNotOptimize(TransferFileBytes(table));
}
BENCHMARK(BM_ThirtyStageFileText);

}  // namespace
