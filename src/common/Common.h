#pragma once

#include <QString>

// Number text of the program's controls. The decimal separator is "." in both
// directions, whatever the locale. None of these functions raises.
//
// FormatFixed: fixed-point text with `decimals` digits after the point, rounded
// halves away from zero, right-aligned with spaces to at least `width`
// characters while PadToWidth is on; a longer text is never cut. NaN gives the
// star field: one space, "*" up to width - 1 characters, one space (two spaces
// for a width below 2). Magnitudes of 1e17 and more are written in exponent
// form ("1.500E+20"), infinities as "INF" and "-INF".
QString FormatFixed(double value, int width, int decimals);
// As FormatFixed with "," between groups of three integer digits; always pads,
// whatever PadToWidth says.
QString FormatFixedGrouped(double value, int width, int decimals);
// Engineering notation: FormatFixed of the scaled value with width - 1, then one
// SI prefix letter (p n u m, a space, k M G T). Beyond "T" the mantissa grows to
// 1000 and more; NaN gives the star field followed by "p".
QString FormatEng(double value, int width, int decimals);
// Text to number: SI suffix letters in half-width or full-width form,
// thousands commas and embedded spaces are accepted; NaN for text that is no
// number or does not fit a double.
double ParseEng(const QString& text);

// Whether FormatFixed (and so FormatEng) pads to its width; on from start-up.
extern bool PadToWidth;
