#include "analysis/CallsAndEnds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "driver/Run.h"

namespace {

CallsReport CallsOf(const std::string& touch) {
  ResetProcessState();
  std::istringstream in(touch);
  std::ostringstream err;
  ProveSettings settings;
  settings.analyses.calls = true;
  return *ProveTouch(in, err, settings).analysis.calls;
}

std::string Example(const std::string& name) {
  std::ifstream in(std::string(SIXES_SOURCE_DIR) + "/examples/" + name);
  return {std::istreambuf_iterator<char>(in), {}};
}

// "1 2745361 @88": each end's number, row and row number.
std::vector<std::string> Ends(const std::vector<RowEnd>& ends) {
  std::vector<std::string> texts;
  for (const RowEnd& end : ends) {
    texts.push_back(std::to_string(end.number) + end.row.ToText() + " @" + std::to_string(end.at));
  }
  return texts;
}

TEST(CallsAndEnds, CountsEachKindOfCallAsRung) {
  const struct {
    std::string touch;
    std::string line;
  } cases[] = {
      {"#7 (14)", "none."},
      {"#7 4", "1 bob."},
      {"#7 4 6s 9 11s", "2 bobs, 2 singles."},
      {"#7 4s", "1 single."},
      // Each use of a block rings its calls again.
      {"#7 A[7 11] A B[7 11 13s 13s] _ B B", "10 bobs, 6 singles."},
      // A call of another letter by its letter, after bobs and singles in the order of their codes;
      // plain six-ends never.
      {"#7 'c:147' 2h 3I 5 7p 9h", "1 bob, 1 I, 2 h."},
      {Example("stedman-triples-5040-johnson-10part.touch"), "438 bobs."},
      {Example("stedman-triples-1260-johnson-musical.touch"), "146 bobs."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.touch);
    EXPECT_EQ(c.line, CallsLine(CallsOf(c.touch)));
  }
}

// The row after each course's last six, in ringing order, and the row number it stands at.
TEST(CallsAndEnds, GivesEveryCourseEndInRingingOrder) {
  // The 672 of the README: A twice, then B's two courses three times; the rule rings nothing.
  const CallsReport example = CallsOf("#7 A[7 11] A B[7 11 13s 13s] _ B B");
  EXPECT_EQ(8, example.courseCount);
  EXPECT_EQ((std::vector<std::string>{"1 2745361 @86", "2 2153764 @170", "3 2467135 @254",
                                      "4 2437165 @338", "5 2561473 @422", "6 2571463 @506",
                                      "7 2364517 @590", "8 2314567 @674"}),
            Ends(example.courseEnds));
  EXPECT_EQ(0, example.partCount);
  EXPECT_TRUE(example.partEnds.empty());
}

TEST(CallsAndEnds, GivesThePartEndsOfAMultiPart) {
  const CallsReport threePart = CallsOf("#7 <5 7 9 11 13> A[13] A A");
  EXPECT_EQ(3, threePart.partCount);
  EXPECT_EQ((std::vector<std::string>{"1 2361547 @86", "2 2346517 @170", "3 2314567 @254"}),
            Ends(threePart.partEnds));
  // The ten-part's parts are not one block used ten times at the top level: no part ends.
  EXPECT_EQ(0, CallsOf(Example("stedman-triples-5040-johnson-10part.touch")).partCount);
  // One use is no multi-part, nor are uses of a block that rings nothing.
  EXPECT_EQ(0, CallsOf("#7 A[13]").partCount);
  EXPECT_EQ(0, CallsOf("#7 A[] A A").partCount);
  EXPECT_EQ(0, CallsOf("#7 _ _").partCount);
}

// After a lead-in the rows are recorded from where rounds comes up: a course end rung before that
// has no row number.
TEST(CallsAndEnds, ACourseEndBeforeTheLeadInEndsHasNoRowNumber) {
  const CallsReport leadIn = CallsOf("#7 !7Q (14) (14)");
  EXPECT_EQ((std::vector<std::string>{"1 2143657 @83", "2 2143657 @167"}), Ends(leadIn.courseEnds));
  // The single at 1 keeps rounds from coming up until the single of the second course undoes it.
  const CallsReport late = CallsOf("#7 !7Q 1s (14) 1s (14) (14)");
  EXPECT_EQ((std::vector<std::string>{"1 2143567 @-1", "2 2143657 @83", "3 2143657 @167"}),
            Ends(late.courseEnds));
  // A course of no sixes, or a negative number of them, rings nothing and is no course.
  EXPECT_EQ(1, CallsOf("#7 (14) (0)").courseCount);
}

}  // namespace
