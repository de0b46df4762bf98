#include "plot/AutoScale.h"

#include "common/Common.h"
#include "document/TransferTable.h"
#include "platform/Fp.h"
#include "plot/Curves.h"
#include "plot/PlotState.h"
#include "response/Response.h"

#include <cmath>

namespace {

using fp::Add;
using fp::Div;
using fp::Mul;
using fp::Sub;

// Filter-form codes of the header.
constexpr int FormLpf = 1;
constexpr int FormHpf = 2;
constexpr int FormBpf = 3;
constexpr int FormBef = 4;
constexpr int FormNormalizedLpf = 6;

// Upper edge of a band of width `width` centred geometrically on fo.
double UpperBandEdge(double width, double fo) {
  return Div(Add(width, std::sqrt(Add(Mul(width, width), Mul(Mul(fo, 4.0), fo)))), 2.0);
}

// A level limit: a multiple of 5 dB (nearest, halves to even) plus an offset.
double LevelLimit(double level, double offset) {
  return static_cast<double>(fp::RoundInt64(Div(level, 5.0))) * 5.0 + offset;
}

}  // namespace

void AutoScaleAxes(AxisBoxTexts& boxes) {
  PrepareStages();
  PlotState.SelectedCurve = 0;

  const double fo = HeaderCell(FilterHeader::FoFc);
  double lo = 1.0;
  double hi = 10000.0;
  double lower = -60.0;
  double upper = 10.0;
  double delay = 0.5;
  if (fo > 0.0) {
    const double fb = HeaderCell(FilterHeader::Fb);
    const double ap = HeaderCell(FilterHeader::Ap);
    const double as = HeaderCell(FilterHeader::As);
    const double ws = HeaderCell(FilterHeader::Ws);
    double fA = 0.0;
    double fD = fo;
    switch (fp::RoundInt(HeaderCell(FilterHeader::Ftype))) {
      case FormLpf:
      case FormNormalizedLpf:
        hi = Add(Mul(fo, ws), Mul(Sub(Mul(fo, ws), fo), 10.0));
        lo = Div(fo, 10.0);
        break;
      case FormHpf:
        hi = Mul(fo, 10.0);
        lo = Div(Div(fo, ws), 10.0);
        fA = Mul(fo, 10.0);
        break;
      case FormBpf: {
        const double t = Mul(fb, ws);
        const double u = UpperBandEdge(t, fo);
        hi = Mul(Mul(u, ws), ws);
        lo = Div(Div(Sub(u, t), ws), ws);
        fA = fo;
        fD = Sub(UpperBandEdge(fb, fo), fb);
        break;
      }
      case FormBef: {
        const double e = UpperBandEdge(fb, fo);
        hi = Mul(Mul(e, ws), ws);
        lo = Div(Div(Sub(e, fb), ws), ws);
        fD = Sub(e, fb);
        break;
      }
      default:
        hi = Mul(fo, 5.0);
        lo = Div(fo, 5.0);
        fA = fo;
        break;
    }
    PlotState.ShowAmplitude = true;
    const double level = CurveValueAt(fA);
    PlotState.ShowAmplitude = false;
    delay = CurveValueAt(fD);
    if (lo < 0.0) lo = 1.0;
    upper = LevelLimit(Add(ap, level), 5.0);
    lower = LevelLimit(Sub(level, std::fabs(as)), -10.0);
  }

  boxes.editSf = FormatEng(lo, 8, 4);
  boxes.editEf = FormatEng(hi, 8, 4);
  boxes.editMinL = FormatEng(lower, 8, 4);
  boxes.editMaxL = FormatEng(upper, 8, 4);
  boxes.editMaxD = FormatEng(Mul(2.0, delay), 2, 0);
}
