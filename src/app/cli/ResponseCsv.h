#pragma once

#include <QByteArray>
#include <QList>

// The response of the filter in TransferTable as data, one row per frequency:
// frequency_hz,total_db,total_delay_s, then stageK_db,stageK_delay_s for each
// stage K alone. Numbers are written like the transfer file's numbers (15
// significant digits, "." as decimal separator); rows end with LF.

// Appends NumberToFileText(x) in Latin-1.
void AppendFileNumber(QByteArray& out, double x);

// The header row for `stageCount` stages.
QByteArray ResponseCsvHeader(int stageCount);

// Appends the header and one row per frequency (Hz) to `out`, after
// preparing the stage values from TransferTable. A FloatError ends it with
// the complete rows written so far left in `out`; `rows` then counts them.
void AppendResponseCsv(QByteArray& out, const QList<double>& frequencies, int& rows);

// The frequencies of the plot columns 0 .. PlotWidth of the axis that the
// last redraw read into PlotState. Raises FloatError on a logarithmic axis
// with a limit <= 0.
QList<double> PlotColumnFrequencies();
