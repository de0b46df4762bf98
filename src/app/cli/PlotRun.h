#pragma once

#include <QStringList>

class QIODevice;

// The width and height of the main window's graph bitmap, which kesto-plot
// draws.
constexpr int PlotImageWidth = 766;
constexpr int PlotImageHeight = 434;

// kesto-plot as a whole: parses the arguments after the program name, loads
// the file as the main window loads it, applies the options, draws and writes
// the outputs. Help and data written to "-" go to `out`, messages to `err`,
// both UTF-8. Returns the exit status (PlotExitCode). Needs a
// QGuiApplication for the canvas font.
int RunKestoPlot(const QStringList& arguments, QIODevice& out, QIODevice& err);
