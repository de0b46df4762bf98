#include "EditorTestSupport.h"

#include "common/Common.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWindow>

#include <limits>
#include <vector>

namespace {

const QString MoveWarning =
    QStringLiteral("移動できません!\r\n\r\n移動したいエレメントをクリックして選択してください。");

class FormEditTest : public EditorWindowsTest {
 protected:
  // Types the text into a box as the user does, replacing what it held.
  static void TypeInto(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }

  static void ChooseFilterForm(const QString& item) {
    QComboBox* box = FormEdit->ComboBoxFtype;
    box->setCurrentIndex(box->findText(item));
  }

  // The table's element rows 2 .. 4 as type codes.
  static std::vector<double> FirstTypes(int count) {
    std::vector<double> types;
    for (int row = FirstStageRow; row < FirstStageRow + count; ++row)
      types.push_back(ElementCell(row, TransferElement::Type));
    return types;
  }
};

TEST_F(FormEditTest, ControlsCarryTheirNamesTextsHintsAndPlaces) {
  const struct {
    const char* name;
    QString text;
    QString hint;
    QRect geometry;
  } controls[] = {
      {"ComboBoxFtype", "LPF", "", {16, 24, 113, 21}},
      {"ComboBoxAt", "W-W", "", {144, 24, 73, 21}},
      {"LabeledEditAp", "", "", {17, 64, 70, 21}},
      {"LabeledEditAs", "", "", {102, 64, 70, 21}},
      {"LabeledEditWs", "", "", {187, 64, 70, 21}},
      {"LabeledEditFo", "", "", {272, 64, 70, 21}},
      {"LabeledEditFb", "", "", {357, 64, 70, 21}},
      {"StringGrid1", "", "ダブルクリックでデータ編集", {17, 91, 411, 155}},
      {"ButtonOK", "OK", "変更を確定する", {321, 252, 50, 25}},
      {"ButtonCan", "Cancel", "変更取り消し", {377, 252, 50, 25}},
      {"ButtonUp", "↑", "選択したエレメントを１つ上に移動する", {16, 254, 20, 25}},
      {"ButtonDown", "↓", "選択したエレメントを１つ下に移動する", {40, 254, 20, 25}},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* widget = InEdit(c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), c.geometry);
    EXPECT_EQ(widget->toolTip(), c.hint);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      EXPECT_TRUE(combo->isEditable());
      EXPECT_EQ(combo->currentText(), c.text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      EXPECT_EQ(edit->text(), c.text);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      EXPECT_EQ(button->text(), c.text);
      EXPECT_FALSE(button->autoDefault());
    }
  }
  EXPECT_EQ(FormEdit->windowTitle(), QStringLiteral("Edit"));
  EXPECT_EQ(InEdit<QLabel>("Label1")->text(), QStringLiteral("フィルタ形式"));
  EXPECT_EQ(InEdit<QLabel>("Label2")->text(), QStringLiteral("振幅特性"));
  EXPECT_EQ(InEdit<QLabel>("Label1")->pos(), QPoint(32, 8));
  EXPECT_EQ(InEdit<QLabel>("Label2")->pos(), QPoint(154, 8));

  const struct {
    TLabeledEdit* edit;
    QString label;
  } labels[] = {{FormEdit->LabeledEditAp, "   Ap(dB)"},
                {FormEdit->LabeledEditAs, "   As(dB)"},
                {FormEdit->LabeledEditWs, "     Ws"},
                {FormEdit->LabeledEditFo, "   fo(Hz)"},
                {FormEdit->LabeledEditFb, "   fb(Hz)"}};
  for (const auto& l : labels) {
    SCOPED_TRACE(l.edit->objectName().toStdString());
    EXPECT_EQ(l.edit->EditLabel()->text(), l.label);
    // The label stands above its box, at the box's left edge.
    EXPECT_EQ(l.edit->EditLabel()->x(), l.edit->x());
    EXPECT_LE(l.edit->EditLabel()->geometry().bottom(), l.edit->y());
  }

  QStringList ftypes;
  for (int i = 0; i < FormEdit->ComboBoxFtype->count(); ++i)
    ftypes << FormEdit->ComboBoxFtype->itemText(i);
  EXPECT_EQ(ftypes,
            QStringList({"LPF", "HPF", "BPF", "BEF", "Equalizer", "Normalized LPF", "Other"}));
  QStringList rtypes;
  for (int i = 0; i < FormEdit->ComboBoxAt->count(); ++i)
    rtypes << FormEdit->ComboBoxAt->itemText(i);
  EXPECT_EQ(rtypes, QStringList({"W-W", "T-W", "W-T", "T-T", "Bessel", "Other"}));
}

