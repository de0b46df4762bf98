#include "app/DialogPlacement.h"
#include "app/FormMain.h"
#include "app/Option.h"
#include "app/Windows.h"

#include "TestSupport.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "platform/FileDialog.h"
#include "platform/ImageControl.h"
#include "platform/Window.h"
#include "plot/PlotState.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>
#include <optional>

namespace {

const QString Fixtures = QStringLiteral(KESTO_TEST_DATA_DIR "/transfer/");
const QString Examples = QStringLiteral(KESTO_EXAMPLES_DIR "/");

class FormMainFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTransferTable();
    CurrentFile.clear();
    ResetPlotState();
    ASSERT_TRUE(folder.isValid());
    SetOptionsFileOverride(folder.filePath(QStringLiteral("kesto.ini")));
    windows = std::make_unique<ProgramWindows>();
  }
  void TearDown() override {
    windows.reset();
    SetFileDialogResponder({});
    ClearTransferTable();
    CurrentFile.clear();
    ResetPlotState();
  }

  // Answers the next file dialogs with the given path (nothing: cancel), and
  // records the folder each dialog started in.
  void Answer(std::optional<QString> path) {
    SetFileDialogResponder([this, path](QFileDialog& dialog) {
      startFolders << dialog.directory().absolutePath();
      return path;
    });
  }

  QString Copy(const QString& source, const QString& name) {
    const QString target = folder.filePath(name);
    QFile::remove(target);
    EXPECT_TRUE(QFile::copy(source, target));
    return target;
  }

  static QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  void Drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(FormMain, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(FormMain, &drop);
  }

  QTemporaryDir folder;
  QStringList startFolders;
  std::unique_ptr<ProgramWindows> windows;
};

}  // namespace

TEST_F(FormMainFilesTest, OpeningAFileFillsTheTableFitsTheAxesAndDrawsIt) {
  MessageBoxRecorder recorder;
  const QString path = Copy(Examples + "butterworth-lpf5-1kHz.csv", "lpf5.csv");
  Answer(path);
  FormMain->ButtonLoad->click();
  EXPECT_TRUE(recorder.boxes().isEmpty());
  EXPECT_EQ(CurrentFile, path);
  EXPECT_EQ(StageCount(), 3);
  EXPECT_EQ(FormMain->OpenDialogFolder, folder.path());
  EXPECT_EQ(FormMain->SaveDialogFolder, folder.path());  // seeded while empty
  EXPECT_EQ(FormMain->EditSf->text(), QStringLiteral("100.0000 "));
  // The title band names the file.
  const Canvas& graph = FormMain->ImageGraph->canvas();
  int ink = 0;
  for (int x = 50; x < 746; ++x)
    for (int y = 2; y < 17; ++y) ink += graph.PixelAt(x, y) == ColorBlack;
  EXPECT_GT(ink, 10);
}

TEST_F(FormMainFilesTest, AFileThatCannotBeReadLeavesEverythingAsItWas) {
  MessageBoxRecorder recorder;
  const QString good = Copy(Fixtures + "plain-three-stages.csv", "good.csv");
  FormMain->LoadTransferFile(good);
  const TransferTableData before = TransferTable;
  const QImage picture = FormMain->ImageGraph->canvas().image().copy();
  for (const QString& bad : {folder.filePath("missing.csv"), Fixtures + "empty-file.csv",
                             Fixtures + "title-lines-only.csv"}) {
    FormMain->LoadTransferFile(bad);
    EXPECT_EQ(TransferTable, before) << bad.toStdString();
    EXPECT_EQ(CurrentFile, good) << bad.toStdString();
    EXPECT_EQ(FormMain->ImageGraph->canvas().image(), picture);
  }
  ASSERT_EQ(recorder.boxes().size(), 3);
  EXPECT_EQ(recorder.boxes()[0].text, QStringLiteral("ファイルが見つかりません"));
  EXPECT_EQ(recorder.boxes()[0].caption, QStringLiteral("情報"));
}

TEST_F(FormMainFilesTest, AFilterThatCannotBeDrawnGivesTheArithmeticMessage) {
  MessageBoxRecorder recorder;
  FormMain->LoadTransferFile(Fixtures + "stage-with-zero-frequency.csv");
  ASSERT_EQ(recorder.boxes().size(), 1);
  EXPECT_EQ(recorder.boxes()[0].text, QStringLiteral("不正な浮動小数点数演算命令."));
  EXPECT_EQ(recorder.boxes()[0].icon, BoxIcon::Stop);
  EXPECT_TRUE(CurrentFile.isEmpty());
  EXPECT_FALSE(PlotState.ReadoutBusy);
}

