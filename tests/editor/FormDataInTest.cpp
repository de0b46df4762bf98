#include "EditorTestSupport.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QWindow>

namespace {

class FormDataInTest : public EditorWindowsTest {
 protected:
  void SetUp() override {
    EditorWindowsTest::SetUp();
    ThreeStages();
    OpenEditor();
  }

  // The dialog opened by a double-click on grid row `row`.
  static void OpenRow(int row) {
    DoubleClickCell(2, row);
    ASSERT_TRUE(FormDataIn->isVisible());
    ASSERT_EQ(SelectedRow, row);
  }

  static void ChooseType(const QString& item) {
    QComboBox* box = FormDataIn->ComboBoxType;
    box->setCurrentIndex(box->findText(item));
  }

  static void SetValues(const QString& h, const QString& fo, const QString& q = {},
                        const QString& fn = {}) {
    FormDataIn->LabeledEditH->setText(h);
    FormDataIn->LabeledEditFo->setText(fo);
    FormDataIn->LabeledEditQ->setText(q);
    FormDataIn->LabeledEditFn->setText(fn);
  }

  static QStringList Empty() { return {"", "", "", "", ""}; }
};

TEST_F(FormDataInTest, ControlsCarryTheirNamesTextsHintsAndPlaces) {
  const struct {
    const char* name;
    QString text;
    QString hint;
    QRect geometry;
  } controls[] = {
      {"GroupBoxData", " 伝達関数 ", "", {8, 8, 425, 65}},
      {"ComboBoxType", "1st-Ord LPF", "", {24, 32, 95, 21}},
      {"LabeledEditH", "", "", {120, 32, 70, 21}},
      {"LabeledEditFo", "", "", {192, 32, 70, 21}},
      {"LabeledEditQ", "", "", {264, 32, 70, 21}},
      {"LabeledEditFn", "", "", {336, 32, 70, 21}},
      {"Button1", "Draw", "グラフを更新", {32, 88, 50, 25}},
      {"ButtonOK", "OK", "データを確定して閉じる", {264, 88, 50, 25}},
      {"ButtonDel", "Delete", "このエレメントを削除する", {324, 88, 50, 25}},
      {"ButtonCan", "Cancel", "変更取り消し", {384, 88, 50, 25}},
  };
  // A fresh dialog, before any row was loaded into it.
  windows.reset();
  windows = std::make_unique<ProgramWindows>();
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    QWidget* widget = InDialog(c.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), c.geometry);
    EXPECT_EQ(widget->toolTip(), c.hint);
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      EXPECT_EQ(group->title(), c.text);
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      EXPECT_TRUE(combo->isEditable());
      EXPECT_EQ(combo->currentText(), c.text);
      EXPECT_EQ(combo->parentWidget(), FormDataIn->GroupBoxData);
    }
    if (auto* edit = qobject_cast<TLabeledEdit*>(widget)) {
      EXPECT_EQ(edit->text(), c.text);
      EXPECT_EQ(edit->parentWidget(), FormDataIn->GroupBoxData);
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      EXPECT_EQ(button->text(), c.text);
      EXPECT_FALSE(button->autoDefault());
    }
  }
  EXPECT_EQ(FormDataIn->windowTitle(), QStringLiteral("Data modify"));
  EXPECT_EQ(FormDataIn->Label1->text(), QStringLiteral("Type"));
  EXPECT_EQ(FormDataIn->Label1->pos(), QPoint(48, 17));
  EXPECT_EQ(FormDataIn->LabeledEditH->EditLabel()->text(), QStringLiteral("     H"));
  EXPECT_EQ(FormDataIn->LabeledEditFo->EditLabel()->text(), QStringLiteral("     fo"));
  EXPECT_EQ(FormDataIn->LabeledEditQ->EditLabel()->text(), QStringLiteral("     Q"));
  EXPECT_EQ(FormDataIn->LabeledEditFn->EditLabel()->text(), QStringLiteral("     fn"));
  QStringList items;
  for (int i = 0; i < FormDataIn->ComboBoxType->count(); ++i)
    items << FormDataIn->ComboBoxType->itemText(i);
  EXPECT_EQ(items, QStringList({"1st-Ord LPF", "1st-Ord HPF", "2nd-Ord LPF", "2nd-Ord HPF",
                                "2nd-Ord BPF", "2nd-Ord TZF", "1st-Ord APF", "2nd-Ord APF"}));
  EXPECT_EQ(FormDataIn->size(), QSize(444, 123));
  EXPECT_EQ(FormDataIn->maximumSize(), FormDataIn->size());
}

