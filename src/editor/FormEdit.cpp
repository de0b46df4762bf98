#include "editor/FormEdit.h"

#include "common/Common.h"
#include "common/MessageDlg.h"
#include "editor/EditorCodes.h"
#include "editor/EditorSupport.h"
#include "editor/FormDataIn.h"
#include "editor/LabeledEdit.h"
#include "editor/StringGrid.h"
#include "platform/Controls.h"
#include "platform/Window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <utility>

TFormEdit* FormEdit = nullptr;
TransferTableData SavedTable{};
int SelectedRow = 0;

namespace {

constexpr int GridCols = 6;
constexpr int GridRows = 31;
// Grid columns of an element row.
constexpr int ColType = 1;
constexpr int ColH = 2;
constexpr int ColFo = 3;
constexpr int ColQ = 4;
constexpr int ColFn = 5;

const QString MoveWarning =
    QStringLiteral("移動できません!\r\n\r\n移動したいエレメントをクリックして選択してください。");

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, int left, int top,
                     int width, int height) {
  QComboBox* combo = MakeControl<QComboBox>(parent, name, left, top, width, height);
  combo->setFont(FixedPitchFont());
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->addItems(items);
  combo->setCurrentIndex(0);
  return combo;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint, int left, int top, int width, int height) {
  QPushButton* button = MakeControl<QPushButton>(parent, name, left, top, width, height);
  button->setText(caption);
  button->setToolTip(hint);
  // Enter in a box does what its key handlers say, never presses a button.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

// The text of a header cell: empty when the value is not given (exactly 0).
QString HeaderText(double value, QString (*format)(double, int, int), int width, int decimals) {
  return value != 0.0 ? format(value, width, decimals) : QString();
}

void SwapTableRows(int rowA, int rowB) {
  for (int col = 0; col < TableColumns; ++col)
    std::swap(TransferTable[CellIndex(col, rowA)], TransferTable[CellIndex(col, rowB)]);
}

bool HasListedType(const QString& typeText) {
  return IsListedElementType(CodeOfText(ElementTypeItems(), typeText));
}

}  // namespace

TFormEdit::TFormEdit(QWidget* parent) : QWidget(parent, Qt::Window) {
  FormEdit = this;
  setObjectName(QStringLiteral("FormEdit"));
  setWindowTitle(QStringLiteral("Edit"));
  // The designed client area; FormCreate fits it to the buttons.
  resize(445, 288);
  BuildControls();
  SetTabOrder();
  RunGuarded([this] { FormCreate(); });
}

TFormEdit::~TFormEdit() {
  if (FormEdit == this) FormEdit = nullptr;
}

