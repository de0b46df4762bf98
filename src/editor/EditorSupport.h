#pragma once

#include "common/MessageDlg.h"

#include <QObject>

class QComboBox;
class QFont;
class QKeyEvent;
class QWidget;
class TStringGrid;

// Connects a control's signal to a handler of the editing windows that runs
// under the general error report.
template <class Sender, class Signal, class Handler>
void ConnectGuarded(Sender* sender, Signal signal, QObject* context, Handler handler) {
  QObject::connect(sender, signal, context, [handler](auto&&...) { RunGuarded(handler); });
}

// Brings the main window's graph up to date with the table, titled with
// CurrentFile. The one place where the editing windows redraw.
void RedrawMainGraph();

// The fixed-pitch font of the editing windows' grid, value boxes and list
// boxes, 12 pixels high: its half-width characters are 6 pixels wide, so a
// ten-character number fills a 70-pixel box.
QFont FixedPitchFont();

// Sets the text of a drop-down box from code without running its change
// handlers; a text equal to an item also makes that item the current one.
void SetComboText(QComboBox* combo, const QString& text);

// Makes a window of the editor belong to the main window: it stays above it
// and has no task-bar button of its own.
void BelongToMainWindow(QWidget* window);

// Whether a key press carries the Enter character.
bool IsEnterCharacter(const QKeyEvent* event);

// ParseEng of a box's text, 0.0 when the text gives no value.
double ValueOrZero(const QString& text);

// Grid rows of the editor: the element rows 1 .. RowCount - 1 of a grid whose
// column 1 holds the type text and columns 2 .. 5 the values.
//
// Removes element row `row`: the rows below it move up one place while their
// type cell is not empty, and the last row so moved (or `row` itself) is
// emptied. Column 0 never changes.
void RemoveGridRow(TStringGrid& grid, int row);
// Removes every row that does not count as filled and lies above one that
// does, so that the filled rows close up from row 1 in their order.
void CloseGaps(TStringGrid& grid, bool (*filled)(const QString& typeText));
