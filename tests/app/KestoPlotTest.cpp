// kesto-plot run as a process, compared with the main window driven in the
// same test run.

#include "app/FormMain.h"
#include "app/Windows.h"

#include "TestSupport.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "platform/ImageControl.h"
#include "platform/Window.h"
#include "plot/PlotState.h"
#include "response/Response.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

struct PlotRunResult {
  int exitCode = -1;
  QByteArray out;
  QString err;
};

PlotRunResult RunKestoPlotProcess(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(KESTO_PLOT_EXE), arguments);
  PlotRunResult result;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.exitCode = process.exitCode();
  result.out = process.readAllStandardOutput();
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

QString Example(const char* name) {
  return QStringLiteral(KESTO_EXAMPLES_DIR "/") + QString::fromLatin1(name);
}
QString TestFile(const char* folder, const char* name) {
  return QStringLiteral(KESTO_TEST_DATA_DIR "/") + QString::fromLatin1(folder) + u'/' +
         QString::fromLatin1(name);
}

QImage ReadPicture(const QString& path) {
  QImage image(path);
  return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

// Counts the pixels in which two pictures differ (all of them when the sizes
// differ), so that a failure says how far apart they are.
int DifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) ++count;
  return count;
}

// The lines of a CSV text, each cut into fields.
QList<QStringList> CsvRows(const QByteArray& text) {
  QList<QStringList> rows;
  for (const QByteArray& line : text.split('\n'))
    if (!line.isEmpty()) rows.append(QString::fromLatin1(line).split(u','));
  return rows;
}

class KestoPlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    ClearTransferTable();
    ResetPlotState();
    CurrentFile.clear();
    windows = std::make_unique<ProgramWindows>();
  }
  void TearDown() override {
    windows.reset();
    ClearTransferTable();
    ResetPlotState();
    CurrentFile.clear();
    SetAppCursor(CursorShape::Arrow);
  }

  QString Output(const QString& name) const { return folder.filePath(name); }
  const QImage& WindowPicture() const { return FormMain->ImageGraph->canvas().image(); }

  // Loads the file in the window, lets `change` set the window's controls,
  // and compares the window's bitmap with the picture of kesto-plot run on
  // the same file with `arguments`.
  void ExpectSamePicture(const QString& file, const QStringList& arguments,
                         const std::function<void()>& change, int expectedExit = 0) {
    const QString png = Output(QStringLiteral("graph.png"));
    QFile::remove(png);
    const PlotRunResult run =
        RunKestoPlotProcess(QStringList{file, QStringLiteral("-o"), png} + arguments);
    EXPECT_EQ(run.exitCode, expectedExit) << run.err.toStdString();
    MessageBoxRecorder recorder;
    FormMain->LoadTransferFile(file);
    if (change) change();
    const QImage picture = ReadPicture(png);
    ASSERT_FALSE(picture.isNull()) << "no picture for " << file.toStdString();
    EXPECT_EQ(DifferentPixels(picture, WindowPicture().convertToFormat(QImage::Format_RGB32)), 0)
        << file.toStdString() << " " << arguments.join(u' ').toStdString();
  }

  QTemporaryDir folder;
  std::unique_ptr<ProgramWindows> windows;
};

}  // namespace

TEST_F(KestoPlotTest, EveryExampleGivesTheWindowsPicture) {
  const QDir examples(QStringLiteral(KESTO_EXAMPLES_DIR));
  const QStringList files = examples.entryList({QStringLiteral("*.csv")}, QDir::Files);
  ASSERT_FALSE(files.isEmpty());
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    ExpectSamePicture(examples.filePath(name), {}, {});
  }
}

TEST_F(KestoPlotTest, ViewSwitchesActAsTheCheckBoxes) {
  ExpectSamePicture(Example("butterworth-lpf5-1kHz-delay-equalized.csv"),
                    {QStringLiteral("--delay"), QStringLiteral("--linear")}, [] {
                      FormMain->CheckBoxLevel->setChecked(false);
                      FormMain->CheckBoxLog->setChecked(false);
                      FormMain->ButtonDraw->click();
                    });
}