TEST_F(FormDataInTest, TabOrderRunsThroughTheGroupThenTheButtons) {
  OpenRow(3);
  Activate(FormDataIn);
  FormDataIn->ComboBoxType->setFocus();
  QStringList walked;
  for (int i = 0; i < 9; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    walked << FocusName();
  }
  EXPECT_EQ(walked, QStringList({"LabeledEditH", "LabeledEditFo", "LabeledEditQ", "LabeledEditFn",
                                 "ButtonOK", "ButtonCan", "ButtonDel", "Button1", "ComboBoxType"}));
}

TEST_F(FormDataInTest, DoubleClickLoadsTheRowAsTheGridShowsIt) {
  OpenRow(3);
  EXPECT_EQ(FormDataIn->GroupBoxData->title(), QStringLiteral(" 伝達関数 3"));
  EXPECT_EQ(FormDataIn->ComboBoxType->currentText(), QStringLiteral("2nd-Ord TZF"));
  EXPECT_EQ(FormDataIn->LabeledEditH->text(), QStringLiteral("   1.00000"));
  EXPECT_EQ(FormDataIn->LabeledEditFo->text(), QStringLiteral("  2.00000k"));
  EXPECT_EQ(FormDataIn->LabeledEditQ->text(), QStringLiteral("   3.00000"));
  EXPECT_EQ(FormDataIn->LabeledEditFn->text(), QStringLiteral("  4.00000k"));
  EXPECT_FALSE(FormDataIn->LabeledEditQ->isHidden());
  EXPECT_FALSE(FormDataIn->LabeledEditFn->isHidden());

  // A double-click on another row while the dialog is open loads that row.
  DoubleClickCell(4, 2);
  EXPECT_EQ(FormDataIn->GroupBoxData->title(), QStringLiteral(" 伝達関数 2"));
  EXPECT_EQ(FormDataIn->ComboBoxType->currentText(), QStringLiteral("1st-Ord LPF"));
  EXPECT_EQ(FormDataIn->LabeledEditQ->text(), QString());
  EXPECT_TRUE(FormDataIn->LabeledEditQ->isHidden());
  EXPECT_TRUE(FormDataIn->LabeledEditFn->isHidden());
  EXPECT_EQ(FormDataIn->LabeledEditFo->EditLabel()->text(), QStringLiteral("     fa"));

  // Row 17 is empty: empty boxes, the layout of the last type kept.
  DoubleClickCell(2, 17);
  EXPECT_EQ(FormDataIn->GroupBoxData->title(), QStringLiteral(" 伝達関数 17"));
  EXPECT_EQ(FormDataIn->ComboBoxType->currentText(), QString());
  EXPECT_EQ(FormDataIn->LabeledEditH->text(), QString());
  EXPECT_TRUE(FormDataIn->LabeledEditQ->isHidden());
}

TEST_F(FormDataInTest, DoubleClickOnAFixedCellOpensTheCurrentRow) {
  ClickCell(3, 2);
  QHeaderView* numbers = Grid()->verticalHeader();
  QTest::mouseDClick(numbers->viewport(), Qt::LeftButton, {},
                     QPoint(5, numbers->sectionViewportPosition(5) + 5));
  ASSERT_TRUE(FormDataIn->isVisible());
  EXPECT_EQ(FormDataIn->GroupBoxData->title(), QStringLiteral(" 伝達関数 2"));
  EXPECT_EQ(SelectedRow, 2);
}

