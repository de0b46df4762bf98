#pragma once

#include "app/FormMain.h"
#include "app/Windows.h"
#include "editor/FormDataIn.h"
#include "editor/FormEdit.h"
#include "editor/LabeledEdit.h"
#include "editor/StringGrid.h"

#include "TestSupport.h"
#include "document/TransferTable.h"
#include "platform/ImageControl.h"
#include "plot/PlotState.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

// The three windows of the program over a table that each test fills itself;
// message boxes are recorded and answered with `answer`, never shown.
class EditorWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetState();
    windows = std::make_unique<ProgramWindows>();
  }
  void TearDown() override {
    windows.reset();
    ResetState();
  }

  static void ResetState() {
    ClearTransferTable();
    SavedTable.fill(0.0);
    SelectedRow = 0;
    CurrentFile.clear();
    ResetPlotState();
  }

  // A low-pass filter of three stages: 2nd-Ord LPF, 1st-Ord LPF, 2nd-Ord TZF.
  static void ThreeStages() {
    HeaderCell(FilterHeader::Ftype) = 1;
    HeaderCell(FilterHeader::FoFc) = 1000;
    SetStages({{3, 1, 1000, 0.707, 0}, {1, 2, 500, 0, 0}, {6, 1, 2000, 3, 4000}});
    HeaderCell(FilterHeader::Order) = 5;
  }

  // What the main window's menu does: refresh with a snapshot, then show.
  static void OpenEditor() {
    RefreshEditor(false);
    FormEdit->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormEdit));
  }

  static void Activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }

  template <class T = QWidget>
  static T* InEdit(const char* name) {
    return FormEdit->findChild<T*>(QLatin1String(name));
  }
  template <class T = QWidget>
  static T* InDialog(const char* name) {
    return FormDataIn->findChild<T*>(QLatin1String(name));
  }

  static TStringGrid* Grid() { return FormEdit->StringGrid1; }
  static QString Cell(int col, int row) { return Grid()->Cells(col, row); }
  static QStringList GridRow(int row) {
    QStringList cells;
    for (int col = 1; col <= 5; ++col) cells << Cell(col, row);
    return cells;
  }

  static void ClickCell(int col, int row) {
    const QRect rect = Grid()->CellRect(col, row);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, rect.center());
  }
  // A double-click as the user makes it: a click, then the double-click.
  static void DoubleClickCell(int col, int row) {
    ClickCell(col, row);
    const QRect rect = Grid()->CellRect(col, row);
    QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, rect.center());
  }
  static void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

  static void Press(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key);
  }
  static QString FocusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QString();
  }

  static QImage GraphImage() { return FormMain->ImageGraph->canvas().image().copy(); }

  int answer = AnswerOk;
  MessageBoxRecorder boxes{[this](const MessageBoxRequest&) { return answer; }};
  std::unique_ptr<ProgramWindows> windows;
};
