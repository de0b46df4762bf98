#pragma once

#include "document/TransferTable.h"

#include <QGuiApplication>

// Text drawing needs the GUI application; one is made on first use.
inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "kesto_bench";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(argc, argv);
}

// Thirty stages, every listed type in turn, spread over the axis.
inline void FillThirtyStages() {
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
