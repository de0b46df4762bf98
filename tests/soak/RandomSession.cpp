#include "RandomSession.h"

#include "app/FormMain.h"
#include "app/Windows.h"
#include "common/ErrorReport.h"
#include "common/ExportGraph.h"
#include "common/MessageDlg.h"
#include "document/TransferFile.h"
#include "editor/EditorCodes.h"
#include "editor/FormDataIn.h"
#include "editor/FormEdit.h"
#include "editor/LabeledEdit.h"
#include "editor/StringGrid.h"
#include "platform/AppInfo.h"
#include "platform/FileDialog.h"
#include "platform/FloatError.h"
#include "platform/ImageControl.h"
#include "platform/Window.h"
#include "plot/PlotState.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr int LogLength = 40;
// More boxes than this in one action means a loop of messages.
constexpr int BoxStormLimit = 20;
// A nested event loop still running after this long is a dialog nobody answers.
constexpr int WatchdogMs = 3000;

const QStringList MainButtons = {
    "ButtonLoad",       "ButtonSave",     "ButtonDraw",      "ButtonExit",  "BitBtnL1",
    "BitBtnL2",         "BitBtnL3",       "BitBtnL4",        "BitBtnF1",    "BitBtnF2",
    "BitBtnF3",         "BitBtnF4",       "CheckBoxLevel",   "CheckBoxLog", "CheckBoxRev",
    "RadioButtonTotal", "RadioButtonInt", "RadioButtonIndiv"};
const QStringList MainMenuItems = {"Load1", "Save1", "Edit1", "Exit1", "Print1", "Copy1"};
const QStringList MainEdits = {"EditMaxL", "EditMinL", "EditMaxD", "EditMinD", "EditEf", "EditSf"};
const QStringList EditorEdits = {"LabeledEditAp", "LabeledEditAs", "LabeledEditWs", "LabeledEditFo",
                                 "LabeledEditFb"};
const QStringList EditorCombos = {"ComboBoxFtype", "ComboBoxAt"};
const QStringList EditorButtons = {"ButtonOK", "ButtonCan", "ButtonUp", "ButtonDown"};
const QStringList DialogEdits = {"LabeledEditH", "LabeledEditFo", "LabeledEditQ", "LabeledEditFn"};
const QStringList DialogButtons = {"Button1", "ButtonOK", "ButtonDel", "ButtonCan"};

const QStringList SiLetters = {"k", "M", "G", "T", "m", "u", "n", "p"};
const QStringList FullWidthSiLetters = {"ｋ", "Ｍ", "Ｇ", "Ｔ", "ｍ", "ｕ", "ｎ", "ｐ"};
const QStringList FullWidthPieces = {"１", "２",   "３",     "０",   "９", "．", "，", "－", "＋",
                                     "　", "振幅", "周波数", "遅延", "ー", "ｅ", "Ｅ", "µ",  "μ"};
const QStringList SpecialNumbers = {"0",
                                    "-0",
                                    "1e308",
                                    "1e309",
                                    "-1e309",
                                    "1.7976931348623157e308",
                                    "4.9e-324",
                                    "1e-320",
                                    "nan",
                                    "NaN",
                                    "inf",
                                    "-INF",
                                    "1,000",
                                    "1 000",
                                    "0x10",
                                    ".5",
                                    "5.",
                                    "1e",
                                    "e5",
                                    "--1",
                                    "1..2",
                                    "1e+",
                                    "99999999999999999999",
                                    "0.000000000000000000001",
                                    "2147483648",
                                    "-2147483649",
                                    "1e15",
                                    "123456789012345678"};
const QStringList ItemTexts = {"LPF",         "lpf",         "BPF",         "Normalized LPF",
                               "W-W",         "Bessel",      "other",       "1st-Ord LPF",
                               "2nd-Ord TZF", "2ND-ORD BPF", "1st-ord apf", "2nd-Ord LPF ",
                               " HPF",        "Equalizer",   "T-T",         "2nd-Ord APF"};

QString Printable(const QString& text, int limit = 40) {
  QString shown;
  for (QChar c : text.left(limit)) {
    if (c == QLatin1Char('\r'))
      shown += QStringLiteral("\\r");
    else if (c == QLatin1Char('\t'))
      shown += QStringLiteral("\\t");
    else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
      shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    else
      shown += c;
  }
  if (text.size() > limit) shown += QStringLiteral("...(%1 chars)").arg(text.size());
  return shown;
}

bool SameCell(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  if (a == b) return true;
  if (std::isinf(a) || std::isinf(b)) return false;
  // The file keeps 15 significant digits.
  return std::fabs(a - b) <= 1e-14 * std::max(std::fabs(a), std::fabs(b));
}

template <class T = QWidget>
T* Find(QWidget* window, const QString& name) {
  return window != nullptr ? window->findChild<T*>(name) : nullptr;
}

bool Shown(const QWidget* widget) {
  return widget != nullptr && widget->isVisible() && widget->isEnabled();
}

// Qt's own warnings during the session, counted instead of printed: the
// offscreen platform warns at every raise() and keyboard grab.
QtMessageHandler previousHandler = nullptr;
std::map<QString, int>* collectedWarnings = nullptr;

void CollectMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg || collectedWarnings == nullptr) {
    previousHandler(type, context, message);
    return;
  }
  ++(*collectedWarnings)[message.left(160)];
}

// Open file descriptors and threads of the process, from /proc; -1 where
// there is no /proc.
int CountEntries(const QString& folder) {
  const QDir dir(folder);
  return dir.exists()
             ? static_cast<int>(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size())
             : -1;
}

bool IsElementDialogEdit(const QWidget* widget) {
  return FormDataIn != nullptr && widget != nullptr && widget->window() == FormDataIn &&
         qobject_cast<const TLabeledEdit*>(widget) != nullptr;
}

}  // namespace

