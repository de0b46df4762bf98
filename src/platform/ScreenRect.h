#pragma once

// A rectangle in screen pixels: left and top inclusive, right and bottom
// exclusive, so width = right - left and height = bottom - top.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Where a window of the given outer size goes so that it is centred over the
// owner's outer rectangle and pushed back inside the work area. Integer halves
// truncate toward zero. The clamps run top, bottom, left, right in that order,
// so a window larger than the work area ends flush with its bottom and right
// edges.
inline ScreenPoint CenteredPlacement(const ScreenRect& owner, int width, int height,
                                     const ScreenRect& workArea) {
  int top = owner.top + (owner.height() - height) / 2;
  int left = owner.left + (owner.width() - width) / 2;
  if (top < workArea.top) top = workArea.top;
  if (top > workArea.bottom - height) top = workArea.bottom - height;
  if (left < workArea.left) left = workArea.left;
  if (left > workArea.right - width) left = workArea.right - width;
  return {left, top};
}
