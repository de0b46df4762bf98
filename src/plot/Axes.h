#pragma once

#include "platform/Canvas.h"

#include <QString>

#include <functional>

// What the main window's axis controls hold, as PrepareGraph reads them. The
// defaults are the window's start-up state.
struct GraphControls {
  QString editMaxL = QStringLiteral("20");   // upper level limit, dB
  QString editMinL = QStringLiteral("-60");  // lower level limit, dB
  QString editMaxD = QStringLiteral("10m");  // upper delay limit, s
  QString editMinD = QStringLiteral("0");    // lower delay limit, s
  QString editEf = QStringLiteral("10k");    // right-edge frequency, Hz
  QString editSf = QStringLiteral("100");    // left-edge frequency, Hz
  bool checkBoxLevel = true;                 // level view (else group delay)
  bool checkBoxLog = true;                   // logarithmic frequency axis
  int displayMode = 1;                       // 0 total, 1 intermediate, 2 individual
};

// Shows one of the graph's own error messages (the window puts it in an
// error box with an OK button); an empty function drops it.
using GraphMessageFn = std::function<void(const QString& text)>;

// The message for a logarithmic axis with a limit <= 0 Hz.
inline const QString ZeroHzMessage = QStringLiteral("  0Hz is illegal in Log-scale");

// Colour of the grid lines.
constexpr ColorWord GridColor = 0xA0A0A0;

// Reads the controls into PlotState and paints the white bitmap, the frame,
// the frequency grid and labels, the value grid and labels and the title of
// fileName (a path; may be empty). An arithmetic error in the frequency axis
// only ends that axis; any other FloatError propagates with what was drawn so
// far left on the canvas.
void PrepareGraph(Canvas& canvas, const GraphControls& controls, const QString& fileName,
                  const GraphMessageFn& showError = {});

// Redraws only the title band: the file name without folder and last
// extension, centred over the plot.
void DrawTitle(Canvas& canvas, const QString& fileName);

// The title text of a path: its file name without the part from the last "."
// on; empty for an empty path.
QString TitleOf(const QString& fileName);