TEST_F(FormEditTest, FormCreateFitsTheWindowAndLabelsTheGrid) {
  EXPECT_EQ(FormEdit->size(), QSize(447, 287));
  EXPECT_EQ(FormEdit->maximumSize(), FormEdit->size());
  EXPECT_EQ(FormEdit->minimumSize(), QSize(0, 0));

  TStringGrid* grid = Grid();
  EXPECT_EQ(grid->ColCount(), 6);
  EXPECT_EQ(grid->RowCount(), 31);
  EXPECT_EQ(QStringList({Cell(0, 0), Cell(1, 0), Cell(2, 0), Cell(3, 0), Cell(4, 0), Cell(5, 0)}),
            QStringList({"", "   Type", "     H", "   fo,fa", "     Q", "    fn"}));
  for (int row = 1; row <= 30; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(Cell(0, row), QString::number(row).rightJustified(3));
    EXPECT_EQ(grid->rowHeight(row - 1), 18);
  }
  EXPECT_EQ(Cell(0, 1), QStringLiteral("  1"));
  EXPECT_EQ(Cell(0, 30), QStringLiteral(" 30"));
  EXPECT_EQ(grid->verticalHeader()->width(), 24);
  EXPECT_EQ(grid->horizontalHeader()->height(), 18);
  EXPECT_EQ(grid->columnWidth(0), 80);
  for (int col = 1; col < 5; ++col) EXPECT_EQ(grid->columnWidth(col), 70);

  const QFontInfo font(grid->font());
  EXPECT_EQ(font.family(), QStringLiteral("IPAGothic"));
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  // Not a tab stop, but a click gives it the focus.
  EXPECT_EQ(grid->focusPolicy(), Qt::ClickFocus);
  EXPECT_EQ(grid->Row(), 1);
  EXPECT_EQ(grid->Col(), 1);
}

TEST_F(FormEditTest, TabOrderRunsThroughTheBoxesThenTheListsAndButtons) {
  OpenEditor();
  Activate(FormEdit);
  FormEdit->LabeledEditAp->setFocus();
  const QStringList expected = {"LabeledEditAs", "LabeledEditWs", "LabeledEditFo", "LabeledEditFb",
                                "ComboBoxFtype", "ComboBoxAt",    "ButtonOK",      "ButtonCan",
                                "ButtonUp",      "ButtonDown",    "LabeledEditAp"};
  // The default filter form LPF hides fb; show it for the full walk.
  FormEdit->LabeledEditFb->show();
  QStringList walked;
  for (qsizetype i = 0; i < expected.size(); ++i) {
    Press(Qt::Key_Tab);
    walked << FocusName();
  }
  EXPECT_EQ(walked, expected);
}

TEST_F(FormEditTest, AllZeroTableEmptiesEveryBoxAndKeepsTheFormLayout) {
  for (const QString form : {"BPF", "LPF"}) {
    SCOPED_TRACE(form.toStdString());
    ChooseFilterForm(form);
    const bool fbShown = !FormEdit->LabeledEditFb->isHidden();
    const QString foLabel = FormEdit->LabeledEditFo->EditLabel()->text();
    Grid()->SetCells(2, 3, QStringLiteral("left over"));
    FormEdit->LabeledEditAp->setText(QStringLiteral("1"));

    ClearTransferTable();
    RefreshEditor(false);

    EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QString());
    EXPECT_EQ(FormEdit->ComboBoxAt->currentText(), QString());
    for (TLabeledEdit* edit :
         {FormEdit->LabeledEditAp, FormEdit->LabeledEditAs, FormEdit->LabeledEditWs,
          FormEdit->LabeledEditFo, FormEdit->LabeledEditFb})
      EXPECT_EQ(edit->text(), QString()) << edit->objectName().toStdString();
    EXPECT_EQ(!FormEdit->LabeledEditFb->isHidden(), fbShown);
    EXPECT_EQ(FormEdit->LabeledEditFo->EditLabel()->text(), foLabel);
    for (int row = 1; row <= 30; ++row)
      EXPECT_EQ(GridRow(row), QStringList({"", "", "", "", ""})) << row;
  }
}

