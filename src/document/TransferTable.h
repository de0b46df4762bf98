#pragma once

#include <QString>

#include <array>

// The document: one filter held as 5 columns by 32 rows of doubles, stored
// column by column, so that the cell of column c and row r is
// TransferTable[c * 32 + r]. Rows 0 and 1 are the filter header, rows 2 .. n+1
// the stages of the cascade (stage k in row k + 1).
constexpr int TableColumns = 5;
constexpr int TableRows = 32;
constexpr int TableCells = TableColumns * TableRows;
constexpr int MaxStages = 30;
constexpr int FirstStageRow = 2;

using TransferTableData = std::array<double, TableCells>;

// The one table of the process, zero at start-up.
extern TransferTableData TransferTable;

// Path of the file the table was last loaded from; empty at start and after a
// failed load.
extern QString CurrentFile;

constexpr int CellIndex(int column, int row) { return column * TableRows + row; }

// Header cells (rows 0 and 1), in the order the transfer file writes them.
namespace FilterHeader {
constexpr int Order = CellIndex(0, 0);
constexpr int Rtype = CellIndex(1, 0);
constexpr int Ftype = CellIndex(2, 0);
constexpr int FoFc = CellIndex(3, 0);  // fo|fc, Hz
constexpr int Fb = CellIndex(4, 0);    // bandwidth, Hz
constexpr int N = CellIndex(0, 1);     // number of stages
constexpr int Ap = CellIndex(1, 1);    // dB
constexpr int As = CellIndex(2, 1);    // dB
constexpr int Ws = CellIndex(3, 1);    // ratio
constexpr std::array<int, 9> FileOrder = {Order, Rtype, Ftype, FoFc, Fb, N, Ap, As, Ws};
}  // namespace FilterHeader

// Columns of a stage row (rows 2 .. 31).
namespace TransferElement {
constexpr int Type = 0;
constexpr int H = 1;     // linear gain
constexpr int FoFa = 2;  // fo|fa, Hz
constexpr int Q = 3;
constexpr int Fn = 4;  // zero frequency of a TZF stage, Hz
}  // namespace TransferElement

// Stage type codes: 1 + the position in the stage dialog's type list.
enum ElementType : int {
  NoStage = 0,
  FirstOrderLpf = 1,
  FirstOrderHpf = 2,
  SecondOrderLpf = 3,
  SecondOrderHpf = 4,
  SecondOrderBpf = 5,
  SecondOrderTzf = 6,
  FirstOrderApf = 7,
  SecondOrderApf = 8,
};

// Order (1 or 2) of a listed stage type, 0 for any other code.
int ElementOrder(int typeCode);

inline double& HeaderCell(int index) { return TransferTable[index]; }
inline double& ElementCell(int row, int column) { return TransferTable[CellIndex(column, row)]; }

// n, rounded to the nearest whole number with halves to even. A NaN or
// infinite n raises an invalid operation.
int StageCount();
// The type code of a stage row, rounded likewise.
int ElementTypeAt(int row);

// All 160 cells to zero.
void ClearTransferTable();
