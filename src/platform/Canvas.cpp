#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

ColorWord RgbToColorWord(QRgb rgb) {
  return static_cast<ColorWord>(qRed(rgb)) | (static_cast<ColorWord>(qGreen(rgb)) << 8) |
         (static_cast<ColorWord>(qBlue(rgb)) << 16);
}

QFont Canvas::DefaultFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

Canvas::Canvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32), font_(DefaultFont()), metrics_(font_) {
  image_.fill(ColorWordToRgb(ColorWhite));
}

void Canvas::SetPen(ColorWord color, int width, PenMode mode) {
  penColor_ = color;
  SetPenWidth(width);
  penMode_ = mode;
}

ColorWord Canvas::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  return RgbToColorWord(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Canvas::SetPixel(int x, int y, ColorWord color) {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return;
  reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = ColorWordToRgb(color);
}

Canvas::PixelAccess Canvas::Access() {
  // The pixel pointer stays valid while the image is ours alone. Once a copy
  // shares it (the clipboard keeps one), bits() detaches the image into a
  // buffer of its own and the pointer is taken again.
  if (bits_ == nullptr || !image_.isDetached()) {
    bits_ = reinterpret_cast<QRgb*>(image_.bits());
    stride_ = image_.bytesPerLine() / 4;
    width_ = image_.width();
    height_ = image_.height();
  }
  return {bits_, stride_, width_, height_, ColorWordToRgb(penColor_)};
}

void Canvas::Plot(const PixelAccess& access, int x, int y) {
  auto put = [&](int px, int py) {
    if (px < 0 || py < 0 || px >= access.width || py >= access.height) return;
    QRgb& pixel = access.bits[py * access.stride + px];
    if (penMode_ == PenMode::Xor)
      pixel = 0xFF000000u | ((pixel ^ access.penRgb) & 0x00FFFFFFu);
    else
      pixel = access.penRgb;
  };
  put(x, y);
  // A wide pen adds pixels across the line's run, so that no pixel of one line
  // is touched twice and exclusive-or drawing stays exact.
  for (int extra = 1; extra < penWidth_; ++extra) {
    if (wideAlongY_)
      put(x, y + extra);
    else
      put(x + extra, y);
  }
}

void Canvas::MoveTo(int x, int y) {
  curX_ = x;
  curY_ = y;
}

namespace {

// Bresenham's walk from (x0, y0) toward (x1, y1), calling put for every pixel
// but the last.
template <class Put>
inline void WalkLine(int x0, int y0, int x1, int y1, Put&& put) {
  const int dx = std::abs(x1 - x0);
  const int dy = std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int err = dx - dy;
  while (x0 != x1 || y0 != y1) {
    put(x0, y0);
    const int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x0 += sx;
    }
    if (e2 < dx) {
      err += dx;
      y0 += sy;
    }
  }
}

}  // namespace

void Canvas::LineTo(int x, int y) {
  wideAlongY_ = std::abs(x - curX_) >= std::abs(y - curY_);
  const PixelAccess access = Access();
  const auto inside = [&access](int px, int py) {
    return px >= 0 && py >= 0 && px < access.width && py < access.height;
  };
  if (penWidth_ == 1 && penMode_ == PenMode::Copy && std::abs(x - curX_) == 1 &&
      inside(curX_, curY_) && inside(x, y)) {
    // A curve's step from one column to the next, the bulk of every redraw:
    // the walk's pixels in closed form. Of n = |dy| rows the first
    // n / 2 + 1 (n even) or (n + 1) / 2 (n odd) stay in the first column and
    // the rest, end pixel left out, are in the second.
    const int n = std::abs(y - curY_);
    const int step = y < curY_ ? -1 : 1;
    const int first = n % 2 == 0 ? n / 2 + 1 : (n + 1) / 2;
    const int pixels = std::max(n, 1);
    QRgb* pixel = access.bits + curY_ * access.stride + curX_;
    const qsizetype down = step * access.stride;
    for (int i = 0; i < first; ++i, pixel += down) *pixel = access.penRgb;
    pixel += x - curX_;
    for (int i = first; i < pixels; ++i, pixel += down) *pixel = access.penRgb;
  } else if (penWidth_ == 1 && penMode_ == PenMode::Copy && inside(curX_, curY_) && inside(x, y)) {
    // The common case of the curves: a thin line within the bitmap needs no
    // test per pixel, as every pixel of the walk lies between its ends.
    WalkLine(curX_, curY_, x, y,
             [&access](int px, int py) { access.bits[py * access.stride + px] = access.penRgb; });
  } else if (penWidth_ == 1 && penMode_ == PenMode::Copy) {
    WalkLine(curX_, curY_, x, y, [&access](int px, int py) {
      if (px >= 0 && py >= 0 && px < access.width && py < access.height)
        access.bits[py * access.stride + px] = access.penRgb;
    });
  } else {
    WalkLine(curX_, curY_, x, y, [this, &access](int px, int py) { Plot(access, px, py); });
  }
  curX_ = x;
  curY_ = y;
}