TEST_F(FormEditTest, RefreshShowsTheHeaderAndTheElementsFormatted) {
  HeaderCell(FilterHeader::Ftype) = 3;
  HeaderCell(FilterHeader::Rtype) = 5;
  HeaderCell(FilterHeader::FoFc) = 1000;
  HeaderCell(FilterHeader::Fb) = 200;
  HeaderCell(FilterHeader::Ap) = 0.5;
  HeaderCell(FilterHeader::As) = 1234.5;
  HeaderCell(FilterHeader::Ws) = 2.5;
  SetStages({{6, 1.5, 1234.5, 0.707, 2000},
             {2, 1, 100, 9, 9},
             {8, 1234567.891, 1e6, 12.5, 9},
             {9, 2, 50, 3, 4},
             {0, 0, 0, 0, 0}});

  RefreshEditor(false);

  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QStringLiteral("BPF"));
  EXPECT_EQ(FormEdit->ComboBoxAt->currentText(), QStringLiteral("Bessel"));
  EXPECT_EQ(FormEdit->LabeledEditAp->text(), QStringLiteral("  0.5000"));
  EXPECT_EQ(FormEdit->LabeledEditAs->text(), QStringLiteral("1,234.500"));
  EXPECT_EQ(FormEdit->LabeledEditWs->text(), QStringLiteral(" 2.50000"));
  EXPECT_EQ(FormEdit->LabeledEditFo->text(), QStringLiteral("  1.00000k"));
  EXPECT_EQ(FormEdit->LabeledEditFb->text(), QStringLiteral("200.00000 "));
  EXPECT_FALSE(FormEdit->LabeledEditFb->isHidden());
  EXPECT_EQ(FormEdit->LabeledEditFo->EditLabel()->text(), QStringLiteral("   fo(Hz)"));

  EXPECT_EQ(GridRow(1),
            QStringList({"2nd-Ord TZF", "   1.50000", "  1.23450k", "   0.70700", "  2.00000k"}));
  // Q and fn show only for the types that use them.
  EXPECT_EQ(GridRow(2), QStringList({"1st-Ord HPF", "   1.00000", "100.00000 ", "", ""}));
  EXPECT_EQ(GridRow(3),
            QStringList({"2nd-Ord APF", "1,234,567.89100", "  1.00000M", "  12.50000", ""}));
  // Codes outside the list show an empty type; element values show even at 0.
  EXPECT_EQ(GridRow(4), QStringList({"", "   2.00000", " 50.00000 ", "", ""}));
  EXPECT_EQ(GridRow(5), QStringList({"", "   0.00000", "  0.00000 ", "", ""}));
  EXPECT_EQ(GridRow(6), QStringList({"", "", "", "", ""}));
  EXPECT_EQ(SavedTable, TransferTable);
}

TEST_F(FormEditTest, CodeCellsOfABrokenFileOpenTheEditorWithoutAnItem) {
  // A file can hold NaN, infinite and huge numbers in the code cells; the
  // editor opens all the same and shows such codes as no item.
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  HeaderCell(FilterHeader::Ftype) = nan;
  HeaderCell(FilterHeader::Rtype) = -inf;
  HeaderCell(FilterHeader::FoFc) = 1000;
  SetStages({{nan, 1, 100, 0, 0}, {inf, 2, 200, 0, 0}, {1e300, 3, 300, 0, 0}, {3, 1, 1000, 2, 0}});

  FormMain->Edit1->trigger();

  EXPECT_TRUE(FormEdit->isVisible());
  EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QString());
  EXPECT_EQ(FormEdit->ComboBoxAt->currentText(), QString());
  EXPECT_EQ(FormEdit->LabeledEditFo->text(), QStringLiteral("  1.00000k"));
  EXPECT_EQ(GridRow(1), QStringList({"", "   1.00000", "100.00000 ", "", ""}));
  EXPECT_EQ(GridRow(3), QStringList({"", "   3.00000", "300.00000 ", "", ""}));
  EXPECT_EQ(GridRow(4), QStringList({"2nd-Ord LPF", "   1.00000", "  1.00000k", "   2.00000", ""}));
}

TEST_F(FormEditTest, SnapshotIsTakenOnlyWhenTheFormIsNotKept) {
  ThreeStages();
  RefreshEditor(false);
  const TransferTableData opening = TransferTable;
  HeaderCell(FilterHeader::Ap) = 3;
  RefreshEditor(true);
  EXPECT_EQ(SavedTable, opening);
  RefreshEditor(false);
  EXPECT_EQ(SavedTable, TransferTable);
}

TEST_F(FormEditTest, RefreshLeavesTheSelectionAlone) {
  ThreeStages();
  OpenEditor();
  ClickCell(3, 2);
  RefreshEditor(false);
  EXPECT_EQ(SelectedRow, 2);
  EXPECT_EQ(Grid()->Row(), 2);
  EXPECT_EQ(Grid()->Col(), 3);
}

