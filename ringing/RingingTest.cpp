#include "ringing/Ringing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "driver/ProcessState.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"

namespace {

using test::CodeOf;
using test::ErrorOf;

class RingingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetBellCount(7);
  }
};

TEST_F(RingingTest, CodesThatCannotBeAppliedAreBadPlaces) {
  ProofTable table;
  Row row;
  table.Insert(row);
  EXPECT_EQ("Bad place: q", ErrorOf([&] { GenerateSequence(row, table, "13q", false); }));
  EXPECT_EQ(-2, table.Verdict().roundsAt);  // the rows before the code are recorded
  SetBellCount(8);
  ProofTable even;
  Row evenRow;
  even.Insert(evenRow);
  EXPECT_EQ("Bad place: z", ErrorOf([&] { GenerateSequence(evenRow, even, "1z", false); }));
  EXPECT_EQ(-1, even.Verdict().roundsAt);
}

TEST_F(RingingTest, RingsASlowSixAndPlainSixEnd) {
  ProofTable table;
  Row row;
  table.Insert(row);
  const char* rows[] = {" 2135476", " 2314567", " 3215476", " 3124567", " 1325476", " 3152746"};
  const std::string_view codes = slowSixThenPlain;
  for (std::size_t k = 0; k < codes.size(); ++k) {
    SCOPED_TRACE(codes[k]);
    GenerateSequence(row, table, codes.substr(k, 1), false);
    EXPECT_EQ(rows[k], row.ToText());
  }
  EXPECT_EQ(" 3152746", SequenceProduct(slowSixThenPlain).ToText());

  // All six were recorded at indices 1 to 6: ringing them again repeats index 1 first, at 7.
  Row again;
  GenerateSequence(again, table, slowSixThenPlain, false);
  EXPECT_EQ((ProofVerdict{.isTrue = false, .roundsAt = -12, .repeats = 6}), table.Verdict());
  std::ostringstream out;
  table.PrintFirstRepeat(out);
  EXPECT_EQ("Rows 1 and 7 are both  2135476\n", out.str());
}

TEST_F(RingingTest, AwaitingRoundsDropsRowsUntilRoundsComesUp) {
  ProofTable table;
  Row row;
  table.Insert(row);
  GenerateSequence(row, table, "3", true);  // never reaches rounds
  EXPECT_TRUE(rowsState.awaitingRounds);
  GenerateSequence(row, table, "1", false);  // still dropped
  EXPECT_EQ(" 2314567", row.ToText());
  // "13" comes back to rounds, which is not recorded either; the 'x' after it is, at index 1.
  GenerateSequence(row, table, "13x", false);
  EXPECT_FALSE(rowsState.awaitingRounds);
  EXPECT_EQ(" 1243657", row.ToText());
  table.Insert(row);

  EXPECT_FALSE(table.Verdict().isTrue);
  EXPECT_EQ(-2, table.Verdict().roundsAt);  // rounds never recorded again
  std::ostringstream out;
  table.PrintFirstRepeat(out);
  EXPECT_EQ("Rows 1 and 2 are both  1243657\n", out.str());
}

TEST_F(RingingTest, GenerationRecordsTheRowsThatPermuteGives) {
  // Up to 16 bells rows are rung packed, above as whole rows, and so is a first row that holds a
  // bell beyond the stage; a change of places written out of order never packs.
  struct Case {
    int bells;
    int beyond;  // a position whose bell the first row exchanges with the front, or 0
  };
  const Case cases[] = {{7, 0}, {16, 0}, {17, 0}, {35, 0}, {16, 20}};
  for (const auto& [bells, beyond] : cases) {
    SCOPED_TRACE(std::to_string(bells) + " " + std::to_string(beyond));
    SetBellCount(bells);
    std::string codes;
    for (int period = 0; period < 40; ++period) {
      codes += "13p";
      codes += CodeOf("31");
      codes += "33b1";  // "33" rings a row again
    }
    Row first;
    first.Swap(0, beyond);
    Row row = first;
    ProofTable generated;
    generated.Insert(row);
    GenerateSequence(row, generated, codes, false);

    Row expected = first;
    ProofTable inserted;
    inserted.Insert(expected);
    for (const char code : codes) {
      expected.Assign(expected.Permute(rowsState.changeTable.ChangeOf(code)));
      inserted.Insert(expected);
    }
    EXPECT_EQ(expected.ToText(), row.ToText());
    ASSERT_EQ(inserted.Verdict(), generated.Verdict());
    ASSERT_NE(0, inserted.Verdict().repeats);
    std::ostringstream lines[2];
    inserted.PrintFirstRepeat(lines[0]);
    generated.PrintFirstRepeat(lines[1]);
    EXPECT_EQ(lines[0].str(), lines[1].str());
  }
}

}  // namespace
