#include "editor/EditorSupport.h"

#include "app/FormMain.h"
#include "common/Common.h"
#include "document/TransferTable.h"
#include "editor/StringGrid.h"
#include "platform/Window.h"

#include <QComboBox>
#include <QFont>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWidget>
#include <QWindow>

#include <cmath>

void RedrawMainGraph() {
  if (FormMain != nullptr) FormMain->RedrawGraph(CurrentFile);
}

QFont FixedPitchFont() {
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(12);
  font.setStyleHint(QFont::Monospace);
  return font;
}

void SetComboText(QComboBox* combo, const QString& text) {
  if (combo->currentText() == text) return;
  const QSignalBlocker blocker(combo);
  const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  combo->setCurrentIndex(index);
  if (index < 0) combo->setEditText(text);
}

void BelongToMainWindow(QWidget* window) {
  QWidget* main = MainWindow();
  if (main == nullptr || main == window || main->windowHandle() == nullptr ||
      window->windowHandle() == nullptr)
    return;
  window->windowHandle()->setTransientParent(main->windowHandle());
}

bool IsEnterCharacter(const QKeyEvent* event) { return VirtualKeyOf(event) == KeyEnter; }

double ValueOrZero(const QString& text) {
  const double value = ParseEng(text);
  return std::isnan(value) ? 0.0 : value;
}

namespace {
// Columns of an element row that move with it: the type and the four values.
constexpr int FirstElementColumn = 1;
constexpr int LastElementColumn = 5;
}  // namespace

void RemoveGridRow(TStringGrid& grid, int row) {
  const int lastRow = grid.RowCount() - 1;
  if (row < 1 || row > lastRow) return;
  while (row < lastRow && !grid.Cells(1, row + 1).isEmpty()) {
    for (int col = FirstElementColumn; col <= LastElementColumn; ++col)
      grid.SetCells(col, row, grid.Cells(col, row + 1));
    ++row;
  }
  for (int col = FirstElementColumn; col <= LastElementColumn; ++col) grid.SetCells(col, row, {});
}

void CloseGaps(TStringGrid& grid, bool (*filled)(const QString& typeText)) {
  bool filledSeen = false;
  for (int row = grid.RowCount() - 1; row >= 1; --row) {
    if (filled(grid.Cells(1, row)))
      filledSeen = true;
    else if (filledSeen)
      RemoveGridRow(grid, row);
  }
}