TEST_F(KestoPlotTest, ModeAndSelectionActAsTheRadioButtonsAndTheLegend) {
  // Stage 2 chosen by a click on its legend swatch.
  const auto clickStage2 = [] {
    FormMain->ImageGraphMouseMove(755, 20 + 10 * 2);
    FormMain->ImageGraphClick();
  };
  ExpectSamePicture(Example("butterworth-lpf5-1kHz.csv"),
                    {QStringLiteral("--mode"), QStringLiteral("individual"),
                     QStringLiteral("--select"), QStringLiteral("2")},
                    [&] {
                      FormMain->RadioButtonIndiv->setChecked(true);
                      FormMain->ButtonDraw->click();
                      clickStage2();
                    });
  ExpectSamePicture(Example("butterworth-lpf5-1kHz.csv"),
                    {QStringLiteral("--mode=total"), QStringLiteral("--select=2")}, [&] {
                      FormMain->RadioButtonTotal->setChecked(true);
                      FormMain->ButtonDraw->click();
                      clickStage2();
                    });
  ExpectSamePicture(Example("butterworth-bpf6-1kHz-200Hz.csv"),
                    {QStringLiteral("--mode"), QStringLiteral("cumulative"),
                     QStringLiteral("--select"), QStringLiteral("0")},
                    [] {
                      // Back to the start-up mode; the load selected the total.
                      FormMain->RadioButtonInt->setChecked(true);
                      FormMain->ButtonDraw->click();
                    });
}

TEST_F(KestoPlotTest, LimitsActAsTypedIntoTheBoxes) {
  ExpectSamePicture(Example("butterworth-lpf5-1kHz.csv"),
                    {QStringLiteral("--fmin"), QStringLiteral("50"), QStringLiteral("--fmax"),
                     QStringLiteral("20k"), QStringLiteral("--lmin"), QStringLiteral("-80"),
                     QStringLiteral("--lmax"), QStringLiteral("1,0")},
                    [] {
                      FormMain->EditSf->setText(QStringLiteral("50"));
                      FormMain->EditEf->setText(QStringLiteral("20k"));
                      FormMain->EditMinL->setText(QStringLiteral("-80"));
                      FormMain->EditMaxL->setText(QStringLiteral("1,0"));
                      FormMain->ButtonDraw->click();
                    });
  ExpectSamePicture(Example("allpass-delay-equalizer-for-lpf5-1kHz.csv"),
                    {QStringLiteral("--delay"), QStringLiteral("--dmin"), QStringLiteral("0.5m"),
                     QStringLiteral("--dmax=2 m")},
                    [] {
                      FormMain->CheckBoxLevel->setChecked(false);
                      FormMain->EditMinD->setText(QStringLiteral("0.5m"));
                      FormMain->EditMaxD->setText(QStringLiteral("2 m"));
                      FormMain->ButtonDraw->click();
                    });
}

TEST_F(KestoPlotTest, ADrawingErrorWritesThePictureAsFarAsItGot) {
  // Equal level limits end the redraw after the frequency axis.
  ExpectSamePicture(
      Example("notch-50Hz-q10.csv"),
      {QStringLiteral("--lmin"), QStringLiteral("0"), QStringLiteral("--lmax"),
       QStringLiteral("0")},
      [] {
        FormMain->EditMinL->setText(QStringLiteral("0"));
        FormMain->EditMaxL->setText(QStringLiteral("0"));
        FormMain->ButtonDraw->click();
      },
      3);

  // A low-pass header without Ws gives a negative upper frequency: the 0 Hz
  // message, then the sweep fails at its first column.
  const QString file = TestFile("kesto-plot", "lpf-header-without-ws.csv");
  const QString png = Output(QStringLiteral("partial.png"));
  const PlotRunResult run = RunKestoPlotProcess({file, QStringLiteral("-o"), png});
  EXPECT_EQ(run.exitCode, 3);
  MessageBoxRecorder recorder;
  FormMain->LoadTransferFile(file);
  ASSERT_EQ(recorder.boxes().size(), 2);
  for (const MessageBoxRequest& box : recorder.boxes())
    EXPECT_TRUE(run.err.contains(file + QStringLiteral(": ") + box.text)) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(png + QStringLiteral(": 描画が途中で終わりました")));
  EXPECT_EQ(DifferentPixels(ReadPicture(png), WindowPicture()), 0);
}

TEST_F(KestoPlotTest, TooManyStagesLoadsTheFirstThirtyAsTheWindowDoes) {
  const QString file = TestFile("transfer", "stage-lines-31.csv");
  ExpectSamePicture(file, {}, {}, 1);
  const PlotRunResult run = RunKestoPlotProcess({file, QStringLiteral("--csv"), QStringLiteral("-"),
                                                 QStringLiteral("--at"), QStringLiteral("1k")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, QStringLiteral("kesto-plot: ") + file + QStringLiteral(": ") +
                         TooManyStagesMessage + u'\n');
  const QList<QStringList> rows = CsvRows(run.out);
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[0].size(), 3 + 2 * 30);
}

