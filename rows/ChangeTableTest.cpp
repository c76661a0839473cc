#include "rows/ChangeTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"

namespace {

using test::CodeOf;
using test::ErrorOf;

// What the change of a code does to rounds.
std::string ChangeText(char code) {
  return rowsState.changeTable.ChangeOf(code).ToText();
}

class ChangeTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetBellCount(7);
  }
};

TEST_F(ChangeTableTest, PredefinesTheCodesOfTheStage) {
  const std::string_view codes = "123pbshxz";
  struct Case {
    int bells;
    std::array<const char*, 9> changes;  // of the codes above; nullptr: no change
  };
  const Case cases[] = {
      {7,
       {" 1325476", " 1235476", " 2135476", " 2143657", " 2143576", " 2143567", " 1324567",
        " 1243657", " 1325467"}},
      {8,
       {" 13254768", " 12354768", " 21354768", " 21436587", " 21436578", " 21436578", " 13245678",
        " 12436587", nullptr}},
      // The smallest stage: no change reaches outside the row.
      {3, {" 132", " 123", " 213", " 213", " 132", " 123", " 132", " 123", " 123"}},
  };
  for (const auto& [bells, changes] : cases) {
    SetBellCount(bells);
    for (std::size_t k = 0; k < codes.size(); ++k) {
      SCOPED_TRACE(std::to_string(bells) + " " + codes[k]);
      if (changes[k] != nullptr) {
        EXPECT_EQ(changes[k], ChangeText(codes[k]));
      }
    }
  }
}

TEST_F(ChangeTableTest, EveryPredefinedChangeIsAPermutationButZOnEvenStages) {
  for (int bells = 3; bells <= maxBells; ++bells) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    for (const char code : std::string_view("123pbshxz")) {
      SCOPED_TRACE(code);
      ASSERT_TRUE(rowsState.changeTable.Holds(code));
      if (code == 'z' && bells % 2 == 0) {
        EXPECT_EQ("Bad place: z", ErrorOf([] { (void)rowsState.changeTable.ChangeOf('z'); }));
      } else {
        EXPECT_TRUE(rowsState.changeTable.ChangeOf(code).IsPermutation());
      }
    }
  }
}

TEST_F(ChangeTableTest, ZOnAnEvenStageCannotBeAppliedButKeepsItsSlot) {
  SetBellCount(8);
  EXPECT_EQ("Bad place: z", ErrorOf([] { (void)SequenceProduct("1z"); }));
  EXPECT_EQ('I', CodeOf("14"));
}

TEST_F(ChangeTableTest, AReversedLookupKeepsTheCodeDefinedLast) {
  struct Case {
    int bells;
    const char* notation;
    char code;
  };
  const Case cases[] = {{7, "5", 'b'}, {8, "78", 's'}, {5, "3", 'b'}, {5, "145", 'z'}};
  for (const auto& [bells, notation, code] : cases) {
    SCOPED_TRACE(std::to_string(bells) + " " + notation);
    SetBellCount(bells);
    EXPECT_EQ(code, CodeOf(notation));
  }
  SetBellCount(7);
  rowsState.changeTable.DefineChange('q', rowsState.changeTable.ChangeOf('b'));
  EXPECT_EQ('q', CodeOf("5"));
  EXPECT_EQ(" 2143576", ChangeText('b'));
}

TEST_F(ChangeTableTest, SequenceProductRecordsNothingAndStartsFromRounds) {
  EXPECT_TRUE(SequenceProduct("").IsRounds());
  EXPECT_TRUE(SequenceProduct("hh").IsRounds());
  EXPECT_EQ(" 1325476", SequenceProduct("1").ToText());
  EXPECT_EQ("Bad place: q", ErrorOf([] { (void)SequenceProduct("pq"); }));
}

TEST_F(ChangeTableTest, UnknownCodesAreBadPlaces) {
  EXPECT_EQ("Bad place: q", ErrorOf([] { (void)rowsState.changeTable.ChangeOf('q'); }));
  EXPECT_EQ("Bad place: I", ErrorOf([] { (void)rowsState.changeTable.ChangeOf('I'); }));
}

TEST_F(ChangeTableTest, SetBellCountOfTheSameStageOnlyClearsTheAwaitingFlag) {
  EXPECT_EQ('I', CodeOf("14"));
  rowsState.awaitingRounds = true;
  SetBellCount(7);
  EXPECT_FALSE(rowsState.awaitingRounds);
  EXPECT_TRUE(rowsState.changeTable.Holds('I'));

  SetBellCount(8);
  SetBellCount(7);
  EXPECT_FALSE(rowsState.changeTable.Holds('I'));
}

TEST_F(ChangeTableTest, TheStartStageGetsItsTableWhenFirstSet) {
  ResetProcessState();
  SetBellCount(rowsState.bellCount);
  EXPECT_TRUE(rowsState.changeTable.Holds('p'));
  EXPECT_EQ('p', CodeOf("Z"));
}

