#include "common/ErrorReport.h"
#include "common/MessageDlg.h"

#include "TestSupport.h"
#include "platform/AppInfo.h"
#include "platform/Fp.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

TEST(CenteredPlacement, CentresAndClampsInOrder) {
  const ScreenRect screen{0, 0, 1920, 1040};
  const ScreenRect second{1920, 0, 3840, 1040};
  const struct {
    const char* name;
    ScreenRect owner;
    int w, h;
    ScreenRect work;
    ScreenPoint expected;
  } cases[] = {
      {"centred", {100, 100, 901, 661}, 300, 120, screen, {350, 320}},
      {"odd halves truncate toward zero", {0, 0, 11, 11}, 4, 4, screen, {3, 3}},
      {"negative halves truncate toward zero", {100, 100, 103, 103}, 6, 6, screen, {99, 99}},
      {"owner at the right edge", {1700, 300, 2100, 700}, 300, 100, screen, {1620, 450}},
      {"owner above the top", {500, -400, 900, 0}, 300, 100, screen, {550, 0}},
      {"owner on the second monitor", {3600, 200, 4000, 600}, 300, 100, second, {3540, 350}},
      {"owner left of the second monitor's edge",
       {1800, 200, 2000, 600},
       300,
       100,
       second,
       {1920, 350}},
      {"taller than the work area", {100, 100, 500, 500}, 200, 1500, screen, {200, 1040 - 1500}},
      {"wider than the work area", {100, 100, 500, 500}, 2500, 100, screen, {1920 - 2500, 250}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CenteredPlacement(c.owner, c.w, c.h, c.work), c.expected) << c.name;
  }
}

TEST(MessageBoxes, KindsGiveCaptionsIconsAndButtons) {
  const struct {
    int kind;
    quint16 buttons;
    QString caption;
    BoxIcon icon;
    QStringList texts;
    int defaultAnswer, escapeAnswer;
  } cases[] = {
      {MsgWarning, MbOk, "警告", BoxIcon::Warning, {"OK"}, AnswerOk, AnswerOk},
      {MsgError, MbOk, "エラー", BoxIcon::Stop, {"OK"}, AnswerOk, AnswerOk},
      {MsgInformation, MbOk, "情報", BoxIcon::Information, {"OK"}, AnswerOk, AnswerOk},
      {MsgConfirmation,
       MbYes | MbNo,
       "確認",
       BoxIcon::Question,
       {"はい(&Y)", "いいえ(&N)"},
       AnswerYes,
       AnswerNo},
      {MsgCustom,
       MbYes | MbNo,
       ApplicationTitle(),
       BoxIcon::None,
       {"はい(&Y)", "いいえ(&N)"},
       AnswerYes,
       AnswerNo},
      {MsgWarning,
       MbYes | MbNo | MbOk,
       "警告",
       BoxIcon::Warning,
       {"はい(&Y)", "いいえ(&N)", "OK"},
       AnswerOk,
       AnswerNo},
  };
  for (const auto& c : cases) {
    const MessageBoxRequest box = DescribeMessageBox("text", c.kind, c.buttons);
    EXPECT_EQ(box.caption, c.caption) << c.kind;
    EXPECT_EQ(box.icon, c.icon) << c.kind;
    EXPECT_EQ(box.buttonTexts, c.texts) << c.kind;
    EXPECT_EQ(box.defaultAnswer, c.defaultAnswer) << c.kind;
    EXPECT_EQ(box.escapeAnswer, c.escapeAnswer) << c.kind;
  }
  EXPECT_EQ(DescribeMessageBox("", MsgConfirmation, MbYes | MbNo).buttonAnswers,
            (QList<int>{AnswerYes, AnswerNo}));
}

TEST(MessageBoxes, RecorderSeesTheBoxAndItsOwnerAndAnswers) {
  QWidget owner;
  MessageBoxRecorder recorder(AnswerNo);
  EXPECT_EQ(
      MessageDlgCentered("削除してもよろしいですか?", MsgConfirmation, MbYes | MbNo, 0, &owner),
      AnswerNo);
  ASSERT_EQ(recorder.boxes().size(), 1);
  EXPECT_EQ(recorder.boxes()[0].owner, &owner);
  EXPECT_EQ(recorder.texts(), QStringList{"削除してもよろしいですか?"});
}

TEST(ErrorReport, AddsAFullStopUnlessThereIsOne) {
  const struct {
    QString message, text;
  } cases[] = {
      {"0 による浮動小数点数除算", "0 による浮動小数点数除算."},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},  // '!' comes before '.'
      {"a-", "a-"},        // '-' comes before '.'
      {"a/", "a/."},       // '/' comes after '.'
      {"line\r\n", "line\r\n"},
      {"", "."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorReportText(c.message), c.text) << c.message.toStdString();
}

TEST(ErrorReport, GuardedHandlerShowsTheErrorAndReturns) {
  MessageBoxRecorder recorder;
  bool after = false;
  RunGuarded([] { fp::Div(1.0, 0.0); });
  RunGuarded([&] { after = true; });
  ASSERT_EQ(recorder.boxes().size(), 1);
  const MessageBoxRequest& box = recorder.boxes()[0];
  EXPECT_EQ(box.caption, ApplicationTitle());
  EXPECT_EQ(box.text, QStringLiteral("0 による浮動小数点数除算."));
  EXPECT_EQ(box.icon, BoxIcon::Stop);
  EXPECT_EQ(box.buttonTexts, QStringList{"OK"});
  EXPECT_TRUE(after);
}

namespace {

// Runs `answer` on the real box once it is on screen, while MessageDlgCentered
// waits in its own loop.
void WhenBoxShows(const std::function<void(QMessageBox*)>& answer) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer(box);
  });
  timer->start(10);
}

}  // namespace

TEST(MessageBoxes, RealBoxIsCentredOverItsOwnerAndAnswersByKey) {
  QWidget owner;
  owner.setGeometry(150, 120, 400, 300);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

  ScreenRect shownAt;
  QString caption;
  QStringList buttons;
  WhenBoxShows([&](QMessageBox* box) {
    shownAt = OuterRect(box);
    caption = box->windowTitle();
    for (QAbstractButton* b : box->buttons()) buttons << b->text();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(MessageDlgCentered(
                "移動できません!\r\n\r\n移動したいエレメントをクリックして選択してください。",
                MsgConfirmation, MbYes | MbNo, 0, &owner),
            AnswerNo);
  EXPECT_EQ(caption, QStringLiteral("確認"));
  EXPECT_EQ(buttons.size(), 2);
  const ScreenPoint expected = CenteredPlacement(OuterRect(&owner), shownAt.width(),
                                                 shownAt.height(), MonitorWorkArea(&owner));
  EXPECT_EQ((ScreenPoint{shownAt.left, shownAt.top}), expected);

  WhenBoxShows([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
  EXPECT_EQ(MessageDlgCentered("x", MsgConfirmation, MbYes | MbNo, 0, &owner), AnswerYes);

  WhenBoxShows([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(MessageDlgCentered("x", MsgWarning, MbOk, 0, &owner), AnswerOk);

  // The close box answers "cancel", not the escape button.
  WhenBoxShows([](QMessageBox* box) { box->close(); });
  EXPECT_EQ(MessageDlgCentered("x", MsgConfirmation, MbYes | MbNo, 0, &owner), AnswerCancel);
}
