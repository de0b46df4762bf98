#include "app/FormMain.h"

#include "app/DialogPlacement.h"
#include "app/Option.h"
#include "app/StepIcons.h"
#include "app/Version.h"
#include "common/ExportGraph.h"
#include "common/MessageDlg.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "editor/FormDataIn.h"
#include "editor/FormEdit.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/ImageControl.h"
#include "platform/Window.h"
#include "plot/AutoScale.h"
#include "plot/AxisStep.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"
#include "plot/Readout.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

TFormMain* FormMain = nullptr;

namespace {

constexpr int GraphWidth = 766;
constexpr int GraphHeight = 434;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, Qt::Alignment align,
                  int left, int top, int width, int height) {
  QLabel* label = MakeControl<QLabel>(parent, name, left, top, width, height);
  label->setText(text);
  label->setAlignment(align | Qt::AlignVCenter);
  return label;
}

// Text written into an axis box by the program shows from its first
// character, so that a sign or a leading digit is never scrolled out of view.
void SetBoxText(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->setCursorPosition(0);
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, const QString& hint,
                    int left, int top, int width, int height) {
  QLineEdit* edit = MakeControl<QLineEdit>(parent, name, left, top, width, height);
  // A narrow face, so that the nine characters of a limit such as "-40.0000 "
  // fit the small boxes.
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setPixelSize(11);
  edit->setFont(font);
  edit->setTextMargins(0, 0, 0, 0);
  SetBoxText(edit, text);
  edit->setToolTip(hint);
  return edit;
}

QToolButton* MakeStepButton(QWidget* parent, const char* name, int tag, int left, int top,
                            int width, int height) {
  QToolButton* button = MakeControl<QToolButton>(parent, name, left, top, width, height);
  button->setProperty("Tag", tag);
  const StepAxis axis = name[6] == 'L' ? StepAxis::Level : StepAxis::Frequency;
  button->setIcon(QIcon(QPixmap::fromImage(StepButtonPicture(axis, tag))));
  button->setIconSize(QSize(14, 14));
  // The step buttons take no keyboard focus.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// Connects a control's signal to a handler that runs under the general error
// report.
template <class Sender, class Signal, class Handler>
void Connect(Sender* sender, Signal signal, QObject* context, Handler handler) {
  QObject::connect(sender, signal, context, [handler](auto&&...) { RunGuarded(handler); });
}

// Schedules a repaint of the graph when the scope ends, also when an error
// ends a drawing early: the window always shows what is on the bitmap.
class ScopedRepaint {
 public:
  explicit ScopedRepaint(ImageControl* image) : image_(image) {}
  ~ScopedRepaint() { image_->update(); }
  ScopedRepaint(const ScopedRepaint&) = delete;
  ScopedRepaint& operator=(const ScopedRepaint&) = delete;

 private:
  ImageControl* image_;
};

}  // namespace

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
  FormMain = this;
  SetMainWindow(this);
  setObjectName(QStringLiteral("FormMain"));
  BuildControls();
  BuildMenu();
  SetTabOrder();
  // Files dropped from the desktop load; activation registers the window again.
  setAcceptDrops(true);
  RunGuarded([this] { FormCreate(); });
}

TFormMain::~TFormMain() {
  if (FormMain == this) FormMain = nullptr;
}

