#include "app/FormMain.h"
#include "app/Version.h"
#include "app/Windows.h"
#include "editor/FormDataIn.h"
#include "editor/FormEdit.h"

#include "TestSupport.h"
#include "platform/AppInfo.h"
#include "platform/FloatError.h"
#include "platform/ImageControl.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

class FormMainTest : public ::testing::Test {
 protected:
  void SetUp() override { windows = std::make_unique<ProgramWindows>(); }
  void TearDown() override { windows.reset(); }

  template <class T = QWidget>
  T* Control(const char* name) {
    return FormMain->findChild<T*>(QLatin1String(name));
  }

  void ShowAndActivate() {
    FormMain->show();
    FormMain->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormMain));
  }

  QString FocusName() const {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QString();
  }

  std::unique_ptr<ProgramWindows> windows;
};

TEST_F(FormMainTest, CreatesThreeWindowsInOrderWithTheDialogsHidden) {
  EXPECT_EQ(FormMain, windows->main.get());
  EXPECT_EQ(MainWindow(), FormMain);
  EXPECT_EQ(FormEdit->windowTitle(), QStringLiteral("Edit"));
  EXPECT_EQ(FormDataIn->windowTitle(), QStringLiteral("Data modify"));
  EXPECT_FALSE(FormEdit->isVisible());
  EXPECT_FALSE(FormDataIn->isVisible());
  EXPECT_EQ(FormMain->windowTitle(), QStringLiteral("Kesto Ver") + FileVersionText());
}

TEST_F(FormMainTest, CaptionCarriesTheProjectVersion) {
  EXPECT_EQ(FormMain->windowTitle(), QStringLiteral("Kesto Ver1.00"));
}

