#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TLabeledEdit;

// The element data dialog: the type and the values H, fo or fa, Q and fn of
// one element. It edits the editor's grid row SelectedRow, never the table
// directly. Modeless, hidden until the editor's grid opens it.
class TFormDataIn : public QWidget {
  Q_OBJECT

 public:
  explicit TFormDataIn(QWidget* parent = nullptr);
  ~TFormDataIn() override;

  QGroupBox* GroupBoxData;
  QLabel* Label1;
  QComboBox* ComboBoxType;
  TLabeledEdit* LabeledEditH;
  TLabeledEdit* LabeledEditFo;
  TLabeledEdit* LabeledEditQ;
  TLabeledEdit* LabeledEditFn;
  QPushButton* Button1;
  QPushButton* ButtonOK;
  QPushButton* ButtonDel;
  QPushButton* ButtonCan;

  // Shows the Q and fn boxes and labels the fo box as the chosen type needs;
  // an empty or unlisted type leaves them as they are.
  void ShowTypeFields();
  // Tests the values and writes them into grid row SelectedRow, then closes
  // the gaps. A failing test warns and ends the store where it stands.
  void StoreElementRow();
  // StoreElementRow, then CommitEditor and the redraw.
  void ApplyElement();
  // Removes grid row `row` (1..30), moving the rows below it up.
  void DeleteGridRow(int row);
  // Removes the empty grid rows that lie above a filled one.
  void CloseGridGaps();

  // Life cycle.
  void FormCreate();
  void FormShow();

  // Handlers.
  void ComboBoxTypeChange();
  void ComboBoxTypeKeyPress(QObject* sender, int& key);
  void LabeledEditHKeyDown(QObject* sender, int& key);
  void LabeledEditHKeyPress(QObject* sender, int& key);
  void Button1Click();
  void ButtonOKClick();
  void ButtonDelClick();
  void ButtonCanClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void Warn(const QString& text);
};

extern TFormDataIn* FormDataIn;
