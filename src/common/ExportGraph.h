#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

class QPainter;
class QPrinter;

// Distance from the paper's top and left edges to the printed graph.
constexpr double PrintTopMarginMm = 20.0;
constexpr double PrintLeftMarginMm = 18.0;

// Mode of ExportGraph: 0 prints, any other value copies to the clipboard.
constexpr quint8 ExportPrint = 0;
constexpr quint8 ExportClipboard = 1;

// Where the graph goes on the printer's canvas (whose origin is the corner of
// the printable area): 18 mm from the paper's left and 20 mm from its top,
// scaled to keep its proportions and to end 3 mm inside the printable area on
// the right or at the bottom. dotsPerInch is the printer's vertical
// resolution; offset and paper are in printer dots.
QRect PrintedGraphRect(int dotsPerInch, QPoint physicalOffset, QSize paperSize, QSize bitmapSize);

// Offset of the printable area from the paper's corner, and the paper's size,
// in printer dots.
QPoint PrinterPhysicalOffset(const QPrinter& printer);
QSize PrinterPhysicalSize(const QPrinter& printer);

// Draws the whole bitmap into the rectangle, stretched, copying source pixels
// without blending.
void StretchBitmapTo(QPainter& painter, const QRect& rectangle, const QImage& bitmap);

// Prints the graph on one page of the printer chosen in the print dialog, or
// puts it on the clipboard. The wait cursor shows for the whole call. Errors
// of the printer or the clipboard go to the caller.
void ExportGraph(quint8 mode, const QImage& graph);

// The print dialog: shows it for the printer and returns whether the user
// confirmed it. Tests replace it to print without a modal dialog; an empty
// function restores the real dialog.
using PrintDialogRunner = std::function<bool(QPrinter& printer)>;
void SetPrintDialogRunner(PrintDialogRunner runner);