TEST_F(FormMainFilesTest, MoreThanThirtyStageLinesAreReportedOnceAndLoaded) {
  MessageBoxRecorder recorder;
  const QString path = Fixtures + "stage-lines-31.csv";
  FormMain->LoadTransferFile(path);
  EXPECT_EQ(recorder.texts(), QStringList{"データ数が多すぎます"});
  EXPECT_EQ(StageCount(), 30);
  EXPECT_EQ(CurrentFile, path);
}

TEST_F(FormMainFilesTest, CancelledDialogsChangeNothing) {
  Answer(std::nullopt);
  FormMain->Load1->trigger();
  FormMain->Save1->trigger();
  EXPECT_TRUE(FormMain->OpenDialogFolder.isEmpty());
  EXPECT_TRUE(FormMain->SaveDialogFolder.isEmpty());
  EXPECT_EQ(startFolders.size(), 2);
}

TEST_F(FormMainFilesTest, DropsLoadTheFirstFileWhenItIsACsvFile) {
  MessageBoxRecorder recorder;
  const QString upper = Copy(Fixtures + "plain-three-stages.csv", "DATA.Csv");
  const QString text = Copy(Fixtures + "plain-three-stages.csv", "data.txt");
  Drop({text, upper});
  EXPECT_TRUE(CurrentFile.isEmpty());
  Drop({upper, text, text});
  EXPECT_EQ(CurrentFile, upper);
  EXPECT_TRUE(FormMain->OpenDialogFolder.isEmpty());  // drops change no folder
  EXPECT_TRUE(recorder.boxes().isEmpty());
}

TEST_F(FormMainFilesTest, SavingCompletesTheNameAsksBeforeOverwritingAndReadsBack) {
  MessageBoxRecorder no(AnswerNo);
  FormMain->LoadTransferFile(Fixtures + "plain-three-stages.csv");
  const TransferTableData loaded = TransferTable;
  const QString loadedFile = CurrentFile;
  const QString target = folder.filePath("saved");
  Answer(target);
  FormMain->ButtonSave->click();
  const QString written = target + ".csv";
  EXPECT_EQ(Bytes(written), TransferFileBytes(loaded));
  EXPECT_TRUE(no.boxes().isEmpty());
  EXPECT_EQ(CurrentFile, loadedFile);
  EXPECT_EQ(FormMain->SaveDialogFileName, written);

  // Saving again over it: "No" keeps the file, "Yes" writes it.
  ElementCell(FirstStageRow, TransferElement::H) = 2.0;
  FormMain->Save1->trigger();
  ASSERT_EQ(no.boxes().size(), 1);
  EXPECT_EQ(no.boxes()[0].text, QStringLiteral("ファイルが実在しています. 上書きしますか？"));
  EXPECT_EQ(no.boxes()[0].icon, BoxIcon::None);
  EXPECT_EQ(Bytes(written), TransferFileBytes(loaded));
}

TEST_F(FormMainFilesTest, OverwritingAndWriteErrors) {
  MessageBoxRecorder yes(AnswerYes);
  const QString target = Copy(Fixtures + "plain-three-stages.csv", "over.csv");
  HeaderCell(FilterHeader::N) = 0;
  Answer(target);
  FormMain->Save1->trigger();
  EXPECT_EQ(Bytes(target), TransferFileBytes(TransferTable));
  EXPECT_EQ(Bytes(target).count("\r\n"), 3);  // n = 0: the three first lines

  Answer(folder.filePath("no-such-folder/x.csv"));
  FormMain->Save1->trigger();
  ASSERT_EQ(yes.boxes().size(), 2);
  EXPECT_EQ(yes.boxes()[1].text, QStringLiteral("ファイル書き込みエラー!!"));
  EXPECT_EQ(yes.boxes()[1].caption, QStringLiteral("エラー"));
}

