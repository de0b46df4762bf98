#include "editor/FormDataIn.h"

#include "common/Common.h"
#include "common/MessageDlg.h"
#include "document/TransferTable.h"
#include "editor/EditorCodes.h"
#include "editor/EditorSupport.h"
#include "editor/FormEdit.h"
#include "editor/LabeledEdit.h"
#include "editor/StringGrid.h"
#include "platform/Window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <cmath>

TFormDataIn* FormDataIn = nullptr;

namespace {

// Grid columns of an element row.
constexpr int ColType = 1;
constexpr int ColH = 2;
constexpr int ColFo = 3;
constexpr int ColQ = 4;
constexpr int ColFn = 5;
constexpr int LastGridRow = 30;

// Positions in the type list.
bool IsFirstOrderPosition(int p) { return p == 0 || p == 1 || p == 6; }
constexpr int TzfPosition = 5;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint, int left, int top) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(left, top, 50, 25);
  button->setToolTip(hint);
  // Enter in a box does what its key handlers say, never presses a button.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

bool HasTypeText(const QString& typeText) { return !typeText.isEmpty(); }

TStringGrid* EditorGrid() { return FormEdit != nullptr ? FormEdit->StringGrid1 : nullptr; }

}  // namespace

TFormDataIn::TFormDataIn(QWidget* parent) : QWidget(parent, Qt::Window) {
  FormDataIn = this;
  setObjectName(QStringLiteral("FormDataIn"));
  setWindowTitle(QStringLiteral("Data modify"));
  // The designed client area; FormCreate fits it to the buttons.
  resize(448, 130);
  BuildControls();
  SetTabOrder();
  RunGuarded([this] { FormCreate(); });
}

TFormDataIn::~TFormDataIn() {
  if (FormDataIn == this) FormDataIn = nullptr;
}

