#include "app/StepIcons.h"

#include <gtest/gtest.h>

namespace {

bool Ink(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) > 0; }

// Column (or row) of the picture that holds the most ink.
int HeaviestColumn(const QImage& image) {
  int best = -1, bestCount = -1;
  for (int x = 0; x < image.width(); ++x) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) count += Ink(image, x, y);
    if (count > bestCount) bestCount = count, best = x;
  }
  return best;
}

int HeaviestRow(const QImage& image) {
  int best = -1, bestCount = -1;
  for (int y = 0; y < image.height(); ++y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x) count += Ink(image, x, y);
    if (count > bestCount) bestCount = count, best = y;
  }
  return best;
}

}  // namespace

TEST(StepIcons, BarsStandWhereTheArrowsPoint) {
  // Frequency axis: bar at the right (tag 1), at the left (2), in the middle (4).
  EXPECT_GE(HeaviestColumn(StepButtonPicture(StepAxis::Frequency, 1)), 11);
  EXPECT_LE(HeaviestColumn(StepButtonPicture(StepAxis::Frequency, 2)), 2);
  const int middle = HeaviestColumn(StepButtonPicture(StepAxis::Frequency, 4));
  EXPECT_GE(middle, 5);
  EXPECT_LE(middle, 8);
  // Level axis: bar at the top (tag 1), at the bottom (2).
  EXPECT_LE(HeaviestRow(StepButtonPicture(StepAxis::Level, 1)), 2);
  EXPECT_GE(HeaviestRow(StepButtonPicture(StepAxis::Level, 2)), 11);
  // Zoom in: bars at both ends.
  const QImage apart = StepButtonPicture(StepAxis::Frequency, 3);
  EXPECT_TRUE(Ink(apart, 0, 1) && Ink(apart, 13, 1));
  for (StepAxis axis : {StepAxis::Level, StepAxis::Frequency})
    for (int tag = 1; tag <= 4; ++tag)
      EXPECT_EQ(StepButtonPicture(axis, tag).size(), QSize(14, 14));
}
