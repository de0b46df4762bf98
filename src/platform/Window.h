#pragma once

#include "platform/ScreenRect.h"

class QKeyEvent;
class QWidget;

// Lets every pending window event run once, then returns.
void RunPendingEvents();

// The application-wide mouse cursor.
enum class CursorShape { Arrow, Cross, Wait };
void SetAppCursor(CursorShape shape);
CursorShape AppCursor();

// The application's main window (the first window created), or none.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

// A window's outer rectangle (frame included) in screen coordinates.
ScreenRect OuterRect(const QWidget* window);
// Work area (screen without task bars) of the monitor that holds most of the
// window, or of the nearest monitor when it lies on none.
ScreenRect WorkAreaNearest(const QWidget* window);

// Key codes of the keyboard handlers: Enter 13, Escape 27, the arrow keys
// 37..40 (left, up, right, down), Delete 46, Tab 9, Backspace 8, Space 32;
// letters and digits are their upper-case character codes. Every other
// character key gives CharacterKeyBase + its Qt key code, so that a typed
// character is never taken for one of the keys above (Qt gives '&' the code
// 0x26 and '(' 0x28, the codes of Up and Down). The remaining keys give Qt's
// key code, which lies above 0x01000000.
int VirtualKeyOf(const QKeyEvent* event);
constexpr int CharacterKeyBase = 0x10000;
constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeyUp = 38;
constexpr int KeyDown = 40;

// Moves the focus of the window to its next (or previous) tab stop, passing
// over hidden and disabled controls and wrapping at both ends.
void FocusNextTabStop(QWidget* window, bool forward);

// The keyboard rule of the value boxes: Enter and Down move the focus to the
// next tab stop, Up to the previous one; these keys are then consumed (set to
// 0), any other key is left alone.
void StepFocus(QWidget* window, int& key);
