#include "rows/RowKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"

namespace {

// A random arrangement of the first bells positions.
Row Shuffled(int bells, std::mt19937& random) {
  std::vector<int> order(bells);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), random);
  Row row;
  for (int place = 0; place < bells; ++place) {
    row.SetBell(place, static_cast<std::int8_t>(order[place]));
  }
  return row;
}

template <typename Key>
Key KeyOf(const Row& row) {
  Key key;
  EXPECT_TRUE(Key::Pack(row, rowsState.bellCount, key));
  return key;
}

class RowKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  std::mt19937 random{35};
};

TEST_F(RowKeyTest, UnpackGivesThePackedRowBack) {
  for (const int bells : {3, 7, 8, 9, 15, 16, 17, 20, 21, 30, 31, 35}) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    for (int trial = 0; trial < 20; ++trial) {
      const Row row = Shuffled(bells, random);
      EXPECT_EQ(row.ToText(), KeyOf<WideRowKey>(row).Unpack(bells).ToText());
      if (bells <= 16) {
        EXPECT_EQ(row.ToText(), KeyOf<NarrowRowKey>(row).Unpack(bells).ToText());
      }
    }
  }
}

TEST_F(RowKeyTest, KeysOrderAsTheirRowsDo) {
  for (const int bells : {5, 7, 12, 16, 17, 35}) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    for (int trial = 0; trial < 200; ++trial) {
      // Rows near each other share a front, so that later positions decide the order too.
      const Row a = Shuffled(bells, random);
      Row b = a;
      const int first = static_cast<int>(random() % bells);
      const int second = static_cast<int>(random() % bells);
      b.Swap(first, second);
      if (bells <= 16) {
        EXPECT_EQ(a.Less(b), KeyOf<NarrowRowKey>(a) < KeyOf<NarrowRowKey>(b));
        EXPECT_EQ(a == b, KeyOf<NarrowRowKey>(a) == KeyOf<NarrowRowKey>(b));
      }
      EXPECT_EQ(a.Less(b), KeyOf<WideRowKey>(a) < KeyOf<WideRowKey>(b));
      EXPECT_EQ(a == b, KeyOf<WideRowKey>(a) == KeyOf<WideRowKey>(b));
    }
  }
}

TEST_F(RowKeyTest, RowsThatDifferOnlyInTwoBellsHaveDifferentKeys) {
  // The last places, and places either side of where one word or half word of a key ends.
  struct Case {
    int bells;
    int first;
    int second;
  };
  const Case cases[] = {{16, 14, 15}, {16, 7, 8},   {16, 0, 15},  {12, 10, 11}, {17, 15, 16},
                        {35, 33, 34}, {35, 9, 10},  {35, 19, 20}, {35, 29, 30}, {35, 0, 34},
                        {21, 19, 20}, {31, 29, 30}, {20, 9, 10}};
  for (const auto& [bells, first, second] : cases) {
    SCOPED_TRACE(std::to_string(bells) + ": " + std::to_string(first) + " " +
                 std::to_string(second));
    SetBellCount(bells);
    const Row rounds;
    Row swapped;
    swapped.Swap(first, second);
    if (bells <= 16) {
      EXPECT_NE(KeyOf<NarrowRowKey>(rounds), KeyOf<NarrowRowKey>(swapped));
      EXPECT_NE(KeyOf<NarrowRowKey>(rounds).Hash(), KeyOf<NarrowRowKey>(swapped).Hash());
    }
    EXPECT_NE(KeyOf<WideRowKey>(rounds), KeyOf<WideRowKey>(swapped));
    EXPECT_NE(KeyOf<WideRowKey>(rounds).Hash(), KeyOf<WideRowKey>(swapped).Hash());
  }
}

TEST_F(RowKeyTest, PositionsBeyondTheBellCountAreLeftOut) {
  for (const int bells : {7, 8, 15, 16, 20}) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    Row rounds;
    Row different;
    different.Swap(bells, maxBells - 1);  // unused positions only
    EXPECT_EQ(KeyOf<WideRowKey>(rounds), KeyOf<WideRowKey>(different));
    if (bells <= 16) {
      EXPECT_EQ(KeyOf<NarrowRowKey>(rounds), KeyOf<NarrowRowKey>(different));
    }
  }
}

TEST_F(RowKeyTest, NarrowKeysRefuseWhatTheyCannotHold) {
  NarrowRowKey narrow;
  WideRowKey wide;
  SetBellCount(17);
  const Row rounds;
  EXPECT_FALSE(NarrowRowKey::Pack(rounds, 17, narrow));
  EXPECT_TRUE(WideRowKey::Pack(rounds, 17, wide));

  // A bell beyond the 16th in a row read on 16 bells or fewer: only a larger stage makes one.
  SetBellCount(16);
  Row large;
  large.Swap(0, 16);
  EXPECT_FALSE(NarrowRowKey::Pack(large, 16, narrow));
  EXPECT_TRUE(WideRowKey::Pack(large, 16, wide));
  EXPECT_EQ(16, wide.Unpack(16)[0]);
}

}  // namespace
