#pragma once

#include <QString>
#include <QStringList>

// The fixed text lists behind the codes stored in the transfer table. A code
// is 1 + the position of its text in its list; 0 means none.

// Filter forms (Ftype), the items of the editor's "フィルタ形式" box.
const QStringList& FilterFormItems();
// Amplitude characteristics (Rtype), the items of the editor's "振幅特性" box.
const QStringList& ResponseTypeItems();
// Stage types (Type), the items of the element dialog's type box.
const QStringList& ElementTypeItems();

// Code of a text: exact match ignoring letter case, 0 for the empty text and
// for a text that is not in the list.
int CodeOfText(const QStringList& items, const QString& text);
// Text of a code: the item at position code - 1, the empty text for a code
// outside the list (0 included).
QString TextOfCode(const QStringList& items, int code);

// Code held by a table cell: the cell rounded to the nearest whole number,
// halves to even. A NaN, an infinity or a value beyond the range of int gives
// 0, which names no item, so that a table read from a broken file still shows
// in the editor.
int CodeOfCell(double value);

// Position (0..7) of a stage type text in the type list, -1 for an empty or
// unlisted text.
int ElementTypePosition(const QString& text);

// Whether a stage type code shows a Q value (second-order types 3, 4, 5, 6, 8)
// and a zero frequency fn (the TZF, 6).
bool ElementUsesQ(int typeCode);
bool ElementUsesFn(int typeCode);
// Whether a stage type code is one of the eight listed types.
bool IsListedElementType(int typeCode);

// Filter forms given by a corner frequency fc and no bandwidth (LPF, HPF,
// Normalized LPF: 1, 2, 6) and those given by a centre frequency fo and a
// bandwidth fb (BPF, BEF, Equalizer, Other: 3, 4, 5, 7).
bool FilterFormHasCornerFrequency(int formCode);
bool FilterFormHasBandwidth(int formCode);
