#include "app/cli/PlotRun.h"

#include "app/cli/PlotOptions.h"
#include "app/cli/ResponseCsv.h"
#include "common/ErrorReport.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "platform/Canvas.h"
#include "plot/AutoScale.h"
#include "plot/Axes.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <exception>

namespace {

// Messages on standard error, one line each, in the form
// "kesto-plot: PATH: text".
class Messages {
 public:
  explicit Messages(QIODevice& err) : err_(err) {}
  void Line(const QString& text) {
    err_.write((QStringLiteral("kesto-plot: ") + text + u'\n').toUtf8());
  }
  void About(const QString& path, const QString& text) { Line(path + QStringLiteral(": ") + text); }

 private:
  QIODevice& err_;
};

// Whether two paths name the same file: by their canonical paths when both
// exist (links resolved), else by their cleaned absolute paths.
bool SameFile(const QString& a, const QString& b) {
  const QFileInfo fa(a);
  const QFileInfo fb(b);
  if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
  return fa.absoluteFilePath() == fb.absoluteFilePath();
}

bool IsFilePath(const QString& path) { return !path.isEmpty() && path != u"-"; }

// How the messages name an output.
QString OutputName(const QString& path) { return path == u"-" ? QStringLiteral("標準出力") : path; }

// Writes bytes to path, or to `out` for "-". Returns false after reporting
// a failure. The file is written in place: its content can be made again at
// any time, and syncing a replacement file to the disk would cost more than
// the whole drawing.
bool WriteOutput(const QString& path, const QByteArray& bytes, QIODevice& out, Messages& messages) {
  if (path == u"-") {
    if (out.write(bytes) == bytes.size()) return true;
    messages.About(OutputName(path), WriteErrorMessage);
    return false;
  }
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (written && file.error() == QFileDevice::NoError) return true;
  }
  messages.About(path, WriteErrorMessage + QStringLiteral(" (") + file.errorString() + u')');
  return false;
}

QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // Quality 80 is zlib's fastest level: measured about three times faster
  // than the writer's default, for some 14 KB instead of 8 KB.
  image.save(&buffer, "PNG", 80);
  return bytes;
}

// Refuses outputs that would replace the transfer file or each other.
QString OutputClash(const PlotOptions& options) {
  if (IsFilePath(options.pngPath) && SameFile(options.pngPath, options.file))
    return QStringLiteral("-o: 入力ファイルには書き込みません: ") + options.pngPath;
  if (IsFilePath(options.csvPath) && SameFile(options.csvPath, options.file))
    return QStringLiteral("--csv: 入力ファイルには書き込みません: ") + options.csvPath;
  if (IsFilePath(options.pngPath) && IsFilePath(options.csvPath) &&
      SameFile(options.pngPath, options.csvPath))
    return QStringLiteral("-o と --csv に同じファイルは指定できません: ") + options.csvPath;
  return {};
}

}  // namespace

