#include "editor/StringGrid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Draws a cell's text left-aligned GridTextMargin pixels from its left edge and
// centred vertically, clipped to the cell.
void DrawCellText(QPainter& painter, const QRect& rect, const QString& text) {
  painter.save();
  painter.setClipRect(rect);
  painter.drawText(rect.adjusted(GridTextMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
  painter.restore();
}

// The fixed title row and number column: grey cells with grid lines, their
// text placed like the body's.
class FixedCellsHeader : public QHeaderView {
 public:
  FixedCellsHeader(Qt::Orientation orientation, QWidget* parent)
      : QHeaderView(orientation, parent) {}

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
    if (!rect.isValid()) return;
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(palette().color(QPalette::ButtonText));
    const QString text = model() != nullptr
                             ? model()->headerData(logicalIndex, orientation()).toString()
                             : QString();
    DrawCellText(*painter, rect, text);
    painter->restore();
  }
};

// The body cells: the selected cell in the highlight colours, every other cell
// on the grid's background; then the grid's own drawing handler.
class BodyCellDelegate : public QStyledItemDelegate {
 public:
  explicit BodyCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    painter->save();
    painter->fillRect(option.rect,
                      option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    DrawCellText(*painter, option.rect, index.data().toString());
    painter->restore();
    grid_->DrawCell(*painter, index.column() + 1, index.row() + 1, option.rect, selected);
  }

 private:
  TStringGrid* grid_;
};

}  // namespace

TStringGrid::TStringGrid(QWidget* parent, int cols, int rows)
    : QTableWidget(rows - 1, cols - 1, parent) {
  setHorizontalHeader(new FixedCellsHeader(Qt::Horizontal, this));
  setVerticalHeader(new FixedCellsHeader(Qt::Vertical, this));
  setItemDelegate(new BodyCellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setTabKeyNavigation(false);
  setWordWrap(false);
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionsMovable(false);
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionDoubleClicked, this,
            [this] { emit fixedCellDoubleClicked(); });
  }
  for (int c = 0; c < columnCount(); ++c) setHorizontalHeaderItem(c, new QTableWidgetItem);
  for (int r = 0; r < rowCount(); ++r) {
    setVerticalHeaderItem(r, new QTableWidgetItem);
    for (int c = 0; c < columnCount(); ++c) setItem(r, c, new QTableWidgetItem);
  }
  // The corner cell selects nothing; a double-click on it counts as one on a
  // fixed cell.
  if (auto* cornerButton = findChild<QAbstractButton*>()) {
    cornerButton->setFocusPolicy(Qt::NoFocus);
    cornerButton->installEventFilter(this);
  }
  if (rows > 1 && cols > 1) setCurrentCell(0, 0);
}

QString TStringGrid::Cells(int col, int row) const {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return QString();
  if (col == 0 && row == 0) return corner_;
  if (row == 0) return horizontalHeaderItem(col - 1)->text();
  if (col == 0) return verticalHeaderItem(row - 1)->text();
  return item(row - 1, col - 1)->text();
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
  if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return;
  if (col == 0 && row == 0)
    corner_ = text;
  else if (row == 0)
    horizontalHeaderItem(col - 1)->setText(text);
  else if (col == 0)
    verticalHeaderItem(row - 1)->setText(text);
  else
    item(row - 1, col - 1)->setText(text);
}

void TStringGrid::SetCurrentCell(int col, int row) {
  if (col < 1 || row < 1 || col >= ColCount() || row >= RowCount()) return;
  setCurrentCell(row - 1, col - 1);
}

void TStringGrid::SetDefaultColWidth(int width) {
  horizontalHeader()->setDefaultSectionSize(width);
  for (int c = 0; c < columnCount(); ++c) horizontalHeader()->resizeSection(c, width);
}

void TStringGrid::SetColWidth(int col, int width) {
  if (col == 0)
    verticalHeader()->setFixedWidth(width);
  else if (col < ColCount())
    horizontalHeader()->resizeSection(col - 1, width);
}

void TStringGrid::SetDefaultRowHeight(int height) {
  verticalHeader()->setDefaultSectionSize(height);
  for (int r = 0; r < rowCount(); ++r) verticalHeader()->resizeSection(r, height);
  horizontalHeader()->setFixedHeight(height);
}

QRect TStringGrid::CellRect(int col, int row) {
  QTableWidgetItem* cell = item(row - 1, col - 1);
  if (cell == nullptr) return {};
  scrollToItem(cell);
  return visualItemRect(cell);
}

void TStringGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                           bool selected) const {
  if (drawCell_) drawCell_(painter, col, row, rect, selected);
}

bool TStringGrid::eventFilter(QObject* watched, QEvent* event) {
  if (qobject_cast<QAbstractButton*>(watched) != nullptr) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
        return true;
      case QEvent::MouseButtonDblClick:
        emit fixedCellDoubleClicked();
        return true;
      default:
        break;
    }
  }
  return QTableWidget::eventFilter(watched, event);
}
