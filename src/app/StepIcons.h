#pragma once

#include <QImage>

// Pictures of the axis-stepping buttons, drawn by the program: bars and
// arrowheads in black on a transparent ground, 14 x 14 pixels.
enum class StepAxis { Level, Frequency };

// tag 1: arrow to a bar (up for the level axis, right for the frequency axis);
// tag 2: the same the other way; tag 3: two arrowheads pointing apart to two
// bars; tag 4: two arrowheads pointing toward a bar in the middle.
QImage StepButtonPicture(StepAxis axis, int tag);