int RunKestoPlot(const QStringList& arguments, QIODevice& out, QIODevice& err) {
  Messages messages(err);
  const ParsedPlotOptions parsed = ParsePlotOptions(arguments);
  const PlotOptions& options = parsed.options;
  if (!parsed.error.isEmpty()) {
    messages.Line(parsed.error);
    messages.Line(QStringLiteral("使い方は kesto-plot --help で表示されます"));
    return ExitUsageError;
  }
  if (options.help) {
    out.write(PlotHelpText().toUtf8());
    return ExitOk;
  }
  if (options.version) {
    out.write(QStringLiteral("kesto-plot %1.%2\n")
                  .arg(KESTO_VERSION_MAJOR)
                  .arg(KESTO_VERSION_MINOR, 2, 10, QLatin1Char('0'))
                  .toUtf8());
    return ExitOk;
  }
  if (const QString clash = OutputClash(options); !clash.isEmpty()) {
    messages.Line(clash);
    return ExitUsageError;
  }

  // The load, in the main window's order: a fresh table, the total curve
  // selected, the automatic limits, the redraw.
  const QString& path = options.file;
  const TransferFileContent content = ReadTransferFile(path);
  if (!content.ok) {
    messages.About(path, FileNotFoundMessage);
    return ExitInputError;
  }
  int status = ExitOk;
  PlotState.SelectedCurve = 0;
  TransferTable = content.table;
  if (content.tooManyStages) {
    // As in the window the load goes on with the first 30 stages.
    messages.About(path, TooManyStagesMessage);
    status = ExitInputError;
  }
  const int stageCount = std::clamp(StageCount(), 0, MaxStages);
  if (options.selectedCurve && *options.selectedCurve > stageCount) {
    messages.Line(QStringLiteral("--select: %1 はこのファイルの段数 %2 を超えています")
                      .arg(*options.selectedCurve)
                      .arg(stageCount));
    return ExitUsageError;
  }

  GraphControls controls;
  AxisBoxTexts boxes{controls.editSf, controls.editEf, controls.editMinL, controls.editMaxL,
                     controls.editMaxD};
  // As in the window, an error that ends the fit or the redraw (in practice
  // a floating-point error) is reported with the general error report's text.
  try {
    AutoScaleAxes(boxes);
  } catch (const std::exception& error) {
    messages.About(path, ErrorReportText(QString::fromUtf8(error.what())));
    messages.About(path, QStringLiteral("軸の自動調整が失敗したため、何も書きませんでした"));
    return ExitArithmeticError;
  }
  controls.editSf = boxes.editSf;
  controls.editEf = boxes.editEf;
  controls.editMinL = boxes.editMinL;
  controls.editMaxL = boxes.editMaxL;
  controls.editMaxD = boxes.editMaxD;

  // The options act as typed into the boxes and set on the switches, and
  // --select as a click on the legend. One redraw with the final controls
  // gives the picture that the load's redraw followed by a Draw would leave.
  ApplyPlotOptions(options, controls);
  if (options.selectedCurve) PlotState.SelectedCurve = *options.selectedCurve;

  Canvas canvas(PlotImageWidth, PlotImageHeight);
  bool drawn = true;
  try {
    RedrawGraph(canvas, controls, path, [&](const QString& text) { messages.About(path, text); });
  } catch (const std::exception& error) {
    messages.About(path, ErrorReportText(QString::fromUtf8(error.what())));
    drawn = false;
    status = std::max<int>(status, ExitArithmeticError);
  }
  PlotState.ReadoutBusy = false;
  if (drawn) CurrentFile = path;

  if (!options.pngPath.isEmpty()) {
    // The window keeps a picture whose drawing failed as far as it got; so
    // does the file.
    if (!WriteOutput(options.pngPath, PngBytes(canvas.image()), out, messages))
      status = std::max<int>(status, ExitWriteError);
    else if (!drawn)
      messages.About(OutputName(options.pngPath),
                     QStringLiteral("描画が途中で終わりました。途中までのグラフを書きました"));
  }

  if (!options.csvPath.isEmpty()) {
    QByteArray csv;
    int rows = 0;
    bool complete = true;
    try {
      const QList<double> frequencies = options.at.isEmpty() ? PlotColumnFrequencies() : options.at;
      AppendResponseCsv(csv, frequencies, rows);
    } catch (const std::exception& error) {
      if (csv.isEmpty()) csv = ResponseCsvHeader(stageCount);
      messages.About(path, ErrorReportText(QString::fromUtf8(error.what())));
      complete = false;
      status = std::max<int>(status, ExitArithmeticError);
    }
    if (!WriteOutput(options.csvPath, csv, out, messages)) {
      status = std::max<int>(status, ExitWriteError);
    } else if (!complete) {
      const QString what = rows == 0 ? QStringLiteral("見出しの行だけを書きました")
                                     : QStringLiteral("データを %1 行まで書きました").arg(rows);
      messages.About(OutputName(options.csvPath),
                     QStringLiteral("計算が途中で終わりました。") + what);
    }
  }
  return status;
}
