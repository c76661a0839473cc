#include "proof/ProofTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"

// Shown by GoogleTest when a comparison fails: found beside the type, outside the test's namespace.
std::ostream& operator<<(std::ostream& out, const ProofVerdict& verdict) {
  return out << (verdict.isTrue ? "true" : "false") << ", rounds at " << verdict.roundsAt << ", "
             << verdict.repeats << " repeats";
}

namespace {

// Every arrangement of the current stage but rounds, in Less order.
std::vector<Row> AllButRounds() {
  std::string bells = rowsState.bellSymbols.substr(0, rowsState.bellCount);
  std::vector<Row> rows;
  while (std::next_permutation(bells.begin(), bells.end())) {
    rows.push_back(test::RowOf(bells));
  }
  return rows;
}

// count distinct rows that are neither rounds nor any of the excluded ones.
std::vector<Row> Fillers(std::size_t count, const std::vector<Row>& excluded) {
  std::vector<Row> rows;
  for (const Row& row : AllButRounds()) {
    if (rows.size() == count) {
      break;
    }
    if (std::find(excluded.begin(), excluded.end(), row) == excluded.end()) {
      rows.push_back(row);
    }
  }
  return rows;
}

void InsertAll(ProofTable& table, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    table.Insert(row);
  }
}

using Outcome = ProofVerdict;

Outcome VerdictOf(const ProofTable& table) {
  return table.Verdict();
}

std::string FirstRepeatLine(const ProofTable& table) {
  std::ostringstream out;
  table.PrintFirstRepeat(out);
  return out.str();
}

// Every test runs on both stores of rows: the entries, and the buckets of long touches.
class ProofTableTest : public ::testing::TestWithParam<std::int64_t> {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetBellCount(7);
    a = test::RowOf("2135476");
    b = test::RowOf("2314567");
    c = test::RowOf("3215476");
  }

  ProofTable table{GetParam()};
  const Row rounds;
  Row a;
  Row b;
  Row c;
};

TEST_P(ProofTableTest, AnExtentOfSevenBellsIsTrue) {
  table.Insert(rounds);
  InsertAll(table, AllButRounds());
  table.Insert(rounds);
  EXPECT_EQ((Outcome{true, 5040, 0}), VerdictOf(table));
  EXPECT_FALSE(table.IsRepeated(a));
}

TEST_P(ProofTableTest, ATouchThatNeverComesRoundCountsEveryRepeat) {
  table.Insert(rounds);
  for (int pair = 0; pair < 420; ++pair) {
    table.Insert(a);
    table.Insert(b);
  }
  EXPECT_EQ((Outcome{false, -840, 838}), VerdictOf(table));
  EXPECT_EQ("Rows 1 and 3 are both  2135476\n", FirstRepeatLine(table));
  EXPECT_FALSE(table.IsRepeated(a));

  ProofTable distinct(GetParam());
  InsertAll(distinct, {rounds, a, b, c});
  EXPECT_EQ((Outcome{false, -3, 0}), VerdictOf(distinct));
}

TEST_P(ProofTableTest, ARowThreeTimesCountsTwoRepeats) {
  InsertAll(table, {rounds, a, b, a, c, a, rounds});
  EXPECT_EQ((Outcome{false, 6, 2}), VerdictOf(table));
  EXPECT_EQ("Rows 1 and 3 are both  2135476\n", FirstRepeatLine(table));
  EXPECT_TRUE(table.IsRepeated(a));
  EXPECT_FALSE(table.IsRepeated(b));
  EXPECT_FALSE(table.IsRepeated(test::RowOf("7654321")));
}

TEST_P(ProofTableTest, RepeatsAfterRoundsAreNotCounted) {
  InsertAll(table, {rounds, a, b, rounds, a, b, a});
  EXPECT_EQ((Outcome{true, 3, 0}), VerdictOf(table));
  EXPECT_FALSE(table.IsRepeated(a));
}

TEST_P(ProofTableTest, IsRepeatedOnlyOnceRoundsHasComeUp) {
  const Row repeated = test::RowOf("1325476");
  const std::vector<Row> fillers = Fillers(37, {repeated});
  table.Insert(rounds);
  InsertAll(table, {fillers.begin(), fillers.begin() + 9});  // 1 to 9
  table.Insert(repeated);                                    // 10
  InsertAll(table, {fillers.begin() + 9, fillers.begin() + 28});
  table.Insert(repeated);  // 30
  InsertAll(table, {fillers.begin() + 28, fillers.end()});
  EXPECT_FALSE(table.IsRepeated(repeated));

  table.Insert(rounds);  // 40
  EXPECT_TRUE(table.IsRepeated(repeated));
  EXPECT_FALSE(table.IsRepeated(fillers[0]));
  EXPECT_EQ((Outcome{false, 40, 1}), VerdictOf(table));
  EXPECT_EQ("Rows 10 and 30 are both  1325476\n", FirstRepeatLine(table));
}

