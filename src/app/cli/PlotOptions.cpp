#include "app/cli/PlotOptions.h"

#include "common/Common.h"
#include "document/TransferTable.h"

#include <cmath>

namespace {

QString Quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// The axis box an option types into, or nullptr for an option that is no
// limit.
std::optional<QString>* LimitBox(PlotOptions& options, const QString& name) {
  if (name == u"--fmin") return &options.editSf;
  if (name == u"--fmax") return &options.editEf;
  if (name == u"--lmin") return &options.editMinL;
  if (name == u"--lmax") return &options.editMaxL;
  if (name == u"--dmin") return &options.editMinD;
  if (name == u"--dmax") return &options.editMaxD;
  return nullptr;
}

bool TakesValue(const QString& name) {
  return name == u"-o" || name == u"--output" || name == u"--csv" || name == u"--at" ||
         name == u"--mode" || name == u"--select" || name == u"--fmin" || name == u"--fmax" ||
         name == u"--lmin" || name == u"--lmax" || name == u"--dmin" || name == u"--dmax";
}

bool IsFlag(const QString& name) {
  return name == u"--delay" || name == u"--linear" || name == u"-h" || name == u"--help" ||
         name == u"--version";
}

// Applies one option with its value; returns the error text, empty when the
// value is usable.
QString TakeValue(PlotOptions& options, const QString& name, const QString& value) {
  if (name == u"-o" || name == u"--output") {
    if (value.isEmpty()) return name + QStringLiteral(": 出力ファイル名が空です");
    options.pngPath = value;
  } else if (name == u"--csv") {
    if (value.isEmpty()) return name + QStringLiteral(": 出力ファイル名が空です");
    options.csvPath = value;
  } else if (name == u"--at") {
    QString error;
    const QList<double> frequencies = ParseFrequencyList(value, error);
    if (!error.isEmpty()) return error;
    options.at += frequencies;
  } else if (name == u"--mode") {
    if (value == u"total")
      options.displayMode = ModeTotal;
    else if (value == u"cumulative")
      options.displayMode = ModeCumulative;
    else if (value == u"individual")
      options.displayMode = ModeIndividual;
    else
      return name + QStringLiteral(": total, cumulative, individual のどれかを指定してください: ") +
             Quoted(value);
  } else if (name == u"--select") {
    bool ok = false;
    const int k = value.toInt(&ok, 10);
    if (!ok || k < 0 || k > MaxStages)
      return name + QStringLiteral(": 0 から 30 までの整数を指定してください: ") + Quoted(value);
    options.selectedCurve = k;
  } else if (std::optional<QString>* box = LimitBox(options, name)) {
    // Refused here, before anything is drawn: the window would read this
    // text as NaN and fail somewhere in the redraw.
    if (std::isnan(ParseEng(value)))
      return name + QStringLiteral(": 数値として読めません: ") + Quoted(value);
    *box = value;
  }
  return {};
}

void TakeFlag(PlotOptions& options, const QString& name) {
  if (name == u"--delay")
    options.delayView = true;
  else if (name == u"--linear")
    options.linear = true;
  else if (name == u"-h" || name == u"--help")
    options.help = true;
  else if (name == u"--version")
    options.version = true;
}

}  // namespace

QList<double> ParseFrequencyList(const QString& text, QString& error) {
  QList<double> frequencies;
  // A comma would be dropped as digit grouping, so that "1k,2k" silently
  // read as 1 kHz alone; a list with commas is refused instead.
  if (text.contains(QLatin1Char(','))) {
    error =
        QStringLiteral("--at: 周波数の区切りは \";\" です (\",\" は使えません): ") + Quoted(text);
    return {};
  }
  for (const QString& item : text.split(QLatin1Char(';'))) {
    const double f = ParseEng(item);
    if (std::isnan(f)) {
      error = QStringLiteral("--at: 周波数として読めません: ") + Quoted(item);
      return {};
    }
    frequencies.append(f);
  }
  return frequencies;
}

ParsedPlotOptions ParsePlotOptions(const QStringList& arguments) {
  ParsedPlotOptions result;
  PlotOptions& options = result.options;
  QString error;
  const auto fail = [&error](const QString& text) {
    if (error.isEmpty()) error = text;
  };
  bool optionsEnded = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const bool isOption =
        !optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
    if (!isOption) {
      if (options.file.isEmpty())
        options.file = argument;
      else
        fail(QStringLiteral("伝達関数ファイルは一つだけ指定してください: ") + Quoted(argument));
      continue;
    }
    if (argument == u"--") {
      optionsEnded = true;
      continue;
    }
    QString name = argument;
    std::optional<QString> attached;
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    if (argument.startsWith(u"--") && equals > 2) {
      name = argument.left(equals);
      attached = argument.mid(equals + 1);
    }
    if (IsFlag(name)) {
      if (attached)
        fail(name + QStringLiteral(": 値は指定できません"));
      else
        TakeFlag(options, name);
    } else if (TakesValue(name)) {
      QString value;
      if (attached) {
        value = *attached;
      } else if (i + 1 < arguments.size()) {
        // The next argument is the value even when it begins with "-": a
        // lower limit of -60 must be possible.
        value = arguments[++i];
      } else {
        fail(name + QStringLiteral(": 値がありません"));
        continue;
      }
      fail(TakeValue(options, name, value));
    } else {
      fail(QStringLiteral("不明なオプションです: ") + argument);
    }
  }
  if (options.help || options.version) return result;
  if (error.isEmpty() && options.file.isEmpty())
    error = QStringLiteral("伝達関数ファイルが指定されていません");
  if (error.isEmpty() && options.pngPath == u"-" && options.csvPath == u"-")
    error = QStringLiteral("-o と --csv の両方に標準出力 (-) は指定できません");
  result.error = error;
  return result;
}

