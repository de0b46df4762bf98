#pragma once

#include "common/MessageDlg.h"

#include <QList>

#include <functional>

// Records every message box instead of showing it and answers with a fixed
// code (or with a function of the box). Restores real boxes when destroyed.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = AnswerOk);
  explicit MessageBoxRecorder(std::function<int(const MessageBoxRequest&)> answer);
  ~MessageBoxRecorder();

  const QList<MessageBoxRequest>& boxes() const { return boxes_; }
  QStringList texts() const;

 private:
  QList<MessageBoxRequest> boxes_;
};

// Fuzzy comparison of doubles with an explicit relative tolerance.
bool NearlyEqual(double actual, double expected, double relativeTolerance);
