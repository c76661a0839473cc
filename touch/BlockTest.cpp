#include "touch/Block.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "language/Token.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "tests/TestHelpers.h"
#include "touch/Course.h"
#include "touch/ProcessState.h"

namespace {

using test::Call;

const Course* CourseAt(const Block& block, std::size_t index) {
  return index < block.children.size() ? dynamic_cast<const Course*>(block.children[index])
                                       : nullptr;
}

// The calls of the course at index, or "not a course".
std::string CallsAt(const Block& block, std::size_t index) {
  const Course* course = CourseAt(block, index);
  return course != nullptr ? course->calls : "not a course";
}

// Rings the top-level block from rounds; answers the verdict's rounds index (minus the changes
// recorded after rounds when rounds never comes back).
std::int32_t RingFromRounds(Block& top, Row& row) {
  ProofTable table;
  table.Insert(row);
  top.Generate(table, row, true);
  return table.Verdict().roundsAt;
}

// Stedman Triples from the default start: 14 sixes per course, rounds as the fourth row of a quick
// six.
class BlockTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    settings.SetDefaults();
    settings.ApplyBellCount(7);
  }

  static void AddCalls(Block& block, std::initializer_list<Token> calls) {
    for (const Token& call : calls) {
      (void)block.AddCall(call);
    }
  }

  TouchSettings& settings = languageState.settings;
  Block top{0};
};

TEST_F(BlockTest, ACallForASixAlreadyPassedStartsANewCourse) {
  AddCalls(top, {Call(4), Call(6), Call(11), Call(3), Call(5, 's')});
  ASSERT_EQ(2U, top.children.size());
  EXPECT_EQ("pppbpbppppbppp", CallsAt(top, 0));
  EXPECT_FALSE(top.children[0]->IsOpen());
  EXPECT_EQ("ppbps", CallsAt(top, 1));
  EXPECT_TRUE(top.children[1]->IsOpen());

  top.Finish();
  EXPECT_EQ("ppbpsppppppppp", CallsAt(top, 1));
  EXPECT_EQ(168, top.length);
}

TEST_F(BlockTest, TheTopLevelRingsTheStartTailTheChildrenAndAClosingSix) {
  AddCalls(top, {Call(4), Call(6), Call(11), Call(3), Call(5, 's')});
  top.Finish();
  Row row;
  EXPECT_EQ(-176, RingFromRounds(top, row));  // 2 + 168 + 6 rows after rounds; never round
  EXPECT_EQ(SequenceProduct("31" + CourseAt(top, 0)->changeString + CourseAt(top, 1)->changeString +
                            "p31313"),
            row);
}

TEST_F(BlockTest, APlainCourseComesRoundAfterEightyFourChanges) {
  (void)top.SetLength(14);
  top.Finish();
  Row row;
  EXPECT_EQ(84, RingFromRounds(top, row));
}

TEST_F(BlockTest, ALeadInIsNotRecordedUntilRoundsComesUp) {
  ASSERT_TRUE(settings.SetStart(6, 'Q'));  // lead-in "p"
  top.Finish();
  Row row;
  // "p" leaves rounds, the "p" of the closing six comes back to it: only "31313" is recorded.
  EXPECT_EQ(-5, RingFromRounds(top, row));
  EXPECT_EQ(SequenceProduct("31313"), row);
}

TEST_F(BlockTest, ALengthInAnEmptyBlockMakesACourseOfPlainSixes) {
  EXPECT_TRUE(top.SetLength(3));
  top.Finish();
  ASSERT_EQ(1U, top.children.size());
  EXPECT_EQ("ppp", CallsAt(top, 0));
  EXPECT_EQ(18, top.length);
}

TEST_F(BlockTest, ALengthShorterThanTheCallsStartsAPlainCourse) {
  AddCalls(top, {Call(5)});
  EXPECT_TRUE(top.SetLength(3));
  top.Finish();
  ASSERT_EQ(2U, top.children.size());
  EXPECT_EQ("ppppbppppppppp", CallsAt(top, 0));
  EXPECT_EQ("ppp", CallsAt(top, 1));
  EXPECT_EQ(84 + 18, top.length);
}

TEST_F(BlockTest, WithOneSixPerCourseEveryCallSetsTheLength) {
  settings.SetSixesPerCourse(1);
  AddCalls(top, {Call(4), Call(2, 's')});
  top.Finish();
  ASSERT_EQ(2U, top.children.size());
  EXPECT_EQ("pppb", CallsAt(top, 0));
  EXPECT_EQ("ps", CallsAt(top, 1));
  EXPECT_EQ(36, top.length);
}

TEST_F(BlockTest, ACourseBegunUnderAnotherCourseLengthIsFinishedAndReplaced) {
  AddCalls(top, {Call(4)});
  settings.SetSixesPerCourse(7);
  AddCalls(top, {Call(5)});
  ASSERT_EQ(2U, top.children.size());
  EXPECT_FALSE(top.children[0]->IsOpen());
  EXPECT_EQ("pppbpppppppppp", CallsAt(top, 0));
  EXPECT_EQ("ppppb", CallsAt(top, 1));
}