void TFormMain::BuildControls() {
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("ClientArea"));
  // The designed client area; FormCreate shrinks it to fit the controls.
  client_->setFixedSize(802, 560);
  setCentralWidget(client_);
  QWidget* c = client_;

  ImageGraph = new ImageControl(GraphWidth, GraphHeight, c);
  ImageGraph->setObjectName(QStringLiteral("ImageGraph"));
  ImageGraph->move(8, 5);

  const Qt::Alignment centre = Qt::AlignHCenter;
  const Qt::Alignment right = Qt::AlignRight;
  LabelFreq = MakeLabel(c, "LabelFreq", QString(), centre, 248, 445, 273, 13);
  LabelLebel = MakeLabel(c, "LabelLebel", QStringLiteral("振幅(dB)"), centre, 45, 467, 65, 13);
  LabelDelay = MakeLabel(c, "LabelDelay", QStringLiteral("遅延(S)"), centre, 114, 467, 60, 13);
  LabelFrequ = MakeLabel(c, "LabelFrequ", QStringLiteral("周波数(Hz)"), centre, 278, 467, 70, 13);
  LabelUpper = MakeLabel(c, "LabelUpper", QStringLiteral("上限"), right, 22, 487, 24, 13);
  LabelLower = MakeLabel(c, "LabelLower", QStringLiteral("下限"), right, 22, 509, 24, 13);
  Label1 = MakeLabel(c, "Label1", QStringLiteral("上限"), right, 253, 487, 24, 13);
  Label2 = MakeLabel(c, "Label2", QStringLiteral("下限"), right, 253, 509, 24, 13);
  LabelDelay->installEventFilter(this);

  const QString dB = QStringLiteral("単位(dB)");
  const QString sec = QStringLiteral("単位(Sec)");
  const QString hz = QStringLiteral("単位(Hz)");
  EditMaxL = MakeEdit(c, "EditMaxL", QStringLiteral("20"), dB, 50, 483, 55, 21);
  EditMinL = MakeEdit(c, "EditMinL", QStringLiteral("-60"), dB, 50, 505, 55, 21);
  EditMaxD = MakeEdit(c, "EditMaxD", QStringLiteral("10m"), sec, 114, 483, 60, 21);
  EditMinD = MakeEdit(c, "EditMinD", QStringLiteral("0"), sec, 114, 505, 60, 21);
  EditEf = MakeEdit(c, "EditEf", QStringLiteral("10k"), hz, 281, 483, 65, 21);
  EditSf = MakeEdit(c, "EditSf", QStringLiteral("100"), hz, 281, 505, 65, 21);
  for (QLineEdit* edit : {EditMaxL, EditMinL, EditMaxD, EditMinD, EditEf, EditSf})
    edit->installEventFilter(this);

  BitBtnL1 = MakeStepButton(c, "BitBtnL1", 1, 180, 482, 20, 23);
  BitBtnL2 = MakeStepButton(c, "BitBtnL2", 2, 180, 504, 20, 23);
  BitBtnL3 = MakeStepButton(c, "BitBtnL3", 3, 200, 482, 20, 23);
  BitBtnL4 = MakeStepButton(c, "BitBtnL4", 4, 200, 504, 20, 23);
  BitBtnF1 = MakeStepButton(c, "BitBtnF1", 1, 352, 482, 24, 23);
  BitBtnF2 = MakeStepButton(c, "BitBtnF2", 2, 352, 504, 24, 23);
  BitBtnF3 = MakeStepButton(c, "BitBtnF3", 3, 376, 482, 24, 23);
  BitBtnF4 = MakeStepButton(c, "BitBtnF4", 4, 376, 504, 24, 23);
  for (QToolButton* b : {BitBtnL1, BitBtnL2, BitBtnL3, BitBtnL4})
    Connect(b, &QToolButton::clicked, this, [this, b] { BitBtnL1Click(b); });
  for (QToolButton* b : {BitBtnF1, BitBtnF2, BitBtnF3, BitBtnF4})
    Connect(b, &QToolButton::clicked, this, [this, b] { BitBtnF1Click(b); });

  CheckBoxLevel = MakeControl<QCheckBox>(c, "CheckBoxLevel", 445, 465, 80, 17);
  CheckBoxLevel->setText(QStringLiteral("振幅表示"));
  CheckBoxLevel->setToolTip(QStringLiteral("振幅/遅延の切換え"));
  CheckBoxLevel->setChecked(true);
  CheckBoxLog = MakeControl<QCheckBox>(c, "CheckBoxLog", 445, 487, 80, 17);
  CheckBoxLog->setText(QStringLiteral("Log目盛"));
  CheckBoxLog->setChecked(true);
  CheckBoxRev = MakeControl<QCheckBox>(c, "CheckBoxRev", 445, 509, 90, 17);
  CheckBoxRev->setText(QStringLiteral("逆方向移動"));
  CheckBoxRev->setToolTip(QStringLiteral("上下左右を視点移動"));
  // A check box's handler runs whenever its state changes, also when the
  // program sets it (the options file restores CheckBoxRev that way).
  Connect(CheckBoxLevel, &QCheckBox::toggled, this, [this] { CheckBoxLevelClick(); });
  Connect(CheckBoxLog, &QCheckBox::toggled, this, [this] { CheckBoxLogClick(); });
  Connect(CheckBoxRev, &QCheckBox::toggled, this, [this] { CheckBoxLevelClick(); });

  RadioButtonTotal = MakeControl<QRadioButton>(c, "RadioButtonTotal", 535, 465, 100, 17);
  RadioButtonTotal->setText(QStringLiteral("総合特性のみ"));
  RadioButtonInt = MakeControl<QRadioButton>(c, "RadioButtonInt", 535, 487, 100, 17);
  RadioButtonInt->setText(QStringLiteral("中間特性表示"));
  RadioButtonInt->setChecked(true);
  RadioButtonIndiv = MakeControl<QRadioButton>(c, "RadioButtonIndiv", 535, 509, 100, 17);
  RadioButtonIndiv->setText(QStringLiteral("個別特性表示"));
  for (QRadioButton* radio : {RadioButtonTotal, RadioButtonInt, RadioButtonIndiv}) {
    Connect(radio, &QRadioButton::clicked, this, [this] { ButtonDrawClick(); });
    QObject::connect(radio, &QRadioButton::toggled, this, [this] { UpdateRadioTabStops(); });
  }
  UpdateRadioTabStops();

  ButtonLoad = MakeControl<QPushButton>(c, "ButtonLoad", 657, 465, 58, 25);
  ButtonLoad->setText(QStringLiteral("Load"));
  ButtonLoad->setToolTip(QStringLiteral("伝達関数をファイルから読込みます"));
  ButtonSave = MakeControl<QPushButton>(c, "ButtonSave", 716, 465, 58, 25);
  ButtonSave->setText(QStringLiteral("Save"));
  ButtonSave->setToolTip(QStringLiteral("伝達関数をファイルに保存します"));
  ButtonDraw = MakeControl<QPushButton>(c, "ButtonDraw", 657, 500, 58, 25);
  ButtonDraw->setText(QStringLiteral("Draw"));
  ButtonDraw->setToolTip(QStringLiteral("グラフを再描画します"));
  ButtonExit = MakeControl<QPushButton>(c, "ButtonExit", 716, 500, 58, 25);
  ButtonExit->setText(QStringLiteral("Exit"));
  ButtonExit->setToolTip(QStringLiteral("終了"));
  for (QPushButton* button : {ButtonLoad, ButtonSave, ButtonDraw, ButtonExit})
    button->setAutoDefault(false);
  Connect(ButtonLoad, &QPushButton::clicked, this, [this] { ButtonLoadClick(); });
  Connect(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
  Connect(ButtonDraw, &QPushButton::clicked, this, [this] { ButtonDrawClick(); });
  Connect(ButtonExit, &QPushButton::clicked, this, [this] { ButtonExitClick(); });

  Connect(ImageGraph, &ImageControl::mouseEntered, this, [this] { ImageGraphMouseEnter(); });
  Connect(ImageGraph, &ImageControl::mouseLeft, this, [this] { ImageGraphMouseLeave(); });
  Connect(ImageGraph, &ImageControl::clicked, this, [this] { ImageGraphClick(); });
  QObject::connect(ImageGraph, &ImageControl::mouseMoved, this,
                   [this](int x, int y) { RunGuarded([&] { ImageGraphMouseMove(x, y); }); });

  for (QWidget* label : {static_cast<QWidget*>(LabelFreq), static_cast<QWidget*>(LabelLebel)})
    label->setFocusPolicy(Qt::NoFocus);
}

