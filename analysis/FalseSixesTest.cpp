#include "analysis/FalseSixes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "driver/ProcessState.h"
#include "driver/Run.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "touch/Block.h"

namespace {

FalsenessReport FalsenessOf(const std::string& touch) {
  ResetProcessState();
  std::istringstream in(touch);
  std::ostringstream err;
  ProveSettings settings;
  settings.analyses.falseness = true;
  return *ProveTouch(in, err, settings).analysis.falseness;
}

SixPlace Six(std::int64_t course, std::int32_t six, std::int32_t first, std::int32_t last) {
  return {SixPlace::Kind::Course, course, six, first, last};
}

// A false touch of Triples: the single at 13 of course 1 is undone by the one of course 3, and
// course 1's seventh six comes again as course 3's.
TEST(FalseSixes, FindTheOnePairOfAFalseTouch) {
  const FalsenessReport report = FalsenessOf("#7 13s 11s 11s 13s");
  ASSERT_EQ(1u, report.pairs.size());
  EXPECT_EQ(1, report.pairCount);
  EXPECT_TRUE(report.complete);
  EXPECT_EQ(252, report.searchedTo);
  const ClashingPair& pair = report.pairs[0];
  EXPECT_EQ(Six(1, 7, 39, 44), pair.first);
  EXPECT_EQ(Six(3, 7, 207, 212), pair.second);
  EXPECT_EQ(6, pair.sharedRows);
  EXPECT_EQ(" 7612345", pair.firstSharedRow.ToText());
  EXPECT_EQ(41, pair.firstSharedInFirst);
  EXPECT_EQ(207, pair.firstSharedInSecond);
}

TEST(FalseSixes, TrueTouchesHaveNone) {
  for (const char* touch : {"#7 (14)", "#7 <5 7 9 11 13> A[7 11] A B[7 11 13s 13s] _ B B",
                            // Rounds comes up after the first course: the rest is not proved.
                            "#7 (14) (14) (14)",
                            // Two extents of Doubles, every row twice: true as two extents.
                            "#5 -10 A[1s (10)] A A A A"}) {
    SCOPED_TRACE(touch);
    const FalsenessReport report = FalsenessOf(touch);
    EXPECT_EQ(0, report.pairCount);
    EXPECT_TRUE(report.pairs.empty());
    EXPECT_TRUE(report.complete);
  }
}

// The start six holds only rounds and the two rows after it, so a six that comes again later
// shares two rows with it: rounds at row 0 and where it recurs is no clash.
TEST(FalseSixes, TheStartSixSharesOnlyTheRowsItHolds) {
  const FalsenessReport report = FalsenessOf("#7 1h 2h 3h 4h 5h 6h 7h");
  ASSERT_EQ(1u, report.pairs.size());
  const ClashingPair& pair = report.pairs[0];
  EXPECT_EQ((SixPlace{SixPlace::Kind::Start, 0, 0, 0, 2}), pair.first);
  EXPECT_EQ(Six(1, 2, 9, 14), pair.second);
  EXPECT_EQ(2, pair.sharedRows);
  EXPECT_EQ(" 2135476", pair.firstSharedRow.ToText());
  EXPECT_EQ(1, pair.firstSharedInFirst);
  EXPECT_EQ(9, pair.firstSharedInSecond);
  EXPECT_EQ(14, report.searchedTo);  // rounds comes up at row 14
}

// A touch that never comes round clashes in every row recorded.
TEST(FalseSixes, ATouchThatNeverComesRoundClashesInAllItsRows) {
  const FalsenessReport report = FalsenessOf("#7 (7) (7) (7) (7)");
  EXPECT_TRUE(report.complete);
  EXPECT_GT(report.pairCount, 0);
  EXPECT_EQ(2 + 4 * 42 + 6, report.searchedTo);
}

// The published 5040 of examples/ with its first bob made a single: many pairs.
std::string False5040() {
  std::ifstream in(std::string(SIXES_SOURCE_DIR) +
                   "/examples/stedman-triples-5040-johnson-10part.touch");
  std::string touch(std::istreambuf_iterator<char>(in), {});
  const std::size_t first = touch.find("    3 4 5 9 10 12");
  if (first == std::string::npos) {
    return {};
  }
  return touch.substr(0, first) + "    3s" + touch.substr(first + 5);
}

// The search with limits of its own, on the touch as ProveTouch rings it.
FalsenessReport LimitedFalsenessOf(const std::string& touch, const FalsenessLimits& limits) {
  ResetProcessState();
  Block top(0);
  std::istringstream in(touch);
  TokenReader reader(in);
  std::ostringstream err;
  TouchParser(reader, err).Parse(top, true);
  Row row;
  ProofTable table;
  table.Insert(row);
  top.Generate(table, row, true);
  const FalseSixFinder finder(top, table, table.Verdict(), limits);
  return finder.Find(top);
}

// A touch too false to follow to its end: the search stops when its work is spent, or at the
// second occurrence of the first repeated row it does not follow. The pairs it gives are exactly
// those of the whole search whose second six ends before it stopped.
TEST(FalseSixes, ASearchCutShortGivesThePairsBeforeWhereItStopped) {
  const std::string touch = False5040();
  const FalsenessReport whole = FalsenessOf(touch);
  ASSERT_TRUE(whole.complete);
  ASSERT_GT(whole.pairCount, static_cast<std::int64_t>(FalsenessReport::maxListedPairs));
  EXPECT_EQ(FalsenessReport::maxListedPairs, whole.pairs.size());

  FalsenessLimits lessWork;
  lessWork.work = 400;
  FalsenessLimits fewerRows;
  fewerRows.followedRows = 100;
  for (const FalsenessLimits& limits : {lessWork, fewerRows}) {
    const FalsenessReport part = LimitedFalsenessOf(touch, limits);
    EXPECT_FALSE(part.complete);
    ASSERT_GT(part.pairCount, 0);
    ASSERT_LT(part.pairCount, static_cast<std::int64_t>(FalsenessReport::maxListedPairs));
    std::int64_t before = 0;
    for (const ClashingPair& pair : whole.pairs) {
      before += pair.second.lastRow <= part.searchedTo ? 1 : 0;
    }
    EXPECT_EQ(before, part.pairCount);
    ASSERT_EQ(static_cast<std::size_t>(part.pairCount), part.pairs.size());
    for (std::size_t pair = 0; pair < part.pairs.size(); ++pair) {
      EXPECT_EQ(whole.pairs[pair].first, part.pairs[pair].first);
      EXPECT_EQ(whole.pairs[pair].second, part.pairs[pair].second);
      EXPECT_EQ(whole.pairs[pair].sharedRows, part.pairs[pair].sharedRows);
    }
  }
}

// Pairs come in the order in which their first shared row comes for the second time.
TEST(FalseSixes, PairsComeInTheOrderTheirRowsComeAgain) {
  const FalsenessReport report = FalsenessOf(False5040());
  for (std::size_t pair = 1; pair < report.pairs.size(); ++pair) {
    EXPECT_LE(report.pairs[pair - 1].firstSharedInSecond, report.pairs[pair].firstSharedInSecond);
  }
  for (const ClashingPair& pair : report.pairs) {
    EXPECT_LT(pair.first.lastRow, pair.second.firstRow);
    EXPECT_GE(pair.firstSharedInFirst, pair.first.firstRow);
    EXPECT_LE(pair.firstSharedInFirst, pair.first.lastRow);
    EXPECT_GE(pair.firstSharedInSecond, pair.second.firstRow);
    EXPECT_LE(pair.firstSharedInSecond, pair.second.lastRow);
  }
}

}  // namespace
