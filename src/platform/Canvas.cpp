#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

QRgb ColorWordToRgb(ColorWord color) {
  return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
              static_cast<int>((color >> 16) & 0xFF));
}

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
    : image_(width, height, QImage::Format_RGB32), font_(DefaultFont()) {
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

void Canvas::Plot(int x, int y) {
  auto put = [this](int px, int py) {
    if (px < 0 || py < 0 || px >= width() || py >= height()) return;
    QRgb& pixel = reinterpret_cast<QRgb*>(image_.scanLine(py))[px];
    if (penMode_ == PenMode::Xor)
      pixel = 0xFF000000u | ((pixel ^ ColorWordToRgb(penColor_)) & 0x00FFFFFFu);
    else
      pixel = ColorWordToRgb(penColor_);
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

void Canvas::LineTo(int x, int y) {
  int x0 = curX_;
  int y0 = curY_;
  const int dx = std::abs(x - x0);
  const int dy = std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1;
  const int sy = y0 < y ? 1 : -1;
  wideAlongY_ = dx >= dy;
  int err = dx - dy;
  while (x0 != x || y0 != y) {
    Plot(x0, y0);
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
  curX_ = x;
  curY_ = y;
}

void Canvas::FillSpan(int left, int top, int right, int bottom, ColorWord color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width());
  bottom = std::min(bottom, height());
  const QRgb rgb = ColorWordToRgb(color);
  for (int y = top; y < bottom; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + left, line + std::max(left, right), rgb);
  }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  FillSpan(left, top, right, bottom, brushColor_);
  const int savedX = curX_;
  const int savedY = curY_;
  const int savedWidth = penWidth_;
  penWidth_ = 1;
  for (int i = 0; i < savedWidth && left + i < right - i && top + i < bottom - i; ++i) {
    const int l = left + i, t = top + i, r = right - 1 - i, b = bottom - 1 - i;
    // Four edges, each pixel once, so an exclusive-or outline is exact.
    for (int px = l; px <= r; ++px) Plot(px, t);
    if (b != t)
      for (int px = l; px <= r; ++px) Plot(px, b);
    for (int py = t + 1; py < b; ++py) {
      Plot(l, py);
      if (r != l) Plot(r, py);
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

void Canvas::TextOut(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  const QFontMetrics metrics(font_);
  FillSpan(x, y, x + metrics.horizontalAdvance(text), y + metrics.height(), brushColor_);
  QPainter painter(&image_);
  painter.setFont(font_);
  painter.setPen(QColor::fromRgb(ColorWordToRgb(fontColor_)));
  painter.drawText(x, y + metrics.ascent(), text);
}

int Canvas::TextWidth(const QString& text) const {
  return QFontMetrics(font_).horizontalAdvance(text);
}

int Canvas::TextHeight(const QString&) const { return QFontMetrics(font_).height(); }