void Canvas::FillSpan(int left, int top, int right, int bottom, ColorWord color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width());
  bottom = std::min(bottom, height());
  if (right <= left) return;
  const QRgb rgb = ColorWordToRgb(color);
  const PixelAccess access = Access();
  const std::size_t count = std::size_t(right - left);
  // White and black, the usual fills, have four equal bytes: memset.
  const bool uniformBytes = (rgb & 0xFFu) * 0x01010101u == rgb;
  for (int y = top; y < bottom; ++y) {
    QRgb* line = access.bits + y * access.stride + left;
    if (uniformBytes)
      std::memset(line, int(rgb & 0xFFu), count * sizeof(QRgb));
    else
      std::fill(line, line + count, rgb);
  }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  FillSpan(left, top, right, bottom, brushColor_);
  const int savedX = curX_;
  const int savedY = curY_;
  const int savedWidth = penWidth_;
  penWidth_ = 1;
  const PixelAccess access = Access();
  for (int i = 0; i < savedWidth && left + i < right - i && top + i < bottom - i; ++i) {
    const int l = left + i, t = top + i, r = right - 1 - i, b = bottom - 1 - i;
    // Four edges, each pixel once, so an exclusive-or outline is exact.
    for (int px = l; px <= r; ++px) Plot(access, px, t);
    if (b != t)
      for (int px = l; px <= r; ++px) Plot(access, px, b);
    for (int py = t + 1; py < b; ++py) {
      Plot(access, l, py);
      if (r != l) Plot(access, r, py);
    }
  }
  penWidth_ = savedWidth;
  curX_ = savedX;
  curY_ = savedY;
}

void Canvas::FrameRect(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  FillSpan(left, top, right, top + 1, brushColor_);
  FillSpan(left, bottom - 1, right, bottom, brushColor_);
  FillSpan(left, top, left + 1, bottom, brushColor_);
  FillSpan(right - 1, top, right, bottom, brushColor_);
}

void Canvas::FillRect(int left, int top, int right, int bottom) {
  FillSpan(left, top, right, bottom, brushColor_);
}

namespace {

constexpr int TextPad = 2;  // room for ink that overhangs the advance box

// The ink of a text in the canvas font, as an alpha mask with TextPad columns
// on each side, and the text's advance. The graph draws the same few labels at
// every redraw, so both are kept.
struct TextInk {
  QImage mask;
  int advance = 0;
};

const TextInk& InkOf(const QFont& font, const QFontMetrics& metrics, const QString& text) {
  static QHash<QString, TextInk> cache;
  const auto found = cache.constFind(text);
  if (found != cache.constEnd()) return *found;
  if (cache.size() > 2048) cache.clear();
  TextInk ink;
  ink.advance = metrics.horizontalAdvance(text);
  ink.mask = QImage(ink.advance + 2 * TextPad, metrics.height(), QImage::Format_ARGB32);
  ink.mask.fill(Qt::transparent);
  QPainter painter(&ink.mask);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(TextPad, metrics.ascent(), text);
  painter.end();
  return *cache.insert(text, ink);
}

}  // namespace

void Canvas::TextOut(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  const TextInk& ink = InkOf(font_, metrics_, text);
  const QImage& mask = ink.mask;
  FillSpan(x, y, x + ink.advance, y + mask.height(), brushColor_);
  const PixelAccess access = Access();
  const QRgb color = ColorWordToRgb(fontColor_);
  const int maskWidth = mask.width();
  const int maskHeight = mask.height();
  for (int my = 0; my < maskHeight; ++my) {
    const int py = y + my;
    if (py < 0 || py >= access.height) continue;
    const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
    for (int mx = 0; mx < maskWidth; ++mx) {
      const int px = x - TextPad + mx;
      if (px < 0 || px >= access.width || qAlpha(row[mx]) < 128) continue;
      access.bits[py * access.stride + px] = color;
    }
  }
}

int Canvas::TextWidth(const QString& text) const {
  return text.isEmpty() ? 0 : InkOf(font_, metrics_, text).advance;
}

int Canvas::TextHeight(const QString&) const { return metrics_.height(); }