TEST_F(FormEditTest, ZeroHeaderValuesShowEmptyAndEmptyBoxesCommitZero) {
  ThreeStages();
  HeaderCell(FilterHeader::Ap) = 0.0;
  HeaderCell(FilterHeader::As) = 60;
  RefreshEditor(false);
  EXPECT_EQ(FormEdit->LabeledEditAp->text(), QString());
  EXPECT_EQ(FormEdit->LabeledEditAs->text(), QStringLiteral("  60.000"));

  FormEdit->LabeledEditAs->setText(QString());
  FormEdit->LabeledEditWs->setText(QStringLiteral("not a number"));
  FormEdit->LabeledEditFo->setText(QStringLiteral("2.5k"));
  CommitEditor();
  EXPECT_EQ(HeaderCell(FilterHeader::Ap), 0.0);
  EXPECT_EQ(HeaderCell(FilterHeader::As), 0.0);
  EXPECT_EQ(HeaderCell(FilterHeader::Ws), 0.0);
  EXPECT_EQ(HeaderCell(FilterHeader::FoFc), 2500.0);
}

TEST_F(FormEditTest, BandwidthIsCommittedOnlyForBandForms) {
  const struct {
    QString form;
    double ftype;
    double fb;
  } cases[] = {{"LPF", 1, 0.0},    {"HPF", 2, 0.0},   {"Normalized LPF", 6, 0.0},
               {"BPF", 3, 300.0},  {"BEF", 4, 300.0}, {"Equalizer", 5, 300.0},
               {"Other", 7, 300.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.form.toStdString());
    ChooseFilterForm(c.form);
    // The box keeps what was typed even while hidden.
    FormEdit->LabeledEditFb->setText(QStringLiteral("300"));
    CommitEditor();
    EXPECT_EQ(HeaderCell(FilterHeader::Ftype), c.ftype);
    EXPECT_EQ(HeaderCell(FilterHeader::Fb), c.fb);
  }
}

TEST_F(FormEditTest, FilterFormChoosesTheFrequencyLabelAndTheBandwidthBox) {
  const struct {
    QString form;
    bool fbShown;
    QString label;
  } cases[] = {{"BPF", true, "   fo(Hz)"},       {"Normalized LPF", false, "   fc(Hz)"},
               {"BEF", true, "   fo(Hz)"},       {"LPF", false, "   fc(Hz)"},
               {"Equalizer", true, "   fo(Hz)"}, {"HPF", false, "   fc(Hz)"},
               {"Other", true, "   fo(Hz)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.form.toStdString());
    ChooseFilterForm(c.form);
    EXPECT_EQ(!FormEdit->LabeledEditFb->isHidden(), c.fbShown);
    EXPECT_EQ(!FormEdit->LabeledEditFb->EditLabel()->isHidden(), c.fbShown);
    EXPECT_EQ(FormEdit->LabeledEditFo->EditLabel()->text(), c.label);
  }
  // The stored filter form changes only with a commit.
  EXPECT_EQ(HeaderCell(FilterHeader::Ftype), 0.0);
}

TEST_F(FormEditTest, TypedFilterFormIsNormalisedOrCleared) {
  OpenEditor();
  QComboBox* box = FormEdit->ComboBoxFtype;
  box->setEditText(QStringLiteral("normalized lpf"));
  EXPECT_EQ(box->currentText(), QStringLiteral("Normalized LPF"));
  EXPECT_EQ(FormEdit->LabeledEditFo->EditLabel()->text(), QStringLiteral("   fc(Hz)"));
  box->setEditText(QStringLiteral("Band"));
  EXPECT_EQ(box->currentText(), QString());
  // A typed letter that is not an item goes at once.
  box->lineEdit()->clear();
  QTest::keyClicks(box, QStringLiteral("b"));
  EXPECT_EQ(box->currentText(), QString());
  // The amplitude box takes any text and commits it as its code or 0.
  FormEdit->ComboBoxAt->setEditText(QStringLiteral("t-t"));
  CommitEditor();
  EXPECT_EQ(HeaderCell(FilterHeader::Rtype), 4.0);
  FormEdit->ComboBoxAt->setEditText(QStringLiteral("Chebyshev"));
  EXPECT_EQ(FormEdit->ComboBoxAt->currentText(), QStringLiteral("Chebyshev"));
  CommitEditor();
  EXPECT_EQ(HeaderCell(FilterHeader::Rtype), 0.0);
}

TEST_F(FormEditTest, FilterFormChangeRefillsFromTheTable) {
  ThreeStages();
  HeaderCell(FilterHeader::Ap) = 0.5;
  OpenEditor();
  FormEdit->LabeledEditAp->setText(QStringLiteral("7"));
  Grid()->SetCells(2, 1, QStringLiteral("uncommitted"));
  ChooseFilterForm(QStringLiteral("BPF"));
  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QStringLiteral("BPF"));
  EXPECT_EQ(FormEdit->LabeledEditAp->text(), QStringLiteral("  0.5000"));
  EXPECT_EQ(Cell(2, 1), QStringLiteral("   1.00000"));
  EXPECT_EQ(HeaderCell(FilterHeader::Ftype), 1.0);
}

