#include "rows/PackedChange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"

namespace {

using test::CodeOf;

NarrowRowKey KeyOf(const Row& row) {
  NarrowRowKey key;
  EXPECT_TRUE(NarrowRowKey::Pack(row, rowsState.bellCount, key));
  return key;
}

class PackedChangeTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
};

TEST_F(PackedChangeTest, AppliesEveryPredefinedChangeAsPermuteDoes) {
  std::mt19937 random(16);
  for (int bells = 3; bells <= 16; ++bells) {
    SetBellCount(bells);
    std::vector<int> order(bells);
    std::iota(order.begin(), order.end(), 0);
    for (const char code : std::string_view("123pbshxz")) {
      SCOPED_TRACE(std::to_string(bells) + " " + code);
      const Row* change = rowsState.changeTable.FindChange(code);
      if (change == nullptr) {
        continue;  // 'z' on an even stage
      }
      const PackedChange* packed = rowsState.changeTable.FindPackedChange(code);
      ASSERT_NE(nullptr, packed);
      for (int trial = 0; trial < 10; ++trial) {
        std::shuffle(order.begin(), order.end(), random);
        Row row;
        for (int place = 0; place < bells; ++place) {
          row.SetBell(place, static_cast<std::int8_t>(order[place]));
        }
        EXPECT_EQ(row.Permute(*change).ToText(), packed->Apply(KeyOf(row)).Unpack(bells).ToText());
      }
    }
  }
}

TEST_F(PackedChangeTest, OnlyNeighboursExchangingArePacked) {
  SetBellCount(7);
  // Places written out of order read step by step: "31" moves three bells round.
  const char outOfOrder = CodeOf("31");
  EXPECT_EQ(" 2315476", rowsState.changeTable.ChangeOf(outOfOrder).ToText());
  EXPECT_EQ(nullptr, rowsState.changeTable.FindPackedChange(outOfOrder));
  EXPECT_NE(nullptr, rowsState.changeTable.FindPackedChange(CodeOf("3")));

  PackedChange packed;
  Row apart;  // the 1st and 3rd bells exchanged: not neighbours
  apart.Swap(0, 2);
  EXPECT_FALSE(PackedChange::Of(apart, 7, packed));
  Row wrapped;  // the last bell exchanged with one beyond the stage
  wrapped.Swap(6, 7);
  EXPECT_FALSE(PackedChange::Of(wrapped, 7, packed));

  SetBellCount(8);
  EXPECT_EQ(nullptr, rowsState.changeTable.FindPackedChange('z'));  // no permutation at all
  SetBellCount(17);
  EXPECT_EQ(nullptr, rowsState.changeTable.FindPackedChange('1'));
  EXPECT_FALSE(PackedChange::Of(rowsState.changeTable.ChangeOf('1'), 17, packed));
}

}  // namespace