TEST_F(FormMainFilesTest, DialogsStartInTheFoldersOfEarlierChoices) {
  const QString path = Copy(Fixtures + "plain-three-stages.csv", "three.csv");
  QDir(folder.path()).mkdir("other");
  MessageBoxRecorder recorder(AnswerYes);
  Answer(folder.filePath("other/saved.csv"));
  FormMain->Save1->trigger();  // seeds the empty open folder
  EXPECT_EQ(FormMain->OpenDialogFolder, folder.filePath("other"));
  Answer(path);
  FormMain->Load1->trigger();
  Answer(std::nullopt);
  FormMain->Load1->trigger();
  FormMain->Save1->trigger();
  ASSERT_EQ(startFolders.size(), 4);
  EXPECT_EQ(startFolders[1], folder.filePath("other"));
  EXPECT_EQ(startFolders[2], folder.path());
  EXPECT_EQ(startFolders[3], folder.filePath("other"));  // the save folder stays its own
}

TEST_F(FormMainFilesTest, FileDialogsOpenCentredAndClampedThenMoveFreely) {
  FormMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMain));
  FormMain->BuildDialogs();
  for (QFileDialog* dialog : {FormMain->OpenDialog1, FormMain->SaveDialog1}) {
    dialog->open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    const ScreenRect outer = OuterRect(dialog);
    const ScreenPoint centre = CenteredPlacement(OuterRect(FormMain), outer.width(), outer.height(),
                                                 MonitorWorkArea(FormMain));
    EXPECT_EQ((ScreenPoint{outer.left, outer.top}), centre);
    // The first three moves are pulled back, the fourth stays.
    for (int i = 0; i < 3; ++i) {
      dialog->move(centre.x + 40 + i, centre.y + 30);
      EXPECT_EQ((ScreenPoint{OuterRect(dialog).left, OuterRect(dialog).top}), centre) << i;
    }
    dialog->move(centre.x + 40, centre.y + 30);
    EXPECT_EQ(OuterRect(dialog).left, centre.x + 40);
    dialog->reject();
  }

  // Near the work area's corner, and larger than the work area: clamped.
  const ScreenRect work = MonitorWorkArea(FormMain);
  FormMain->move(work.right - 200, work.bottom - 100);
  QFileDialog* dialog = FormMain->OpenDialog1;
  dialog->resize(work.width() + 300, work.height() + 200);
  dialog->open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  const ScreenRect outer = OuterRect(dialog);
  EXPECT_EQ(outer.right, work.right);
  EXPECT_EQ(outer.bottom, work.bottom);
  dialog->reject();
}

TEST_F(FormMainFilesTest, TheCsvChoiceListsCsvFilesInAnyLetterCase) {
  for (const char* name : {"a.csv", "B.CSV", "c.Csv", "d.txt"}) {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  FormMain->BuildDialogs();
  QFileDialog* dialog = FormMain->OpenDialog1;
  EXPECT_EQ(dialog->nameFilters(), (QStringList{"CSV (*.CSV)", "All (*.*)"}));
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
  dialog->setDirectory(folder.path());
  dialog->selectNameFilter(QStringLiteral("CSV (*.CSV)"));
  dialog->open();
  auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
  ASSERT_NE(view, nullptr);
  // The folder is listed in the background: wait until the view has it.
  auto listed = [&] {
    QStringList shown;
    const QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r)
      shown << view->model()->index(r, 0, root).data().toString();
    shown.sort();
    return shown;
  };
  const QStringList expected{"B.CSV", "a.csv", "c.Csv"};
  for (int i = 0; i < 100 && listed() != expected; ++i) QTest::qWait(50);
  EXPECT_EQ(listed(), expected);
  dialog->reject();
}

TEST_F(FormMainFilesTest, OptionsSurviveARestart) {
  const QString ini = folder.filePath(QStringLiteral("kesto.ini"));
  // First run: the file holds only the UTF-16 mark.
  EXPECT_EQ(Bytes(ini), QByteArray("\xFF\xFE", 2));
  FormMain->OpenDialogFolder = folder.path();
  FormMain->CheckBoxRev->setChecked(true);
  FormMain->close();
  windows = std::make_unique<ProgramWindows>();
  EXPECT_TRUE(FormMain->CheckBoxRev->isChecked());
  EXPECT_EQ(FormMain->OpenDialogFolder, folder.path());
  FormMain->CheckBoxRev->setChecked(false);
  FormMain->ButtonExit->click();  // the Exit button saves as the close box does
  windows = std::make_unique<ProgramWindows>();
  EXPECT_FALSE(FormMain->CheckBoxRev->isChecked());
}
