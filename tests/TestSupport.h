#pragma once

#include "common/MessageDlg.h"
#include "platform/FloatError.h"

#include <QList>

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

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

// One stage row of the transfer table: type code, H, fo|fa, Q, fn.
struct StageValues {
  double type, h, fo, q, fn;
};

// Puts the stages into table rows 2 .. and their number into n.
void SetStages(const std::vector<StageValues>& stages);
inline void SetStages(std::initializer_list<StageValues> stages) {
  SetStages(std::vector<StageValues>(stages));
}

// The arithmetic fault an action raised, or none.
std::optional<FloatErrorKind> FaultOf(const std::function<void()>& action);