TEST_F(FormEditTest, RefreshFromCodeRunsNoChangeHandler) {
  // Were the filter form's change handler to run while the table is being
  // shown, the form would be taken from the box instead of the table.
  HeaderCell(FilterHeader::Ftype) = 6;
  FormEdit->LabeledEditFb->show();
  RefreshEditor(false);
  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QStringLiteral("Normalized LPF"));
  EXPECT_TRUE(FormEdit->LabeledEditFb->isHidden());
  HeaderCell(FilterHeader::Ftype) = 0;
  HeaderCell(FilterHeader::Ap) = 2;
  FormEdit->LabeledEditAp->setText(QString());
  QSignalSpy changes(FormEdit->ComboBoxFtype, &QComboBox::editTextChanged);
  RefreshEditor(false);
  EXPECT_EQ(changes.count(), 0);
  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QString());
}

TEST_F(FormEditTest, CommitCountsOrderAndStagesAndZeroesTheRest) {
  // Leftovers of an earlier, longer filter must not survive the commit.
  SetStages({{5, 9, 9, 9, 9}, {5, 9, 9, 9, 9}, {5, 9, 9, 9, 9}, {5, 9, 9, 9, 9}, {5, 9, 9, 9, 9}});
  RefreshEditor(false);
  const QStringList rows[] = {
      {"2nd-Ord LPF", "   1.00000", "  1.00000k", "   0.70700", ""},
      {"1st-Ord LPF", "   2.00000", "500.00000 ", "", ""},
      {"2nd-Ord TZF", "1,000.00000", "  2.00000k", "   3.00000", "  4.00000k"},
  };
  for (int row = 1; row <= 30; ++row)
    for (int col = 1; col <= 5; ++col)
      Grid()->SetCells(col, row, row <= 3 ? rows[row - 1][col - 1] : QString());

  CommitEditor();

  EXPECT_EQ(HeaderCell(FilterHeader::Order), 5.0);
  EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
  const double expected[3][5] = {
      {3, 1, 1000, 0.707, 0}, {1, 2, 500, 0, 0}, {6, 1000, 2000, 3, 4000}};
  for (int i = 0; i < 3; ++i)
    for (int col = 0; col < 5; ++col)
      EXPECT_EQ(ElementCell(FirstStageRow + i, col), expected[i][col]) << i << "," << col;
  for (int row = 5; row < TableRows; ++row)
    for (int col = 0; col < TableColumns; ++col)
      EXPECT_EQ(ElementCell(row, col), 0.0) << row << "," << col;
  EXPECT_EQ(HeaderCell(CellIndex(4, 1)), 0.0);
}

TEST_F(FormEditTest, CommitReadsTypeTextsIgnoringLetterCase) {
  Grid()->SetCells(1, 1, QStringLiteral("2ND-ord hpf"));
  Grid()->SetCells(2, 1, QStringLiteral(" 1,000.5"));
  CommitEditor();
  EXPECT_EQ(ElementCell(FirstStageRow, TransferElement::Type), 4.0);
  EXPECT_EQ(ElementCell(FirstStageRow, TransferElement::H), 1000.5);
  EXPECT_EQ(HeaderCell(FilterHeader::N), 1.0);
  EXPECT_EQ(HeaderCell(FilterHeader::Order), 2.0);
}

// A loaded file can hold rows whose type is none of the eight (a blank or
// unreadable line). They show with an empty type and their values; the commit
// drops them and closes up, so no stage after them falls out of n.
TEST_F(FormEditTest, CommitDropsLoadedRowsWithoutATypeAndKeepsEveryStage) {
  for (double badCode : {0.0, 9.0, -1.0}) {
    SCOPED_TRACE(badCode);
    ClearTransferTable();
    SetStages({{3, 1, 1000, 0.7, 0},
               {badCode, 2, 5, 0, 0},
               {1, 3, 300, 0, 0},
               {badCode, 4, 7, 0, 0},
               {6, 1, 2000, 2, 4000},
               {badCode, 5, 9, 0, 0}});
    RefreshEditor(false);
    EXPECT_EQ(GridRow(2), QStringList({"", "   2.00000", "  5.00000 ", "", ""}));

    CommitEditor();

    EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
    EXPECT_EQ(HeaderCell(FilterHeader::Order), 5.0);
    EXPECT_EQ(FirstTypes(3), std::vector<double>({3, 1, 6}));
    EXPECT_EQ(ElementCell(3, TransferElement::H), 3.0);
    EXPECT_EQ(ElementCell(4, TransferElement::Fn), 4000.0);
    for (int row = 5; row < TableRows; ++row)
      for (int col = 0; col < TableColumns; ++col) EXPECT_EQ(ElementCell(row, col), 0.0);
    // The grid shows what was committed: the stages closed up from row 1.
    EXPECT_EQ(QStringList({Cell(1, 1), Cell(1, 2), Cell(1, 3), Cell(1, 4)}),
              QStringList({"2nd-Ord LPF", "1st-Ord LPF", "2nd-Ord TZF", ""}));
    RefreshEditor(false);
    EXPECT_EQ(Cell(1, 3), QStringLiteral("2nd-Ord TZF"));
  }
}

