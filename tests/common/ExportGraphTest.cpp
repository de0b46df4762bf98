#include "common/ExportGraph.h"

#include "platform/Canvas.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// A recognisable graph: white with a black frame and a red block.
QImage SampleGraph() {
  Canvas canvas(766, 434);
  canvas.SetBrushColor(ColorBlack);
  canvas.FrameRect(0, 0, 766, 434);
  canvas.SetBrushColor(0x0000FF);
  canvas.FillRect(100, 100, 200, 150);
  return canvas.image();
}

class ExportGraphTest : public ::testing::Test {
 protected:
  void TearDown() override {
    SetPrintDialogRunner({});
    SetAppCursor(CursorShape::Arrow);
  }
};

}  // namespace

TEST(PrintedGraphRect, WorkedExampleAt600Dpi) {
  EXPECT_EQ(PrintedGraphRect(600, {100, 100}, {4960, 7016}, {766, 434}),
            QRect(325, 372, 4364, 2472));
}

TEST(PrintedGraphRect, WidthDecidesOnPortraitAndLandscapePaper) {
  // A4 and letter at 300 dpi, with 50-dot unprintable borders.
  const int dpi = 300;
  const double d = dpi / 25.4;
  for (QSize paper : {QSize(2480, 3508), QSize(3508, 2480), QSize(2550, 3300), QSize(3300, 2550)}) {
    const QPoint offset(50, 50);
    const QRect r = PrintedGraphRect(dpi, offset, paper, {766, 434});
    const double printableRight = paper.width() - 2 * offset.x();
    // Ends 3 mm short of the printable area's right end, to within a dot.
    EXPECT_NEAR(r.left() + r.width(), printableRight - 3 * d, 1.0) << paper.width();
    EXPECT_LT(r.top() + r.height(), paper.height() - 2 * offset.y());
    EXPECT_NEAR(double(r.width()) / r.height(), 766.0 / 434.0, 0.002);
    EXPECT_EQ(r.left(), qRound(18 * d) - offset.x());
    EXPECT_EQ(r.top(), qRound(20 * d) - offset.y());
  }
}

TEST_F(ExportGraphTest, CopyPutsTheBitmapOnTheClipboard) {
  const QImage graph = SampleGraph();
  ExportGraph(ExportClipboard, graph);
  const QImage copied = QGuiApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(766, 434));
  EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), graph);
  EXPECT_EQ(AppCursor(), CursorShape::Arrow);
}

TEST_F(ExportGraphTest, CancelledPrintLeavesTheClipboardAlone) {
  QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
  CursorShape during = CursorShape::Arrow;
  SetPrintDialogRunner([&](QPrinter&) {
    during = AppCursor();
    return false;
  });
  ExportGraph(ExportPrint, SampleGraph());
  EXPECT_EQ(during, CursorShape::Wait);
  EXPECT_EQ(AppCursor(), CursorShape::Arrow);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(ExportGraphTest, PrintsOnePageAtTheMargins) {
  const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
  QString title;
  SetPrintDialogRunner([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    return true;
  });
  ExportGraph(ExportPrint, SampleGraph());
  EXPECT_EQ(AppCursor(), CursorShape::Arrow);

  // Render the page at 254 dpi: 10 pixels to the millimetre.
  QProcess render;
  render.start(pdftoppm, {"-r", "254", "-png", "-singlefile", pdf, dir.filePath("page")});
  ASSERT_TRUE(render.waitForFinished(30000));
  ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
  const QImage page(dir.filePath(QStringLiteral("page.png")));
  ASSERT_FALSE(page.isNull());
  EXPECT_NEAR(page.width(), 2100, 2);

  int left = page.width(), top = page.height(), right = -1, bottom = -1;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) < 128) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_NEAR(left, 180, 3);  // 18 mm from the paper's left edge
  EXPECT_NEAR(top, 200, 3);   // 20 mm from its top edge
  EXPECT_NEAR(double(right - left) / (bottom - top), 766.0 / 434.0, 0.01);
}

TEST_F(ExportGraphTest, AFailingPrintReachesTheCallerAndResetsTheCursor) {
  SetPrintDialogRunner([](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/x/page.pdf"));
    return true;
  });
  EXPECT_ANY_THROW(ExportGraph(ExportPrint, SampleGraph()));
  EXPECT_EQ(AppCursor(), CursorShape::Arrow);
}
