#include "rows/Row.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "driver/ProcessState.h"
#include "rows/ChangeTable.h"
#include "tests/TestHelpers.h"

namespace {

class RowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetBellCount(7);
  }
};

TEST_F(RowTest, NewAndResetRowsAreRounds) {
  Row row;
  EXPECT_TRUE(row.IsRounds());
  EXPECT_EQ(" 1234567", row.ToText());

  row.Swap(5, 6);
  EXPECT_FALSE(row.IsRounds());
  row.Reset();
  EXPECT_TRUE(row.IsRounds());

  // Any two used positions exchanged, the back ones included.
  EXPECT_FALSE(test::RowOf("2134567").IsRounds());
  EXPECT_FALSE(test::RowOf("1234576").IsRounds());
}

TEST_F(RowTest, NewRowIsRoundsOnEveryPosition) {
  const Row made;  // under 7 bells
  SetBellCount(35);
  EXPECT_TRUE(made.IsRounds());
  EXPECT_EQ(" 123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", made.ToText());
}

TEST_F(RowTest, CopiesAreIndependentValues) {
  Row original = test::RowOf("2135476");
  Row copy = original;
  copy.Swap(0, 1);
  EXPECT_EQ(" 2135476", original.ToText());
  EXPECT_EQ(" 1235476", copy.ToText());

  original.Assign(original);
  EXPECT_EQ(" 2135476", original.ToText());
  copy.Assign(original);
  EXPECT_EQ(" 2135476", copy.ToText());
}

TEST_F(RowTest, AssignCopiesOnlyTheUsedPositions) {
  SetBellCount(9);
  Row row = test::RowOf("213456798");
  SetBellCount(7);
  row.Assign(Row());
  SetBellCount(9);
  EXPECT_EQ(" 123456798", row.ToText());
}

TEST_F(RowTest, LessOrdersRowsFromTheFirstPosition) {
  struct Case {
    const char* first;
    const char* second;
    bool firstIsLess;
    bool secondIsLess;
  };
  const Case cases[] = {
      {"1234567", "1234567", false, false},
      {"1234567", "1234576", true, false},
      {"2134567", "1765432", false, true},
      {"3124567", "3125467", true, false},
  };
  for (const auto& [first, second, firstIsLess, secondIsLess] : cases) {
    SCOPED_TRACE(std::string(first) + " " + second);
    EXPECT_EQ(firstIsLess, test::RowOf(first).Less(test::RowOf(second)));
    EXPECT_EQ(secondIsLess, test::RowOf(second).Less(test::RowOf(first)));
  }
}

TEST_F(RowTest, RoundsIsLessThanEveryOtherArrangement) {
  SetBellCount(5);
  const Row rounds;
  std::string bells = "12345";
  while (std::next_permutation(bells.begin(), bells.end())) {
    SCOPED_TRACE(bells);
    EXPECT_TRUE(rounds.Less(test::RowOf(bells)));
    EXPECT_FALSE(test::RowOf(bells).Less(rounds));
  }
}

TEST_F(RowTest, PositionsBeyondTheBellCountTakeNoPart) {
  SetBellCount(9);
  const Row backBellsSwapped = test::RowOf("123456798");
  SetBellCount(7);
  EXPECT_FALSE(backBellsSwapped.Less(Row()));
  EXPECT_FALSE(Row().Less(backBellsSwapped));
  EXPECT_TRUE(backBellsSwapped == Row());
  EXPECT_TRUE(backBellsSwapped.IsRounds());
  EXPECT_EQ(" 1234567", backBellsSwapped.ToText());
}

TEST_F(RowTest, CrossOnFourBellsReturnsToRoundsInTwoChanges) {
  SetBellCount(4);
  const Row cross = test::RowOf("2143");
  const Row once = Row().Permute(cross);
  EXPECT_EQ(" 2143", once.ToText());
  EXPECT_TRUE(once.Permute(cross).IsRounds());
}

TEST_F(RowTest, PermuteTakesEachBellFromThePositionTheChangeNames) {
  SetBellCount(4);
  const Row row = test::RowOf("3412");
  // Position i of the result holds the row's bell at position change[i].
  EXPECT_EQ(" 4132", row.Permute(test::RowOf("2314")).ToText());
  EXPECT_EQ(" 3412", row.ToText());
  EXPECT_EQ(" 3412", row.Permute(Row()).ToText());
}

TEST_F(RowTest, ToTextBlanksBackBellsInGroupsThatKeepTheParity) {
  struct Case {
    int bells;
    const char* row;
    const char* reference;  // nullptr: no reference
    const char* text;
  };
  const Case cases[] = {
      {7, "1234567", nullptr, " 1234567"},
      {7, "1234567", "1234567", " 1234   "},
      {8, "12345678", "12345678", " 123456  "},
      {12, "1234567890ET", nullptr, " 1234567890ET"},
      {16, "1234567890ETABCD", nullptr, " 1234567890ETABCD"},
      // 7th to 9th home, the 6th not: only three are blanked.
      {9, "123465789", "123456789", " 123465   "},
      // Only the 8th and 9th home: too few to blank on an odd stage.
      {9, "123457689", "123456789", " 123457689"},
      {8, "12345768", "12345678", " 12345768"},
      {8, "12345687", "12345678", " 12345687"},
      // The first six places always print, however many bells match.
      {8, "21354768", "12354768", " 213547  "},
      // The 8th matches but stands in a pair with the 7th, which does not.
      {10, "1234576890", "1234567890", " 12345768  "},
      {11, "1234657890E", "1234567890E", " 123465     "},
      {11, "1234576890E", "1234567890E", " 12345768   "},
      {6, "123456", "123456", " 123456"},
      {5, "12345", "12345", " 12345"},
  };
  for (const auto& [bells, row, reference, text] : cases) {
    SCOPED_TRACE(std::to_string(bells) + " " + row);
    SetBellCount(bells);
    const Row printed = test::RowOf(row);
    EXPECT_EQ(text,
              reference == nullptr ? printed.ToText() : printed.ToText(test::RowOf(reference)));
  }
}

TEST_F(RowTest, SymbolsSwitchOnceAboveSixteenBells) {
  SetBellCount(16);
  EXPECT_EQ(" 1234567890ETABCD", Row().ToText());
  SetBellCount(17);
  EXPECT_EQ(" 123456789ABCDEFGH", Row().ToText());
  SetBellCount(20);
  SetBellCount(12);
  EXPECT_EQ(" 123456789ABC", Row().ToText());
}

}  // namespace