TEST_F(FormEditTest, GridClickSelectsTheRowOfABodyCell) {
  ThreeStages();
  OpenEditor();
  EXPECT_EQ(SelectedRow, 0);
  ClickCell(4, 3);
  EXPECT_EQ(SelectedRow, 3);
  // A click on a cell that is already current still counts.
  SelectedRow = 0;
  ClickCell(4, 3);
  EXPECT_EQ(SelectedRow, 3);
  // Arrow keys and the current cell set from code select too.
  Activate(FormEdit);
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_Up);
  EXPECT_EQ(SelectedRow, 2);
  Grid()->SetCurrentCell(1, 17);
  EXPECT_EQ(SelectedRow, 17);
  // The title row and the number column are never selected.
  QHeaderView* titles = Grid()->horizontalHeader();
  QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                    QPoint(titles->sectionViewportPosition(2) + 5, 5));
  QHeaderView* numbers = Grid()->verticalHeader();
  QTest::mouseClick(numbers->viewport(), Qt::LeftButton, {},
                    QPoint(5, numbers->sectionViewportPosition(16) + 5));
  EXPECT_EQ(Grid()->Row(), 17);
  EXPECT_EQ(Grid()->Col(), 1);
  EXPECT_EQ(Grid()->selectedItems().size(), 1);
}

TEST_F(FormEditTest, TypeOfTheFirstElementIsNeverHighlighted) {
  ThreeStages();
  OpenEditor();
  Activate(FormEdit);
  Grid()->setFocus();
  const QColor white(Qt::white);
  const QColor highlight = Grid()->palette().color(QPalette::Active, QPalette::Highlight);
  // A point in the cell's right part, beyond its text.
  auto colourIn = [](int col, int row) {
    const QRect rect = Grid()->CellRect(col, row);
    const QImage image = Grid()->viewport()->grab().toImage();
    return QColor(image.pixel(rect.right() - 3, rect.center().y()));
  };
  ClickCell(2, 1);
  EXPECT_EQ(colourIn(2, 1), highlight);
  ClickCell(1, 2);
  EXPECT_EQ(colourIn(1, 2), highlight);
  ClickCell(1, 1);
  EXPECT_EQ(Grid()->Row(), 1);
  EXPECT_EQ(colourIn(1, 1), white);
  EXPECT_EQ(colourIn(1, 2), white);
}