TEST_F(FormMainTest, ClientAreaIsFixedAt785By535WithoutMaximise) {
  QWidget* client = FormMain->centralWidget();
  EXPECT_EQ(client->size(), QSize(785, 535));
  EXPECT_EQ(FormMain->minimumSize(), FormMain->maximumSize());
  EXPECT_EQ(FormMain->height(), 535 + FormMain->menuBar()->sizeHint().height());
  EXPECT_FALSE(FormMain->windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(FormMainTest, ControlsStandWhereTheWindowPutsThem) {
  const struct {
    const char* name;
    const char* kind;
    QString text;
    QString hint;
    QRect geometry;
  } controls[] = {
      {"ImageGraph", "ImageControl", "", "", {8, 5, 766, 434}},
      {"LabelFreq", "QLabel", "", "", {248, 445, 273, 13}},
      {"LabelLebel", "QLabel", "振幅(dB)", "", {45, 467, 65, 13}},
      {"LabelDelay", "QLabel", "遅延(S)", "", {114, 467, 60, 13}},
      {"LabelFrequ", "QLabel", "周波数(Hz)", "", {278, 467, 70, 13}},
      {"LabelUpper", "QLabel", "上限", "", {22, 487, 24, 13}},
      {"LabelLower", "QLabel", "下限", "", {22, 509, 24, 13}},
      {"Label1", "QLabel", "上限", "", {253, 487, 24, 13}},
      {"Label2", "QLabel", "下限", "", {253, 509, 24, 13}},
      {"EditMaxL", "QLineEdit", "20", "単位(dB)", {50, 483, 55, 21}},
      {"EditMinL", "QLineEdit", "-60", "単位(dB)", {50, 505, 55, 21}},
      {"EditMaxD", "QLineEdit", "10m", "単位(Sec)", {114, 483, 60, 21}},
      {"EditMinD", "QLineEdit", "0", "単位(Sec)", {114, 505, 60, 21}},
      {"EditEf", "QLineEdit", "10k", "単位(Hz)", {281, 483, 65, 21}},
      {"EditSf", "QLineEdit", "100", "単位(Hz)", {281, 505, 65, 21}},
      {"BitBtnL1", "QToolButton", "", "", {180, 482, 20, 23}},
      {"BitBtnL2", "QToolButton", "", "", {180, 504, 20, 23}},
      {"BitBtnL3", "QToolButton", "", "", {200, 482, 20, 23}},
      {"BitBtnL4", "QToolButton", "", "", {200, 504, 20, 23}},
      {"BitBtnF1", "QToolButton", "", "", {352, 482, 24, 23}},
      {"BitBtnF2", "QToolButton", "", "", {352, 504, 24, 23}},
      {"BitBtnF3", "QToolButton", "", "", {376, 482, 24, 23}},
      {"BitBtnF4", "QToolButton", "", "", {376, 504, 24, 23}},
      {"CheckBoxLevel", "QCheckBox", "振幅表示", "振幅/遅延の切換え", {445, 465, 80, 17}},
      {"CheckBoxLog", "QCheckBox", "Log目盛", "", {445, 487, 80, 17}},
      {"CheckBoxRev", "QCheckBox", "逆方向移動", "上下左右を視点移動", {445, 509, 90, 17}},
      {"RadioButtonTotal", "QRadioButton", "総合特性のみ", "", {535, 465, 100, 17}},
      {"RadioButtonInt", "QRadioButton", "中間特性表示", "", {535, 487, 100, 17}},
      {"RadioButtonIndiv", "QRadioButton", "個別特性表示", "", {535, 509, 100, 17}},
      {"ButtonLoad", "QPushButton", "Load", "伝達関数をファイルから読込みます", {657, 465, 58, 25}},
      {"ButtonSave", "QPushButton", "Save", "伝達関数をファイルに保存します", {716, 465, 58, 25}},
      {"ButtonDraw", "QPushButton", "Draw", "グラフを再描画します", {657, 500, 58, 25}},
      {"ButtonExit", "QPushButton", "Exit", "終了", {716, 500, 58, 25}},
  };
  for (const auto& c : controls) {
    QWidget* widget = Control(c.name);
    ASSERT_NE(widget, nullptr) << c.name;
    EXPECT_STREQ(widget->metaObject()->className(), c.kind) << c.name;
    EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
    EXPECT_EQ(widget->toolTip(), c.hint) << c.name;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    EXPECT_EQ(text, c.text) << c.name;
  }
  EXPECT_TRUE(FormMain->CheckBoxLevel->isChecked());
  EXPECT_TRUE(FormMain->CheckBoxLog->isChecked());
  EXPECT_FALSE(FormMain->CheckBoxRev->isChecked());
  EXPECT_TRUE(FormMain->RadioButtonInt->isChecked());
  EXPECT_EQ(FormMain->LabelFrequ->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(FormMain->LabelUpper->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  for (QToolButton* b :
       {FormMain->BitBtnL1, FormMain->BitBtnL2, FormMain->BitBtnL3, FormMain->BitBtnL4,
        FormMain->BitBtnF1, FormMain->BitBtnF2, FormMain->BitBtnF3, FormMain->BitBtnF4}) {
    EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->objectName().toStdString();
    EXPECT_EQ(b->property("Tag").toInt(), b->objectName().right(1).toInt());
  }
}

TEST_F(FormMainTest, MenusHoldTheirItemsInOrder) {
  const QList<QAction*> menus = FormMain->menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("File(&F)"));
  EXPECT_EQ(menus[1]->text(), QStringLiteral("Print(&P)"));
  QStringList file, print;
  for (QAction* a : FormMain->File1->actions()) file << a->objectName() + "=" + a->text();
  for (QAction* a : FormMain->PrintP1->actions()) print << a->objectName() + "=" + a->text();
  EXPECT_EQ(file,
            (QStringList{"Load1=伝達関数ファイルの読込み(&R)", "Save1=伝達関数ファイルの書出し(&W)",
                         "Edit1=伝達関数を編集する(&E)", "Exit1=終了(&X)"}));
  EXPECT_EQ(print, (QStringList{"Print1=グラフをプリンタに印刷する(&P)",
                                "Copy1=グラフをクリップボードにコピー(&C)"}));
}

TEST_F(FormMainTest, GraphStartsAsAWhiteBitmap) {
  const Canvas& canvas = FormMain->ImageGraph->canvas();
  EXPECT_EQ(canvas.width(), 766);
  EXPECT_EQ(canvas.height(), 434);
}

TEST_F(FormMainTest, StepFocusWalksTheTabOrderAndWrapsBothWays) {
  ShowAndActivate();
  const QStringList order = {"EditMaxL",       "EditMinL",   "EditMaxD",      "EditMinD",
                             "EditEf",         "EditSf",     "CheckBoxLevel", "CheckBoxLog",
                             "RadioButtonInt", "ButtonLoad", "ButtonSave",    "ButtonDraw",
                             "ButtonExit",     "CheckBoxRev"};
  FormMain->EditMaxL->setFocus();
  ASSERT_EQ(FocusName(), "EditMaxL");
  for (qsizetype i = 1; i <= order.size(); ++i) {
    int key = i % 2 ? KeyDown : KeyEnter;
    StepFocus(FormMain, key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(FocusName(), order[i % order.size()]) << i;
  }
  for (qsizetype i = order.size() - 1; i >= 0; --i) {
    int key = KeyUp;
    StepFocus(FormMain, key);
    EXPECT_EQ(FocusName(), order[i]) << i;
  }
  int other = 'A';
  StepFocus(FormMain, other);
  EXPECT_EQ(other, 'A');
  EXPECT_EQ(FocusName(), "EditMaxL");
}

TEST_F(FormMainTest, StepFocusPassesOverHiddenAndDisabledControlsAndEntersTheCheckedRadio) {
  ShowAndActivate();
  FormMain->EditMaxD->hide();
  FormMain->EditMinD->setEnabled(false);
  FormMain->RadioButtonIndiv->click();
  FormMain->EditMinL->setFocus();
  int key = KeyDown;
  StepFocus(FormMain, key);
  EXPECT_EQ(FocusName(), "EditEf");
  FormMain->CheckBoxLog->setFocus();
  key = KeyDown;
  StepFocus(FormMain, key);
  EXPECT_EQ(FocusName(), "RadioButtonIndiv");
}

TEST_F(FormMainTest, AxisBoxesStepTheFocusOnTheirKeys) {
  ShowAndActivate();
  FormMain->EditMinL->setFocus();
  QTest::keyClick(FormMain->EditMinL, Qt::Key_Up);
  EXPECT_EQ(FocusName(), "EditMaxL");
  QTest::keyClick(FormMain->EditMaxL, Qt::Key_Down);
  EXPECT_EQ(FocusName(), "EditMinL");
  FormMain->EditSf->setFocus();
  QTest::keyClick(FormMain->EditSf, Qt::Key_Return);
  EXPECT_EQ(FocusName(), "CheckBoxLevel");
  // Other keys type as usual.
  FormMain->EditEf->setFocus();
  QTest::keyClick(FormMain->EditEf, Qt::Key_End);
  QTest::keyClicks(FormMain->EditEf, "5");
  EXPECT_EQ(FormMain->EditEf->text(), QStringLiteral("10k5"));
  EXPECT_EQ(FocusName(), "EditEf");
}

TEST_F(FormMainTest, CharactersWithTheCodesOfNamedKeysTypeIntoTheAxisBoxes) {
  // Qt gives the characters % & ' ( the codes 0x25 .. 0x28 of the arrow keys
  // and '.' the code of Delete: typed, they stay in the box and move no focus.
  ShowAndActivate();
  const QString typed = QStringLiteral("1%&'(.5");
  for (QLineEdit* edit : {FormMain->EditMaxL, FormMain->EditMinL, FormMain->EditMaxD,
                          FormMain->EditMinD, FormMain->EditEf, FormMain->EditSf}) {
    SCOPED_TRACE(edit->objectName().toStdString());
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, typed);
    EXPECT_EQ(edit->text(), typed);
    EXPECT_EQ(FocusName(), edit->objectName());
  }
}

TEST(VirtualKeyOf, NamedKeysKeepTheirCodesAndCharactersNeverTakeOne) {
  const int base = CharacterKeyBase;
  const struct {
    int key;
    const char* text;
    int code;
  } cases[] = {
      {Qt::Key_Return, "\r", KeyEnter},
      {Qt::Key_Enter, "\r", KeyEnter},
      {Qt::Key_Escape, "\x1b", KeyEscape},
      {Qt::Key_Left, "", 37},
      {Qt::Key_Up, "", KeyUp},
      {Qt::Key_Right, "", 39},
      {Qt::Key_Down, "", KeyDown},
      {Qt::Key_Delete, "\x7f", 46},
      {Qt::Key_Tab, "\t", 9},
      {Qt::Key_Backspace, "\b", 8},
      {Qt::Key_Space, " ", 32},
      {Qt::Key_A, "a", 'A'},
      {Qt::Key_Z, "Z", 'Z'},
      {Qt::Key_0, "0", '0'},
      {Qt::Key_9, "9", '9'},
      {Qt::Key_Percent, "%", base + 0x25},
      {Qt::Key_Ampersand, "&", base + 0x26},
      {Qt::Key_Apostrophe, "'", base + 0x27},
      {Qt::Key_ParenLeft, "(", base + 0x28},
      {Qt::Key_Period, ".", base + 0x2e},
      {Qt::Key_Comma, ",", base + 0x2c},
      {Qt::Key_Minus, "-", base + 0x2d},
      {0, "x", base},
      {0xFF4B, "\xef\xbd\x8b", base + 0xFF4B},  // full-width k
      {Qt::Key_Home, "", Qt::Key_Home},
      {Qt::Key_F2, "", Qt::Key_F2},
      {Qt::Key_unknown, "", Qt::Key_unknown},
  };
  for (const auto& c : cases) {
    const QKeyEvent event(QEvent::KeyPress, c.key, Qt::NoModifier, QString::fromUtf8(c.text));
    EXPECT_EQ(VirtualKeyOf(&event), c.code) << std::hex << c.key;
  }
}

namespace {
// A control of the main window whose event handler raises an arithmetic error.
class FaultyControl : public QWidget {
 public:
  using QWidget::QWidget;
  static constexpr QEvent::Type Poke = QEvent::User;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == Poke) RaiseFloatError(FloatErrorKind::Overflow);
    return QWidget::event(event);
  }
};
}  // namespace

TEST_F(FormMainTest, AnErrorEscapingAWindowEventIsReportedAndTheProgramGoesOn) {
  ShowAndActivate();
  MessageBoxRecorder recorder;
  auto* control = new FaultyControl(FormMain->centralWidget());
  QEvent poke(FaultyControl::Poke);
  QCoreApplication::sendEvent(control, &poke);
  QCoreApplication::sendEvent(control, &poke);
  ASSERT_EQ(recorder.boxes().size(), 2);
  EXPECT_EQ(recorder.boxes()[0].text, QStringLiteral("浮動小数点数のオーバーフロー."));
  EXPECT_EQ(recorder.boxes()[0].caption, ApplicationTitle());
  EXPECT_EQ(recorder.boxes()[0].icon, BoxIcon::Stop);
  EXPECT_EQ(recorder.boxes()[0].owner, FormMain);
  // The window still takes input.
  FormMain->EditEf->setFocus();
  QTest::keyClick(FormMain->EditEf, Qt::Key_End);
  QTest::keyClicks(FormMain->EditEf, "1");
  EXPECT_EQ(FormMain->EditEf->text(), QStringLiteral("10k1"));
  delete control;
}

TEST_F(FormMainTest, ExitClosesTheProgramsWindows) {
  ShowAndActivate();
  FormEdit->show();
  FormMain->ButtonExit->click();
  EXPECT_FALSE(FormMain->isVisible());
  EXPECT_FALSE(FormEdit->isVisible());
}

TEST(FileVersionText, MinorHasAtLeastTwoDigits) {
  const struct {
    quint32 version;
    const char* text;
  } cases[] = {{0x00010010, "1.16"},
               {0x00020005, "2.05"},
               {0x0001007B, "1.123"},
               {0x00010000, "1.00"},
               {0xFFFFFFFF, "65535.65535"}};
  for (const auto& c : cases) EXPECT_EQ(FileVersionText(c.version), QString(c.text)) << c.text;
}

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstPeriod) {
  const struct {
    const char* path;
    const char* title;
  } cases[] = {{"/usr/bin/kesto", "Kesto"},
               {"/opt/KESTO.exe", "Kesto"},
               {"/x/filter.tool.bin", "Filter"},
               {"kesto-plot", "Kesto-plot"}};
  for (const auto& c : cases)
    EXPECT_EQ(ApplicationTitleFromPath(c.path), QString(c.title)) << c.path;
}
