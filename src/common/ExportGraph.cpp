#include "common/ExportGraph.h"

#include "platform/Fp.h"
#include "platform/Window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

PrintDialogRunner dialogRunner;

// The printer of the program, kept for the whole run so that the print dialog
// remembers the choice of printer and paper.
QPrinter& CurrentPrinter() {
  static std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer;
}

bool RunPrintDialog(QPrinter& printer) {
  if (dialogRunner) return dialogRunner(printer);
  QPrintDialog dialog(&printer, MainWindow());
  dialog.setObjectName(QStringLiteral("PrintDialog1"));
  return dialog.exec() == QDialog::Accepted;
}

// Sets the wait cursor and puts the arrow back on every way out.
class WaitCursor {
 public:
  WaitCursor() { SetAppCursor(CursorShape::Wait); }
  ~WaitCursor() { SetAppCursor(CursorShape::Arrow); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void SetPrintDialogRunner(PrintDialogRunner runner) { dialogRunner = std::move(runner); }

QRect PrintedGraphRect(int dotsPerInch, QPoint physicalOffset, QSize paperSize, QSize bitmapSize) {
  const double d = dotsPerInch / 25.4;  // dots per millimetre, both directions
  const int top = fp::RoundInt(PrintTopMarginMm * d) - physicalOffset.y();
  const int left = fp::RoundInt(PrintLeftMarginMm * d) - physicalOffset.x();
  const double sx =
      fp::Div(paperSize.width() - left - 2.0 * physicalOffset.x() - 3.0 * d, bitmapSize.width());
  const double sy =
      fp::Div(paperSize.height() - top - 2.0 * physicalOffset.y() - 3.0 * d, bitmapSize.height());
  const double s = std::min(sx, sy);
  return QRect(left, top, fp::TruncInt(bitmapSize.width() * s),
               fp::TruncInt(bitmapSize.height() * s));
}

QPoint PrinterPhysicalOffset(const QPrinter& printer) {
  return printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint();
}

QSize PrinterPhysicalSize(const QPrinter& printer) {
  return printer.paperRect(QPrinter::DevicePixel).size().toSize();
}

void StretchBitmapTo(QPainter& painter, const QRect& rectangle, const QImage& bitmap) {
  const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rectangle, bitmap, bitmap.rect());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

void ExportGraph(quint8 mode, const QImage& graph) {
  WaitCursor wait;
  if (mode == ExportPrint) {
    QPrinter& printer = CurrentPrinter();
    // A cancelled print dialog leaves the clipboard as it was: the user asked
    // for paper, not for a copy.
    if (!RunPrintDialog(printer)) return;
    const QImage copy = graph.copy();
    printer.setDocName(QStringLiteral("Kesto_Image"));
    QPainter painter;
    if (!painter.begin(&printer)) throw std::runtime_error("印刷を開始できません");
    const QRect target = PrintedGraphRect(printer.resolution(), PrinterPhysicalOffset(printer),
                                          PrinterPhysicalSize(printer), copy.size());
    StretchBitmapTo(painter, target, copy);
    painter.end();
    return;
  }
  QGuiApplication::clipboard()->setImage(graph);
}