TEST_F(FormEditTest, UpAndDownExchangeNeighboursOrWarn) {
  const struct {
    const char* name;
    int selected;
    bool up;
    std::vector<double> types;  // the three stages afterwards
    int selectedAfter;
  } cases[] = {
      {"second up", 2, true, {1, 3, 6}, 1},
      {"third up", 3, true, {3, 6, 1}, 2},
      {"first up", 1, true, {3, 1, 6}, 1},
      {"none selected up", 0, true, {3, 1, 6}, 0},
      {"beyond the last up", 4, true, {3, 1, 6}, 4},
      {"second down", 2, false, {3, 6, 1}, 3},
      {"first down", 1, false, {1, 3, 6}, 2},
      {"third down", 3, false, {3, 1, 6}, 3},
      {"none selected down", 0, false, {3, 1, 6}, 0},
      {"beyond the last down", 5, false, {3, 1, 6}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearTransferTable();
    ThreeStages();
    OpenEditor();
    SelectedRow = c.selected;
    const TransferTableData before = TransferTable;
    const qsizetype boxesBefore = boxes.boxes().size();

    Click(c.up ? FormEdit->ButtonUp : FormEdit->ButtonDown);

    const bool moved = c.types != std::vector<double>({3, 1, 6});
    EXPECT_EQ(FirstTypes(3), c.types);
    EXPECT_EQ(SelectedRow, c.selectedAfter);
    if (moved) {
      EXPECT_EQ(boxes.boxes().size(), boxesBefore);
      EXPECT_EQ(Grid()->Row(), c.selectedAfter);
      EXPECT_EQ(Grid()->Col(), 1);
      EXPECT_EQ(FormEdit->focusWidget(), Grid());
      // The moved element shows in its new grid row with all its values.
      const int t = c.selectedAfter + 1;
      EXPECT_EQ(Cell(2, c.selectedAfter),
                FormatFixedGrouped(ElementCell(t, TransferElement::H), 10, 5));
    } else {
      EXPECT_EQ(TransferTable, before);
      ASSERT_EQ(boxes.boxes().size(), boxesBefore + 1);
      const MessageBoxRequest& box = boxes.boxes().last();
      EXPECT_EQ(box.text, MoveWarning);
      EXPECT_EQ(box.caption, QStringLiteral("警告"));
      EXPECT_EQ(box.buttonAnswers, QList<int>({AnswerOk}));
      EXPECT_EQ(box.owner, FormEdit);
    }
  }
}

TEST_F(FormEditTest, UpTwiceFromTheSecondWarnsTheSecondTime) {
  ThreeStages();
  OpenEditor();
  ClickCell(1, 2);
  Click(FormEdit->ButtonUp);
  EXPECT_EQ(FirstTypes(3), std::vector<double>({1, 3, 6}));
  EXPECT_EQ(SelectedRow, 1);
  EXPECT_TRUE(boxes.texts().isEmpty());
  Click(FormEdit->ButtonUp);
  EXPECT_EQ(boxes.texts(), QStringList({MoveWarning}));
  EXPECT_EQ(FirstTypes(3), std::vector<double>({1, 3, 6}));
}

TEST_F(FormEditTest, MovesWorkOnTheTableAndRedraw) {
  ThreeStages();
  OpenEditor();
  ClickCell(1, 2);
  // Uncommitted edits give way to the table; the filter form keeps its choice.
  FormEdit->LabeledEditAp->setText(QStringLiteral("9"));
  Grid()->SetCells(2, 3, QStringLiteral("uncommitted"));
  ChooseFilterForm(QStringLiteral("HPF"));
  FormMain->RedrawGraph(CurrentFile);
  const QImage before = GraphImage();
  Click(FormEdit->ButtonUp);
  EXPECT_EQ(FormEdit->LabeledEditAp->text(), QString());
  EXPECT_EQ(Cell(2, 3), QStringLiteral("   1.00000"));
  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QStringLiteral("HPF"));
  EXPECT_EQ(HeaderCell(FilterHeader::Ftype), 1.0);
  // The legend follows the new order of the stages.
  EXPECT_NE(GraphImage(), before);
}

TEST_F(FormEditTest, HeaderBoxKeysStepAlongTheTabOrder) {
  OpenEditor();
  Activate(FormEdit);
  ChooseFilterForm(QStringLiteral("BPF"));
  const struct {
    const char* from;
    Qt::Key key;
    const char* to;
  } cases[] = {
      {"LabeledEditAp", Qt::Key_Return, "LabeledEditAs"},
      {"LabeledEditAs", Qt::Key_Down, "LabeledEditWs"},
      {"LabeledEditWs", Qt::Key_Enter, "LabeledEditFo"},
      {"LabeledEditFo", Qt::Key_Down, "LabeledEditFb"},
      {"LabeledEditFo", Qt::Key_Up, "LabeledEditWs"},
      {"LabeledEditAs", Qt::Key_Up, "LabeledEditAp"},
      {"LabeledEditAp", Qt::Key_Up, "LabeledEditAp"},
      {"LabeledEditFb", Qt::Key_Down, "LabeledEditFb"},
      {"LabeledEditFb", Qt::Key_Return, "LabeledEditFb"},
      {"LabeledEditFb", Qt::Key_Up, "LabeledEditFo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
    InEdit(c.from)->setFocus();
    Press(c.key);
    EXPECT_EQ(FocusName(), QLatin1String(c.to));
  }
  // With LPF the hidden fb box is passed over.
  ChooseFilterForm(QStringLiteral("LPF"));
  FormEdit->LabeledEditFo->setFocus();
  Press(Qt::Key_Return);
  EXPECT_EQ(FocusName(), QStringLiteral("ComboBoxFtype"));
  // Other keys reach the box.
  FormEdit->LabeledEditAp->setFocus();
  Press(Qt::Key_5);
  EXPECT_EQ(FormEdit->LabeledEditAp->text(), QStringLiteral("5"));
}

TEST_F(FormEditTest, CharactersWithTheCodesOfNamedKeysTypeIntoEveryValueBox) {
  // Qt gives the characters % & ' ( the codes 0x25 .. 0x28 of the arrow keys
  // and '.' the code of Delete; typed, they are characters like any other and
  // move no focus, in the editor as in the element dialog.
  ThreeStages();
  OpenEditor();
  Activate(FormEdit);
  ChooseFilterForm(QStringLiteral("BPF"));
  DoubleClickCell(2, 3);  // the TZF stage: all four value boxes show
  ASSERT_TRUE(FormDataIn->isVisible());
  const QString typed = QStringLiteral("1%&'(.5");
  for (TLabeledEdit* edit :
       {FormEdit->LabeledEditAp, FormEdit->LabeledEditAs, FormEdit->LabeledEditWs,
        FormEdit->LabeledEditFo, FormEdit->LabeledEditFb, FormDataIn->LabeledEditH,
        FormDataIn->LabeledEditFo, FormDataIn->LabeledEditQ, FormDataIn->LabeledEditFn}) {
    SCOPED_TRACE(edit->window()->objectName().toStdString() + "." +
                 edit->objectName().toStdString());
    ASSERT_TRUE(edit->isVisible());
    Activate(edit->window());
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, typed);
    EXPECT_EQ(edit->text(), typed);
    EXPECT_EQ(QApplication::focusWidget(), edit);
  }
  EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toStdString();
}

