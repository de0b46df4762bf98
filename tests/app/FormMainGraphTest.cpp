#include "app/FormMain.h"
#include "app/Windows.h"

#include "TestSupport.h"
#include "document/TransferTable.h"
#include "platform/ImageControl.h"
#include "platform/Window.h"
#include "plot/PlotState.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <limits>
#include <memory>

namespace {

class FormMainGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTransferTable();
    ResetPlotState();
    windows = std::make_unique<ProgramWindows>();
  }
  void TearDown() override {
    windows.reset();
    ClearTransferTable();
    ResetPlotState();
    SetAppCursor(CursorShape::Arrow);
  }

  static void OneLowPass() {
    ElementCell(FirstStageRow, TransferElement::Type) = SecondOrderLpf;
    ElementCell(FirstStageRow, TransferElement::H) = 1;
    ElementCell(FirstStageRow, TransferElement::FoFa) = 1000;
    ElementCell(FirstStageRow, TransferElement::Q) = 0.7071;
    HeaderCell(FilterHeader::N) = 1;
  }

  const Canvas& Graph() const { return FormMain->ImageGraph->canvas(); }

  std::unique_ptr<ProgramWindows> windows;
};

}  // namespace

TEST_F(FormMainGraphTest, StartsWithTheEmptyFrame) {
  EXPECT_EQ(Graph().PixelAt(49, 19), ColorBlack);
  EXPECT_EQ(Graph().PixelAt(746, 404), ColorBlack);
  EXPECT_EQ(Graph().PixelAt(10, 10), ColorWhite);
  EXPECT_EQ(PlotState.FreqStart, 100.0);
  EXPECT_EQ(PlotState.LevelMin, -60.0);
}

TEST_F(FormMainGraphTest, AnArithmeticErrorInARedrawIsReportedAndTheProgramGoesOn) {
  MessageBoxRecorder recorder;
  FormMain->EditMaxL->setText(QStringLiteral("0"));
  FormMain->EditMinL->setText(QStringLiteral("0"));
  FormMain->ButtonDraw->click();
  ASSERT_EQ(recorder.boxes().size(), 1);
  EXPECT_EQ(recorder.boxes()[0].text, QStringLiteral("0 による浮動小数点数除算."));
  EXPECT_EQ(recorder.boxes()[0].icon, BoxIcon::Stop);
  FormMain->EditMaxL->setText(QStringLiteral("20"));
  FormMain->ButtonDraw->click();
  EXPECT_EQ(recorder.boxes().size(), 1);
  EXPECT_EQ(PlotState.LevelMax, 20.0);
}

TEST_F(FormMainGraphTest, EnterInAnAxisBoxRedrawsAndDownDoesNot) {
  FormMain->show();
  FormMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(FormMain));
  FormMain->EditEf->setText(QStringLiteral("20k"));
  FormMain->EditSf->setFocus();
  QTest::keyClick(FormMain->EditSf, Qt::Key_Down);
  EXPECT_EQ(PlotState.FreqEnd, 10000.0);
  FormMain->EditSf->setFocus();
  QTest::keyClick(FormMain->EditSf, Qt::Key_Return);
  EXPECT_EQ(PlotState.FreqEnd, 20000.0);
  EXPECT_EQ(QApplication::focusWidget(), FormMain->CheckBoxLevel);
}

TEST_F(FormMainGraphTest, StepButtonsWriteTheBoxesAndRedraw) {
  FormMain->BitBtnF1->click();
  EXPECT_EQ(FormMain->EditSf->text(), QStringLiteral("50.0000 "));
  EXPECT_EQ(FormMain->EditEf->text(), QStringLiteral(" 5.0000k"));
  EXPECT_EQ(PlotState.FreqStart, 50.0);
  FormMain->CheckBoxRev->setChecked(true);
  FormMain->BitBtnL1->click();
  EXPECT_EQ(FormMain->EditMinL->text(), QStringLiteral("-50.000 "));
  EXPECT_EQ(FormMain->EditMaxL->text(), QStringLiteral(" 30.000 "));
  EXPECT_EQ(PlotState.LevelMax, 30.0);
  EXPECT_FALSE(FormMain->BitBtnF1->icon().isNull());
}

TEST_F(FormMainGraphTest, LogAxisFromZeroStartsAtOneHertz) {
  MessageBoxRecorder recorder;
  FormMain->CheckBoxLog->setChecked(false);
  FormMain->EditSf->setText(QStringLiteral("0"));
  FormMain->ButtonDraw->click();
  FormMain->CheckBoxLog->setChecked(true);
  EXPECT_EQ(FormMain->EditSf->text(), QStringLiteral("1.0"));
  EXPECT_EQ(PlotState.FreqStart, 1.0);
  EXPECT_TRUE(recorder.boxes().isEmpty());
}

TEST_F(FormMainGraphTest, MouseReadoutShowsTextAndComesBackAfterAnError) {
  OneLowPass();
  FormMain->ButtonDraw->click();
  FormMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMain));
  QTest::mouseMove(FormMain->ImageGraph, QPoint(50 + 348, 200));
  EXPECT_EQ(FormMain->LabelFreq->text(), QStringLiteral("  1.000kHz     -3.010dB"));
  EXPECT_EQ(AppCursor(), CursorShape::Cross);
  QTest::mouseMove(FormMain->ImageGraph, QPoint(755, 20));
  EXPECT_EQ(AppCursor(), CursorShape::Arrow);  // over the legend

  // A NaN Q switches the readout off with one report ...
  MessageBoxRecorder recorder;
  ElementCell(FirstStageRow, TransferElement::Q) = std::numeric_limits<double>::quiet_NaN();
  QTest::mouseMove(FormMain->ImageGraph, QPoint(300, 200));
  QTest::mouseMove(FormMain->ImageGraph, QPoint(310, 200));
  EXPECT_EQ(recorder.boxes().size(), 1);
  // ... and the next picture brings it back.
  ElementCell(FirstStageRow, TransferElement::Q) = 0.7071;
  FormMain->ButtonDraw->click();
  QTest::mouseMove(FormMain->ImageGraph, QPoint(50 + 348, 210));
  EXPECT_EQ(FormMain->LabelFreq->text(), QStringLiteral("  1.000kHz     -3.010dB"));
  FormMain->ImageGraphMouseLeave();
  EXPECT_TRUE(FormMain->LabelFreq->text().isEmpty());
  EXPECT_EQ(AppCursor(), CursorShape::Arrow);
}

TEST_F(FormMainGraphTest, CopyPutsTheGraphOnTheClipboard) {
  OneLowPass();
  FormMain->ButtonDraw->click();
  FormMain->Copy1->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
            Graph().image());
}