void TFormMain::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  File1 = bar->addMenu(QStringLiteral("File(&F)"));
  File1->setObjectName(QStringLiteral("File1"));
  PrintP1 = bar->addMenu(QStringLiteral("Print(&P)"));
  PrintP1->setObjectName(QStringLiteral("PrintP1"));

  auto item = [](QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
  };
  Load1 = item(File1, "Load1", QStringLiteral("伝達関数ファイルの読込み(&R)"));
  Save1 = item(File1, "Save1", QStringLiteral("伝達関数ファイルの書出し(&W)"));
  Edit1 = item(File1, "Edit1", QStringLiteral("伝達関数を編集する(&E)"));
  Exit1 = item(File1, "Exit1", QStringLiteral("終了(&X)"));
  Print1 = item(PrintP1, "Print1", QStringLiteral("グラフをプリンタに印刷する(&P)"));
  Copy1 = item(PrintP1, "Copy1", QStringLiteral("グラフをクリップボードにコピー(&C)"));
  Connect(Load1, &QAction::triggered, this, [this] { Load1Click(); });
  Connect(Save1, &QAction::triggered, this, [this] { Save1Click(); });
  Connect(Edit1, &QAction::triggered, this, [this] { Edit1Click(); });
  Connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
  Connect(Print1, &QAction::triggered, this, [this] { Print1Click(); });
  Connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
}

