#include "TestSupport.h"

#include "document/TransferTable.h"

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

void SetStages(const std::vector<StageValues>& stages) {
  int row = FirstStageRow;
  for (const StageValues& s : stages) {
    ElementCell(row, TransferElement::Type) = s.type;
    ElementCell(row, TransferElement::H) = s.h;
    ElementCell(row, TransferElement::FoFa) = s.fo;
    ElementCell(row, TransferElement::Q) = s.q;
    ElementCell(row, TransferElement::Fn) = s.fn;
    ++row;
  }
  HeaderCell(FilterHeader::N) = row - FirstStageRow;
}

std::optional<FloatErrorKind> FaultOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const FloatError& e) {
    return e.kind();
  }
  return std::nullopt;
}
