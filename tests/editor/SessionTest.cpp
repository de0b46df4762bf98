// A whole session as a user works it: build a filter in the editor, preview,
// reorder, commit, save it, and read it back.

#include "EditorTestSupport.h"
#include "app/Option.h"
#include "platform/FileDialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>

namespace {

class SessionTest : public EditorWindowsTest {
 protected:
  void TearDown() override {
    SetFileDialogResponder({});
    EditorWindowsTest::TearDown();
  }

  // A new stage through the element dialog opened on grid row `row`.
  static void AddStage(int row, const QString& type, const QString& h, const QString& fo,
                       const QString& q) {
    DoubleClickCell(2, row);
    ASSERT_TRUE(FormDataIn->isVisible());
    QComboBox* box = FormDataIn->ComboBoxType;
    box->setCurrentIndex(box->findText(type));
    FormDataIn->LabeledEditH->setText(h);
    FormDataIn->LabeledEditFo->setText(fo);
    FormDataIn->LabeledEditQ->setText(q);
    Click(FormDataIn->ButtonOK);
    ASSERT_FALSE(FormDataIn->isVisible());
  }
};

}  // namespace

TEST_F(SessionTest, BuildDrawReorderSaveAndReadBack) {
  FormMain->show();
  FormMain->Edit1->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(FormEdit));

  // Header: a low-pass at 1 kHz with its stop band from 2 kHz.
  FormEdit->ComboBoxFtype->setCurrentIndex(FormEdit->ComboBoxFtype->findText("LPF"));
  FormEdit->LabeledEditFo->setText(QStringLiteral("1k"));
  FormEdit->LabeledEditWs->setText(QStringLiteral("2"));
  FormEdit->LabeledEditAs->setText(QStringLiteral("40"));

  AddStage(1, "1st-Ord LPF", "1", "1k", "");
  AddStage(2, "2nd-Ord LPF", "1", "1k", "0.618");
  AddStage(3, "2nd-Ord LPF", "1", "1k", "1.618");
  EXPECT_EQ(GridRow(3), QStringList({"2nd-Ord LPF", "   1.00000", "  1.00000k", "   1.61800", ""}));

  // Preview from the dialog: the graph shows the three stages.
  const QImage empty = GraphImage();
  DoubleClickCell(2, 3);
  Click(FormDataIn->Button1);
  EXPECT_NE(GraphImage(), empty);
  Click(FormDataIn->ButtonOK);

  // Move the first-order stage to the end, then commit.
  ClickCell(2, 1);
  Click(FormEdit->ButtonDown);
  ClickCell(2, 2);
  Click(FormEdit->ButtonDown);
  EXPECT_EQ(Cell(1, 3), QStringLiteral("1st-Ord LPF"));
  Click(FormEdit->ButtonOK);
  EXPECT_FALSE(FormEdit->isVisible());
  EXPECT_EQ(StageCount(), 3);
  EXPECT_EQ(HeaderCell(FilterHeader::Order), 5.0);
  EXPECT_EQ(ElementTypeAt(4), FirstOrderLpf);
  EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toUtf8().toStdString();
  const TransferTableData built = TransferTable;

  // Save, then read the saved file back.
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("lpf5"));
  SetFileDialogResponder([&](QFileDialog&) { return std::optional<QString>(path); });
  FormMain->Save1->trigger();
  ClearTransferTable();
  SetFileDialogResponder([&](QFileDialog&) { return std::optional<QString>(path + ".csv"); });
  FormMain->Load1->trigger();
  EXPECT_EQ(CurrentFile, path + ".csv");
  EXPECT_EQ(TransferTable, built);
  EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join('|').toUtf8().toStdString();

  // The table read back draws exactly as the one built in the editor.
  const QImage loaded = GraphImage();
  TransferTable = built;
  FormMain->RedrawGraph(CurrentFile);
  EXPECT_EQ(GraphImage(), loaded);
  // And the editor shows it as it was built.
  FormMain->Edit1->trigger();
  EXPECT_EQ(GridRow(3), QStringList({"1st-Ord LPF", "   1.00000", "  1.00000k", "", ""}));
}