TEST_F(FormDataInTest, TypeChoosesTheBoxesAndTheFrequencyLabel) {
  OpenRow(1);
  const struct {
    QString type;
    bool q;
    bool fn;
    QString label;
  } cases[] = {
      {"2nd-Ord TZF", true, true, "     fo"},   {"1st-Ord LPF", false, false, "     fa"},
      {"2nd-Ord LPF", true, false, "     fo"},  {"1st-Ord HPF", false, false, "     fa"},
      {"2nd-Ord HPF", true, false, "     fo"},  {"1st-Ord APF", false, false, "     fa"},
      {"2nd-Ord BPF", true, false, "     fo"},  {"2nd-Ord APF", true, false, "     fo"},
      {"2nd-ord tzf", true, true, "     fo"},   {"", true, true, "     fo"},
      {"1st-ord apf", false, false, "     fa"}, {"Biquad", false, false, "     fa"},
  };
  FormDataIn->LabeledEditQ->setText(QStringLiteral("kept"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type.toStdString());
    FormDataIn->ComboBoxType->setEditText(c.type);
    EXPECT_EQ(!FormDataIn->LabeledEditQ->isHidden(), c.q);
    EXPECT_EQ(!FormDataIn->LabeledEditFn->isHidden(), c.fn);
    EXPECT_EQ(FormDataIn->LabeledEditFo->EditLabel()->text(), c.label);
    EXPECT_EQ(!FormDataIn->LabeledEditQ->EditLabel()->isHidden(), c.q);
  }
  // Hiding a box does not clear it.
  EXPECT_EQ(FormDataIn->LabeledEditQ->text(), QStringLiteral("kept"));
}

TEST_F(FormDataInTest, NewElementOpenedBelowTheLastIsAppended) {
  OpenRow(5);
  EXPECT_EQ(FormDataIn->GroupBoxData->title(), QStringLiteral(" 伝達関数 5"));
  EXPECT_EQ(FormDataIn->ComboBoxType->currentText(), QString());
  ChooseType(QStringLiteral("2nd-Ord LPF"));
  SetValues(QStringLiteral("1"), QStringLiteral("1k"), QStringLiteral("0.707"),
            QStringLiteral("5"));
  const double order = HeaderCell(FilterHeader::Order);

  Click(FormDataIn->ButtonOK);

  EXPECT_FALSE(FormDataIn->isVisible());
  EXPECT_TRUE(boxes.texts().isEmpty());
  EXPECT_EQ(GridRow(4), QStringList({"2nd-Ord LPF", "   1.00000", "  1.00000k", "   0.70700", ""}));
  EXPECT_EQ(GridRow(5), Empty());
  EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
  CommitEditor();
  EXPECT_EQ(HeaderCell(FilterHeader::N), 4.0);
  EXPECT_EQ(HeaderCell(FilterHeader::Order), order + 2);
  EXPECT_EQ(ElementCell(5, TransferElement::FoFa), 1000.0);
}