TEST_P(ProofTableTest, FindsWhereTheFirstRepeatedPairLies) {
  const Row repeated = test::RowOf("1325476");
  const std::vector<Row> fillers = Fillers(98, {repeated, a});
  table.Insert(rounds);
  InsertAll(table, {fillers.begin(), fillers.begin() + 11});  // 1 to 11
  table.Insert(repeated);                                     // 12
  InsertAll(table, {fillers.begin() + 11, fillers.end()});    // 13 to 99
  table.Insert(repeated);                                     // 100
  InsertAll(table, {a, a, a});                                // later repeats print nothing

  EXPECT_EQ("Rows 12 and 100 are both  1325476\n", FirstRepeatLine(table));
  struct Case {
    std::int64_t start;
    std::int64_t length;
    bool within;
  };
  const Case cases[] = {
      {0, 30, true},    {12, 30, false}, {11, 1, true},   {99, 1, true},
      {100, 10, false}, {12, 88, true},  {12, 87, false},
  };
  for (const auto& [start, length, within] : cases) {
    SCOPED_TRACE(std::to_string(start) + " " + std::to_string(length));
    EXPECT_EQ(within, table.FirstRepeatWithin(start, length));
  }
}

class FiveBellProofTest : public ::testing::TestWithParam<std::int64_t> {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetBellCount(5);
    others = AllButRounds();
  }

  // Rounds, then the extent's other rows in Less order; returns to rounds after 120 changes.
  void InsertExtent() {
    table.Insert(rounds);
    InsertAll(table, others);
  }

  ProofTable table{GetParam()};
  const Row rounds;
  std::vector<Row> others;
};

TEST_P(FiveBellProofTest, TwoExtentsEndToEndAreTrue) {
  InsertExtent();
  InsertExtent();
  table.Insert(rounds);                      // 240
  InsertAll(table, {others[0], others[1]});  // past the end: a third time
  EXPECT_EQ((Outcome{true, 240, 0}), VerdictOf(table));
  EXPECT_EQ(120, table.FirstRoundsAt());
  EXPECT_EQ(243, table.RowCount());
}

TEST_P(FiveBellProofTest, ThreeExtentsReportTheEndOfTheLast) {
  InsertExtent();
  InsertExtent();
  InsertExtent();
  table.Insert(rounds);  // 360
  EXPECT_EQ((Outcome{true, 360, 0}), VerdictOf(table));
}

TEST_P(FiveBellProofTest, RepeatsInsideARecognisedMultiExtentAreForgiven) {
  // Each half holds one row twice and leaves another out; together every row occurs twice.
  const Row x = others[0];
  const Row y = others[1];
  const std::vector<Row> rest(others.begin() + 2, others.end());
  InsertAll(table, {rounds, x, x});
  InsertAll(table, rest);
  InsertAll(table, {rounds, y, y});  // rounds at 120
  InsertAll(table, rest);
  table.Insert(rounds);  // 240
  EXPECT_EQ((Outcome{true, 240, 1}), VerdictOf(table));
  EXPECT_FALSE(table.FirstRepeatWithin(0, 240));

  // Rows rung after the end may occur more often than the extents allow.
  InsertAll(table, {x, rest[0], rest[1]});
  EXPECT_EQ((Outcome{true, 240, 1}), VerdictOf(table));
}

TEST_P(FiveBellProofTest, RoundsOnceAfterTwoExtentsOfRowsIsFalse) {
  table.Insert(rounds);
  InsertAll(table, others);
  InsertAll(table, others);
  table.Insert(others[0]);  // 239
  table.Insert(rounds);     // 240
  EXPECT_EQ((Outcome{false, 240, 120}), VerdictOf(table));
  EXPECT_TRUE(table.FirstRepeatWithin(119, 1));
}