RandomSession::RandomSession(std::uint64_t seed, int actions)
    : seed_(seed), actions_(actions), rng_(seed) {
  for (const QString& dir :
       {QStringLiteral(KESTO_EXAMPLES_DIR), QStringLiteral(KESTO_TEST_DATA_DIR "/transfer")}) {
    const QDir folder(dir);
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
      fixtures_ << folder.filePath(name);
  }
  // A folder whose name looks like a transfer file: saving onto it fails.
  QDir(folder_.path()).mkdir(QStringLiteral("folder.csv"));

  collectedWarnings = &warnings_;
  previousHandler = qInstallMessageHandler(CollectMessage);
  SetMessageBoxResponder([this](const MessageBoxRequest& request) { return AnswerBox(request); });
  SetFileDialogResponder([this](QFileDialog& dialog) { return AnswerFileDialog(dialog); });
  SetPrintDialogRunner([this](QPrinter& printer) { return AnswerPrintDialog(printer); });

  watchdog_ = new QTimer();
  watchdog_->setSingleShot(true);
  watchdog_->setInterval(WatchdogMs);
  QObject::connect(watchdog_, &QTimer::timeout, [this] { CloseStrayWindows(strayModals_); });

  ClearTransferTable();
  SavedTable.fill(0.0);
  SelectedRow = 0;
  CurrentFile.clear();
  ResetPlotState();
  windows_ = std::make_unique<ProgramWindows>();
  FormMain->show();
  Activate(FormMain);
  BuildActions();
  startFiles_ = OpenFileCount();
  startThreads_ = ThreadCount();
}

int RandomSession::WatchedFolderCount() {
  // Every "inotify wd:" line in the descriptors' info is one watched folder.
  int watches = 0;
  const QDir fds(QStringLiteral("/proc/self/fdinfo"));
  for (const QString& fd : fds.entryList(QDir::Files)) {
    QFile info(fds.filePath(fd));
    if (info.open(QIODevice::ReadOnly))
      watches += static_cast<int>(info.readAll().count("inotify wd:"));
  }
  return watches;
}

int RandomSession::OpenFileCount() { return CountEntries(QStringLiteral("/proc/self/fd")); }
int RandomSession::ThreadCount() { return CountEntries(QStringLiteral("/proc/self/task")); }

RandomSession::~RandomSession() {
  delete watchdog_;
  windows_.reset();
  SetMessageBoxResponder({});
  SetFileDialogResponder({});
  SetPrintDialogRunner({});
  SetAppCursor(CursorShape::Arrow);
  ClearTransferTable();
  SavedTable.fill(0.0);
  SelectedRow = 0;
  CurrentFile.clear();
  ResetPlotState();
  qInstallMessageHandler(previousHandler);
  collectedWarnings = nullptr;
}

// ---- Random numbers and texts

int RandomSession::Uniform(int lo, int hi) {
  return std::uniform_int_distribution<int>(lo, hi)(rng_);
}

double RandomSession::UniformReal(double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(rng_);
}

bool RandomSession::Chance(double p) { return UniformReal(0.0, 1.0) < p; }

QString RandomSession::RandomNumberText() {
  if (Chance(0.15)) return Pick(SpecialNumbers);
  QString text;
  const int sign = Uniform(0, 9);
  if (sign == 0) text += QLatin1Char('-');
  if (sign == 1) text += QLatin1Char('+');
  const int before = Uniform(0, 6);
  for (int i = 0; i < before; ++i) text += QChar('0' + Uniform(0, 9));
  if (Chance(0.5)) {
    text += QLatin1Char('.');
    const int after = Uniform(0, 6);
    for (int i = 0; i < after; ++i) text += QChar('0' + Uniform(0, 9));
  }
  if (text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("+"))
    text += QChar('1' + Uniform(0, 8));
  if (Chance(0.15)) {
    text += Chance(0.5) ? QLatin1Char('e') : QLatin1Char('E');
    if (Chance(0.5)) text += Chance(0.5) ? QLatin1Char('-') : QLatin1Char('+');
    text += QString::number(Uniform(0, 400));
  }
  if (Chance(0.5)) text += Chance(0.8) ? Pick(SiLetters) : Pick(FullWidthSiLetters);
  if (Chance(0.1)) {
    // The same number in full-width digits.
    QString wide;
    for (QChar c : text)
      wide += c.isDigit() ? QChar(0xFF10 + c.digitValue()) : c == '.' ? QChar(0xFF0E) : c;
    text = wide;
  }
  if (Chance(0.05)) text = QLatin1Char(' ') + text + QLatin1Char(' ');
  return text;
}

QString RandomSession::RandomText() {
  const int kind = Uniform(0, 99);
  if (kind < 40) return RandomNumberText();
  if (kind < 48) {
    QString text;
    for (int i = Uniform(1, 3); i > 0; --i)
      text += Chance(0.7) ? Pick(SiLetters) : Pick(FullWidthSiLetters);
    return text;
  }
  if (kind < 58) {
    QString text;
    for (int i = Uniform(1, 6); i > 0; --i) text += Pick(FullWidthPieces);
    return text;
  }
  if (kind < 72) {
    // Printable garbage, with the characters whose key codes look like the
    // arrow and delete keys well represented.
    static const QString punctuation = QStringLiteral("&(%'.,;:!\"#$)*+-/<=>?@[\\]^_`{|}~ ");
    QString text;
    for (int i = Uniform(1, 12); i > 0; --i)
      text += Chance(0.5) ? punctuation[Uniform(0, static_cast<int>(punctuation.size()) - 1)]
                          : QChar(Uniform(0x21, 0x7e));
    return text;
  }
  if (kind < 78) {
    static const QString controls = QStringLiteral("\r\t\b\x1b\x01\x7f");
    QString text;
    for (int i = Uniform(1, 5); i > 0; --i) {
      text += Chance(0.5) ? controls[Uniform(0, static_cast<int>(controls.size()) - 1)]
                          : QChar('0' + Uniform(0, 9));
    }
    return text;
  }
  if (kind < 88) return RandomNumberText() + QLatin1Char('\r') + RandomNumberText();
  if (kind < 96) return Pick(ItemTexts);
  return QString();
}

QString RandomSession::SensibleText(const QString& box) {
  static const QStringList frequencies = {"1",  "10", "20",  "50",  "100", "200",  "500", "1k",
                                          "2k", "5k", "10k", "20k", "50k", "100k", "1M"};
  if (box == QLatin1String("EditMaxL")) return QString::number(Uniform(-20, 60));
  if (box == QLatin1String("EditMinL")) return QString::number(Uniform(-140, -10));
  if (box == QLatin1String("EditMaxD")) return QString::number(Uniform(1, 100)) + "m";
  if (box == QLatin1String("EditMinD"))
    return Chance(0.7) ? QStringLiteral("0") : QStringLiteral("-1m");
  if (box == QLatin1String("EditEf")) return frequencies[Uniform(7, 14)];
  if (box == QLatin1String("EditSf")) return frequencies[Uniform(0, 7)];
  if (box == QLatin1String("LabeledEditH"))
    return Chance(0.8) ? QStringLiteral("1") : RandomNumberText();
  if (box == QLatin1String("LabeledEditFo") || box == QLatin1String("LabeledEditFn"))
    return frequencies[Uniform(3, 12)];
  if (box == QLatin1String("LabeledEditQ"))
    return QString::number(UniformReal(0.3, 12.0), 'f', Uniform(1, 4));
  return RandomNumberText();
}