TEST_F(FormDataInTest, ChecksWarnInOrderAndWriteEachValueBeforeItsTest) {
  const struct {
    const char* name;
    QString type, h, fo, q, fn;
    QStringList messages;
    QStringList row;  // grid row 2 afterwards
  } cases[] = {
      {"negative fa",
       "1st-Ord HPF",
       "1",
       "-5",
       "",
       "",
       {"fa > 0 であること"},
       // Q and fn are not reached: they keep the row's previous text.
       {"1st-Ord HPF", "   1.00000", " -5.00000 ", "", ""}},
      {"negative fo",
       "2nd-Ord BPF",
       "1",
       "-5",
       "1",
       "",
       {"fo > 0 であること"},
       {"2nd-Ord BPF", "   1.00000", " -5.00000 ", "", ""}},
      {"negative H first",
       "2nd-Ord TZF",
       "-1",
       "-2",
       "-3",
       "-4",
       {"H > 0 であること"},
       {"2nd-Ord TZF", "  -1.00000", "500.00000 ", "", ""}},
      {"negative Q",
       "2nd-Ord LPF",
       "2",
       "3",
       "-0.5",
       "",
       {"Q > 0 であること"},
       {"2nd-Ord LPF", "   2.00000", "  3.00000 ", "  -0.50000", ""}},
      {"negative fn",
       "2nd-Ord TZF",
       "2",
       "3",
       "4",
       "-1k",
       {"fn > 0 であること"},
       {"2nd-Ord TZF", "   2.00000", "  3.00000 ", "   4.00000", " -1.00000k"}},
      {"zero passes",
       "2nd-Ord TZF",
       "0",
       "0",
       "0",
       "0",
       {},
       {"2nd-Ord TZF", "   0.00000", "  0.00000 ", "   0.00000", "  0.00000 "}},
      {"unreadable passes empty",
       "2nd-Ord APF",
       "x",
       "",
       "?",
       "9",
       {},
       {"2nd-Ord APF", "", "", "", ""}},
      {"hidden negative Q ignored",
       "1st-Ord LPF",
       "1",
       "2",
       "-7",
       "-8",
       {},
       {"1st-Ord LPF", "   1.00000", "  2.00000 ", "", ""}},
      {"typed case kept",
       "2nd-ord hpf",
       "1,000",
       "1.5 MHz",
       "0.5",
       "",
       {},
       {"2nd-ord hpf", "1,000.00000", "  1.50000M", "   0.50000", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearTransferTable();
    ThreeStages();
    RefreshEditor(false);
    OpenRow(2);
    FormDataIn->ComboBoxType->setEditText(c.type);
    SetValues(c.h, c.fo, c.q, c.fn);
    const qsizetype before = boxes.boxes().size();

    Click(FormDataIn->ButtonOK);

    EXPECT_FALSE(FormDataIn->isVisible());
    EXPECT_EQ(boxes.texts().mid(before), c.messages);
    for (qsizetype i = before; i < boxes.boxes().size(); ++i) {
      EXPECT_EQ(boxes.boxes()[i].owner, FormDataIn);
      EXPECT_EQ(boxes.boxes()[i].caption, QStringLiteral("警告"));
    }
    EXPECT_EQ(GridRow(2), c.row);
    // OK writes into the grid only.
    EXPECT_EQ(ElementCell(3, TransferElement::Type), 1.0);
  }
}

TEST_F(FormDataInTest, TypeThatIsNoItemIsRefusedLikeABlankOne) {
  for (const QString type : {"", "   ", "Biquad", "2nd-Ord", " 2nd-Ord LPF "}) {
    SCOPED_TRACE(type.toStdString());
    const qsizetype before = boxes.boxes().size();
    OpenRow(2);
    FormDataIn->ComboBoxType->setEditText(type);
    SetValues(QStringLiteral("-1"), QStringLiteral("5"));
    Click(FormDataIn->ButtonOK);
    EXPECT_EQ(boxes.texts().mid(before), QStringList({"Type を指定すること"}));
    EXPECT_EQ(GridRow(2), QStringList({"1st-Ord LPF", "   2.00000", "500.00000 ", "", ""}));
  }
  // Draw goes on to the commit, which still finds all three stages.
  OpenRow(2);
  FormDataIn->ComboBoxType->setEditText(QStringLiteral("Biquad"));
  Click(FormDataIn->Button1);
  EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
  EXPECT_EQ(ElementCell(3, TransferElement::Type), 1.0);
}

TEST_F(FormDataInTest, EmptyHPassesAndCommitsZero) {
  OpenRow(1);
  FormDataIn->LabeledEditH->clear();
  Click(FormDataIn->Button1);
  EXPECT_TRUE(boxes.texts().isEmpty());
  EXPECT_EQ(Cell(2, 1), QString());
  EXPECT_EQ(ElementCell(2, TransferElement::H), 0.0);
  EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
  EXPECT_TRUE(FormDataIn->isVisible());
}

TEST_F(FormDataInTest, DeleteMovesTheRowsBelowUpWithAllTheirValues) {
  answer = AnswerYes;
  OpenRow(1);
  Click(FormDataIn->ButtonDel);
  ASSERT_EQ(boxes.boxes().size(), 1);
  const MessageBoxRequest& box = boxes.boxes().first();
  EXPECT_EQ(box.text, QStringLiteral("削除してもよろしいですか?"));
  EXPECT_EQ(box.caption, QStringLiteral("確認"));
  EXPECT_EQ(box.buttonAnswers, QList<int>({AnswerYes, AnswerNo}));
  EXPECT_EQ(box.owner, FormDataIn);
  EXPECT_FALSE(FormDataIn->isVisible());
  EXPECT_EQ(GridRow(1), QStringList({"1st-Ord LPF", "   2.00000", "500.00000 ", "", ""}));
  EXPECT_EQ(GridRow(2),
            QStringList({"2nd-Ord TZF", "   1.00000", "  2.00000k", "   3.00000", "  4.00000k"}));
  EXPECT_EQ(GridRow(3), Empty());
  EXPECT_EQ(Cell(0, 1), QStringLiteral("  1"));
  // Not in the table until a commit.
  EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
  CommitEditor();
  EXPECT_EQ(HeaderCell(FilterHeader::N), 2.0);
  EXPECT_EQ(HeaderCell(FilterHeader::Order), 3.0);
  EXPECT_EQ(ElementCell(3, TransferElement::Fn), 4000.0);
  EXPECT_EQ(ElementCell(2, TransferElement::Fn), 0.0);
}

TEST_F(FormDataInTest, DeleteAnsweredNoChangesNothing) {
  for (int reply : {AnswerNo, AnswerCancel}) {
    answer = reply;
    OpenRow(2);
    Click(FormDataIn->ButtonDel);
    EXPECT_TRUE(FormDataIn->isVisible());
    EXPECT_EQ(Cell(1, 2), QStringLiteral("1st-Ord LPF"));
  }
}

TEST_F(FormDataInTest, DeleteAtTheLastRowOrOnAnEmptyRow) {
  answer = AnswerYes;
  for (int row = 1; row <= 30; ++row) {
    Grid()->SetCells(1, row, QStringLiteral("1st-Ord LPF"));
    Grid()->SetCells(2, row, QString::number(row));
  }
  OpenRow(30);
  Click(FormDataIn->ButtonDel);
  EXPECT_EQ(GridRow(30), Empty());
  EXPECT_EQ(Cell(2, 29), QStringLiteral("29"));

  // An empty row: nothing visible changes.
  for (int row = 1; row <= 30; ++row)
    for (int col = 1; col <= 5; ++col) Grid()->SetCells(col, row, QString());
  Grid()->SetCells(1, 1, QStringLiteral("1st-Ord LPF"));
  OpenRow(4);
  Click(FormDataIn->ButtonDel);
  EXPECT_EQ(Cell(1, 1), QStringLiteral("1st-Ord LPF"));
  EXPECT_EQ(GridRow(4), Empty());
}

TEST_F(FormDataInTest, DeleteStopsAtTheFirstEmptyRowBelow) {
  Grid()->SetCells(1, 5, QStringLiteral("2nd-Ord LPF"));
  FormDataIn->DeleteGridRow(1);
  EXPECT_EQ(QStringList({Cell(1, 1), Cell(1, 2), Cell(1, 3), Cell(1, 4), Cell(1, 5)}),
            QStringList({"1st-Ord LPF", "2nd-Ord TZF", "", "", "2nd-Ord LPF"}));
  FormDataIn->CloseGridGaps();
  EXPECT_EQ(QStringList({Cell(1, 1), Cell(1, 2), Cell(1, 3), Cell(1, 4), Cell(1, 5)}),
            QStringList({"1st-Ord LPF", "2nd-Ord TZF", "2nd-Ord LPF", "", ""}));
}

TEST_F(FormDataInTest, DrawAfterANegativeHWarnsCommitsAndRedraws) {
  FormMain->RedrawGraph(CurrentFile);
  const QImage opening = GraphImage();
  OpenRow(1);
  FormDataIn->LabeledEditH->setText(QStringLiteral("-1"));
  // A gain of -1 draws as a gain of 1; the new level limit shows the redraw.
  FormMain->EditMaxL->setText(QStringLiteral("40"));
  Click(FormDataIn->Button1);
  EXPECT_EQ(boxes.texts(), QStringList({"H > 0 であること"}));
  EXPECT_EQ(ElementCell(2, TransferElement::H), -1.0);
  EXPECT_EQ(HeaderCell(FilterHeader::N), 3.0);
  EXPECT_NE(GraphImage(), opening);
  EXPECT_TRUE(FormDataIn->isVisible());
}

TEST_F(FormDataInTest, OkAfterAClickOnAnotherRowWritesThatRow) {
  OpenRow(1);
  ChooseType(QStringLiteral("2nd-Ord HPF"));
  SetValues(QStringLiteral("3"), QStringLiteral("30"), QStringLiteral("0.3"));
  ClickCell(2, 2);
  EXPECT_EQ(SelectedRow, 2);
  Click(FormDataIn->ButtonOK);
  EXPECT_EQ(GridRow(1), QStringList({"2nd-Ord LPF", "   1.00000", "  1.00000k", "   0.70700", ""}));
  EXPECT_EQ(GridRow(2), QStringList({"2nd-Ord HPF", "   3.00000", " 30.00000 ", "   0.30000", ""}));
}

TEST_F(FormDataInTest, EnterAppliesAndStepsTheFocus) {
  OpenRow(2);
  Activate(FormDataIn);
  FormMain->RedrawGraph(CurrentFile);
  const QImage opening = GraphImage();

  // First order: Enter in H moves to fa and applies.
  FormDataIn->LabeledEditH->setFocus();
  FormDataIn->LabeledEditH->setText(QStringLiteral("4"));
  QTest::keyClick(FormDataIn->LabeledEditH, Qt::Key_Return);
  EXPECT_EQ(FocusName(), QStringLiteral("LabeledEditFo"));
  EXPECT_EQ(ElementCell(3, TransferElement::H), 4.0);
  EXPECT_NE(GraphImage(), opening);
  // Down in fa passes over the hidden Q and fn boxes.
  QTest::keyClick(FormDataIn->LabeledEditFo, Qt::Key_Down);
  EXPECT_EQ(FocusName(), QStringLiteral("ButtonOK"));

  // Up in H does nothing.
  FormDataIn->LabeledEditH->setFocus();
  QTest::keyClick(FormDataIn->LabeledEditH, Qt::Key_Up);
  EXPECT_EQ(FocusName(), QStringLiteral("LabeledEditH"));
  EXPECT_EQ(ElementCell(3, TransferElement::H), 4.0);

  // A TZF: Enter in fn applies without moving; Down there does nothing.
  DoubleClickCell(2, 3);
  Activate(FormDataIn);
  FormDataIn->LabeledEditFn->setFocus();
  FormDataIn->LabeledEditFn->setText(QStringLiteral("5k"));
  QTest::keyClick(FormDataIn->LabeledEditFn, Qt::Key_Enter);
  EXPECT_EQ(FocusName(), QStringLiteral("LabeledEditFn"));
  EXPECT_EQ(ElementCell(4, TransferElement::Fn), 5000.0);
  QTest::keyClick(FormDataIn->LabeledEditFn, Qt::Key_Down);
  EXPECT_EQ(FocusName(), QStringLiteral("LabeledEditFn"));
  QTest::keyClick(FormDataIn->LabeledEditFn, Qt::Key_Up);
  EXPECT_EQ(FocusName(), QStringLiteral("LabeledEditQ"));

  // Enter in the type box is swallowed and applies nothing.
  const TransferTableData before = TransferTable;
  FormDataIn->ComboBoxType->setFocus();
  FormDataIn->LabeledEditH->setText(QStringLiteral("8"));
  QTest::keyClick(FormDataIn->ComboBoxType, Qt::Key_Return);
  EXPECT_EQ(FocusName(), QStringLiteral("ComboBoxType"));
  EXPECT_EQ(TransferTable, before);
  EXPECT_TRUE(FormDataIn->isVisible());
  EXPECT_TRUE(boxes.texts().isEmpty());
}

TEST_F(FormDataInTest, CancelAfterDrawRestoresTheOpeningState) {
  FormMain->RedrawGraph(CurrentFile);
  const QImage opening = GraphImage();
  const TransferTableData table = TransferTable;
  OpenRow(5);
  ChooseType(QStringLiteral("2nd-Ord BPF"));
  SetValues(QStringLiteral("2"), QStringLiteral("3k"), QStringLiteral("5"));
  Click(FormDataIn->Button1);
  ASSERT_EQ(HeaderCell(FilterHeader::N), 4.0);
  ASSERT_NE(GraphImage(), opening);

  Click(FormDataIn->ButtonCan);

  EXPECT_FALSE(FormDataIn->isVisible());
  EXPECT_TRUE(FormEdit->isVisible());
  EXPECT_EQ(TransferTable, table);
  EXPECT_EQ(SavedTable, table);
  EXPECT_EQ(GraphImage(), opening);
  EXPECT_EQ(GridRow(4), Empty());
  EXPECT_EQ(Cell(1, 3), QStringLiteral("2nd-Ord TZF"));
}

TEST_F(FormDataInTest, EditorCancelAfterDrawRestoresTheOpeningState) {
  FormMain->RedrawGraph(CurrentFile);
  const QImage opening = GraphImage();
  const TransferTableData table = TransferTable;
  OpenRow(1);
  SetValues(QStringLiteral("10"), QStringLiteral("100"), QStringLiteral("2"));
  Click(FormDataIn->Button1);
  ASSERT_NE(TransferTable, table);
  ASSERT_NE(GraphImage(), opening);
  Click(FormEdit->ButtonCan);
  EXPECT_EQ(TransferTable, table);
  EXPECT_EQ(GraphImage(), opening);
  EXPECT_FALSE(FormDataIn->isVisible());
}

TEST_F(FormDataInTest, ShowCentresOverTheEditor) {
  FormEdit->move(100, 60);
  OpenRow(2);
  const QRect editor = FormEdit->frameGeometry();
  const QRect own = FormDataIn->frameGeometry();
  EXPECT_EQ(own.left(), editor.left() + editor.width() / 2 - own.width() / 2);
  EXPECT_EQ(own.top(), editor.top() + editor.height() / 2 - own.height() / 2);
}

}  // namespace

namespace {

TEST_F(FormDataInTest, BothWindowsStayModelessBesideTheMainWindow) {
  FormMain->show();
  OpenRow(2);
  EXPECT_EQ(FormEdit->windowModality(), Qt::NonModal);
  EXPECT_EQ(FormDataIn->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(FormDataIn->windowHandle()->transientParent(), FormMain->windowHandle());
  // The main window still takes commands while both are open.
  const QImage before = GraphImage();
  FormMain->EditMaxL->setText(QStringLiteral("40"));
  Click(FormMain->ButtonDraw);
  EXPECT_NE(GraphImage(), before);
  EXPECT_TRUE(FormEdit->isVisible());
  EXPECT_TRUE(FormDataIn->isVisible());
}

}  // namespace
