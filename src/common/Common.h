#pragma once

#include <QString>

// Number text of the program's controls.
//
// FormatFixed: fixed-point text with `decimals` digits after the point,
// right-aligned with spaces to at least `width` characters while PadToWidth is
// on. NaN gives the star field (" *** " style, `width` characters).
QString FormatFixed(double value, int width, int decimals);
// As FormatFixed with "," between groups of three integer digits; always pads.
QString FormatFixedGrouped(double value, int width, int decimals);
// Engineering notation: a mantissa of width - 1 characters and one SI prefix
// letter (p n u m, a space, k M G T).
QString FormatEng(double value, int width, int decimals);
// Text to number: SI suffix letters in half-width or full-width form,
// thousands commas and embedded spaces are accepted; NaN for text that is no
// number or does not fit a double.
double ParseEng(const QString& text);

// Whether FormatFixed pads to its width; on from start-up.
extern bool PadToWidth;