QString RandomSession::LongText() {
  const int length = Uniform(200, 40000);
  switch (Uniform(0, 4)) {
    case 0:
      return QString(length, QLatin1Char('9'));
    case 1:
      return QStringLiteral("0.") + QString(length, QLatin1Char('0')) + QLatin1Char('1');
    case 2:
      return QString(length, QChar(0xFF11));
    case 3: {
      QString text;
      while (text.size() < length) text += RandomNumberText();
      return text;
    }
    default: {
      QString text;
      text.reserve(length);
      for (int i = 0; i < length; ++i) text += QChar(Uniform(0x20, 0x7e));
      return text;
    }
  }
}

// ---- Input

void RandomSession::Activate(QWidget* window) {
  if (window == nullptr || !window->isVisible()) return;
  if (QApplication::activeWindow() == window) return;
  window->raise();
  window->activateWindow();
  QCoreApplication::processEvents();
}

void RandomSession::ClickWidget(QWidget* widget) {
  if (!Shown(widget)) return;
  Activate(widget->window());
  const bool commits = (FormEdit != nullptr && widget == FormEdit->ButtonOK) ||
                       (FormDataIn != nullptr && widget == FormDataIn->Button1);
  QTest::mouseClick(widget, Qt::LeftButton);
  if (commits) {
    ++commitsChecked_;
    QString why;
    if (!CheckCommittedTable(why)) actionProblems_ << QStringLiteral("after the commit: ") + why;
  }
}

void RandomSession::FocusByClick(QWidget* widget) {
  if (!Shown(widget)) return;
  Activate(widget->window());
  QWidget* target = widget;
  if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->lineEdit())
    target = combo->lineEdit();
  const QRect r = target->rect();
  const QPoint at(Uniform(r.left() + 1, std::max(r.left() + 1, r.right() - 1)), r.center().y());
  QTest::mouseClick(target, Qt::LeftButton, {}, at);
}

void RandomSession::SendKey(QWidget* fallback, int key, const QString& text,
                            Qt::KeyboardModifiers modifiers) {
  QWidget* target = nullptr;
  if (QWidget* popup = QApplication::activePopupWidget())
    target = popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
  if (target == nullptr) target = QApplication::focusWidget();
  if (target == nullptr) target = fallback;
  if (target == nullptr || !target->isVisible()) return;
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  const bool space = key == Qt::Key_Space;
  const bool commits = (enter && IsElementDialogEdit(target)) ||
                       (space && ((FormEdit != nullptr && target == FormEdit->ButtonOK) ||
                                  (FormDataIn != nullptr && target == FormDataIn->Button1)));
  QTest::sendKeyEvent(QTest::Click, target, static_cast<Qt::Key>(key), text, modifiers);
  if (commits) {
    ++commitsChecked_;
    QString why;
    if (!CheckCommittedTable(why)) actionProblems_ << QStringLiteral("after the commit: ") + why;
  }
}

