#pragma once

#include "platform/ScreenRect.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Kind codes of MessageDlgCentered, with their captions and icons.
enum MessageKind : int {
  MsgWarning = 0,       // "警告", exclamation mark
  MsgError = 1,         // "エラー", stop sign
  MsgInformation = 2,   // "情報", information sign
  MsgConfirmation = 3,  // "確認", question mark
  MsgCustom = 4,        // the application title, no icon
};

// Button set bits and answer codes.
constexpr quint16 MbYes = 0x1;
constexpr quint16 MbNo = 0x2;
constexpr quint16 MbOk = 0x4;
constexpr int AnswerOk = 1;
constexpr int AnswerCancel = 2;  // the box was closed without a button
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;

enum class BoxIcon { None, Warning, Stop, Information, Question };

// Everything a message box shows, as MessageDlgCentered or the general error
// report builds it.
struct MessageBoxRequest {
  QString caption;
  QString text;
  BoxIcon icon = BoxIcon::None;
  QStringList buttonTexts;       // left to right
  QList<int> buttonAnswers;      // answer code of each button
  int defaultAnswer = AnswerOk;  // pressed by Enter
  int escapeAnswer = AnswerOk;   // pressed by Esc
  QWidget* owner = nullptr;
};

// The boxes as the kind and button set describe them.
MessageBoxRequest DescribeMessageBox(const QString& text, int kind, quint16 buttons);

// Tests can answer boxes instead of showing them: while a responder is set,
// every box is handed to it and its return value is the answer.
using MessageBoxResponder = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

// Work area of the monitor nearest to the window (the main window for none).
ScreenRect MonitorWorkArea(QWidget* window = nullptr);

// Modal box centred over the owner (the main window when none is given) and
// inside the work area of the owner's monitor. Returns the answer code of the
// button pressed, or 2 when the box was closed otherwise. The help context
// plays no part.
int MessageDlgCentered(const QString& text, int kind, quint16 buttons, int helpContext,
                       QWidget* owner);

// The general error report: a stop-sign box captioned with the application
// title, over the main window.
void ShowErrorReport(const QString& message);

// Runs an event handler; any error that escapes it is shown in the general
// error report and the program goes on.
void RunGuarded(const std::function<void()>& handler);
