#include "app/cli/ResponseCsv.h"

#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "plot/PlotState.h"
#include "response/Response.h"

#include <algorithm>

namespace {

void AppendNumber(QByteArray& row, double value) {
  row += ',';
  AppendFileNumber(row, value);
}

}  // namespace

void AppendFileNumber(QByteArray& out, double x) {
  // The data's numbers are the transfer file's numbers, from the one writer.
  out += NumberToFileText(x).toLatin1();
}

QByteArray ResponseCsvHeader(int stageCount) {
  QByteArray header = "frequency_hz,total_db,total_delay_s";
  for (int k = 1; k <= stageCount; ++k) {
    const QByteArray stage = ",stage" + QByteArray::number(k);
    header += stage + "_db" + stage + "_delay_s";
  }
  header += '\n';
  return header;
}

void AppendResponseCsv(QByteArray& out, const QList<double>& frequencies, int& rows) {
  rows = 0;
  // The reader keeps n within 0 .. 30; a damaged table must not index past
  // the stage rows.
  const int n = std::clamp(StageCount(), 0, MaxStages);
  out += ResponseCsvHeader(n);
  PrepareStages();
  const int lastRow = n + 1;
  // About 20 characters a number: room for all rows at once.
  out.reserve(out.size() + frequencies.size() * (3 + 2 * n) * 20);
  QByteArray row;
  for (const double f : frequencies) {
    // A row is formed whole before it is appended, so that an error leaves
    // only complete rows behind.
    row.clear();
    AppendFileNumber(row, f);
    AppendNumber(row, CascadeSum(FirstStageRow, lastRow, f, true));
    AppendNumber(row, CascadeSum(FirstStageRow, lastRow, f, false));
    for (int r = FirstStageRow; r <= lastRow; ++r) {
      AppendNumber(row, StageValue(r, f, true));
      AppendNumber(row, StageValue(r, f, false));
    }
    row += '\n';
    out += row;
    ++rows;
  }
}

QList<double> PlotColumnFrequencies() {
  QList<double> frequencies;
  const int width = PlotState.PlotWidth;
  if (width < 0) return frequencies;
  frequencies.reserve(width + 1);
  for (int i = 0; i <= width; ++i) frequencies.append(XToFreq(i));
  return frequencies;
}
