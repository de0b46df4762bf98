#include "document/TransferTable.h"

#include "platform/Fp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

class TransferTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearTransferTable(); }
  void TearDown() override { ClearTransferTable(); }
};

TEST_F(TransferTableTest, IsFiveColumnsOfThirtyTwoDoublesStoredByColumn) {
  EXPECT_EQ(sizeof(TransferTable), 1280u);
  EXPECT_EQ(CellIndex(0, 0), 0);
  EXPECT_EQ(CellIndex(1, 0), 32);
  EXPECT_EQ(CellIndex(4, 31), 159);
  ElementCell(5, TransferElement::Q) = 0.7;
  EXPECT_EQ(TransferTable[3 * 32 + 5], 0.7);
}

TEST_F(TransferTableTest, NamedCellsFollowTheCellMap) {
  const struct {
    int index, column, row;
  } cells[] = {
      {FilterHeader::Order, 0, 0}, {FilterHeader::Rtype, 1, 0}, {FilterHeader::Ftype, 2, 0},
      {FilterHeader::FoFc, 3, 0},  {FilterHeader::Fb, 4, 0},    {FilterHeader::N, 0, 1},
      {FilterHeader::Ap, 1, 1},    {FilterHeader::As, 2, 1},    {FilterHeader::Ws, 3, 1}};
  for (const auto& cell : cells) EXPECT_EQ(cell.index, CellIndex(cell.column, cell.row));
  EXPECT_EQ(FilterHeader::FileOrder.front(), FilterHeader::Order);
  EXPECT_EQ(FilterHeader::FileOrder.back(), FilterHeader::Ws);
}

TEST_F(TransferTableTest, StartsEmptyAndClearsWhole) {
  for (double cell : TransferTable) EXPECT_EQ(cell, 0.0);
  EXPECT_EQ(StageCount(), 0);
  TransferTable.fill(3.0);
  ClearTransferTable();
  for (double cell : TransferTable) EXPECT_EQ(cell, 0.0);
}

TEST_F(TransferTableTest, CountsAndCodesRoundHalvesToEven) {
  const struct {
    double stored;
    int read;
  } cases[] = {{2.5, 2}, {3.5, 4}, {2.49, 2}, {2.51, 3}, {0.5, 0}, {30.0, 30}};
  for (const auto& c : cases) {
    HeaderCell(FilterHeader::N) = c.stored;
    ElementCell(FirstStageRow, TransferElement::Type) = c.stored;
    EXPECT_EQ(StageCount(), c.read) << c.stored;
    EXPECT_EQ(ElementTypeAt(FirstStageRow), c.read) << c.stored;
  }
  HeaderCell(FilterHeader::N) = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(StageCount(), FloatError);
}

TEST_F(TransferTableTest, StageOrders) {
  const int orders[] = {0, 1, 1, 2, 2, 2, 2, 1, 2, 0};
  for (int code = 0; code <= 9; ++code) EXPECT_EQ(ElementOrder(code), orders[code]) << code;
  EXPECT_EQ(ElementOrder(-1), 0);
}
