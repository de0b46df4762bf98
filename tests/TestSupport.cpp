#include "TestSupport.h"

#include <cmath>

MessageBoxRecorder::MessageBoxRecorder(int answer)
    : MessageBoxRecorder([answer](const MessageBoxRequest&) { return answer; }) {}

MessageBoxRecorder::MessageBoxRecorder(std::function<int(const MessageBoxRequest&)> answer) {
  SetMessageBoxResponder([this, answer](const MessageBoxRequest& request) {
    boxes_.append(request);
    return answer(request);
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxResponder({}); }

QStringList MessageBoxRecorder::texts() const {
  QStringList result;
  for (const MessageBoxRequest& box : boxes_) result << box.text;
  return result;
}

bool NearlyEqual(double actual, double expected, double relativeTolerance) {
  if (actual == expected) return true;
  const double scale = std::max(std::fabs(actual), std::fabs(expected));
  return std::fabs(actual - expected) <= relativeTolerance * scale;
}