TEST_F(FormEditTest, EnterCommitsNothingAndClosesNothing) {
  ThreeStages();
  OpenEditor();
  Activate(FormEdit);
  const TransferTableData before = TransferTable;
  FormEdit->LabeledEditAp->setFocus();
  QTest::keyClicks(FormEdit->LabeledEditAp, QStringLiteral("3"));
  Press(Qt::Key_Return);
  ChooseFilterForm(QStringLiteral("BPF"));
  FormEdit->ComboBoxFtype->setFocus();
  Press(Qt::Key_Return);
  EXPECT_EQ(FormEdit->ComboBoxFtype->currentText(), QStringLiteral("BPF"));
  EXPECT_EQ(FormEdit->ComboBoxFtype->count(), 7);
  FormEdit->LabeledEditFb->setFocus();
  Press(Qt::Key_Return);
  EXPECT_EQ(TransferTable, before);
  EXPECT_TRUE(FormEdit->isVisible());
  EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(FormEditTest, OkCommitsRedrawsAndClosesBothWindows) {
  ThreeStages();
  OpenEditor();
  FormMain->RedrawGraph(CurrentFile);
  const QImage opening = GraphImage();
  DoubleClickCell(1, 2);
  ASSERT_TRUE(FormDataIn->isVisible());
  Grid()->SetCells(1, 2, QStringLiteral("2nd-Ord HPF"));
  Grid()->SetCells(4, 2, QStringLiteral("0.5"));
  FormEdit->LabeledEditAp->setText(QStringLiteral("1m"));

  Click(FormEdit->ButtonOK);

  EXPECT_EQ(ElementCell(3, TransferElement::Type), 4.0);
  EXPECT_EQ(ElementCell(3, TransferElement::Q), 0.5);
  EXPECT_EQ(HeaderCell(FilterHeader::Ap), 0.001);
  EXPECT_EQ(HeaderCell(FilterHeader::Order), 6.0);
  EXPECT_NE(SavedTable, TransferTable);
  EXPECT_NE(GraphImage(), opening);
  EXPECT_FALSE(FormEdit->isVisible());
  EXPECT_FALSE(FormDataIn->isVisible());
}

TEST_F(FormEditTest, CancelRestoresTheOpeningTableAndGraph) {
  ThreeStages();
  FormMain->RedrawGraph(CurrentFile);
  const QImage opening = GraphImage();
  const TransferTableData table = TransferTable;
  OpenEditor();
  ClickCell(1, 3);
  Click(FormEdit->ButtonUp);
  ASSERT_NE(TransferTable, table);
  ASSERT_NE(GraphImage(), opening);
  DoubleClickCell(1, 1);
  ASSERT_TRUE(FormDataIn->isVisible());

  Click(FormEdit->ButtonCan);

  EXPECT_EQ(TransferTable, table);
  EXPECT_EQ(GraphImage(), opening);
  EXPECT_FALSE(FormEdit->isVisible());
  EXPECT_FALSE(FormDataIn->isVisible());
  // The boxes and the grid keep what they showed until the next opening.
  EXPECT_EQ(Cell(1, 2), QStringLiteral("2nd-Ord TZF"));
}

TEST_F(FormEditTest, ShowCentresOverTheMainWindow) {
  FormMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMain));
  FormMain->move(40, 30);
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    OpenEditor();
    const QRect main = FormMain->frameGeometry();
    const QRect own = FormEdit->frameGeometry();
    EXPECT_EQ(own.left(), main.left() + main.width() / 2 - own.width() / 2);
    EXPECT_EQ(own.top(), main.top() + main.height() / 2 - own.height() / 2);
    // It belongs to the main window, as the element dialog does.
    EXPECT_EQ(FormEdit->windowHandle()->transientParent(), FormMain->windowHandle());
    // Moved away and shown again, it comes back over the main window.
    FormEdit->close();
    FormEdit->move(0, 0);
  }
}

}  // namespace
