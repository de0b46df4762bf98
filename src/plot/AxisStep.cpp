#include "plot/AxisStep.h"

#include "common/Common.h"
#include "platform/Fp.h"
#include "plot/PlotState.h"

#include <cmath>

namespace {

int Action(int tag, bool reverse) {
  if (reverse && (tag == 1 || tag == 2)) return 3 - tag;
  return tag;
}

// Shifts or zooms [lower, upper] by the additive step s.
void StepLinear(int action, double s, double& lower, double& upper) {
  switch (action) {
    case 1:
      upper = fp::Sub(upper, s);
      lower = fp::Sub(lower, s);
      break;
    case 2:
      upper = fp::Add(upper, s);
      lower = fp::Add(lower, s);
      break;
    case 3:
      upper = fp::Sub(upper, s);
      lower = fp::Add(lower, s);
      break;
    case 4:
      upper = fp::Add(upper, s);
      lower = fp::Sub(lower, s);
      break;
    default:
      break;
  }
}

// A span that has no grid step: equal limits, or limits that are no numbers.
bool NoStep(double lower, double upper) {
  const double span = upper - lower;
  return span == 0.0 || !std::isfinite(span);
}

}  // namespace

std::optional<LimitTexts> StepFrequencyAxis(int tag, bool reverse) {
  const int a = Action(tag, reverse);
  double& start = PlotState.FreqStart;
  double& end = PlotState.FreqEnd;
  // A logarithmic axis also needs a start above 0 Hz for its decade rule.
  if (NoStep(start, end) || (PlotState.LogScale && !(start > 0.0))) return std::nullopt;
  // Zooming in stops once the span is no more than 0.2 % of the end.
  auto zoomAllowed = [&] { return fp::Div(end - start, end) > 0.002; };
  if (PlotState.LogScale) {
    const double s = LogFreqStep(end, start);
    const double k = fp::Div(s, start) + 1.0;
    switch (a) {
      case 1:
        end = fp::Div(end, k);
        start = fp::Div(start, k);
        break;
      case 2:
        end = fp::Mul(end, k);
        start = fp::Mul(start, k);
        break;
      case 3:
        if (zoomAllowed()) {
          end = fp::Div(end, k);
          start = fp::Mul(start, k);
        }
        break;
      case 4:
        end = fp::Mul(end, k);
        start = fp::Div(start, k);
        break;
      default:
        break;
    }
    if (start < 0.0) start = 1e-6;
  } else {
    const double s = GridStep(end - start);
    if (a != 3 || zoomAllowed()) StepLinear(a, s, start, end);
    if (start < 0.0) start = 0.0;
  }
  if (start >= end) end = fp::Mul(start, 1.001);
  return LimitTexts{FormatEng(end, 8, 4), FormatEng(start, 8, 4)};
}

std::optional<LimitTexts> StepValueAxis(int tag, bool reverse) {
  const int a = Action(tag, reverse);
  if (PlotState.ShowAmplitude) {
    double& lower = PlotState.LevelMin;
    double& upper = PlotState.LevelMax;
    if (NoStep(lower, upper)) return std::nullopt;
    StepLinear(a, GridStep(upper - lower), lower, upper);
    return LimitTexts{FormatEng(upper, 8, 3), FormatEng(lower, 8, 3)};
  }
  double& lower = PlotState.DelayMin;
  double& upper = PlotState.DelayMax;
  if (NoStep(lower, upper)) return std::nullopt;
  StepLinear(a, GridStep(upper - lower), lower, upper);
  if (lower < 0.0) lower = 0.0;
  if (lower >= upper) upper = fp::Add(lower, 1e-9);
  return LimitTexts{FormatEng(upper, 8, 3), FormatEng(lower, 8, 3)};
}