TEST_F(ChangeTableTest, RefusedBellCountsLeaveTheStageAlone) {
  const std::pair<int, const char*> cases[] = {
      {36, "Too many bells"}, {127, "Too many bells"}, {2, "Too few bells"},
      {1, "Too few bells"},   {0, "Too few bells"},    {-1, "Too few bells"},
  };
  for (const auto& [bells, message] : cases) {
    SCOPED_TRACE(bells);
    SetBellCount(8);
    SetBellCount(7);
    ASSERT_EQ('I', CodeOf("14"));
    rowsState.awaitingRounds = true;

    EXPECT_EQ(message, ErrorOf([count = bells] { SetBellCount(count); }));
    EXPECT_EQ(7, rowsState.bellCount);
    EXPECT_EQ(smallBellSymbols, rowsState.bellSymbols);
    EXPECT_TRUE(rowsState.changeTable.Holds('I'));
    EXPECT_FALSE(rowsState.awaitingRounds);
  }
}

TEST_F(ChangeTableTest, ParseChangeReadsOneChangeAtTheCursor) {
  std::size_t cursor = 0;
  const std::string_view notation = ".3.1";
  EXPECT_EQ('3', ParseChange(notation, cursor));
  EXPECT_EQ(2u, cursor);
  EXPECT_EQ('1', ParseChange(notation, cursor));
  EXPECT_EQ(4u, cursor);
  EXPECT_EQ('\0', ParseChange(notation, cursor));

  cursor = 0;
  EXPECT_EQ('3', ParseChange("3.", cursor));
  EXPECT_EQ('\0', ParseChange("3.", cursor));
  cursor = 0;
  EXPECT_EQ('\0', ParseChange("..", cursor));
  cursor = 0;
  EXPECT_EQ('\0', ParseChange("", cursor));
}

TEST_F(ChangeTableTest, ParseChangeReadsPlaceNotation) {
  struct Case {
    int bells;
    const char* notation;
    const char* change;
  };
  const Case cases[] = {
      {7, "x", " 2143657"},
      {7, "-", " 2143657"},
      {7, "2", " 1243657"},
      {7, "5", " 2143576"},
      {7, "167", " 1325467"},
      {8, "x", " 21436587"},
      {8, "14", " 13246587"},
      {8, "4", " 13246587"},
      {8, "3", " 21354768"},
      {8, "58", " 21435768"},
      {10, "0", " 1325476980"},
      {12, "1T", " 132547698E0T"},
      // No '0' among the symbols above 16 bells: a cross.
      {18, "0", " 21436587A9CBEDGFIH"},
      // Out of order, or beyond the stage: still a permutation.
      {7, "9", " 2143657"},
      {8, "E", " 21436587"},
      {7, "52", " 2134657"},
      {8, "8765", " 13254678"},
  };
  for (const auto& [bells, notation, change] : cases) {
    SCOPED_TRACE(std::to_string(bells) + " " + notation);
    SetBellCount(bells);
    const char code = CodeOf(notation);
    EXPECT_EQ(change, ChangeText(code));
  }
}

TEST_F(ChangeTableTest, ParseChangeAlwaysGivesAPermutation) {
  const char* notations[] = {"9753", "T", "21", "ED", "1357", "77", "x1", "3-", "54321", "ZZZZ"};
  for (const int bells : {3, 4, 7, 8, 12, 17, 35}) {
    SetBellCount(bells);
    for (const char* notation : notations) {
      SCOPED_TRACE(std::to_string(bells) + " " + notation);
      EXPECT_TRUE(rowsState.changeTable.ChangeOf(CodeOf(notation)).IsPermutation());
    }
  }
}

TEST_F(ChangeTableTest, InternChangeGivesNewChangesTheNextCodes) {
  EXPECT_EQ('b', rowsState.changeTable.InternChange(rowsState.changeTable.ChangeOf('b')));
  EXPECT_EQ('I', CodeOf("14"));
  EXPECT_EQ('J', CodeOf("36"));
  EXPECT_EQ('I', CodeOf("14"));
  EXPECT_EQ(" 1324657", ChangeText('I'));
}

TEST_F(ChangeTableTest, InternChangeKeepsCodesDistinctUntilEveryCodeIsUsed) {
  ChangeTable& changes = rowsState.changeTable;
  std::vector<char> added;
  std::string bells = "1234567";
  while (changes.Size() < 255 && std::next_permutation(bells.begin(), bells.end())) {
    const int before = changes.Size();
    const char code = changes.InternChange(test::RowOf(bells));
    if (changes.Size() > before) {
      added.push_back(code);
      ASSERT_EQ(" " + bells, ChangeText(code));
    }
  }
  ASSERT_EQ(255 - 9, static_cast<int>(added.size()));
  EXPECT_EQ('I', added[0]);
  EXPECT_EQ('a', added[24]);
  EXPECT_EQ('c', added[25]);  // 'b' is taken
  const std::set<char> codes(added.begin(), added.end());
  EXPECT_EQ(added.size(), codes.size());
  EXPECT_EQ(0u, codes.count('\0'));
  EXPECT_EQ(1u, codes.count('\x01'));  // the codes wrap round past 255
  EXPECT_EQ(" 2143576", ChangeText('b'));

  std::next_permutation(bells.begin(), bells.end());
  EXPECT_EQ("Too many changes", ErrorOf([&] { (void)changes.InternChange(test::RowOf(bells)); }));
}

}  // namespace