void TFormMain::BuildDialogs() {
  if (OpenDialog1 != nullptr) return;
  auto make = [this](const char* name, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(this);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // The program asks about overwriting itself, after adding ".csv".
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    // "*.CSV" matches .csv in any letter case: the dialog's filters ignore case.
    dialog->setNameFilters({QStringLiteral("CSV (*.CSV)"), QStringLiteral("All (*.*)")});
    dialog->setModal(true);
    return dialog;
  };
  OpenDialog1 = make("OpenDialog1", QFileDialog::AcceptOpen);
  SaveDialog1 = make("SaveDialog1", QFileDialog::AcceptSave);
  FOpenDialog1Hook = new FileDialogHook(OpenDialog1, this);
  FSaveDialog1Hook = new FileDialogHook(SaveDialog1, this);
}

void TFormMain::SetTabOrder() {
  const QList<QWidget*> order = {EditMaxL,         EditMinL,       EditMaxD,         EditMinD,
                                 EditEf,           EditSf,         CheckBoxLevel,    CheckBoxLog,
                                 RadioButtonTotal, RadioButtonInt, RadioButtonIndiv, ButtonLoad,
                                 ButtonSave,       ButtonDraw,     ButtonExit,       CheckBoxRev};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void TFormMain::UpdateRadioTabStops() {
  // Of a group of radio buttons only the selected one is a tab stop; the arrow
  // keys move inside the group.
  for (QRadioButton* radio : {RadioButtonTotal, RadioButtonInt, RadioButtonIndiv})
    radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TFormMain::FormCreate() {
  setWindowTitle(QStringLiteral("Kesto Ver") + FileVersionText());
  // Qt's backing store already double-buffers every window; the graph paints
  // its whole bitmap opaquely.
  client_->setFixedSize(ButtonExit->x() + ButtonExit->width() + 11,
                        ButtonExit->y() + ButtonExit->height() + 10);
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  setFixedSize(client_->width(), client_->height() + menuBar()->sizeHint().height());
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
  }
  PrepareGraph(CurrentFile);
  LoadOptions();
  // The floating-point faults that end an operation (invalid operation,
  // division by zero, overflow) are raised by the checked arithmetic itself,
  // so there is no processor mask to set here.
}

void TFormMain::FormActivate() { setAcceptDrops(true); }

void TFormMain::FormClose() {
  SaveOptions();
  if (FormEdit != nullptr) FormEdit->close();
  if (FormDataIn != nullptr) FormDataIn->close();
}

GraphControls TFormMain::ReadControls() const {
  GraphControls controls;
  controls.editMaxL = EditMaxL->text();
  controls.editMinL = EditMinL->text();
  controls.editMaxD = EditMaxD->text();
  controls.editMinD = EditMinD->text();
  controls.editEf = EditEf->text();
  controls.editSf = EditSf->text();
  controls.checkBoxLevel = CheckBoxLevel->isChecked();
  controls.checkBoxLog = CheckBoxLog->isChecked();
  controls.displayMode = RadioButtonTotal->isChecked() ? 0 : RadioButtonIndiv->isChecked() ? 2 : 1;
  return controls;
}

void TFormMain::ShowGraphError(const QString& text) {
  MessageDlgCentered(text, MsgError, MbOk, 0, this);
}

void TFormMain::PrepareGraph(const QString& fileName) {
  ScopedRepaint repaint(ImageGraph);
  ::PrepareGraph(ImageGraph->canvas(), ReadControls(), fileName,
                 [this](const QString& text) { ShowGraphError(text); });
}

void TFormMain::RedrawGraph(const QString& fileName) {
  // A redraw brings the readout back after an error had switched it off.
  PlotState.ReadoutBusy = false;
  ScopedRepaint repaint(ImageGraph);
  ::RedrawGraph(ImageGraph->canvas(), ReadControls(), fileName,
                [this](const QString& text) { ShowGraphError(text); });
}

void TFormMain::AutoScaleAxes() {
  AxisBoxTexts boxes{EditSf->text(), EditEf->text(), EditMinL->text(), EditMaxL->text(),
                     EditMaxD->text()};
  // The boxes the fit wrote before an error keep their new text.
  auto write = [&] {
    SetBoxText(EditSf, boxes.editSf);
    SetBoxText(EditEf, boxes.editEf);
    SetBoxText(EditMinL, boxes.editMinL);
    SetBoxText(EditMaxL, boxes.editMaxL);
    SetBoxText(EditMaxD, boxes.editMaxD);
  };
  try {
    ::AutoScaleAxes(boxes);
  } catch (...) {
    write();
    throw;
  }
  write();
}

void TFormMain::LoadTransferFile(const QString& path) {
  if (path.isEmpty()) {
    PlotState.SelectedCurve = 0;
    CurrentFile.clear();
    return;
  }
  // Let the closed dialog vanish and the window repaint before the read.
  RunPendingEvents();
  // The file is read into a table of its own: a file that cannot be read
  // leaves the filter on screen, and its table, exactly as they were.
  const TransferFileContent content = ReadTransferFile(path);
  if (!content.ok) {
    MessageDlgCentered(FileNotFoundMessage, MsgInformation, MbOk, 0, this);
    PlotState.ReadoutBusy = false;
    return;
  }
  PlotState.SelectedCurve = 0;
  CurrentFile.clear();
  TransferTable = content.table;
  try {
    if (content.tooManyStages) MessageDlgCentered(TooManyStagesMessage, MsgError, MbOk, 0, this);
    ButtonDraw->setFocus();
    RefreshEditor(false);
    AutoScaleAxes();
    RedrawGraph(path);
    PlotState.ReadoutBusy = false;
    CurrentFile = path;
  } catch (const std::exception& error) {
    // A file that was read but cannot be fitted or drawn: the user learns
    // why, not that the file was missing.
    ShowErrorReport(QString::fromUtf8(error.what()));
    PlotState.ReadoutBusy = false;
  }
}

void TFormMain::Load1Click() {
  BuildDialogs();
  OpenDialog1->selectFile(QString());
  OpenDialog1->setDirectory(OpenDialogFolder);
  OpenDialog1->selectNameFilter(OpenDialog1->nameFilters().front());
  const std::optional<QString> chosen = RunFileDialog(*OpenDialog1);
  if (!chosen) return;
  OpenDialogFolder = DialogFolderOf(*chosen);
  if (SaveDialogFolder.isEmpty()) SaveDialogFolder = OpenDialogFolder;
  LoadTransferFile(*chosen);
}

void TFormMain::ButtonLoadClick() { Load1Click(); }

void TFormMain::Save1Click() {
  BuildDialogs();
  SaveDialog1->setDirectory(SaveDialogFolder);
  SaveDialog1->selectFile(SaveDialogFileName);
  SaveDialog1->selectNameFilter(SaveDialog1->nameFilters().front());
  const std::optional<QString> chosen = RunFileDialog(*SaveDialog1);
  if (!chosen) return;
  SaveDialogFolder = DialogFolderOf(*chosen);
  if (OpenDialogFolder.isEmpty()) OpenDialogFolder = SaveDialogFolder;
  const QString path = CompleteCsvExtension(*chosen);
  SaveDialogFileName = path;
  const QFileInfo target(path);
  if (target.exists() || target.isSymLink()) {
    if (MessageDlgCentered(OverwriteQuestion, MsgCustom, MbYes | MbNo, 0, this) != AnswerYes)
      return;
  }
  if (!SaveTransferFile(path, TransferTable)) {
    MessageDlgCentered(WriteErrorMessage, MsgError, MbOk, 0, this);
    return;
  }
  ScopedRepaint repaint(ImageGraph);
  DrawTitle(ImageGraph->canvas(), path);
}

void TFormMain::ButtonSaveClick() { Save1Click(); }

void TFormMain::WMDropFiles(const QStringList& paths) {
  // Only the first file of a drop counts, and only a transfer file.
  if (paths.isEmpty() || !IsTransferFileName(paths.front())) return;
  LoadTransferFile(paths.front());
}

void TFormMain::Edit1Click() {
  // The refresh takes the editor's snapshot of the table for its Cancel.
  RefreshEditor(false);
  if (FormEdit == nullptr) return;
  FormEdit->show();
  FormEdit->raise();
  FormEdit->activateWindow();
}

void TFormMain::Exit1Click() { close(); }
void TFormMain::ButtonExitClick() { close(); }
void TFormMain::Print1Click() { ExportGraph(ExportPrint, ImageGraph->canvas().image()); }
void TFormMain::Copy1Click() { ExportGraph(ExportClipboard, ImageGraph->canvas().image()); }
void TFormMain::ButtonDrawClick() { RedrawGraph(CurrentFile); }
void TFormMain::CheckBoxLevelClick() { RedrawGraph(CurrentFile); }

void TFormMain::CheckBoxLogClick() {
  if (CheckBoxLog->isChecked() && PlotState.FreqStart <= 0.0) {
    PlotState.FreqStart = 1.0;
    SetBoxText(EditSf, QStringLiteral("1.0"));
  }
  RedrawGraph(CurrentFile);
}

void TFormMain::BitBtnL1Click(QObject* sender) {
  const std::optional<LimitTexts> texts =
      StepValueAxis(sender->property("Tag").toInt(), CheckBoxRev->isChecked());
  if (!texts) return;
  if (PlotState.ShowAmplitude) {
    SetBoxText(EditMaxL, texts->upper);
    SetBoxText(EditMinL, texts->lower);
  } else {
    SetBoxText(EditMaxD, texts->upper);
    SetBoxText(EditMinD, texts->lower);
  }
  RedrawGraph(CurrentFile);
}

void TFormMain::BitBtnF1Click(QObject* sender) {
  const std::optional<LimitTexts> texts =
      StepFrequencyAxis(sender->property("Tag").toInt(), CheckBoxRev->isChecked());
  if (!texts) return;
  SetBoxText(EditEf, texts->upper);
  SetBoxText(EditSf, texts->lower);
  RedrawGraph(CurrentFile);
}

void TFormMain::EditMaxLKeyDown(QObject*, int& key) { StepFocus(this, key); }

void TFormMain::EditSfKeyPress(QObject*, int& key) {
  if (key != KeyEnter) return;
  key = 0;
  RedrawGraph(CurrentFile);
}

void TFormMain::ImageGraphMouseEnter() { SetAppCursor(CursorShape::Cross); }

void TFormMain::ImageGraphMouseLeave() {
  SetAppCursor(CursorShape::Arrow);
  LeaveReadout(ImageGraph->canvas());
  LabelFreq->setText(QString());
  ImageGraph->update();
}

void TFormMain::ImageGraphMouseMove(int x, int y) {
  PlotState.CursorX = x;
  PlotState.CursorY = y;
  SetAppCursor(OverLegend(ImageGraph->width()) ? CursorShape::Arrow : CursorShape::Cross);
  ScopedRepaint repaint(ImageGraph);
  const std::optional<QString> text = MoveReadout(ImageGraph->canvas(), x, y);
  if (!text) return;
  LabelFreq->setText(*text);
  // Let the label and the bitmap repaint while the mouse keeps moving.
  RunPendingEvents();
}

void TFormMain::ImageGraphClick() {
  if (ClickReadout(ImageGraph->width())) RedrawGraph(CurrentFile);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched) != nullptr) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    int key = VirtualKeyOf(keyEvent);
    // Key-down first; then, for Enter, the character handler of the same box.
    RunGuarded([&] { EditMaxLKeyDown(watched, key); });
    const bool downConsumed = key == 0;
    bool charConsumed = false;
    if (keyEvent->text() == QLatin1String("\r")) {
      int character = KeyEnter;
      RunGuarded([&] { EditSfKeyPress(watched, character); });
      charConsumed = character == 0;
    }
    return downConsumed || charConsumed;
  }
  if (watched == LabelDelay && event->type() == QEvent::MouseButtonRelease) {
    RunGuarded([this] { CheckBoxLevelClick(); });
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  RunGuarded([this] { FormClose(); });
  event->accept();
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) paths << url.toLocalFile();
  event->acceptProposedAction();
  RunGuarded([&] { WMDropFiles(paths); });
}

void TFormMain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    RunGuarded([this] { FormActivate(); });
  QMainWindow::changeEvent(event);
}
