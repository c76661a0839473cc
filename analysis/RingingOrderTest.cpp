#include "analysis/RingingOrder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "proof/ProofTable.h"
#include "ringing/Ringing.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

// A touch parsed and rung as the program rings it, with the six of every recorded row.
class RingingOrderTest : public ::testing::Test {
 protected:
  void Ring(const std::string& touch) {
    ResetProcessState();
    std::istringstream in(touch);
    TokenReader reader(in);
    std::ostringstream err;
    TouchParser(reader, err).Parse(top, true);
    Row row;
    table.Insert(row);
    top.Generate(table, row, true);
    frame = FrameOf(top, table.RowCount());
  }

  // "start 0-2", "1.1 3-8", "finish 87-92": the six of each row from 0 on, where it changes.
  std::vector<std::string> Sixes() {
    SixCursor cursor(top, frame);
    std::vector<std::string> seen;
    for (std::int32_t row = 0; row < frame.rowCount; ++row) {
      const SixPlace& six = cursor.SixOf(row);
      std::string text = six.kind == SixPlace::Kind::Start ? "start"
                         : six.kind == SixPlace::Kind::Finish
                             ? "finish"
                             : std::to_string(six.course) + '.' + std::to_string(six.six);
      text += ' ' + std::to_string(six.firstRow) + '-' + std::to_string(six.lastRow);
      if (seen.empty() || seen.back() != text) {
        EXPECT_GE(row, six.firstRow);
        EXPECT_LE(row, six.lastRow);
        seen.push_back(text);
      }
    }
    return seen;
  }

  Block top{0};
  ProofTable table;
  RingingFrame frame;
};

TEST_F(RingingOrderTest, TheStartSixHoldsRoundsAndTheRestOfItsSix) {
  Ring("#7 A[(2)] A");
  EXPECT_EQ(2, frame.startChanges);
  EXPECT_EQ(24, frame.courseChanges);
  EXPECT_EQ(32, frame.totalChanges);
  EXPECT_EQ((std::vector<std::string>{"start 0-2", "1.1 3-8", "1.2 9-14", "2.1 15-20", "2.2 21-26",
                                      "finish 27-32"}),
            Sixes());
  EXPECT_EQ(2, frame.RowAfter(2));
  EXPECT_EQ(-1, frame.RowAfter(33));
}

// Erin starts with rounds as the last row of a six: the start six is rounds alone.
TEST_F(RingingOrderTest, RoundsAsTheLastRowOfASixIsAStartSixOfItsOwn) {
  Ring("#7 ~e (2)");
  EXPECT_EQ((std::vector<std::string>{"start 0-0", "1.1 1-6", "1.2 7-12", "finish 13-18"}),
            Sixes());
}

// With a lead-in, rows are recorded from where rounds comes up, inside the first six here: that
// six holds row 0, and the rows before it are not in the proof.
TEST_F(RingingOrderTest, ALeadInRecordsFromWhereRoundsComesUp) {
  Ring("#7 !8Q (14)");  // the lead-in "3p", then the slow six 1: p, 3, ...
  EXPECT_TRUE(frame.leadIn);
  EXPECT_EQ(2, frame.startChanges);
  EXPECT_EQ(4, frame.firstRecorded);  // 3, p, p, 3: rounds again
  const std::vector<std::string> sixes = Sixes();
  ASSERT_EQ(15u, sixes.size());  // the lead-in rows before rounds are not recorded
  EXPECT_EQ("1.1 0-4", sixes.front());
  EXPECT_EQ("1.2 5-10", sixes[1]);
  EXPECT_EQ("finish 83-88", sixes.back());
  EXPECT_EQ(-1, frame.RowAfter(3));
  EXPECT_EQ(0, frame.RowAfter(4));
}

// Every use of a block rings its courses again; a block or course that rings nothing is passed.
TEST_F(RingingOrderTest, TheWalkVisitsEveryCourseAsRung) {
  Ring("#7 A[4 (14) B[(0)] 6 (14)] C[] A _ A");
  CourseWalk walk(top);
  std::vector<std::string> calls;
  for (const Course* course = walk.Next(); course != nullptr; course = walk.Next()) {
    calls.push_back(course->calls);
  }
  const std::string first = "pppbpppppppppp";
  const std::string second = "pppppbpppppppp";
  EXPECT_EQ((std::vector<std::string>{first, second, first, second, first, second}), calls);
}

}  // namespace
