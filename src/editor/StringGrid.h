#pragma once

#include <QTableWidget>

#include <functional>

class QPainter;

// A text grid with one fixed title row and one fixed number column, addressed
// as (column, row) over the whole grid: row 0 holds the titles, column 0 the
// row numbers, and cells with column and row of at least 1 are the body cells.
// The fixed cells do not scroll and can never become current; the body has
// exactly one current cell, moved by clicks and arrow keys. Cells are not
// edited in place.
class TStringGrid : public QTableWidget {
  Q_OBJECT

 public:
  // A grid of cols x rows cells, the fixed row and column included.
  TStringGrid(QWidget* parent, int cols, int rows);

  int ColCount() const { return columnCount() + 1; }
  int RowCount() const { return rowCount() + 1; }

  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);

  // The current body cell; (1, 1) until it is moved.
  int Col() const { return currentColumn() + 1; }
  int Row() const { return currentRow() + 1; }
  void SetCurrentCell(int col, int row);

  void SetDefaultColWidth(int width);
  void SetColWidth(int col, int width);
  void SetDefaultRowHeight(int height);

  // The on-screen rectangle of a body cell in viewport coordinates, after
  // scrolling it into view.
  QRect CellRect(int col, int row);

  // Runs after the default drawing of every body cell, with the cell's
  // rectangle and whether it is drawn in the selected state.
  using DrawCellHandler =
      std::function<void(QPainter& painter, int col, int row, const QRect& rect, bool selected)>;
  void SetDrawCellHandler(DrawCellHandler handler) { drawCell_ = std::move(handler); }
  void DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected) const;

 signals:
  // A double-click on the title row, the number column or the corner.
  void fixedCellDoubleClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString corner_;
  DrawCellHandler drawCell_;
};

// Left margin of a cell's text in pixels.
constexpr int GridTextMargin = 5;
