#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include <set>
#include <utility>

namespace {

constexpr ColorWord Red = 0x0000FF;
constexpr ColorWord Blue = 0xFF0000;

// Pixels of the canvas that differ from white.
std::set<std::pair<int, int>> Marked(const Canvas& canvas) {
  std::set<std::pair<int, int>> marked;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.PixelAt(x, y) != ColorWhite) marked.insert({x, y});
  return marked;
}

}  // namespace

TEST(Canvas, ColourWordsAreBlueGreenRed) {
  EXPECT_EQ(ColorWordToRgb(0xA0A0A0), qRgb(160, 160, 160));
  EXPECT_EQ(ColorWordToRgb(Blue), qRgb(0, 0, 255));
  EXPECT_EQ(ColorWordToRgb(Red), qRgb(255, 0, 0));
  EXPECT_EQ(ColorWordToRgb(0x00FF00), qRgb(0, 255, 0));
  EXPECT_EQ(RgbToColorWord(qRgb(1, 2, 3)), 0x030201u);
}

TEST(Canvas, LinesLeaveOutTheirEndPixelInEitherDirection) {
  Canvas forward(40, 40);
  forward.SetPen(ColorBlack);
  forward.MoveTo(10, 5);
  forward.LineTo(20, 5);
  std::set<std::pair<int, int>> expected;
  for (int x = 10; x < 20; ++x) expected.insert({x, 5});
  EXPECT_EQ(Marked(forward), expected);

  Canvas backward(40, 40);
  backward.SetPen(ColorBlack);
  backward.MoveTo(20, 5);
  backward.LineTo(10, 5);
  expected.clear();
  for (int x = 11; x <= 20; ++x) expected.insert({x, 5});
  EXPECT_EQ(Marked(backward), expected);

  // A diagonal visits one pixel per step and stops short of its end.
  Canvas diagonal(40, 40);
  diagonal.SetPen(ColorBlack);
  diagonal.MoveTo(0, 0);
  diagonal.LineTo(5, 5);
  EXPECT_EQ(Marked(diagonal),
            (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));

  // A line to its own start draws nothing; the end becomes the current point.
  Canvas empty(10, 10);
  empty.MoveTo(3, 3);
  empty.LineTo(3, 3);
  EXPECT_TRUE(Marked(empty).empty());
}

TEST(Canvas, SteepAndShallowLinesAreConnected) {
  for (auto [x1, y1] : {std::pair{37, 11}, std::pair{3, 38}, std::pair{-20, 30}}) {
    Canvas canvas(80, 80);
    canvas.SetPen(ColorBlack);
    canvas.MoveTo(20, 20);
    canvas.LineTo(20 + x1 / 2, 20 + y1 / 2);
    const auto marked = Marked(canvas);
    const int steps = std::max(std::abs(x1 / 2), std::abs(y1 / 2));
    EXPECT_EQ(static_cast<int>(marked.size()), steps) << x1 << "," << y1;
  }
}

// Every thin line is Bresenham's, whatever shortcut draws it: the steps of a
// curve between adjacent columns, in and partly out of the bitmap, and longer
// lines, checked against the textbook walk.
TEST(Canvas, LinesFollowBresenhamsWalk) {
  const auto walk = [](int x0, int y0, int x1, int y1) {
    std::set<std::pair<int, int>> pixels;
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx - dy; x0 != x1 || y0 != y1;) {
      if (x0 >= 0 && y0 >= 0 && x0 < 30 && y0 < 90) pixels.insert({x0, y0});
      const int e2 = 2 * err;
      if (e2 > -dy) err -= dy, x0 += sx;
      if (e2 < dx) err += dx, y0 += sy;
    }
    return pixels;
  };
  for (const int y0 : {2, 45, 88})
    for (int dx = -3; dx <= 3; ++dx)
      for (int dy = -44; dy <= 44; ++dy) {
        Canvas canvas(30, 90);
        canvas.SetPen(ColorBlack);
        canvas.MoveTo(15, y0);
        canvas.LineTo(15 + dx, y0 + dy);
        ASSERT_EQ(Marked(canvas), walk(15, y0, 15 + dx, y0 + dy))
            << "from (15, " << y0 << ") by (" << dx << ", " << dy << ")";
      }
}

TEST(Canvas, ExclusiveOrDrawingTwiceRestoresTheBitmap) {
  Canvas canvas(60, 60);
  canvas.SetBrushColor(0x123456);
  canvas.FillRect(10, 10, 50, 50);
  const QImage before = canvas.image().copy();
  canvas.SetPen(Red, 1, PenMode::Xor);
  for (int pass = 0; pass < 2; ++pass) {
    canvas.MoveTo(0, 30);
    canvas.LineTo(60, 30);
    canvas.MoveTo(30, 0);
    canvas.LineTo(30, 60);
    canvas.MoveTo(3, 57);
    canvas.LineTo(57, 9);
  }
  EXPECT_EQ(canvas.image(), before);

  // Pure red over white is cyan.
  Canvas white(5, 5);
  white.SetPen(Red, 1, PenMode::Xor);
  white.MoveTo(0, 2);
  white.LineTo(5, 2);
  EXPECT_EQ(white.PixelAt(2, 2), 0xFFFF00u);
}