TEST_F(BlockTest, ANamedBlockUsedTwiceCountsTwiceAndIsShared) {
  Block a('A');
  AddCalls(a, {Call(4), Call(6), Call(11)});
  a.Finish();
  ASSERT_EQ(84, a.length);
  ASSERT_EQ(test::RowOf("3714256"), a.endRow);

  top.AppendChild(a);
  top.AppendChild(a);
  top.Finish();
  EXPECT_EQ(168, top.length);
  EXPECT_EQ(test::RowOf("1634725"), top.endRow);  // 3714256 applied twice
}

TEST_F(BlockTest, ACallAfterAFinishedChildStartsANewCourse) {
  Block a('A');
  AddCalls(a, {Call(4)});
  a.Finish();
  top.AppendChild(a);
  AddCalls(top, {Call(6)});
  top.children.back()->Finish();  // as the parser does before appending
  top.AppendChild(*touchState.separator);
  AddCalls(top, {Call(6)});
  top.Finish();
  ASSERT_EQ(4U, top.children.size());
  EXPECT_EQ("pppppbpppppppp", CallsAt(top, 1));
  EXPECT_TRUE(top.children[2]->IsSeparator());
  EXPECT_EQ("pppppbpppppppp", CallsAt(top, 3));
  EXPECT_EQ(3 * 84, top.length);
}

TEST_F(BlockTest, AnEmptyBlockRingsAndShowsNothing) {
  top.Finish();
  EXPECT_EQ(0, top.length);
  EXPECT_TRUE(top.endRow.IsRounds());
  EXPECT_FALSE(top.IsSingleCourse());
  EXPECT_EQ(0, top.ColumnOf(0));
  EXPECT_EQ("", top.HeadingText());

  ProofTable table;
  Row row = test::RowOf("2143657");
  table.Insert(row);
  top.Generate(table, row, false);
  EXPECT_EQ(test::RowOf("2143657"), row);
  EXPECT_EQ(0, table.Verdict().roundsAt);  // only the row inserted before
}

TEST_F(BlockTest, AFinishedBlockTakesNothingAndFinishesOnce) {
  AddCalls(top, {Call(4)});
  top.Finish();
  top.Finish();
  EXPECT_EQ(84, top.length);
  EXPECT_FALSE(top.AddCall(Call(6)));
  EXPECT_FALSE(top.SetLength(3));
  top.Finish();
  EXPECT_EQ(1U, top.children.size());
  EXPECT_EQ(84, top.length);
}

TEST_F(BlockTest, ASingleCourseIsOneCourseDirectlyOrThroughOneBlock) {
  Block oneCourse(0);
  AddCalls(oneCourse, {Call(4)});
  oneCourse.Finish();
  Block wrapped(0);
  wrapped.AppendChild(oneCourse);
  wrapped.Finish();
  Block twoCourses(0);
  AddCalls(twoCourses, {Call(4), Call(2)});
  twoCourses.Finish();
  Block separated(0);
  separated.AppendChild(*touchState.separator);
  separated.Finish();

  EXPECT_TRUE(oneCourse.IsSingleCourse());
  EXPECT_TRUE(wrapped.IsSingleCourse());
  EXPECT_FALSE(twoCourses.IsSingleCourse());
  EXPECT_FALSE(separated.IsSingleCourse());
}

TEST_F(BlockTest, ColumnsAndHeadingComeFromTheFirstChild) {
  AddCalls(top, {Call(5), Call(7), Call(2)});
  top.Finish();
  EXPECT_EQ(0, top.ColumnOf(1));
  EXPECT_EQ(1, top.ColumnOf(4));
  EXPECT_EQ(4, top.ColumnOf(6));
  EXPECT_EQ("  5  7 ", top.HeadingText());
}

TEST_F(BlockTest, LengthsBeyondThirtyTwoBitsAreSummedWithoutWrapping) {
  // Eight levels, each using the one below a thousand times: 600 * 1000^7 changes.
  std::vector<std::unique_ptr<Block>> levels;
  levels.push_back(std::make_unique<Block>('A'));
  (void)levels.back()->SetLength(100);
  levels.back()->Finish();
  for (char letter = 'B'; letter <= 'H'; ++letter) {
    auto level = std::make_unique<Block>(letter);
    for (int use = 0; use < 1000; ++use) {
      level->AppendChild(*levels.back());
    }
    level->Finish();
    levels.push_back(std::move(level));
  }
  EXPECT_EQ(600'000'000'000, levels[3]->length);
  for (const auto& level : levels) {
    SCOPED_TRACE(level->letter);
    EXPECT_GT(level->length, 0);
  }
  EXPECT_GT(levels.back()->length, INT_MAX);
}

}  // namespace
