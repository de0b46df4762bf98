#pragma once

#include "document/TransferTable.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPainter;
class QPushButton;
class TLabeledEdit;
class TStringGrid;

// The editor's Cancel snapshot: a copy of the whole table, taken when the
// editor is opened (RefreshEditor with KeepFilterForm false).
extern TransferTableData SavedTable;
// The grid row (1..30) of the element last clicked in the editor's grid; 0
// until the first click. Grid row r shows the element of table row r + 1.
extern int SelectedRow;

// The transfer-function editor window: the filter header in two drop-down
// boxes and five edit boxes, the elements in a grid of 30 rows. Modeless,
// hidden until the main window's menu shows it.
class TFormEdit : public QWidget {
  Q_OBJECT

 public:
  explicit TFormEdit(QWidget* parent = nullptr);
  ~TFormEdit() override;

  QLabel* Label1;
  QLabel* Label2;
  QComboBox* ComboBoxFtype;
  QComboBox* ComboBoxAt;
  TLabeledEdit* LabeledEditAp;
  TLabeledEdit* LabeledEditAs;
  TLabeledEdit* LabeledEditWs;
  TLabeledEdit* LabeledEditFo;
  TLabeledEdit* LabeledEditFb;
  TStringGrid* StringGrid1;
  QPushButton* ButtonOK;
  QPushButton* ButtonCan;
  QPushButton* ButtonUp;
  QPushButton* ButtonDown;

  // Fills the boxes and the grid from TransferTable. With KeepFilterForm false
  // it first takes the Cancel snapshot and takes the filter form from the
  // table; with true the filter form box keeps its choice.
  void RefreshEditor(bool KeepFilterForm);
  // Reads the header boxes and the grid rows into TransferTable and recounts
  // Order and n. Neither refills the window nor redraws.
  void CommitEditor();

  // Life cycle.
  void FormCreate();
  void FormShow();

  // Handlers.
  void ComboBoxFtypeChange();
  void ComboBoxFtypeKeyPress(QObject* sender, int& key);
  void LabeledEditApKeyDown(QObject* sender, int& key);
  void LabeledEditApKeyPress(QObject* sender, int& key);
  void StringGrid1Click();
  void StringGrid1DblClick();
  void StringGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
  void ButtonOKClick();
  void ButtonCanClick();
  void ButtonUpClick();
  void ButtonDownClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void ShowMoveWarning();
  void AfterMove(int newRow);
};

extern TFormEdit* FormEdit;

// The editor's operations for the other windows; they do nothing while the
// editor does not exist.
void RefreshEditor(bool KeepFilterForm);
void CommitEditor();
// Loads the element dialog from grid row `row` (1..30) of the editor.
void FillElementDialog(int row);
