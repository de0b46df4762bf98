#include "app/StepIcons.h"

#include <QPainter>
#include <QPolygon>
#include <QTransform>

namespace {

constexpr int Size = 14;

// An arrowhead with its tip at (tipX, 7) pointing right (dir 1) or left (-1).
void Arrowhead(QPainter& p, int tipX, int dir) {
  const int back = tipX - dir * 4;
  p.drawPolygon(QPolygon({QPoint(tipX, 7), QPoint(back, 3), QPoint(back, 11)}));
}

void Shaft(QPainter& p, int fromX, int toX) {
  p.fillRect(QRect(QPoint(std::min(fromX, toX), 6), QPoint(std::max(fromX, toX), 8)), Qt::black);
}

void Bar(QPainter& p, int x) { p.fillRect(QRect(x, 1, 2, 13), Qt::black); }

// The frequency axis' pictures; the level axis turns them a quarter round.
QImage HorizontalPicture(int tag) {
  QImage image(Size, Size + 1, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  switch (tag) {
    case 1:  // arrow pointing right to a bar
      Shaft(p, 1, 8);
      Arrowhead(p, 12, 1);
      Bar(p, 12);
      break;
    case 2:  // arrow pointing left to a bar
      Bar(p, 0);
      Arrowhead(p, 1, -1);
      Shaft(p, 5, 12);
      break;
    case 3:  // apart, to bars at both sides
      Bar(p, 0);
      Arrowhead(p, 1, -1);
      Shaft(p, 5, 8);
      Arrowhead(p, 12, 1);
      Bar(p, 12);
      break;
    default:  // toward a bar in the middle
      Arrowhead(p, 5, 1);
      Bar(p, 6);
      Arrowhead(p, 8, -1);
      break;
  }
  return image;
}

}  // namespace

QImage StepButtonPicture(StepAxis axis, int tag) {
  QImage picture = HorizontalPicture(tag).copy(0, 0, Size, Size);
  if (axis == StepAxis::Frequency) return picture;
  // Level axis: tag 1 points up (the frequency picture turned left), tag 2 down.
  return picture.transformed(QTransform().rotate(-90));
}
