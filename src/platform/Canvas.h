#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <QtGlobal>

// A colour word: 0x00BBGGRR, blue in bits 16..23, green in 8..15, red in 0..7.
using ColorWord = quint32;

constexpr ColorWord ColorBlack = 0x000000;
constexpr ColorWord ColorWhite = 0xFFFFFF;

// The QRgb (0xAARRGGBB, opaque) of a colour word.
inline QRgb ColorWordToRgb(ColorWord color) {
  return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}
// The colour word of a pixel value; alpha is ignored.
ColorWord RgbToColorWord(QRgb rgb);

enum class PenMode { Copy, Xor };

// The graph's bitmap and its drawing operations. Pixels are written directly so
// that lines follow Bresenham's rule with the end pixel left out, exclusive-or
// drawing is exact (drawing twice restores the bitmap), and rectangles exclude
// their right and bottom edges.
class Canvas {
 public:
  Canvas(int width, int height);

  int width() const { return image_.width(); }
  int height() const { return image_.height(); }
  const QImage& image() const { return image_; }

  void SetPen(ColorWord color, int width = 1, PenMode mode = PenMode::Copy);
  void SetPenColor(ColorWord color) { penColor_ = color; }
  void SetPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }
  void SetPenMode(PenMode mode) { penMode_ = mode; }
  ColorWord PenColor() const { return penColor_; }
  int PenWidth() const { return penWidth_; }
  PenMode PenModeOf() const { return penMode_; }

  void SetBrushColor(ColorWord color) { brushColor_ = color; }
  ColorWord BrushColor() const { return brushColor_; }
  void SetFontColor(ColorWord color) { fontColor_ = color; }

  // Current point for LineTo.
  void MoveTo(int x, int y);
  // Line from the current point to (x, y), which is not drawn and becomes the
  // current point.
  void LineTo(int x, int y);

  // Outline in the pen, inside in the brush; right and bottom exclusive.
  void Rectangle(int left, int top, int right, int bottom);
  // One-pixel outline in the brush colour; right and bottom exclusive.
  void FrameRect(int left, int top, int right, int bottom);
  // Fills in the brush colour; right and bottom exclusive.
  void FillRect(int left, int top, int right, int bottom);

  // Text with its top-left corner at (x, y), on a box of the brush colour.
  void TextOut(int x, int y, const QString& text);
  int TextWidth(const QString& text) const;
  int TextHeight(const QString& text) const;

  ColorWord PixelAt(int x, int y) const;
  void SetPixel(int x, int y, ColorWord color);

  // The one font of every canvas: DejaVu Sans, 11 pixels, no antialiasing.
  static QFont DefaultFont();

 private:
  struct PixelAccess {
    QRgb* bits;
    qsizetype stride;  // pixels per row
    int width;
    int height;
    QRgb penRgb;
  };
  PixelAccess Access();
  void Plot(const PixelAccess& access, int x, int y);
  void FillSpan(int left, int top, int right, int bottom, ColorWord color);

  QImage image_;
  QRgb* bits_ = nullptr;
  qsizetype stride_ = 0;
  int width_ = 0;
  int height_ = 0;
  QFont font_;
  QFontMetrics metrics_;
  ColorWord penColor_ = ColorBlack;
  int penWidth_ = 1;
  PenMode penMode_ = PenMode::Copy;
  ColorWord brushColor_ = ColorWhite;
  ColorWord fontColor_ = ColorBlack;
  int curX_ = 0;
  int curY_ = 0;
  bool wideAlongY_ = true;
};