TEST_F(KestoPlotTest, InputErrorsGiveTheWindowsMessageAndNoOutput) {
  struct Case {
    QString file;
    int exitCode;
    QStringList messages;
  };
  const QString missing = Output(QStringLiteral("missing.csv"));
  const QList<Case> cases = {
      {missing, 1, {FileNotFoundMessage}},
      {TestFile("transfer", "title-lines-only.csv"), 1, {FileNotFoundMessage}},
      {TestFile("transfer", "empty-file.csv"), 1, {FileNotFoundMessage}},
      {folder.path(), 1, {FileNotFoundMessage}},  // a folder cannot be read as a file
      // Ws = 0 divides by zero in the fit before any box is written.
      {TestFile("kesto-plot", "hpf-header-without-ws.csv"),
       3,
       {QStringLiteral("0 による浮動小数点数除算."),
        QStringLiteral("軸の自動調整が失敗したため、何も書きませんでした")}},
  };
  const QString png = Output(QStringLiteral("out.png"));
  const QString csv = Output(QStringLiteral("out.csv"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    const PlotRunResult run =
        RunKestoPlotProcess({c.file, QStringLiteral("-o"), png, QStringLiteral("--csv"), csv});
    EXPECT_EQ(run.exitCode, c.exitCode);
    QString expected;
    for (const QString& message : c.messages)
      expected += QStringLiteral("kesto-plot: ") + c.file + QStringLiteral(": ") + message + u'\n';
    EXPECT_EQ(run.err, expected);
    EXPECT_FALSE(QFile::exists(png));
    EXPECT_FALSE(QFile::exists(csv));
  }
}

TEST_F(KestoPlotTest, UsageErrorsNameTheOptionAndWriteNothing) {
  struct Case {
    QStringList arguments;
    QString message;
  };
  const QString file = Example("butterworth-lpf5-1kHz.csv");
  const QList<Case> cases = {
      {{QStringLiteral("--fmin"), QStringLiteral("abc")}, QStringLiteral("--fmin: ")},
      {{QStringLiteral("--fmax"), QStringLiteral("k")}, QStringLiteral("--fmax: ")},
      {{QStringLiteral("--lmin"), QStringLiteral("")}, QStringLiteral("--lmin: ")},
      {{QStringLiteral("--lmax"), QStringLiteral("1.2.3")}, QStringLiteral("--lmax: ")},
      {{QStringLiteral("--dmin=-")}, QStringLiteral("--dmin: ")},
      {{QStringLiteral("--dmax"), QStringLiteral("1e300T")}, QStringLiteral("--dmax: ")},
      {{QStringLiteral("--at"), QStringLiteral("1k;x")}, QStringLiteral("--at: ")},
      {{QStringLiteral("--at"), QStringLiteral("1k,2k,5k")}, QStringLiteral("--at: ")},
      {{QStringLiteral("--mode"), QStringLiteral("all")}, QStringLiteral("--mode: ")},
      {{QStringLiteral("--select"), QStringLiteral("-1")}, QStringLiteral("--select: ")},
      // Known only after reading: the file has three stages.
      {{QStringLiteral("--select"), QStringLiteral("4")}, QStringLiteral("--select: ")},
      {{QStringLiteral("--colour")}, QStringLiteral("不明なオプションです: --colour")},
      {{QStringLiteral("--dmax")}, QStringLiteral("--dmax: ")},
  };
  const QString png = Output(QStringLiteral("out.png"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(u' ').toStdString());
    const PlotRunResult run =
        RunKestoPlotProcess(QStringList{file, QStringLiteral("-o"), png} + c.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("kesto-plot: ") + c.message))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));
  }
  EXPECT_EQ(RunKestoPlotProcess({}).exitCode, 2);
}

TEST_F(KestoPlotTest, NothingIsWrittenOverTheTransferFile) {
  const QString file = Output(QStringLiteral("filter.csv"));
  ASSERT_TRUE(QFile::copy(Example("notch-50Hz-q10.csv"), file));
  QFile original(file);
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QByteArray bytes = original.readAll();
  original.close();
  const QString sameFile = folder.path() + QStringLiteral("/./sub/../filter.csv");
  QDir(folder.path()).mkdir(QStringLiteral("sub"));
  for (const QStringList& outputs :
       {QStringList{QStringLiteral("-o"), file}, QStringList{QStringLiteral("--csv"), sameFile}}) {
    const PlotRunResult run = RunKestoPlotProcess(QStringList{file} + outputs);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("入力ファイルには書き込みません")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), bytes);
    original.close();
  }
}