void ApplyPlotOptions(const PlotOptions& options, GraphControls& controls) {
  if (options.editSf) controls.editSf = *options.editSf;
  if (options.editEf) controls.editEf = *options.editEf;
  if (options.editMinL) controls.editMinL = *options.editMinL;
  if (options.editMaxL) controls.editMaxL = *options.editMaxL;
  if (options.editMinD) controls.editMinD = *options.editMinD;
  if (options.editMaxD) controls.editMaxD = *options.editMaxD;
  if (options.delayView) controls.checkBoxLevel = false;
  if (options.linear) controls.checkBoxLog = false;
  if (options.displayMode) controls.displayMode = *options.displayMode;
}

QString PlotHelpText() {
  return QStringLiteral(
      "使い方: kesto-plot ファイル.csv [オプション]\n"
      "\n"
      "伝達関数ファイルを Kesto の主画面と同じ手順で読み込み、軸を自動で合わせ、\n"
      "主画面と同じ 766 x 434 のグラフを PNG に、応答を数値で CSV に書きます。\n"
      "表示と軸のオプションは、自動調整の後に主画面のボックスとスイッチへ入力した\n"
      "ものとして働きます。入力ファイルに書き込むことはありません。\n"
      "\n"
      "出力:\n"
      "  -o, --output 画像.png  グラフを PNG で書く (- で標準出力)\n"
      "      --csv データ.csv   応答を CSV で書く (- で標準出力)\n"
      "      --at 周波数        CSV の行の周波数 (Hz)。\";\" で区切るか --at を繰り返す。\n"
      "                         \",\" は使えません (ボックスの書き方では桁区切りのため)。\n"
      "                         省略すると、グラフの各列の周波数 (697 行)\n"
      "  出力を指定しないときは、読み込みと描画だけを行い、結果を終了コードで返します。\n"
      "  例: kesto-plot lpf.csv -o lpf.png --csv lpf-data.csv\n"
      "      kesto-plot lpf.csv --csv - --at \"100;1k;2.5k\" --at 10k\n"
      "\n"
      "表示 (省略時は主画面の起動時と同じ: 振幅表示、Log目盛、中間特性表示、総合特性を選択):\n"
      "      --delay            群遅延を表示する (振幅表示を外す)\n"
      "      --linear           周波数軸を線形目盛にする (Log目盛を外す)\n"
      "      --mode 表示        total (総合特性のみ)、cumulative (中間特性表示)、\n"
      "                         individual (個別特性表示)\n"
      "      --select K         K 段目の曲線を選んで太く描く (0 は総合特性)\n"
      "  例: kesto-plot lpf.csv -o lpf.png --delay --linear --mode individual --select 2\n"
      "\n"
      "軸 (主画面のボックスと同じ書き方: 20k、10m、4.7u、1,000):\n"
      "      --fmin 値  --fmax 値   周波数の下限と上限 (Hz)\n"
      "      --lmin 値  --lmax 値   振幅の下限と上限 (dB)\n"
      "      --dmin 値  --dmax 値   遅延の下限と上限 (s)\n"
      "  例: kesto-plot lpf.csv -o lpf.png --fmin 100 --fmax 20k --lmin -80 --lmax 10\n"
      "\n"
      "  値は \"--fmax 20k\" とも \"--fmax=20k\" とも書けます。\"--\" の後ろはファイル名です。\n"
      "\n"
      "CSV の列:\n"
      "  frequency_hz,total_db,total_delay_s と、段 K ごとにその段だけの\n"
      "  stageK_db,stageK_delay_s。数値は伝達関数ファイルと同じく有効数字 15 桁、\n"
      "  小数点は \".\"。行は LF で終わります。\n"
      "\n"
      "その他:\n"
      "  -h, --help             この説明を表示する\n"
      "      --version          版を表示する\n"
      "\n"
      "終了コード:\n"
      "  0  成功\n"
      "  1  入力の誤り: ファイルが見つからない、読めない、見出し行がない、段が 30 を超える\n"
      "     (段が多すぎるときは最初の 30 段で出力を書きます)\n"
      "  2  使い方の誤り: 不明なオプション、値がない、値が読めない、--select が段数を超える、\n"
      "     出力先が入力ファイルと同じ\n"
      "  3  浮動小数点数のエラー: 軸の自動調整で起きたときは何も書きません。描画中なら\n"
      "     途中までのグラフを、CSV の計算中ならその行の前までを書きます\n"
      "  4  出力ファイルを書けない\n"
      "  いくつも起きたときは大きい方の値を返します。\n");
}