TEST_P(FiveBellProofTest, ARowTooOftenStopsTheSecondExtentCounting) {
  const Row x = others[0];
  InsertExtent();
  InsertAll(table, {rounds, x, x});  // rounds at 120; x now three times
  InsertAll(table, {others.begin() + 2, others.end()});
  table.Insert(rounds);  // 240, but not two whole extents
  EXPECT_EQ((Outcome{true, 120, 0}), VerdictOf(table));
  EXPECT_FALSE(table.IsRepeated(x));
}

TEST_P(ProofTableTest, ExtentLengthsOfLargeStagesDoNotOverflow) {
  for (const int bells : {12, 13, 21, 35}) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    ProofTable large(GetParam());
    const Row swapped = test::RowOf("21");
    InsertAll(large, {rounds, swapped, rounds, swapped, rounds, swapped, rounds});
    EXPECT_EQ((Outcome{true, 2, 0}), VerdictOf(large));
  }
}

TEST_P(FiveBellProofTest, OnlyTheLeastRowIsExemptFromTheExtentCount) {
  // The first row recorded is not rounds here: it stands for rounds in the counting, but the row
  // exempt from the count of occurrences is the least row, rounds itself.
  const Row first = others[0];
  const std::vector<Row> rest(others.begin() + 3, others.end());
  table.Insert(first);
  InsertAll(table, {rounds, others[1], others[1]});  // the first repeat, at 3
  InsertAll(table, rest);
  table.Insert(first);  // 120
  InsertAll(table, {rounds, others[2], others[2]});
  InsertAll(table, rest);
  table.Insert(first);  // 240: every row twice, the first row a third time
  table.Insert(rest[0]);
  EXPECT_EQ((Outcome{false, 240, 1}), VerdictOf(table));
  EXPECT_TRUE(table.FirstRepeatWithin(2, 1));
  EXPECT_EQ("Rows 2 and 3 are both  12435\n", FirstRepeatLine(table));
}

TEST_P(ProofTableTest, RowsOfManyBellsThatDifferOnlyAtTheBackAreDistinct) {
  struct Case {
    int bells;
    const char* line;
  };
  const Case cases[] = {
      {16, "Rows 1 and 5 are both  1234567890ETABDC\n"},
      {17, "Rows 1 and 5 are both  123456789ABCDEFHG\n"},
      {35, "Rows 1 and 5 are both  123456789ABCDEFGHIJKLMNOPQRSTUVWXZY\n"},
  };
  for (const auto& [bells, line] : cases) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    // Rounds with two bells exchanged, at the back and either side of where a key's words meet.
    std::vector<Row> swapped;
    for (const int place : {bells - 2, bells - 3, 7, 9}) {
      Row row;
      row.Swap(place, place + 1);
      swapped.push_back(row);
    }
    ProofTable large(GetParam());
    large.Insert(rounds);
    InsertAll(large, swapped);
    EXPECT_EQ((Outcome{false, -4, 0}), VerdictOf(large));
    InsertAll(large, {swapped[0], swapped[1]});
    EXPECT_EQ((Outcome{false, -6, 2}), VerdictOf(large));
    EXPECT_EQ(line, FirstRepeatLine(large));
  }
}

TEST_P(ProofTableTest, ARowLikeARepeatedOneButForItsLastBellIsNotRepeated) {
  // Its first fifteen bells are those of a row that repeats; its last is one of them again.
  SetBellCount(16);
  ProofTable large(GetParam());
  const Row x = test::RowOf("2134567890ETABCD");
  InsertAll(large, {rounds, x, test::RowOf("1324567890ETABCD"), x, rounds});
  EXPECT_TRUE(large.IsRepeated(x));
  EXPECT_FALSE(large.IsRepeated(test::RowOf("2134567890ETABCC")));
}

TEST_P(ProofTableTest, ARowWithABellBeyondTheStageKeepsEveryEntry) {
  // A row made under a larger stage holds a bell that no narrow key can; the table changes its
  // keys there, with every row it holds.
  SetBellCount(16);
  Row beyond;
  beyond.Swap(0, 20);
  const Row x = test::RowOf("2134567890ETABCD");
  const Row y = test::RowOf("1234567890ETABDC");
  InsertAll(table, {rounds, x, y, x, beyond, y, beyond, rounds});
  EXPECT_EQ((Outcome{false, 7, 3}), VerdictOf(table));
  EXPECT_EQ("Rows 1 and 3 are both  2134567890ETABCD\n", FirstRepeatLine(table));
  EXPECT_TRUE(table.IsRepeated(x));
  EXPECT_TRUE(table.IsRepeated(beyond));
  EXPECT_FALSE(table.IsRepeated(rounds));
}

