#include "touch/Course.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "language/Token.h"
#include "proof/ProofTable.h"
#include "ringing/Ringing.h"
#include "rows/ChangeTable.h"
#include "tests/TestHelpers.h"

namespace {

using test::Call;
using test::ErrorOf;

// Rings the start tail and the course from rounds; answers the change at which rounds recurs, or
// minus the changes recorded when it does not.
std::int32_t RoundsAfter(Course& course) {
  ProofTable table;
  Row row;
  table.Insert(row);
  GenerateSequence(row, table, languageState.settings.StartTail(), false);
  course.Generate(table, row, false);
  return table.Verdict().roundsAt;
}

// Stedman Triples, 14 sixes per course, rounds as the fourth row of a quick six.
class CourseTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    settings.SetDefaults();
    settings.ApplyBellCount(7);
  }

  TouchSettings& settings = languageState.settings;
};

TEST_F(CourseTest, ANewCourseTakesTheSixesPerCourseAndChangesNothing) {
  const Course course;
  EXPECT_EQ(14, course.sixCount);
  EXPECT_EQ(0, course.length);
  EXPECT_TRUE(course.endRow.IsRounds());
  EXPECT_TRUE(course.IsOpen());
  EXPECT_FALSE(course.IsNamed());
  EXPECT_TRUE(course.IsSingleCourse());
  Row row = test::RowOf("2143657");
  course.ApplyEndRow(row);
  EXPECT_EQ(test::RowOf("2143657"), row);
}

TEST_F(CourseTest, APlainCourseRingsEightyFourChangesBackToRounds) {
  Course course;
  course.Finish();
  EXPECT_EQ(std::string(14, 'p'), course.calls);
  EXPECT_EQ(test::Repeated("p31313p13131", 7), course.changeString);
  EXPECT_TRUE(course.endRow.IsRounds());
  EXPECT_EQ(84, course.length);
  EXPECT_FALSE(course.IsOpen());
  EXPECT_FALSE(course.IsNamed());
  EXPECT_EQ(84, RoundsAfter(course));
}

TEST_F(CourseTest, CallsFillTheSixesBetweenWithPlainSixEnds) {
  Course course;
  for (const int six : {4, 6, 11}) {
    EXPECT_TRUE(course.AddCall(Call(six)));
  }
  EXPECT_EQ("pppbpbppppb", course.calls);
  course.Finish();
  EXPECT_EQ("pppbpbppppbppp", course.calls);
  EXPECT_EQ("p31313p13131p31313b13131p31313b13131p31313p13131p31313p13131b31313p13131p31313p13131",
            course.changeString);
  EXPECT_EQ(test::RowOf("3714256"), course.endRow);
  EXPECT_EQ(84, course.length);
}

TEST_F(CourseTest, ACallForASixAlreadyHeldFinishesTheCourse) {
  const std::pair<int, bool> cases[] = {{6, false}, {2, false}, {7, true}};
  for (const auto& [six, taken] : cases) {
    SCOPED_TRACE(six);
    Course course;
    (void)course.AddCall(Call(4));
    (void)course.AddCall(Call(6));
    EXPECT_EQ(taken, course.AddCall(Call(six)));
    EXPECT_EQ(taken, course.IsOpen());
    EXPECT_EQ(taken ? "pppbpbb" : "pppbpbpppppppp", course.calls);
  }
}

TEST_F(CourseTest, ASixNumberOfZeroOrLessCallsTheNextSix) {
  for (const int value : {0, 200, 128}) {  // 200 and 128 read as -56 and -128
    SCOPED_TRACE(value);
    Course course;
    (void)course.AddCall(Call(4));
    EXPECT_TRUE(course.AddCall(Call(value, 's')));
    EXPECT_EQ("pppbs", course.calls);
  }
}

TEST_F(CourseTest, ACallBeyondTheCourseLengthLengthensIt) {
  Course course;
  (void)course.AddCall(Call(15));
  EXPECT_EQ(15U, course.calls.size());
  course.Finish();
  EXPECT_EQ(15, course.sixCount);
  EXPECT_EQ(90, course.length);
  // An odd count of sixes begins and ends with a quick six.
  EXPECT_EQ("p13131", course.changeString.substr(0, 6));
  EXPECT_EQ("b13131", course.changeString.substr(84));
}

