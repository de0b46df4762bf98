#include "common/MessageDlg.h"

#include "common/ErrorReport.h"
#include "platform/AppInfo.h"
#include "platform/Window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <exception>

namespace {

MessageBoxResponder responder;

QMessageBox::Icon ToQtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Warning:
      return QMessageBox::Warning;
    case BoxIcon::Stop:
      return QMessageBox::Critical;
    case BoxIcon::Information:
      return QMessageBox::Information;
    case BoxIcon::Question:
      return QMessageBox::Question;
    case BoxIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// A message box that moves itself over its owner once its final size is known,
// and that answers "cancel" when closed by its frame.
class CenteredMessageBox : public QMessageBox {
 public:
  explicit CenteredMessageBox(QWidget* owner) : QMessageBox(owner), owner_(owner) {}
  bool closedByFrame() const { return closedByFrame_; }

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (owner_ == nullptr) return;
    const ScreenRect outer = OuterRect(this);
    const ScreenPoint place = CenteredPlacement(OuterRect(owner_), outer.width(), outer.height(),
                                                MonitorWorkArea(owner_));
    move(place.x, place.y);
  }

  void closeEvent(QCloseEvent* event) override {
    // QMessageBox would press the escape button here; the close box answers
    // "cancel" instead.
    closedByFrame_ = true;
    QDialog::closeEvent(event);
  }

 private:
  QWidget* owner_;
  bool closedByFrame_ = false;
};

int ShowBox(const MessageBoxRequest& request) {
  if (responder) return responder(request);
  CenteredMessageBox box(request.owner);
  box.setWindowTitle(request.caption);
  box.setText(request.text);
  box.setIcon(ToQtIcon(request.icon));
  QList<QAbstractButton*> buttons;
  for (qsizetype i = 0; i < request.buttonTexts.size(); ++i) {
    QPushButton* button = box.addButton(request.buttonTexts[i], QMessageBox::AcceptRole);
    buttons.append(button);
    if (request.buttonAnswers[i] == request.defaultAnswer) box.setDefaultButton(button);
    if (request.buttonAnswers[i] == request.escapeAnswer) box.setEscapeButton(button);
  }
  box.exec();
  if (box.closedByFrame()) return AnswerCancel;
  const qsizetype index = buttons.indexOf(box.clickedButton());
  return index >= 0 ? request.buttonAnswers[index] : AnswerCancel;
}

}  // namespace

void SetMessageBoxResponder(MessageBoxResponder r) { responder = std::move(r); }

MessageBoxRequest DescribeMessageBox(const QString& text, int kind, quint16 buttons) {
  MessageBoxRequest request;
  request.text = text;
  switch (kind) {
    case MsgWarning:
      request.caption = QStringLiteral("警告");
      request.icon = BoxIcon::Warning;
      break;
    case MsgError:
      request.caption = QStringLiteral("エラー");
      request.icon = BoxIcon::Stop;
      break;
    case MsgInformation:
      request.caption = QStringLiteral("情報");
      request.icon = BoxIcon::Information;
      break;
    case MsgConfirmation:
      request.caption = QStringLiteral("確認");
      request.icon = BoxIcon::Question;
      break;
    default:
      request.caption = ApplicationTitle();
      request.icon = BoxIcon::None;
      break;
  }
  if (buttons & MbYes) {
    request.buttonTexts << QStringLiteral("はい(&Y)");
    request.buttonAnswers << AnswerYes;
  }
  if (buttons & MbNo) {
    request.buttonTexts << QStringLiteral("いいえ(&N)");
    request.buttonAnswers << AnswerNo;
  }
  if (buttons & MbOk) {
    request.buttonTexts << QStringLiteral("OK");
    request.buttonAnswers << AnswerOk;
  }
  request.defaultAnswer = (buttons & MbOk) ? AnswerOk : AnswerYes;
  request.escapeAnswer = (buttons & MbNo) ? AnswerNo : AnswerOk;
  return request;
}

ScreenRect MonitorWorkArea(QWidget* window) {
  if (window == nullptr) window = MainWindow();
  if (window == nullptr) return {};
  return WorkAreaNearest(window->window());
}

int MessageDlgCentered(const QString& text, int kind, quint16 buttons, int helpContext,
                       QWidget* owner) {
  Q_UNUSED(helpContext);
  MessageBoxRequest request = DescribeMessageBox(text, kind, buttons);
  if (owner == nullptr) owner = MainWindow();
  // Without any window the box goes where the platform puts it.
  request.owner = owner != nullptr ? owner->window() : nullptr;
  return ShowBox(request);
}

void ShowErrorReport(const QString& message) {
  MessageBoxRequest request;
  request.caption = ApplicationTitle();
  request.text = ErrorReportText(message);
  request.icon = BoxIcon::Stop;
  request.buttonTexts << QStringLiteral("OK");
  request.buttonAnswers << AnswerOk;
  request.owner = MainWindow();
  ShowBox(request);
}

void RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorReport(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowErrorReport(QStringLiteral("予期しないエラー"));
  }
}
