#include "document/TransferTable.h"

#include "platform/Fp.h"

TransferTableData TransferTable{};
QString CurrentFile;

int ElementOrder(int typeCode) {
  switch (typeCode) {
    case FirstOrderLpf:
    case FirstOrderHpf:
    case FirstOrderApf:
      return 1;
    case SecondOrderLpf:
    case SecondOrderHpf:
    case SecondOrderBpf:
    case SecondOrderTzf:
    case SecondOrderApf:
      return 2;
    default:
      return 0;
  }
}

int StageCount() { return fp::RoundInt(TransferTable[FilterHeader::N]); }

int ElementTypeAt(int row) {
  return fp::RoundInt(TransferTable[CellIndex(TransferElement::Type, row)]);
}

void ClearTransferTable() { TransferTable.fill(0.0); }