TEST_F(KestoPlotTest, AnOutputThatCannotBeWrittenIsReported) {
  const QString png = Output(QStringLiteral("no-such-folder/out.png"));
  const PlotRunResult run =
      RunKestoPlotProcess({Example("notch-50Hz-q10.csv"), QStringLiteral("-o"), png});
  EXPECT_EQ(run.exitCode, 4);
  EXPECT_TRUE(run.err.startsWith(QStringLiteral("kesto-plot: ") + png + QStringLiteral(": ") +
                                 WriteErrorMessage))
      << run.err.toStdString();
}

TEST_F(KestoPlotTest, DataAtListedFrequenciesAgreeWithTheStageSums) {
  const QString file = Example("butterworth-lpf5-1kHz-delay-equalized.csv");
  // ";" inside one --at and repeated --at.
  const PlotRunResult run = RunKestoPlotProcess({file, QStringLiteral("--csv"), QStringLiteral("-"),
                                                 QStringLiteral("--at"), QStringLiteral("1000;2k"),
                                                 QStringLiteral("--at"), QStringLiteral("0"),
                                                 QStringLiteral("--at=37.5")});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.isEmpty());
  const QList<QStringList> rows = CsvRows(run.out);
  ASSERT_EQ(rows.size(), 5);
  QStringList header = {QStringLiteral("frequency_hz"), QStringLiteral("total_db"),
                        QStringLiteral("total_delay_s")};
  for (int k = 1; k <= 5; ++k)
    header << QStringLiteral("stage%1_db").arg(k) << QStringLiteral("stage%1_delay_s").arg(k);
  EXPECT_EQ(rows[0], header);

  TransferTable = ReadTransferFile(file).table;
  PrepareStages();
  const QList<double> frequencies = {1000, 2000, 0, 37.5};
  for (int i = 0; i < frequencies.size(); ++i) {
    const double f = frequencies[i];
    SCOPED_TRACE(f);
    const QStringList& row = rows[i + 1];
    ASSERT_EQ(row.size(), header.size());
    EXPECT_EQ(row[0], NumberToFileText(f));
    EXPECT_EQ(row[1], NumberToFileText(CascadeSum(2, 6, f, true)));
    EXPECT_EQ(row[2], NumberToFileText(CascadeSum(2, 6, f, false)));
    for (int k = 1; k <= 5; ++k) {
      EXPECT_EQ(row[1 + 2 * k], NumberToFileText(StageValue(k + 1, f, true)));
      EXPECT_EQ(row[2 + 2 * k], NumberToFileText(StageValue(k + 1, f, false)));
    }
  }
  // The low-pass is 3.01 dB down at its corner and the delay equaliser is
  // flat in amplitude.
  EXPECT_TRUE(NearlyEqual(rows[1][1].toDouble(), -3.0103, 1e-4));
  EXPECT_EQ(rows[1][9], QStringLiteral("0"));
  EXPECT_EQ(rows[1][11], QStringLiteral("0"));
}

TEST_F(KestoPlotTest, DataRowsFollowThePlotColumnsOfTheAxis) {
  const QString file = Example("butterworth-lpf5-1kHz.csv");
  const PlotRunResult logRun =
      RunKestoPlotProcess({file, QStringLiteral("--csv"), QStringLiteral("-")});
  ASSERT_EQ(logRun.exitCode, 0) << logRun.err.toStdString();
  const QList<QStringList> logRows = CsvRows(logRun.out);
  ASSERT_EQ(logRows.size(), 1 + 697);

  MessageBoxRecorder recorder;
  FormMain->LoadTransferFile(file);
  ASSERT_EQ(PlotState.PlotWidth, 696);
  for (int i = 0; i <= 696; ++i) ASSERT_EQ(logRows[i + 1][0], NumberToFileText(XToFreq(i))) << i;

  const PlotRunResult linearRun =
      RunKestoPlotProcess({file, QStringLiteral("--csv"), QStringLiteral("-"),
                           QStringLiteral("--linear"), QStringLiteral("--fmin"),
                           QStringLiteral("0"), QStringLiteral("--fmax"), QStringLiteral("6960")});
  ASSERT_EQ(linearRun.exitCode, 0) << linearRun.err.toStdString();
  const QList<QStringList> linearRows = CsvRows(linearRun.out);
  ASSERT_EQ(linearRows.size(), 1 + 697);
  for (int i = 0; i <= 696; i += 58) EXPECT_EQ(linearRows[i + 1][0].toDouble(), 10.0 * i);
}

