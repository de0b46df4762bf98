#include "editor/EditorCodes.h"

#include "document/TransferTable.h"

#include <cmath>

const QStringList& FilterFormItems() {
  static const QStringList items = {
      QStringLiteral("LPF"),   QStringLiteral("HPF"),       QStringLiteral("BPF"),
      QStringLiteral("BEF"),   QStringLiteral("Equalizer"), QStringLiteral("Normalized LPF"),
      QStringLiteral("Other"),
  };
  return items;
}

const QStringList& ResponseTypeItems() {
  static const QStringList items = {
      QStringLiteral("W-W"), QStringLiteral("T-W"),    QStringLiteral("W-T"),
      QStringLiteral("T-T"), QStringLiteral("Bessel"), QStringLiteral("Other"),
  };
  return items;
}

const QStringList& ElementTypeItems() {
  static const QStringList items = {
      QStringLiteral("1st-Ord LPF"), QStringLiteral("1st-Ord HPF"), QStringLiteral("2nd-Ord LPF"),
      QStringLiteral("2nd-Ord HPF"), QStringLiteral("2nd-Ord BPF"), QStringLiteral("2nd-Ord TZF"),
      QStringLiteral("1st-Ord APF"), QStringLiteral("2nd-Ord APF"),
  };
  return items;
}

int CodeOfText(const QStringList& items, const QString& text) {
  if (text.isEmpty()) return 0;
  for (qsizetype i = 0; i < items.size(); ++i) {
    if (items[i].compare(text, Qt::CaseInsensitive) == 0) return static_cast<int>(i) + 1;
  }
  return 0;
}

QString TextOfCode(const QStringList& items, int code) {
  if (code < 1 || code > items.size()) return QString();
  return items[code - 1];
}

int CodeOfCell(double value) {
  const double r = std::rint(value);
  // Also false for NaN.
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return 0;
  return static_cast<int>(r);
}

int ElementTypePosition(const QString& text) { return CodeOfText(ElementTypeItems(), text) - 1; }

bool ElementUsesQ(int typeCode) {
  switch (typeCode) {
    case SecondOrderLpf:
    case SecondOrderHpf:
    case SecondOrderBpf:
    case SecondOrderTzf:
    case SecondOrderApf:
      return true;
    default:
      return false;
  }
}

bool ElementUsesFn(int typeCode) { return typeCode == SecondOrderTzf; }

bool IsListedElementType(int typeCode) {
  return typeCode >= FirstOrderLpf && typeCode <= SecondOrderApf;
}

bool FilterFormHasCornerFrequency(int formCode) {
  return formCode == 1 || formCode == 2 || formCode == 6;
}

bool FilterFormHasBandwidth(int formCode) {
  return formCode == 3 || formCode == 4 || formCode == 5 || formCode == 7;
}