TEST(Canvas, TwoPixelPenDrawsTwoPixelsAcrossTheLine) {
  Canvas canvas(30, 30);
  canvas.SetPen(ColorBlack, 2);
  canvas.MoveTo(5, 10);
  canvas.LineTo(15, 10);
  canvas.MoveTo(20, 0);
  canvas.LineTo(20, 5);
  std::set<std::pair<int, int>> expected;
  for (int x = 5; x < 15; ++x) expected.insert({x, 10}), expected.insert({x, 11});
  for (int y = 0; y < 5; ++y) expected.insert({20, y}), expected.insert({21, y});
  EXPECT_EQ(Marked(canvas), expected);
}

TEST(Canvas, RectanglesExcludeTheirRightAndBottomEdges) {
  Canvas canvas(20, 20);
  canvas.SetPen(ColorBlack);
  canvas.SetBrushColor(Blue);
  canvas.Rectangle(2, 3, 8, 9);
  EXPECT_EQ(canvas.PixelAt(2, 3), ColorBlack);
  EXPECT_EQ(canvas.PixelAt(7, 8), ColorBlack);
  EXPECT_EQ(canvas.PixelAt(8, 8), ColorWhite);
  EXPECT_EQ(canvas.PixelAt(7, 9), ColorWhite);
  EXPECT_EQ(canvas.PixelAt(4, 5), Blue);

  Canvas frame(20, 20);
  frame.SetBrushColor(Red);
  frame.FrameRect(2, 3, 8, 9);
  EXPECT_EQ(frame.PixelAt(2, 3), Red);
  EXPECT_EQ(frame.PixelAt(7, 8), Red);
  EXPECT_EQ(frame.PixelAt(4, 5), ColorWhite);
  EXPECT_EQ(frame.PixelAt(8, 3), ColorWhite);
  EXPECT_EQ(Marked(frame).size(), 2u * 6 + 2u * 4);

  Canvas fill(20, 20);
  fill.SetBrushColor(Blue);
  fill.FillRect(-5, -5, 3, 2);
  EXPECT_EQ(Marked(fill).size(), 3u * 2);
}

TEST(Canvas, TextIsOpaqueInTheFixedFont) {
  EXPECT_EQ(QFontInfo(Canvas::DefaultFont()).family(), QStringLiteral("DejaVu Sans"));
  Canvas canvas(100, 30);
  EXPECT_EQ(canvas.TextHeight(QStringLiteral("1")), 13);
  const int width = canvas.TextWidth(QStringLiteral("100.0 "));
  EXPECT_GT(width, 20);
  EXPECT_LT(width, 45);

  canvas.SetBrushColor(0x00FFFF);  // yellow box
  canvas.TextOut(10, 5, QStringLiteral("8"));
  const int w = canvas.TextWidth(QStringLiteral("8"));
  int ink = 0;
  int box = 0;
  for (int y = 5; y < 5 + 13; ++y)
    for (int x = 10; x < 10 + w; ++x) {
      const ColorWord c = canvas.PixelAt(x, y);
      if (c == ColorBlack) ++ink;
      if (c == 0x00FFFF) ++box;
      // Without antialiasing there are only the two colours.
      EXPECT_TRUE(c == ColorBlack || c == 0x00FFFF) << x << "," << y;
    }
  EXPECT_GT(ink, 10);
  EXPECT_GT(box, ink);
  EXPECT_EQ(canvas.PixelAt(10 + w, 8), ColorWhite);
  EXPECT_EQ(canvas.PixelAt(9, 8), ColorWhite);
}

TEST(Canvas, DrawingAfterACopyLeavesTheCopyAlone) {
  Canvas canvas(20, 20);
  canvas.SetPen(ColorBlack);
  canvas.MoveTo(0, 5);
  canvas.LineTo(20, 5);
  const QImage shared = canvas.image();  // shares the pixels, as the clipboard does
  canvas.MoveTo(0, 10);
  canvas.LineTo(20, 10);
  canvas.SetBrushColor(0x0000FF);
  canvas.FillRect(0, 15, 20, 20);
  EXPECT_EQ(RgbToColorWord(shared.pixel(3, 10)), ColorWhite);
  EXPECT_EQ(RgbToColorWord(shared.pixel(3, 16)), ColorWhite);
  EXPECT_EQ(RgbToColorWord(shared.pixel(3, 5)), ColorBlack);
  EXPECT_EQ(canvas.PixelAt(3, 10), ColorBlack);
  EXPECT_EQ(canvas.PixelAt(3, 16), 0x0000FFu);
}
