#pragma once

#include "plot/Axes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Exit statuses of kesto-plot. When several errors occur the largest code is
// returned.
enum PlotExitCode : int {
  ExitOk = 0,
  ExitInputError = 1,       // file missing, unreadable, no header line, > 30 stages
  ExitUsageError = 2,       // unknown option, missing or unreadable value, output over FILE
  ExitArithmeticError = 3,  // floating-point error while fitting, drawing or computing data
  ExitWriteError = 4,       // an output file could not be written
};

// Display modes as the --mode words name them, in the order of the main
// window's radio buttons.
constexpr int ModeTotal = 0;
constexpr int ModeCumulative = 1;
constexpr int ModeIndividual = 2;

// What the command line asks for. The limit texts go into the axis boxes
// unchanged, as if typed there.
struct PlotOptions {
  QString file;     // the transfer file
  QString pngPath;  // -o: empty for no picture, "-" for standard output
  QString csvPath;  // --csv: empty for no data, "-" for standard output
  bool delayView = false;
  bool linear = false;
  std::optional<int> displayMode;
  std::optional<int> selectedCurve;  // 0 = total, k = stage k
  std::optional<QString> editSf;     // --fmin
  std::optional<QString> editEf;     // --fmax
  std::optional<QString> editMinL;   // --lmin
  std::optional<QString> editMaxL;   // --lmax
  std::optional<QString> editMinD;   // --dmin
  std::optional<QString> editMaxD;   // --dmax
  QList<double> at;                  // --at: data frequencies in Hz; empty = plot columns
  bool help = false;
  bool version = false;
};

// The result of parsing: an empty error means the options are usable.
struct ParsedPlotOptions {
  PlotOptions options;
  QString error;  // Japanese, naming the option concerned
};

// Parses the arguments after the program name. Values may follow their option
// as the next argument or after "=" (--fmax=20k); "--" ends the options.
// --help and --version make every other check unnecessary.
ParsedPlotOptions ParsePlotOptions(const QStringList& arguments);

// The frequencies of one --at value: numbers in the edit-box syntax separated
// by ";". A comma, digit grouping in that syntax, is refused here. Sets error
// and returns an empty list when the list has a comma or an item is no
// number.
QList<double> ParseFrequencyList(const QString& text, QString& error);

// The options put into the controls, as typed into the boxes and set on the
// switches after the automatic limits have filled the boxes.
void ApplyPlotOptions(const PlotOptions& options, GraphControls& controls);

// The Japanese --help text.
QString PlotHelpText();