void TFormEdit::BuildControls() {
  Label1 = MakeLabel(this, "Label1", QStringLiteral("フィルタ形式"), 32, 8);
  Label2 = MakeLabel(this, "Label2", QStringLiteral("振幅特性"), 154, 8);
  ComboBoxFtype = MakeCombo(this, "ComboBoxFtype", FilterFormItems(), 16, 24, 113, 21);
  // Every change of the text refreshes the window and clears a text that is
  // not an item, so the box completes nothing on its own.
  ComboBoxFtype->setCompleter(nullptr);
  ComboBoxAt = MakeCombo(this, "ComboBoxAt", ResponseTypeItems(), 144, 24, 73, 21);

  auto labeled = [this](const char* name, const QString& label, int left) {
    auto* edit = new TLabeledEdit(this, QLatin1String(name), label);
    edit->setFont(FixedPitchFont());
    edit->SetBounds(left, 64, 70, 21);
    edit->installEventFilter(this);
    return edit;
  };
  LabeledEditAp = labeled("LabeledEditAp", QStringLiteral("   Ap(dB)"), 17);
  LabeledEditAs = labeled("LabeledEditAs", QStringLiteral("   As(dB)"), 102);
  LabeledEditWs = labeled("LabeledEditWs", QStringLiteral("     Ws"), 187);
  LabeledEditFo = labeled("LabeledEditFo", QStringLiteral("   fo(Hz)"), 272);
  LabeledEditFb = labeled("LabeledEditFb", QStringLiteral("   fb(Hz)"), 357);

  StringGrid1 = new TStringGrid(this, GridCols, GridRows);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setGeometry(17, 91, 411, 155);
  StringGrid1->setToolTip(QStringLiteral("ダブルクリックでデータ編集"));
  // Not a tab stop; a click or the moves give it the focus.
  StringGrid1->setFocusPolicy(Qt::ClickFocus);
  StringGrid1->setFont(FixedPitchFont());
  QPalette gridPalette = StringGrid1->palette();
  gridPalette.setColor(QPalette::Base, Qt::white);
  StringGrid1->setPalette(gridPalette);

  ButtonOK = MakeButton(this, "ButtonOK", QStringLiteral("OK"), QStringLiteral("変更を確定する"),
                        321, 252, 50, 25);
  ButtonCan = MakeButton(this, "ButtonCan", QStringLiteral("Cancel"),
                         QStringLiteral("変更取り消し"), 377, 252, 50, 25);
  ButtonUp = MakeButton(this, "ButtonUp", QStringLiteral("↑"),
                        QStringLiteral("選択したエレメントを１つ上に移動する"), 16, 254, 20, 25);
  ButtonDown = MakeButton(this, "ButtonDown", QStringLiteral("↓"),
                          QStringLiteral("選択したエレメントを１つ下に移動する"), 40, 254, 20, 25);

  ConnectGuarded(ComboBoxFtype, &QComboBox::editTextChanged, this,
                 [this] { ComboBoxFtypeChange(); });
  ComboBoxFtype->installEventFilter(this);
  ConnectGuarded(StringGrid1, &QTableWidget::currentCellChanged, this,
                 [this] { StringGrid1Click(); });
  ConnectGuarded(StringGrid1, &QTableWidget::cellPressed, this, [this] { StringGrid1Click(); });
  ConnectGuarded(StringGrid1, &QTableWidget::cellDoubleClicked, this,
                 [this] { StringGrid1DblClick(); });
  ConnectGuarded(StringGrid1, &TStringGrid::fixedCellDoubleClicked, this,
                 [this] { StringGrid1DblClick(); });
  StringGrid1->SetDrawCellHandler(
      [this](QPainter& painter, int col, int row, const QRect& rect, bool selected) {
        StringGrid1DrawCell(painter, col, row, rect, selected);
      });
  ConnectGuarded(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  ConnectGuarded(ButtonCan, &QPushButton::clicked, this, [this] { ButtonCanClick(); });
  ConnectGuarded(ButtonUp, &QPushButton::clicked, this, [this] { ButtonUpClick(); });
  ConnectGuarded(ButtonDown, &QPushButton::clicked, this, [this] { ButtonDownClick(); });
}

void TFormEdit::SetTabOrder() {
  const QList<QWidget*> order = {LabeledEditAp, LabeledEditAs, LabeledEditWs, LabeledEditFo,
                                 LabeledEditFb, ComboBoxFtype, ComboBoxAt,    ButtonOK,
                                 ButtonCan,     ButtonUp,      ButtonDown};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void TFormEdit::FormCreate() {
  StringGrid1->SetDefaultColWidth(70);
  StringGrid1->SetColWidth(0, 24);
  StringGrid1->SetColWidth(1, 80);
  StringGrid1->SetDefaultRowHeight(18);
  StringGrid1->SetCells(ColType, 0, QStringLiteral("   Type"));
  StringGrid1->SetCells(ColH, 0, QStringLiteral("     H"));
  StringGrid1->SetCells(ColFo, 0, QStringLiteral("   fo,fa"));
  StringGrid1->SetCells(ColQ, 0, QStringLiteral("     Q"));
  StringGrid1->SetCells(ColFn, 0, QStringLiteral("    fn"));
  for (int row = 1; row < GridRows; ++row)
    StringGrid1->SetCells(0, row, (QStringLiteral("  ") + QString::number(row)).right(3));

  // The window may be made smaller than its buttons need, never larger.
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(ButtonCan->x() + ButtonCan->width() + 20, ButtonCan->y() + ButtonCan->height() + 10);
  setMaximumSize(size());
}

void TFormEdit::FormShow() {
  const QWidget* main = MainWindow();
  if (main == nullptr) return;
  const QRect over = main->frameGeometry();
  const QRect own = frameGeometry();
  move(over.left() + over.width() / 2 - own.width() / 2,
       over.top() + over.height() / 2 - own.height() / 2);
}

void TFormEdit::RefreshEditor(bool KeepFilterForm) {
  if (!KeepFilterForm) SavedTable = TransferTable;

  const int form = KeepFilterForm ? CodeOfText(FilterFormItems(), ComboBoxFtype->currentText())
                                  : CodeOfCell(HeaderCell(FilterHeader::Ftype));
  SetComboText(ComboBoxFtype, TextOfCode(FilterFormItems(), form));
  SetComboText(ComboBoxAt,
               TextOfCode(ResponseTypeItems(), CodeOfCell(HeaderCell(FilterHeader::Rtype))));

  LabeledEditAp->setText(HeaderText(HeaderCell(FilterHeader::Ap), FormatFixedGrouped, 8, 4));
  LabeledEditAs->setText(HeaderText(HeaderCell(FilterHeader::As), FormatFixedGrouped, 8, 3));
  LabeledEditWs->setText(HeaderText(HeaderCell(FilterHeader::Ws), FormatFixedGrouped, 8, 5));
  LabeledEditFo->setText(HeaderText(HeaderCell(FilterHeader::FoFc), FormatEng, 10, 5));
  LabeledEditFb->setText(HeaderText(HeaderCell(FilterHeader::Fb), FormatEng, 10, 5));

  if (FilterFormHasCornerFrequency(form)) {
    LabeledEditFb->hide();
    LabeledEditFo->SetLabelText(QStringLiteral("   fc(Hz)"));
  } else if (FilterFormHasBandwidth(form)) {
    LabeledEditFb->show();
    LabeledEditFo->SetLabelText(QStringLiteral("   fo(Hz)"));
  }

  const int n = std::clamp(StageCount(), 0, MaxStages);
  for (int t = FirstStageRow; t <= n + 1; ++t) {
    const int row = t - 1;
    const int code = CodeOfCell(ElementCell(t, TransferElement::Type));
    StringGrid1->SetCells(ColType, row, TextOfCode(ElementTypeItems(), code));
    StringGrid1->SetCells(ColH, row, FormatFixedGrouped(ElementCell(t, TransferElement::H), 10, 5));
    StringGrid1->SetCells(ColFo, row, FormatEng(ElementCell(t, TransferElement::FoFa), 10, 5));
    StringGrid1->SetCells(ColQ, row,
                          ElementUsesQ(code)
                              ? FormatFixedGrouped(ElementCell(t, TransferElement::Q), 10, 5)
                              : QString());
    StringGrid1->SetCells(
        ColFn, row,
        ElementUsesFn(code) ? FormatEng(ElementCell(t, TransferElement::Fn), 10, 5) : QString());
  }
  for (int row = n + 1; row < GridRows; ++row)
    for (int col = ColType; col <= ColFn; ++col) StringGrid1->SetCells(col, row, QString());
}

void TFormEdit::CommitEditor() {
  const int form = CodeOfText(FilterFormItems(), ComboBoxFtype->currentText());
  HeaderCell(FilterHeader::Ftype) = form;
  HeaderCell(FilterHeader::Rtype) = CodeOfText(ResponseTypeItems(), ComboBoxAt->currentText());
  HeaderCell(FilterHeader::FoFc) = ValueOrZero(LabeledEditFo->text());
  // A form given by its corner frequency has no bandwidth, whatever the
  // hidden fb box still holds.
  HeaderCell(FilterHeader::Fb) =
      FilterFormHasCornerFrequency(form) ? 0.0 : ValueOrZero(LabeledEditFb->text());
  HeaderCell(FilterHeader::Ap) = ValueOrZero(LabeledEditAp->text());
  HeaderCell(FilterHeader::As) = ValueOrZero(LabeledEditAs->text());
  HeaderCell(FilterHeader::Ws) = ValueOrZero(LabeledEditWs->text());

  // A row without one of the eight types (only a loaded file leaves one: its
  // type cell shows empty while its values show) is no stage. Such rows are
  // dropped here and the stages after them move up, in the grid as in the
  // table, so that the stages run from table row 2 without a gap and n counts
  // them all; the rows after the last stage hold zeros.
  CloseGaps(*StringGrid1, HasListedType);
  int order = 0;
  int stages = 0;
  for (int t = FirstStageRow; t < TableRows; ++t) {
    const int row = t - 1;
    const int code = CodeOfText(ElementTypeItems(), StringGrid1->Cells(ColType, row));
    const bool listed = IsListedElementType(code);
    ElementCell(t, TransferElement::Type) = code;
    ElementCell(t, TransferElement::H) = listed ? ValueOrZero(StringGrid1->Cells(ColH, row)) : 0.0;
    ElementCell(t, TransferElement::FoFa) =
        listed ? ValueOrZero(StringGrid1->Cells(ColFo, row)) : 0.0;
    ElementCell(t, TransferElement::Q) = listed ? ValueOrZero(StringGrid1->Cells(ColQ, row)) : 0.0;
    ElementCell(t, TransferElement::Fn) =
        listed ? ValueOrZero(StringGrid1->Cells(ColFn, row)) : 0.0;
    order += ElementOrder(code);
    if (listed) ++stages;
  }
  HeaderCell(FilterHeader::Order) = order;
  HeaderCell(FilterHeader::N) = stages;
}

void TFormEdit::ComboBoxFtypeChange() { RefreshEditor(true); }

void TFormEdit::ComboBoxFtypeKeyPress(QObject*, int& key) {
  if (key == KeyEnter) key = 0;
}

void TFormEdit::LabeledEditApKeyDown(QObject* sender, int& key) {
  if (sender == LabeledEditAp && key == KeyUp) key = 0;
  if (sender == LabeledEditFb && (key == KeyDown || key == KeyEnter)) key = 0;
  StepFocus(this, key);
}

void TFormEdit::LabeledEditApKeyPress(QObject*, int& key) {
  if (key == KeyEnter) key = 0;
}

void TFormEdit::StringGrid1Click() {
  if (StringGrid1->Row() >= 1 && StringGrid1->Col() >= 1) SelectedRow = StringGrid1->Row();
}

void TFormEdit::StringGrid1DblClick() {
  const int row = StringGrid1->Row();
  if (row < 1 || StringGrid1->Col() < 1 || FormDataIn == nullptr) return;
  SelectedRow = row;
  FillElementDialog(row);
  FormDataIn->show();
  FormDataIn->raise();
  FormDataIn->activateWindow();
}

void TFormEdit::StringGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool) {
  // The type of the first element never shows the selection: selected or
  // not, the cell is drawn again on the grid's background in the font's
  // colour, its text 6 pixels in from the left and 4 down from the top.
  if (col != ColType || row != 1) return;
  const QPalette& colors = StringGrid1->palette();
  painter.save();
  painter.setClipRect(rect);
  painter.fillRect(rect, colors.color(QPalette::Base));
  painter.setPen(colors.color(QPalette::Text));
  painter.setFont(StringGrid1->font());
  painter.drawText(rect.adjusted(6, 4, 6, 4), Qt::AlignLeft | Qt::AlignTop,
                   StringGrid1->Cells(col, row));
  painter.restore();
}

void TFormEdit::ButtonOKClick() {
  CommitEditor();
  RedrawMainGraph();
  if (FormDataIn != nullptr) FormDataIn->close();
  close();
}

void TFormEdit::ButtonCanClick() {
  TransferTable = SavedTable;
  RedrawMainGraph();
  if (FormDataIn != nullptr) FormDataIn->close();
  close();
}

void TFormEdit::ButtonUpClick() {
  const int selected = SelectedRow;
  const int n = std::min(StageCount(), MaxStages);
  if (!(selected > 1 && selected <= n)) {
    ShowMoveWarning();
    return;
  }
  // Grid row s shows table row s + 1; the element above it is table row s.
  SwapTableRows(selected, selected + 1);
  RefreshEditor(true);
  AfterMove(selected - 1);
  RedrawMainGraph();
}

void TFormEdit::ButtonDownClick() {
  const int selected = SelectedRow;
  const int n = std::min(StageCount(), MaxStages);
  if (!(selected > 0 && selected <= n - 1)) {
    ShowMoveWarning();
    return;
  }
  SwapTableRows(selected + 1, selected + 2);
  RefreshEditor(true);
  AfterMove(selected + 1);
  RedrawMainGraph();
}

void TFormEdit::ShowMoveWarning() { MessageDlgCentered(MoveWarning, MsgWarning, MbOk, 0, this); }

void TFormEdit::AfterMove(int newRow) {
  StringGrid1->SetCurrentCell(ColType, newRow);
  // Selecting the row from code counts as a click on it.
  StringGrid1Click();
  StringGrid1->setFocus();
}

bool TFormEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const bool enter = IsEnterCharacter(keyEvent);
    if (qobject_cast<TLabeledEdit*>(watched) != nullptr) {
      // Key-down first; then, for Enter, the character handler of the same box.
      int key = VirtualKeyOf(keyEvent);
      RunGuarded([&] { LabeledEditApKeyDown(watched, key); });
      bool consumed = key == 0;
      if (enter) {
        int character = KeyEnter;
        RunGuarded([&] { LabeledEditApKeyPress(watched, character); });
        consumed = consumed || character == 0;
      }
      return consumed;
    }
    if (watched == ComboBoxFtype && enter) {
      int character = KeyEnter;
      RunGuarded([&] { ComboBoxFtypeKeyPress(watched, character); });
      return character == 0;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFormEdit::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    BelongToMainWindow(this);
    RunGuarded([this] { FormShow(); });
  }
  QWidget::showEvent(event);
}

void RefreshEditor(bool KeepFilterForm) {
  if (FormEdit != nullptr) FormEdit->RefreshEditor(KeepFilterForm);
}

void CommitEditor() {
  if (FormEdit != nullptr) FormEdit->CommitEditor();
}

void FillElementDialog(int row) {
  if (FormEdit == nullptr || FormDataIn == nullptr) return;
  const TStringGrid* grid = FormEdit->StringGrid1;
  FormDataIn->GroupBoxData->setTitle(QStringLiteral(" 伝達関数 ") + grid->Cells(0, row).trimmed());
  SetComboText(FormDataIn->ComboBoxType, grid->Cells(ColType, row));
  FormDataIn->LabeledEditH->setText(grid->Cells(ColH, row));
  FormDataIn->LabeledEditFo->setText(grid->Cells(ColFo, row));
  FormDataIn->LabeledEditQ->setText(grid->Cells(ColQ, row));
  FormDataIn->LabeledEditFn->setText(grid->Cells(ColFn, row));
  FormDataIn->ShowTypeFields();
}