TEST_F(KestoPlotTest, ADataErrorKeepsTheRowsBeforeIt) {
  // A second-order all-pass with Q = 0 has no delay at 0 Hz: the drawing on a
  // logarithmic axis never gets there, the data row for 0 Hz does.
  const QString file = TestFile("kesto-plot", "allpass-with-q-zero.csv");
  const QString png = Output(QStringLiteral("allpass.png"));
  const PlotRunResult run = RunKestoPlotProcess(
      {file, QStringLiteral("-o"), png, QStringLiteral("--csv"), QStringLiteral("-"),
       QStringLiteral("--at"), QStringLiteral("100;0;1k")});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.err, QStringLiteral("kesto-plot: ") + file +
                         QStringLiteral(": 0 による浮動小数点数除算.\n") +
                         QStringLiteral("kesto-plot: 標準出力: 計算が途中で終わりました。"
                                        "データを 1 行まで書きました\n"));
  const QList<QStringList> rows = CsvRows(run.out);
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1][0], QStringLiteral("100"));
  EXPECT_FALSE(ReadPicture(png).isNull());
}

TEST_F(KestoPlotTest, HelpIsJapaneseAndNamesEveryOptionAndExitCode) {
  const PlotRunResult run = RunKestoPlotProcess({QStringLiteral("--help")});
  EXPECT_EQ(run.exitCode, 0);
  const QString help = QString::fromUtf8(run.out);
  EXPECT_TRUE(help.startsWith(QStringLiteral("使い方: kesto-plot")));
  for (const char* option :
       {"-o,",        "--csv",      "--at",       "--delay",  "--linear", "--mode",
        "total",      "cumulative", "individual", "--select", "--fmin",   "--fmax",
        "--lmin",     "--lmax",     "--dmin",     "--dmax",   "--help",   "--version",
        "終了コード", "  0  ",      "  1  ",      "  2  ",    "  3  ",    "  4  "})
    EXPECT_TRUE(help.contains(QString::fromUtf8(option))) << option;
  EXPECT_EQ(RunKestoPlotProcess({QStringLiteral("-h")}).out, run.out);
}

TEST_F(KestoPlotTest, InstallPutsTheProgramsTheMenuEntryAndTheExamplesInPlace) {
  const QString prefix = Output(QStringLiteral("prefix"));
  QProcess install;
  install.start(QStringLiteral(KESTO_CMAKE_COMMAND),
                {QStringLiteral("--install"), QStringLiteral(KESTO_BINARY_DIR),
                 QStringLiteral("--prefix"), prefix});
  ASSERT_TRUE(install.waitForFinished(120000));
  ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

  for (const char* path : {"bin/kesto", "bin/kesto-plot", "share/applications/kesto.desktop",
                           "share/icons/hicolor/scalable/apps/kesto.svg",
                           "share/kesto/examples/butterworth-lpf5-1kHz.csv"})
    EXPECT_TRUE(QFile::exists(prefix + u'/' + QString::fromLatin1(path))) << path;

  QFile entry(prefix + QStringLiteral("/share/applications/kesto.desktop"));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = entry.readAll().split('\n');
  EXPECT_EQ(lines.front(), "[Desktop Entry]");
  for (const char* line : {"Type=Application", "Name=Kesto", "Exec=kesto", "Icon=kesto"})
    EXPECT_TRUE(lines.contains(line)) << line;

  QFile icon(prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/kesto.svg"));
  ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
  EXPECT_TRUE(icon.readAll().contains("<svg"));

  // The installed tool draws an installed example.
  const QString png = Output(QStringLiteral("installed.png"));
  QProcess plot;
  plot.start(prefix + QStringLiteral("/bin/kesto-plot"),
             {prefix + QStringLiteral("/share/kesto/examples/notch-50Hz-q10.csv"),
              QStringLiteral("-o"), png});
  ASSERT_TRUE(plot.waitForFinished(60000));
  EXPECT_EQ(plot.exitCode(), 0);
  EXPECT_EQ(ReadPicture(png).size(), QSize(766, 434));
}