TEST_F(CourseTest, ACourseRefusesCallsOnceTheSixesPerCourseChanged) {
  Course course;
  (void)course.AddCall(Call(4));
  settings.SetSixesPerCourse(7);
  EXPECT_FALSE(course.AddCall(Call(5)));
  EXPECT_FALSE(course.AddCall(Call(2)));
  EXPECT_TRUE(course.IsOpen());  // the block finishes it
  EXPECT_EQ("pppb", course.calls);
}

TEST_F(CourseTest, SetLengthFillsWithPlainSixesAndFinishes) {
  Course course;
  EXPECT_TRUE(course.SetLength(3));
  EXPECT_FALSE(course.IsOpen());
  EXPECT_EQ("ppp", course.calls);
  EXPECT_EQ(3, course.sixCount);
  EXPECT_EQ("p13131p31313p13131", course.changeString);
  EXPECT_EQ(18, course.length);
  EXPECT_FALSE(course.SetLength(4));
}

TEST_F(CourseTest, ALengthShorterThanTheCallsIsRefusedAndFinishesTheCourse) {
  Course course;
  (void)course.AddCall(Call(5));
  EXPECT_FALSE(course.SetLength(3));
  EXPECT_FALSE(course.IsOpen());
  EXPECT_EQ(14, course.sixCount);
  EXPECT_EQ("ppppbppppppppp", course.calls);
}

TEST_F(CourseTest, ANegativeLengthIsKeptAndRingsNothing) {
  Course course;
  EXPECT_TRUE(course.SetLength(-56));  // "(200)"
  EXPECT_FALSE(course.IsOpen());
  EXPECT_EQ(-56, course.sixCount);
  EXPECT_EQ("", course.calls);
  EXPECT_EQ("", course.changeString);
  EXPECT_TRUE(course.endRow.IsRounds());
  EXPECT_EQ(-336, course.length);
  EXPECT_EQ(" (-56 sixes)", course.CallingText());
  EXPECT_EQ(-2, RoundsAfter(course));  // the start tail alone
}

TEST_F(CourseTest, AnUnfinishedCourseRingsNothing) {
  Course course;
  (void)course.AddCall(Call(4));
  EXPECT_EQ(-2, RoundsAfter(course));
}

TEST_F(CourseTest, ErinRingsSlowSixesAndComesRoundAfterFortyTwo) {
  settings.SelectMethod('e');
  ASSERT_EQ(7, settings.sixesPerCourse);
  ASSERT_EQ("", settings.StartTail());
  Course course;
  course.Finish();
  EXPECT_EQ(test::Repeated("p31313", 7), course.changeString);
  EXPECT_EQ(42, course.length);
  EXPECT_EQ(42, RoundsAfter(course));
}

TEST_F(CourseTest, ColumnOfCountsTheCalledSixesBefore) {
  Course course;
  for (const int six : {2, 5, 7}) {
    (void)course.AddCall(Call(six, six == 5 ? 's' : 'b'));
  }
  course.Finish();
  const std::pair<int, int> cases[] = {{1, 1}, {4, 4}, {6, 7}, {0, 0}, {7, 0}, {13, 0}, {20, 0}};
  for (const auto& [six, column] : cases) {
    SCOPED_TRACE(six);
    EXPECT_EQ(column, course.ColumnOf(six));
  }
}

TEST_F(CourseTest, ACallLetterThatIsNoChangeFailsWhenTheCourseFinishes) {
  Course course;
  EXPECT_TRUE(course.AddCall(Call(3, 'q')));
  EXPECT_EQ("Bad place: q", ErrorOf([&course] { course.Finish(); }));
}

TEST_F(CourseTest, OnlyCallTokensAreTakenAsCalls) {
  Token length;
  length.type = TokenType::Length;
  length.value = 3;
  Course fresh;
  EXPECT_EQ("Incorrect token type in AddCall", ErrorOf([&] { (void)fresh.AddCall(length); }));
  // The six is checked first: a token for a six already held finishes the course instead.
  Course called;
  (void)called.AddCall(Call(6));
  EXPECT_EQ("", ErrorOf([&] { EXPECT_FALSE(called.AddCall(length)); }));
  EXPECT_FALSE(called.IsOpen());
}

}  // namespace