TEST_P(ProofTableTest, RowsArriveOneByOneOrInRunsWithTheSameResult) {
  // An extent and a row of it again, the table made with too little room for them. The row is the
  // 101st arrangement in Less order: 100 is 4 * 4! + 2 * 2! in the factorial number system.
  std::vector<Row> rows{rounds};
  const std::vector<Row> others = AllButRounds();
  rows.insert(rows.end(), others.begin(), others.end());
  rows.push_back(others[99]);
  for (const std::size_t run : {1, 7, 64, 1000, 5041}) {
    SCOPED_TRACE(run);
    ProofTable grown(GetParam());
    grown.Reserve(10);
    for (std::size_t first = 0; first < rows.size(); first += run) {
      grown.Insert(std::span<const Row>(rows).subspan(first, std::min(run, rows.size() - first)));
    }
    EXPECT_EQ((Outcome{false, -5040, 1}), VerdictOf(grown));
    EXPECT_EQ("Rows 100 and 5040 are both  1273645\n", FirstRepeatLine(grown));
    EXPECT_TRUE(grown.FirstRepeatWithin(5039, 1));
  }
}

// Every repeated row is visited once with its whole entry, under narrow keys and wide ones alike;
// a row seen once is not visited.
TEST_P(ProofTableTest, EveryRepeatedRowIsVisitedWithItsEntry) {
  for (const int bells : {7, 20}) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    const Row x = test::RowOf("2135476");
    const Row y = test::RowOf("2314567");
    ProofTable visited(GetParam());
    for (const Row& row : {rounds, x, y, x, rounds, x, c}) {
      visited.Insert(row);
    }
    EXPECT_EQ(7, visited.RowCount());
    std::vector<std::string> seen;
    visited.ForEachRepeatedRow([&](const Row& row, const ProofEntry& entry) {
      seen.push_back(row.ToText() + " " + std::to_string(entry.firstIndex) + " " +
                     std::to_string(entry.secondIndex) + " " + std::to_string(entry.lastIndex) +
                     " " + std::to_string(entry.count));
    });
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ((std::vector<std::string>{rounds.ToText() + " 0 4 4 2", x.ToText() + " 1 3 5 3"}),
              seen);
  }
}

// Writes down every row it is shown, at the index it is shown at.
class Recorder final : public RowObserver {
 public:
  void Observe(std::int32_t first, std::span<const NarrowRowKey> keys) override {
    for (const NarrowRowKey& key : keys) {
      Note(first++, key.Unpack(rowsState.bellCount));
    }
  }
  void Observe(std::int32_t first, std::span<const Row> rows) override {
    for (const Row& row : rows) {
      Note(first++, row);
    }
  }
  std::vector<std::string> seen;

 private:
  void Note(std::int32_t index, const Row& row) {
    EXPECT_EQ(static_cast<std::size_t>(index), seen.size());
    seen.push_back(row.ToText());
  }
};

TEST_P(ProofTableTest, AnObserverSeesEveryRowOnceInOrder) {
  SetBellCount(16);
  const Row x = test::RowOf("2134567890ETABCD");
  NarrowRowKey key;
  ASSERT_TRUE(NarrowRowKey::Pack(x, 16, key));
  Row beyond;  // a bell beyond the stage: the table holds it whole from then on
  beyond.Swap(0, 20);
  ProofTable table(GetParam());
  Recorder recorder;
  table.SetObserver(&recorder);
  table.Insert(rounds);
  table.Insert(std::span<const NarrowRowKey>(&key, 1));
  table.Insert(beyond);
  table.Insert(std::span<const NarrowRowKey>(&key, 1));
  EXPECT_EQ((std::vector<std::string>{rounds.ToText(), x.ToText(), beyond.ToText(), x.ToText()}),
            recorder.seen);
}

// The bucket store is asked for from the first row on, however few are reserved.
std::string StoreName(const ::testing::TestParamInfo<std::int64_t>& info) {
  return info.param == 0 ? "Buckets" : "Entries";
}
INSTANTIATE_TEST_SUITE_P(Stores, ProofTableTest,
                         ::testing::Values(bucketedFromRows, std::int64_t{0}), StoreName);
INSTANTIATE_TEST_SUITE_P(Stores, FiveBellProofTest,
                         ::testing::Values(bucketedFromRows, std::int64_t{0}), StoreName);

}  // namespace