void TFormDataIn::BuildControls() {
  GroupBoxData = new QGroupBox(QStringLiteral(" 伝達関数 "), this);
  GroupBoxData->setObjectName(QStringLiteral("GroupBoxData"));
  GroupBoxData->setGeometry(8, 8, 425, 65);

  Label1 = new QLabel(QStringLiteral("Type"), GroupBoxData);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(48, 17);
  Label1->adjustSize();

  ComboBoxType = new QComboBox(GroupBoxData);
  ComboBoxType->setObjectName(QStringLiteral("ComboBoxType"));
  ComboBoxType->setGeometry(24, 32, 95, 21);
  ComboBoxType->setFont(FixedPitchFont());
  ComboBoxType->setEditable(true);
  ComboBoxType->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxType->addItems(ElementTypeItems());
  ComboBoxType->setCurrentIndex(0);

  auto labeled = [this](const char* name, const QString& label, int left) {
    auto* edit = new TLabeledEdit(GroupBoxData, QLatin1String(name), label);
    edit->setFont(FixedPitchFont());
    edit->SetBounds(left, 32, 70, 21);
    edit->installEventFilter(this);
    return edit;
  };
  LabeledEditH = labeled("LabeledEditH", QStringLiteral("     H"), 120);
  LabeledEditFo = labeled("LabeledEditFo", QStringLiteral("     fo"), 192);
  LabeledEditQ = labeled("LabeledEditQ", QStringLiteral("     Q"), 264);
  LabeledEditFn = labeled("LabeledEditFn", QStringLiteral("     fn"), 336);

  Button1 =
      MakeButton(this, "Button1", QStringLiteral("Draw"), QStringLiteral("グラフを更新"), 32, 88);
  ButtonOK = MakeButton(this, "ButtonOK", QStringLiteral("OK"),
                        QStringLiteral("データを確定して閉じる"), 264, 88);
  ButtonDel = MakeButton(this, "ButtonDel", QStringLiteral("Delete"),
                         QStringLiteral("このエレメントを削除する"), 324, 88);
  ButtonCan = MakeButton(this, "ButtonCan", QStringLiteral("Cancel"),
                         QStringLiteral("変更取り消し"), 384, 88);

  ConnectGuarded(ComboBoxType, &QComboBox::editTextChanged, this, [this] { ComboBoxTypeChange(); });
  ComboBoxType->installEventFilter(this);
  ConnectGuarded(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  ConnectGuarded(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  ConnectGuarded(ButtonDel, &QPushButton::clicked, this, [this] { ButtonDelClick(); });
  ConnectGuarded(ButtonCan, &QPushButton::clicked, this, [this] { ButtonCanClick(); });
}

void TFormDataIn::SetTabOrder() {
  const QList<QWidget*> order = {ComboBoxType, LabeledEditH,  LabeledEditFo,
                                 LabeledEditQ, LabeledEditFn, ButtonOK,
                                 ButtonCan,    ButtonDel,     Button1};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void TFormDataIn::FormCreate() {
  // The dialog may be made smaller than its buttons need, never larger.
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(ButtonCan->x() + ButtonCan->width() + 10, ButtonCan->y() + ButtonCan->height() + 10);
  setMaximumSize(size());
}

void TFormDataIn::FormShow() {
  if (FormEdit == nullptr) return;
  const QRect over = FormEdit->frameGeometry();
  const QRect own = frameGeometry();
  move(over.left() + over.width() / 2 - own.width() / 2,
       over.top() + over.height() / 2 - own.height() / 2);
}

void TFormDataIn::ShowTypeFields() {
  const int p = ElementTypePosition(ComboBoxType->currentText());
  if (p < 0) return;
  if (IsFirstOrderPosition(p)) {
    LabeledEditQ->hide();
    LabeledEditFn->hide();
    LabeledEditFo->SetLabelText(QStringLiteral("     fa"));
  } else {
    LabeledEditQ->show();
    LabeledEditFn->setVisible(p == TzfPosition);
    LabeledEditFo->SetLabelText(QStringLiteral("     fo"));
  }
}

void TFormDataIn::StoreElementRow() {
  TStringGrid* grid = EditorGrid();
  const int row = SelectedRow;
  if (grid == nullptr || row < 1 || row > LastGridRow) return;
  const QString typeText = ComboBoxType->currentText();
  const int p = ElementTypePosition(typeText);

  // Only the eight types make a stage: a blank text and one that is not an
  // item are both refused before anything is written.
  if (typeText.trimmed().isEmpty() || p < 0) {
    Warn(QStringLiteral("Type を指定すること"));
    return;
  }
  grid->SetCells(ColType, row, typeText);

  // Each value is written before it is tested, so the row shows what failed.
  const double h = ParseEng(LabeledEditH->text());
  grid->SetCells(ColH, row, std::isnan(h) ? QString() : FormatFixedGrouped(h, 10, 5));
  if (h < 0) {
    Warn(QStringLiteral("H > 0 であること"));
    return;
  }

  const double fo = ParseEng(LabeledEditFo->text());
  grid->SetCells(ColFo, row, std::isnan(fo) ? QString() : FormatEng(fo, 10, 5));
  if (fo < 0) {
    Warn(IsFirstOrderPosition(p) ? QStringLiteral("fa > 0 であること")
                                 : QStringLiteral("fo > 0 であること"));
    return;
  }

  if (IsFirstOrderPosition(p)) {
    grid->SetCells(ColQ, row, QString());
  } else {
    const double q = ParseEng(LabeledEditQ->text());
    grid->SetCells(ColQ, row, std::isnan(q) ? QString() : FormatFixedGrouped(q, 10, 5));
    if (q < 0) {
      Warn(QStringLiteral("Q > 0 であること"));
      return;
    }
  }

  if (p == TzfPosition) {
    const double fn = ParseEng(LabeledEditFn->text());
    grid->SetCells(ColFn, row, std::isnan(fn) ? QString() : FormatEng(fn, 10, 5));
    if (fn < 0) {
      Warn(QStringLiteral("fn > 0 であること"));
      return;
    }
  } else {
    grid->SetCells(ColFn, row, QString());
  }

  CloseGridGaps();
}

void TFormDataIn::ApplyElement() {
  StoreElementRow();
  CommitEditor();
  RedrawMainGraph();
}

void TFormDataIn::DeleteGridRow(int row) {
  if (TStringGrid* grid = EditorGrid()) RemoveGridRow(*grid, row);
}

void TFormDataIn::CloseGridGaps() {
  if (TStringGrid* grid = EditorGrid()) CloseGaps(*grid, HasTypeText);
}

void TFormDataIn::ComboBoxTypeChange() { ShowTypeFields(); }

void TFormDataIn::ComboBoxTypeKeyPress(QObject*, int& key) {
  if (key == KeyEnter) key = 0;
}

void TFormDataIn::LabeledEditHKeyDown(QObject* sender, int& key) {
  if (sender == LabeledEditH && key == KeyUp) key = 0;
  if (sender == LabeledEditFn && (key == KeyDown || key == KeyEnter)) key = 0;
  StepFocus(this, key);
}

void TFormDataIn::LabeledEditHKeyPress(QObject*, int& key) {
  if (key != KeyEnter) return;
  key = 0;
  ApplyElement();
}

void TFormDataIn::Button1Click() { ApplyElement(); }

void TFormDataIn::ButtonOKClick() {
  StoreElementRow();
  close();
}

void TFormDataIn::ButtonDelClick() {
  if (MessageDlgCentered(QStringLiteral("削除してもよろしいですか?"), MsgConfirmation, MbYes | MbNo,
                         0, this) != AnswerYes)
    return;
  DeleteGridRow(SelectedRow);
  close();
}

void TFormDataIn::ButtonCanClick() {
  TransferTable = SavedTable;
  RefreshEditor(false);
  RedrawMainGraph();
  close();
}

void TFormDataIn::Warn(const QString& text) { MessageDlgCentered(text, MsgWarning, MbOk, 0, this); }

bool TFormDataIn::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const bool enter = IsEnterCharacter(keyEvent);
    if (qobject_cast<TLabeledEdit*>(watched) != nullptr) {
      // Key-down first; then, for Enter, the character handler of the same box.
      int key = VirtualKeyOf(keyEvent);
      RunGuarded([&] { LabeledEditHKeyDown(watched, key); });
      bool consumed = key == 0;
      if (enter) {
        int character = KeyEnter;
        RunGuarded([&] { LabeledEditHKeyPress(watched, character); });
        consumed = consumed || character == 0;
      }
      return consumed;
    }
    if (watched == ComboBoxType && enter) {
      int character = KeyEnter;
      RunGuarded([&] { ComboBoxTypeKeyPress(watched, character); });
      return character == 0;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFormDataIn::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    BelongToMainWindow(this);
    RunGuarded([this] { FormShow(); });
  }
  QWidget::showEvent(event);
}