void RandomSession::TypeText(QWidget* widget, const QString& text, bool replace) {
  if (replace || Chance(0.85)) FocusByClick(widget);
  if (replace || Chance(0.3))
    SendKey(widget, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
  bool wide = false;
  bool plain = true;
  for (QChar c : text) {
    wide = wide || c.unicode() > 0x7f;
    plain = plain && c.unicode() >= 0x20 && c.unicode() != 0x7f;
  }
  // Printable text typed into a value box that has the focus goes into the
  // box as typed, in place of the selection: no character may be taken for a
  // key that moves the focus or does anything else.
  auto* edit = qobject_cast<QLineEdit*>(widget);
  bool watched = edit != nullptr && plain && !text.isEmpty() && QApplication::focusWidget() == edit;
  QString expected;
  if (watched) {
    const QString before = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int length = static_cast<int>(edit->selectedText().size());
    expected = before.left(start) + text + before.mid(start + length);
    // A full box takes only what fits; that is the box's business.
    watched = expected.size() <= edit->maxLength();
  }
  auto checkTyped = [&] {
    if (watched && edit->text() != expected) {
      QWidget* focus = QApplication::focusWidget();
      actionProblems_ << QStringLiteral(
                             "typed \"%1\" into %2, which shows \"%3\" instead of \"%4\""
                             " (the focus is on %5)")
                             .arg(Printable(text), edit->objectName(), Printable(edit->text()),
                                  Printable(expected),
                                  focus != nullptr ? focus->objectName() : QStringLiteral("none"));
    }
  };
  QWidget* focus = QApplication::focusWidget();
  if (wide && focus != nullptr && focus->testAttribute(Qt::WA_InputMethodEnabled) && Chance(0.4)) {
    // Through the input method, as Japanese is typed: a preedit, then the
    // commit of the whole text.
    QInputMethodEvent preedit(text, {});
    QCoreApplication::sendEvent(focus, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(focus, &commit);
    checkTyped();
    return;
  }
  for (QChar c : text) {
    const ushort u = c.unicode();
    if (u == '\r')
      SendKey(widget, Qt::Key_Return, QStringLiteral("\r"));
    else if (u == '\t')
      SendKey(widget, Qt::Key_Tab, QStringLiteral("\t"));
    else if (u == '\b')
      SendKey(widget, Qt::Key_Backspace, QStringLiteral("\b"));
    else if (u == 0x1b)
      SendKey(widget, Qt::Key_Escape, QString(c));
    else if (u == 0x7f)
      SendKey(widget, Qt::Key_Delete, QString(c));
    else if (u < 0x20)
      SendKey(widget, Qt::Key_A + u - 1, QString(c), Qt::ControlModifier);
    else
      SendKey(widget, c.toUpper().unicode(), QString(c));
  }
  checkTyped();
}

void RandomSession::TypeNoted(QWidget* widget, const QString& text, bool replace) {
  detail_ += QStringLiteral(" \"%1\"").arg(Printable(text));
  TypeText(widget, text, replace);
}

void RandomSession::PasteNoted(QWidget* widget, const QString& text) {
  detail_ += QStringLiteral(" \"%1\"").arg(Printable(text));
  PasteText(widget, text);
}

void RandomSession::PasteText(QWidget* widget, const QString& text) {
  FocusByClick(widget);
  QGuiApplication::clipboard()->setText(text);
  if (Chance(0.6)) SendKey(widget, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
  SendKey(widget, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
}

void RandomSession::PressRandomKey(QWidget* widget) {
  struct Key {
    int key;
    const char* text;
    Qt::KeyboardModifiers modifiers;
  };
  static const QList<Key> keys = {
      {Qt::Key_Return, "\r", {}},
      {Qt::Key_Enter, "\r", Qt::KeypadModifier},
      {Qt::Key_Up, "", {}},
      {Qt::Key_Down, "", {}},
      {Qt::Key_Left, "", {}},
      {Qt::Key_Right, "", {}},
      {Qt::Key_Tab, "\t", {}},
      {Qt::Key_Backtab, "", Qt::ShiftModifier},
      {Qt::Key_Escape, "\x1b", {}},
      {Qt::Key_Backspace, "\b", {}},
      {Qt::Key_Delete, "\x7f", {}},
      {Qt::Key_Home, "", {}},
      {Qt::Key_End, "", {}},
      {Qt::Key_PageUp, "", {}},
      {Qt::Key_PageDown, "", {}},
      {Qt::Key_Space, " ", {}},
      {Qt::Key_Ampersand, "&", {}},
      {Qt::Key_ParenLeft, "(", {}},
      {Qt::Key_Percent, "%", {}},
      {Qt::Key_Apostrophe, "'", {}},
      {Qt::Key_Period, ".", {}},
      {Qt::Key_Insert, "", {}},
      {Qt::Key_F2, "", {}},
      {Qt::Key_A, "\x01", Qt::ControlModifier},
      {Qt::Key_Z, "\x1a", Qt::ControlModifier},
      {Qt::Key_C, "\x03", Qt::ControlModifier},
      {Qt::Key_X, "\x18", Qt::ControlModifier},
      {Qt::Key_Up, "", Qt::ShiftModifier},
  };
  if (widget != nullptr && Chance(0.7)) FocusByClick(widget);
  const int repeat = Uniform(1, 3);
  QStringList names;
  for (int i = 0; i < repeat; ++i) {
    const Key& k = Pick(keys);
    names << QKeySequence(k.key | k.modifiers).toString();
    SendKey(widget, k.key, QString::fromLatin1(k.text), k.modifiers);
  }
  detail_ += QStringLiteral(" keys ") + names.join(QLatin1Char(' '));
}

void RandomSession::ClickGridCell(int col, int row, bool twice) {
  TStringGrid* grid = FormEdit->StringGrid1;
  Activate(FormEdit);
  const QRect rect = grid->CellRect(col, row);
  if (!rect.isValid()) return;
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
  if (twice) QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
}

void RandomSession::ChooseFromMenuByMouse(int menuIndex) {
  Activate(FormMain);
  QMenuBar* bar = FormMain->menuBar();
  const QList<QAction*> menus = bar->actions();
  QAction* title = menus[menuIndex % menus.size()];
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
  QMenu* menu = title->menu();
  if (menu == nullptr || !menu->isVisible()) {
    detail_ += QStringLiteral(" (menu did not open)");
    return;
  }
  const QList<QAction*> items = menu->actions();
  if (Chance(0.15)) {
    // Changes its mind: a click beside the menu closes it.
    SendKey(menu, Qt::Key_Escape, QStringLiteral("\x1b"));
    detail_ += QStringLiteral(" escape");
    return;
  }
  QAction* item = Pick(items);
  detail_ += QStringLiteral(" item ") + item->objectName();
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

void RandomSession::ChooseFromMenuByKeys() {
  Activate(FormMain);
  static const QList<QPair<int, QString>> menus = {{Qt::Key_F, "File1"}, {Qt::Key_P, "PrintP1"}};
  const auto& menu = Pick(menus);
  SendKey(FormMain, menu.first, QString(), Qt::AltModifier);
  QWidget* popup = QApplication::activePopupWidget();
  if (popup == nullptr) {
    detail_ += QStringLiteral(" alt ") + menu.second + QStringLiteral(" (no menu)");
    return;
  }
  static const QList<QPair<int, QString>> letters = {
      {Qt::Key_R, "r"}, {Qt::Key_W, "w"}, {Qt::Key_E, "e"},         {Qt::Key_X, "x"},
      {Qt::Key_P, "p"}, {Qt::Key_C, "c"}, {Qt::Key_Escape, "\x1b"}, {Qt::Key_Down, ""}};
  const auto& letter = Pick(letters);
  detail_ += QStringLiteral(" alt ") + menu.second + QStringLiteral(" key ") +
             QKeySequence(letter.first).toString();
  SendKey(popup, letter.first, letter.second);
  if (QApplication::activePopupWidget() != nullptr && Chance(0.5))
    SendKey(popup, Qt::Key_Return, QStringLiteral("\r"));
}

void RandomSession::MoveMouseOverGraph() {
  ImageControl* graph = FormMain->ImageGraph;
  Activate(FormMain);
  const int n = std::clamp(StageCount(), 0, MaxStages);
  const int moves = Uniform(1, 25);
  QPoint at(Uniform(0, graph->width() - 1), Uniform(0, graph->height() - 1));
  const int mode = Uniform(0, 3);
  for (int i = 0; i < moves; ++i) {
    if (mode == 0) {
      // Over the legend of the curves at the right edge.
      at = QPoint(Uniform(745, graph->width() - 1), Uniform(10, 10 * n + 30));
    } else if (mode == 1) {
      at += QPoint(Uniform(-15, 15), Uniform(-15, 15));
    } else {
      at = QPoint(Uniform(-20, graph->width() + 20), Uniform(-20, graph->height() + 20));
    }
    QTest::mouseMove(graph, at);
  }
  detail_ += QStringLiteral(" %1 moves to (%2,%3)").arg(moves).arg(at.x()).arg(at.y());
  if (Chance(0.4) && graph->rect().contains(at)) {
    QTest::mouseClick(graph, Qt::LeftButton, {}, at);
    detail_ += QStringLiteral(" click");
  }
  if (Chance(0.2)) {
    // Off the graph onto the window's buttons.
    QTest::mouseMove(FormMain->ButtonDraw);
    detail_ += QStringLiteral(" leave");
  }
}

void RandomSession::PickFromComboPopup(QWidget* widget) {
  auto* combo = qobject_cast<QComboBox*>(widget);
  if (!Shown(combo)) return;
  Activate(combo->window());
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  if (!view->isVisible()) {
    detail_ += QStringLiteral(" (popup did not open)");
    return;
  }
  const int choice = Uniform(0, 3);
  if (choice == 0) {
    SendKey(view, Qt::Key_Escape, QStringLiteral("\x1b"));
    detail_ += QStringLiteral(" escape");
    return;
  }
  const int row = Uniform(0, combo->count() - 1);
  if (choice == 1) {
    SendKey(view, Qt::Key_Down, QString());
    SendKey(view, Qt::Key_Return, QStringLiteral("\r"));
    detail_ += QStringLiteral(" down+return");
    return;
  }
  const QRect rect = view->visualRect(view->model()->index(row, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
  detail_ += QStringLiteral(" item ") + combo->itemText(row);
}

void RandomSession::DropFiles() {
  QStringList paths;
  for (int i = Uniform(1, 3); i > 0; --i) {
    QString path = RandomLoadPath();
    if (path.isEmpty()) path = folder_.filePath(QStringLiteral("picture.png"));
    paths << path;
  }
  detail_ += QStringLiteral(" ") + paths.join(QLatin1Char(' '));
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
  data.setUrls(urls);
  const QPoint at(Uniform(0, FormMain->width() - 1), Uniform(0, FormMain->height() - 1));
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(FormMain, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(FormMain, &drop);
}

void RandomSession::Relaunch(bool recreate) {
  if (recreate) {
    // A new run of the program: fresh windows over a fresh table; the options
    // file written at the exit is read again.
    windows_.reset();
    ClearTransferTable();
    SavedTable.fill(0.0);
    SelectedRow = 0;
    CurrentFile.clear();
    ResetPlotState();
    windows_ = std::make_unique<ProgramWindows>();
  }
  FormMain->show();
  Activate(FormMain);
}

// ---- Responders

int RandomSession::AnswerBox(const MessageBoxRequest& request) {
  ++boxCount_;
  ++boxesThisAction_;
  ++boxTexts_[request.text.left(40)];
  int answer = AnswerCancel;
  if (!request.buttonAnswers.isEmpty() && !Chance(0.1)) answer = Pick(request.buttonAnswers);
  detail_ += QStringLiteral(" [box \"%1\" -> %2]").arg(Printable(request.text, 30)).arg(answer);
  if (request.caption == ApplicationTitle() && request.icon == BoxIcon::Stop) {
    // The general error report: only the arithmetic faults are expected.
    static const QStringList expected = {
        ErrorReportText(QString::fromUtf8(FloatError(FloatErrorKind::InvalidOperation).what())),
        ErrorReportText(QString::fromUtf8(FloatError(FloatErrorKind::DivisionByZero).what())),
        ErrorReportText(QString::fromUtf8(FloatError(FloatErrorKind::Overflow).what()))};
    if (!expected.contains(request.text)) unexpectedReports_ << request.text;
    if (pendingSave_) saveRefused_ = true;
  }
  if (request.text == OverwriteQuestion && answer != AnswerYes) saveRefused_ = true;
  if (request.text == WriteErrorMessage) saveRefused_ = true;
  return answer;
}

QString RandomSession::RandomLoadPath() {
  const int kind = Uniform(0, 99);
  if (kind < 55) return Pick(fixtures_);
  if (kind < 72 && !saved_.empty()) {
    auto it = saved_.begin();
    std::advance(it, Uniform(0, static_cast<int>(saved_.size()) - 1));
    return it->first;
  }
  if (kind < 78) return folder_.filePath(QStringLiteral("missing.csv"));
  if (kind < 82) return folder_.path();
  if (kind < 92) {
    // A broken file written on the spot: random bytes, or lines of random
    // fields.
    const QString path = folder_.filePath(QStringLiteral("broken-%1.csv").arg(Uniform(0, 9)));
    QByteArray bytes;
    if (Chance(0.5)) {
      for (int i = Uniform(0, 3000); i > 0; --i) bytes += static_cast<char>(Uniform(0, 255));
    } else {
      bytes = "title\r\ncolumns\r\n";
      for (int line = Uniform(0, 40); line > 0; --line) {
        QStringList fields;
        for (int f = Uniform(0, 7); f > 0; --f) fields << RandomNumberText();
        bytes += fields.join(QLatin1Char(',')).toUtf8() + (Chance(0.8) ? "\r\n" : "\n");
      }
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
    return path;
  }
  return QString();
}

QString RandomSession::RandomSavePath() {
  static const QStringList names = {"filter",
                                    "filter.csv",
                                    "FILTER.CSV",
                                    "two words.csv",
                                    "日本語の伝達関数",
                                    "noext",
                                    "dotted.name.txt",
                                    "trailing.",
                                    "missing-folder/x.csv",
                                    "folder.csv",
                                    QString(300, QLatin1Char('n')) + ".csv"};
  const int kind = Uniform(0, 99);
  if (kind < 12) return QString();
  return folder_.filePath(Pick(names));
}

std::optional<QString> RandomSession::AnswerFileDialog(QFileDialog& dialog) {
  const bool save = dialog.acceptMode() == QFileDialog::AcceptSave;
  const QString path = save ? RandomSavePath() : RandomLoadPath();
  detail_ += QStringLiteral(" [%1 dialog -> %2]")
                 .arg(save ? QStringLiteral("save") : QStringLiteral("open"),
                      path.isEmpty() ? QStringLiteral("cancel") : QFileInfo(path).fileName());
  if (path.isEmpty()) return std::nullopt;
  if (save) pendingSave_ = SavedFile{CompleteCsvExtension(path), TransferTable, current_};
  return path;
}

bool RandomSession::AnswerPrintDialog(QPrinter& printer) {
  if (Chance(0.4)) {
    detail_ += QStringLiteral(" [print dialog -> cancel]");
    return false;
  }
  pendingPdf_ = folder_.filePath(QStringLiteral("print-%1.pdf").arg(printCount_++));
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pendingPdf_);
  detail_ += QStringLiteral(" [print dialog -> pdf]");
  return true;
}

// ---- Actions

void RandomSession::Add(const QString& name, double weight, std::function<bool()> available,
                        std::function<void()> run) {
  actionList_.push_back({name, weight, std::move(available), std::move(run)});
}

void RandomSession::BuildActions() {
  AddMainActions();
  AddEditorActions();
  AddElementDialogActions();
  Add(
      "program.relaunch", 1.0, [] { return !FormMain->isVisible(); },
      [this] {
        const bool recreate = Chance(0.3);
        detail_ += recreate ? QStringLiteral(" new windows") : QStringLiteral(" same windows");
        Relaunch(recreate);
      });
}

void RandomSession::AddMainActions() {
  auto mainShown = [] { return FormMain->isVisible(); };
  for (const QString& name : MainButtons) {
    const double weight = name == QLatin1String("ButtonExit")        ? 0.15
                          : name.startsWith(QLatin1String("Button")) ? 2.0
                                                                     : 0.8;
    Add(
        "main.click." + name, weight, [name] { return Shown(Find(FormMain, name)); },
        [this, name] { ClickWidget(Find(FormMain, name)); });
  }
  Add("main.click.LabelDelay", 0.4, mainShown,
      [this] { ClickWidget(Find(FormMain, QStringLiteral("LabelDelay"))); });
  for (const QString& name : MainMenuItems) {
    const double weight = name == QLatin1String("Exit1") ? 0.1 : 1.2;
    Add("main.menu." + name, weight, mainShown, [this, name] {
      Activate(FormMain);
      if (QAction* action = FormMain->findChild<QAction*>(name)) action->trigger();
      if (name == QLatin1String("Edit1") && !FormEdit->isVisible())
        actionProblems_ << QStringLiteral("the editor did not open");
    });
  }
  Add("main.menubar.mouse", 1.5, mainShown, [this] { ChooseFromMenuByMouse(Uniform(0, 1)); });
  Add("main.menubar.keys", 0.8, mainShown, [this] { ChooseFromMenuByKeys(); });
  for (const QString& name : MainEdits) {
    auto shown = [name] { return Shown(Find(FormMain, name)); };
    Add("main.type." + name, 1.2, shown, [this, name] {
      const QString text = RandomText();
      TypeNoted(Find(FormMain, name), text);
    });
    Add("main.retype." + name, 1.2, shown, [this, name] {
      // What a user does after a message: a sensible value over the old one,
      // and Enter.
      const QString text = SensibleText(name) + (Chance(0.5) ? QStringLiteral("\r") : QString());
      TypeNoted(Find(FormMain, name), text, true);
    });
    Add("main.paste." + name, 0.15, shown, [this, name] {
      const QString text = Chance(0.3) ? LongText() : RandomText();
      PasteNoted(Find(FormMain, name), text);
    });
    Add("main.key." + name, 1.0, shown, [this, name] { PressRandomKey(Find(FormMain, name)); });
  }
  Add("main.graph.mouse", 5.0, mainShown, [this] { MoveMouseOverGraph(); });
  Add("main.drop", 0.8, mainShown, [this] { DropFiles(); });
  Add("main.activate", 0.3, mainShown, [this] { Activate(FormMain); });
}

void RandomSession::AddEditorActions() {
  auto editShown = [] { return FormEdit != nullptr && FormEdit->isVisible(); };
  for (const QString& name : EditorButtons) {
    const double weight = name == QLatin1String("ButtonOK")    ? 1.5
                          : name == QLatin1String("ButtonCan") ? 0.8
                                                               : 2.5;
    Add(
        "edit.click." + name, weight, [name] { return Shown(Find(FormEdit, name)); },
        [this, name] { ClickWidget(Find(FormEdit, name)); });
  }
  for (const QString& name : EditorCombos) {
    auto shown = [name] { return Shown(Find(FormEdit, name)); };
    Add("edit.popup." + name, 1.5, shown,
        [this, name] { PickFromComboPopup(Find(FormEdit, name)); });
    Add("edit.type." + name, 0.8, shown, [this, name] {
      const QString text = Chance(0.5) ? Pick(ItemTexts) : RandomText();
      TypeNoted(Find(FormEdit, name), text);
    });
    Add("edit.key." + name, 0.8, shown, [this, name] { PressRandomKey(Find(FormEdit, name)); });
  }
  for (const QString& name : EditorEdits) {
    auto shown = [name] { return Shown(Find(FormEdit, name)); };
    Add("edit.type." + name, 1.0, shown, [this, name] {
      const QString text = RandomText();
      TypeNoted(Find(FormEdit, name), text);
    });
    Add("edit.paste." + name, 0.1, shown, [this, name] {
      const QString text = Chance(0.3) ? LongText() : RandomText();
      PasteNoted(Find(FormEdit, name), text);
    });
    Add("edit.key." + name, 0.8, shown, [this, name] { PressRandomKey(Find(FormEdit, name)); });
  }
  Add("edit.grid.click", 3.0, editShown, [this] {
    const int col = Uniform(1, 5), row = Uniform(1, 30);
    detail_ += QStringLiteral(" (%1,%2)").arg(col).arg(row);
    ClickGridCell(col, row, false);
  });
  Add("edit.grid.doubleclick", 3.0, editShown, [this] {
    // Mostly on the filled rows and the one below them, where the stages are.
    const int n = std::clamp(StageCount(), 0, MaxStages);
    const int row = Chance(0.8) ? Uniform(1, std::min(n + 1, 30)) : Uniform(1, 30);
    const int col = Uniform(1, 5);
    detail_ += QStringLiteral(" (%1,%2)").arg(col).arg(row);
    ClickGridCell(col, row, true);
    if (!FormDataIn->isVisible())
      actionProblems_ << QStringLiteral("the element dialog did not open");
  });
  Add("edit.grid.fixedcell", 0.4, editShown, [this] {
    TStringGrid* grid = FormEdit->StringGrid1;
    Activate(FormEdit);
    QHeaderView* header = Chance(0.5) ? grid->horizontalHeader() : grid->verticalHeader();
    const int section = Uniform(0, header->count() - 1);
    const int middle = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    const QPoint at = header->orientation() == Qt::Horizontal ? QPoint(middle, header->height() / 2)
                                                              : QPoint(header->width() / 2, middle);
    detail_ += QStringLiteral(" %1 %2")
                   .arg(header->orientation() == Qt::Horizontal ? "title" : "number")
                   .arg(section + 1);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
  });
  Add("edit.grid.key", 1.5, editShown, [this] {
    if (Chance(0.5)) ClickGridCell(Uniform(1, 5), Uniform(1, 30), false);
    if (Chance(0.3)) {
      const QString text = RandomText();
      TypeNoted(nullptr, text);
    } else {
      PressRandomKey(nullptr);
    }
  });
  Add("edit.close", 0.3, editShown, [] { FormEdit->close(); });
  Add("edit.activate", 0.3, editShown, [this] { Activate(FormEdit); });
}

void RandomSession::AddElementDialogActions() {
  auto dialogShown = [] { return FormDataIn != nullptr && FormDataIn->isVisible(); };
  for (const QString& name : DialogButtons) {
    const double weight = name == QLatin1String("ButtonDel") ? 0.8 : 1.5;
    Add(
        "data.click." + name, weight, [name] { return Shown(Find(FormDataIn, name)); },
        [this, name] { ClickWidget(Find(FormDataIn, name)); });
  }
  auto comboShown = [] { return Shown(Find(FormDataIn, QStringLiteral("ComboBoxType"))); };
  Add("data.popup.ComboBoxType", 2.0, comboShown,
      [this] { PickFromComboPopup(Find(FormDataIn, QStringLiteral("ComboBoxType"))); });
  Add("data.type.ComboBoxType", 1.0, comboShown, [this] {
    const QString text = Chance(0.6) ? Pick(ItemTexts) : RandomText();
    TypeNoted(Find(FormDataIn, QStringLiteral("ComboBoxType")), text);
  });
  Add("data.key.ComboBoxType", 0.6, comboShown,
      [this] { PressRandomKey(Find(FormDataIn, QStringLiteral("ComboBoxType"))); });
  for (const QString& name : DialogEdits) {
    auto shown = [name] { return Shown(Find(FormDataIn, name)); };
    Add("data.type." + name, 2.0, shown, [this, name] {
      const QString text = Chance(0.5) ? SensibleText(name) : RandomText();
      TypeNoted(Find(FormDataIn, name), text);
    });
    Add("data.paste." + name, 0.15, shown, [this, name] {
      const QString text = Chance(0.3) ? LongText() : RandomNumberText();
      PasteNoted(Find(FormDataIn, name), text);
    });
    Add("data.key." + name, 1.0, shown, [this, name] { PressRandomKey(Find(FormDataIn, name)); });
  }
  Add("data.enter-stage", 2.0, dialogShown, [this] {
    // A whole stage as a user enters it: the type, the values, then Draw,
    // OK or Enter.
    QComboBox* type = FormDataIn->ComboBoxType;
    const QString typeText = Pick(ElementTypeItems());
    detail_ += QStringLiteral(" ") + typeText;
    TypeText(type, typeText, true);
    for (const QString& name : DialogEdits) {
      QWidget* box = Find(FormDataIn, name);
      if (!Shown(box)) continue;
      const QString text = Chance(0.9) ? SensibleText(name) : RandomNumberText();
      detail_ += QStringLiteral(" %1=%2").arg(name.mid(11), Printable(text));
      TypeText(box, text, true);
    }
    const int finish = Uniform(0, 2);
    if (finish == 0) {
      detail_ += QStringLiteral(" Draw");
      ClickWidget(FormDataIn->Button1);
    } else if (finish == 1) {
      detail_ += QStringLiteral(" OK");
      ClickWidget(FormDataIn->ButtonOK);
    } else {
      detail_ += QStringLiteral(" Enter");
      SendKey(FormDataIn, Qt::Key_Return, QStringLiteral("\r"));
    }
  });
  Add("data.close", 0.3, dialogShown, [] { FormDataIn->close(); });
  Add("data.activate", 0.2, dialogShown, [this] { Activate(FormDataIn); });
}

// ---- Checks

bool RandomSession::CheckTable(QString& why) const {
  const double n = TransferTable[FilterHeader::N];
  if (!(n >= 0.0 && n <= MaxStages) || n != std::floor(n)) {
    why = QStringLiteral("n is %1, not a whole number from 0 to 30").arg(n);
    return false;
  }
  return true;
}

bool RandomSession::CheckCommittedTable(QString& why) const {
  if (!CheckTable(why)) return false;
  for (int i = 0; i < TableCells; ++i) {
    if (!std::isfinite(TransferTable[i])) {
      why = QStringLiteral("cell (%1,%2) is %3 after a commit")
                .arg(i / TableRows)
                .arg(i % TableRows)
                .arg(TransferTable[i]);
      return false;
    }
  }
  const int n = static_cast<int>(TransferTable[FilterHeader::N]);
  int order = 0;
  for (int t = FirstStageRow; t < TableRows; ++t) {
    const double type = ElementCell(t, TransferElement::Type);
    if (t <= n + 1) {
      if (type != std::floor(type) || type < static_cast<int>(FirstOrderLpf) ||
          type > static_cast<int>(SecondOrderApf)) {
        why = QStringLiteral("stage row %1 of %2 has type %3").arg(t).arg(n).arg(type);
        return false;
      }
      order += ElementOrder(static_cast<int>(type));
    } else {
      for (int col = 0; col < TableColumns; ++col) {
        if (ElementCell(t, col) != 0.0) {
          why = QStringLiteral("row %1 after the %2 stages holds %3 in column %4")
                    .arg(t)
                    .arg(n)
                    .arg(ElementCell(t, col))
                    .arg(col);
          return false;
        }
      }
    }
  }
  if (TransferTable[FilterHeader::Order] != order) {
    why = QStringLiteral("Order is %1, the stages add up to %2")
              .arg(TransferTable[FilterHeader::Order])
              .arg(order);
    return false;
  }
  return true;
}

void RandomSession::CloseStrayWindows(QStringList& closed) {
  for (int guard = 0; guard < 10; ++guard) {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* stray = modal != nullptr ? modal : popup;
    if (stray == nullptr) {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && qobject_cast<QDialog*>(top) != nullptr) {
          stray = top;
          break;
        }
      }
    }
    if (stray == nullptr) return;
    closed << QStringLiteral("%1 %2%3").arg(
        QString::fromLatin1(stray->metaObject()->className()), stray->objectName(),
        stray == popup ? QStringLiteral(" (popup)") : QString());
    if (auto* dialog = qobject_cast<QDialog*>(stray))
      dialog->reject();
    else
      stray->close();
  }
}

void RandomSession::Note(const QString& text) { detail_ += QStringLiteral(" {") + text + "}"; }

void RandomSession::Fail(int index, const QString& name, const QString& what) {
  QStringList lines;
  lines << QStringLiteral("seed %1, action #%2 (%3): %4").arg(seed_).arg(index).arg(name, what);
  lines << QStringLiteral("replay: KESTO_SOAK_SEED=%1 KESTO_SOAK_ACTIONS=%2 test_soak")
               .arg(seed_)
               .arg(index + 1);
  lines << QStringLiteral("last actions:");
  for (const QString& entry : log_) lines << QStringLiteral("  ") + entry;
  failure_ = lines.join(QLatin1Char('\n'));
}

bool RandomSession::CheckAfterAction(int index, const Action& action, qint64 ns) {
  QStringList problems;
  if (!strayModals_.isEmpty())
    problems << QStringLiteral("a dialog was left waiting: ") + strayModals_.join(", ");
  QStringList popups;
  CloseStrayWindows(popups);
  for (const QString& p : popups) {
    if (p.endsWith(QLatin1String("(popup)")))
      Note(QStringLiteral("closed ") + p);
    else
      problems << QStringLiteral("a dialog stayed open: ") + p;
  }
  QString why;
  if (!CheckTable(why)) problems << why;
  problems << actionProblems_;
  if (ns > actionLimitMs_ * 1000000)
    problems << QStringLiteral("took %1 ms, more than %2 ms").arg(ns / 1000000).arg(actionLimitMs_);
  if (boxesThisAction_ > BoxStormLimit)
    problems << QStringLiteral("%1 message boxes in one action").arg(boxesThisAction_);
  if (!unexpectedReports_.isEmpty())
    problems << QStringLiteral("unexpected error report: ") + unexpectedReports_.join(" | ");
  if (!pendingPdf_.isEmpty()) {
    const QFileInfo pdf(pendingPdf_);
    if (!pdf.exists() || pdf.size() == 0) problems << QStringLiteral("printing made no PDF");
    QFile::remove(pendingPdf_);
  }
  if (pendingSave_ && !saveRefused_) {
    if (!QFileInfo::exists(pendingSave_->path)) {
      problems << QStringLiteral("saved file %1 does not exist").arg(pendingSave_->path);
    } else if (const QString problem = ReadBackProblem(*pendingSave_); !problem.isEmpty()) {
      problems << problem;
    } else {
      saved_[pendingSave_->path] = *pendingSave_;
      ++savesChecked_;
    }
  }
  if (problems.isEmpty()) return true;
  Fail(index, action.name, problems.join(QStringLiteral("; ")));
  return false;
}

QString RandomSession::ReadBackProblem(const SavedFile& file) {
  const TransferFileContent content = ReadTransferFile(file.path);
  if (!content.ok) return QStringLiteral("%1 cannot be read back").arg(file.path);
  // The file holds the header and the n stage rows; the rows after them
  // read back as zeros.
  TransferTableData expected = file.table;
  const int n = std::clamp(static_cast<int>(expected[FilterHeader::N]), 0, MaxStages);
  for (int t = FirstStageRow + n; t < TableRows; ++t)
    for (int col = 0; col < TableColumns; ++col) expected[CellIndex(col, t)] = 0.0;
  for (int i = 0; i < TableCells; ++i) {
    if (!SameCell(content.table[i], expected[i])) {
      return QStringLiteral("%1 reads back cell (%2,%3) as %4 instead of %5")
          .arg(file.path)
          .arg(i / TableRows)
          .arg(i % TableRows)
          .arg(content.table[i], 0, 'g', 17)
          .arg(expected[i], 0, 'g', 17);
    }
  }
  return QString();
}

bool RandomSession::VerifySavedFiles() {
  for (const auto& [path, file] : saved_) {
    const QString problem = ReadBackProblem(file);
    if (!problem.isEmpty()) {
      Fail(file.index, QStringLiteral("read-back at the end"),
           problem + QStringLiteral(" (saved by this action)"));
      return false;
    }
    ++filesVerified_;
  }
  return true;
}

bool RandomSession::Run() {
  std::vector<const Action*> available;
  std::vector<double> weights;
  for (int index = 0; index < actions_; ++index) {
    available.clear();
    weights.clear();
    for (const Action& action : actionList_) {
      if (action.available()) {
        available.push_back(&action);
        weights.push_back(action.weight);
      }
    }
    if (available.empty()) {
      Fail(index, QStringLiteral("(none)"), QStringLiteral("no action is possible"));
      return false;
    }
    std::discrete_distribution<int> choose(weights.begin(), weights.end());
    const Action& action = *available[choose(rng_)];

    current_ = index;
    detail_.clear();
    boxesThisAction_ = 0;
    unexpectedReports_.clear();
    pendingSave_.reset();
    saveRefused_ = false;
    pendingPdf_.clear();
    strayModals_.clear();
    actionProblems_.clear();

    QElapsedTimer timer;
    watchdog_->start();
    timer.start();
    try {
      action.run();
    } catch (const std::exception& error) {
      Note(QStringLiteral("EXCEPTION: ") + QString::fromUtf8(error.what()));
    }
    QCoreApplication::processEvents();
    const qint64 ns = timer.nsecsElapsed();
    watchdog_->stop();

    ++actionsRun_;
    Stats& stats = stats_[action.name];
    ++stats.count;
    stats.maxNs = std::max(stats.maxNs, ns);
    stats.totalNs += ns;
    const int block = static_cast<int>(static_cast<long long>(index) * Blocks / actions_);
    blockNs_[block] += ns;
    ++blockCount_[block];
    if (ns > slowestNs_) {
      slowestNs_ = ns;
      slowestName_ = action.name + detail_;
      slowestIndex_ = index;
    }
    log_.push_back(QStringLiteral("#%1 %2%3 (%4 ms)")
                       .arg(index)
                       .arg(action.name, detail_)
                       .arg(ns / 1e6, 0, 'f', 1));
    if (log_.size() > LogLength) log_.pop_front();

    if (detail_.contains(QLatin1String("{EXCEPTION: "))) {
      Fail(index, action.name, QStringLiteral("an exception escaped the action"));
      return false;
    }
    if (!CheckAfterAction(index, action, ns)) return false;
  }
  current_ = -1;
  return VerifySavedFiles();
}

QString RandomSession::Summary() const {
  QStringList lines;
  for (const auto& [name, stats] : stats_) {
    lines << QStringLiteral("  %1 x%2, mean %3 ms, slowest %4 ms")
                 .arg(name, -34)
                 .arg(stats.count)
                 .arg(stats.totalNs / 1e6 / stats.count, 0, 'f', 2)
                 .arg(stats.maxNs / 1e6, 0, 'f', 1);
  }
  QStringList blocks;
  for (int b = 0; b < Blocks; ++b) {
    if (blockCount_[b] > 0) blocks << QString::number(blockNs_[b] / 1e6 / blockCount_[b], 'f', 2);
  }
  lines << QStringLiteral("mean ms per action over the tenths of the run: ") + blocks.join(' ');
  lines << QStringLiteral("open files %1 at the start, %2 at the end; threads %3, then %4")
               .arg(startFiles_)
               .arg(OpenFileCount())
               .arg(startThreads_)
               .arg(ThreadCount());
  lines << QStringLiteral("folders watched at the end: %1").arg(WatchedFolderCount());
  lines << QStringLiteral("message boxes:");
  for (const auto& [text, count] : boxTexts_)
    lines << QStringLiteral("  x%1 %2").arg(count).arg(Printable(text));
  if (!warnings_.empty()) lines << QStringLiteral("Qt messages:");
  for (const auto& [text, count] : warnings_)
    lines << QStringLiteral("  x%1 %2").arg(count).arg(text);
  return lines.join(QLatin1Char('\n'));
}
