#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "driver/Run.h"
#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "layout/LineList.h"
#include "layout/ProcessState.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "rows/Row.h"
#include "tests/TestHelpers.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

using Lines = std::vector<std::string>;

// Stedman Triples with the columns 5, 7, 9, 11 and 13 (sixes 5, 7, 9, 11, 13 print their marks at
// indexes 1, 4, 7, 10, 13 of a calling). From the start row 2314567 a course with a bob at 5 ends
// on 3614527, two on 6214537, three on 2314567 again.
const std::string triples = "#7 <5 7 9 11 13> ";
const std::string startLine = " 2314567  5  7  9 11 13 ";
const std::string rule = " ----------------------";

class CourseLayoutTest : public testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  void Parse(const std::string& text) {
    std::ostringstream err;
    top = test::ParseTouch(text, err);
    EXPECT_EQ("", err.str());
  }

  // The lines between the top level's first rule and its closing rule, laid out with no table.
  Lines Body(const std::string& text) {
    Parse(text);
    const Lines lines = test::LayOutTouch(*top);
    std::size_t end = lines.size();
    while (end > 3 && lines[end - 1] != lines[2]) {
      --end;
    }
    Lines body;
    for (std::size_t line = 3; line + 1 < end; ++line) {
      body.push_back(lines[line]);
    }
    return body;
  }

  Course& CourseAt(const Block& block, std::size_t child) {
    auto* course = dynamic_cast<Course*>(block.children.at(child));
    EXPECT_NE(nullptr, course);
    return *course;
  }

  // Starts lines as the top level does: the start line, with lastRow and row on the start row.
  void StartLines(const std::string& line = startLine) {
    row.Assign(SequenceProduct("31"));
    layoutState.lastRow = row;
    lines.Append(line, LineKind::Start);
  }

  std::unique_ptr<Block> top;
  LineList lines;
  Row row;
};

TEST_F(CourseLayoutTest, ABobInTheColumnOfTheBobAboveMergesIntoOneLine) {
  const struct {
    const char* calls;
    Lines body;
  } cases[] = {
      // The row is shown against the start row: its 7th bell alone stands as there, and a last
      // bell alone is never blanked.
      {"5 5", {" 6214537  2"}},
      // 2314567 again: the 4th to 7th bells stand as in the start row, but a blank run begins at
      // an odd place, as on every other line.
      {"5 5 5", {" 2314     3"}},
      // The 3 is never raised: a fourth bob starts a line of its own.
      {"5 5 5 5", {" 2314     3", " 3614527  -"}},
      // Earlier calls of the line above stay in front of the 2.
      {"5 7 7", {" 3516427  -  2"}},
      {"5 (14) 7", {" 3614527  -", " 3415627     -"}},
      {"5 5s", {" 3614527  -", " 6314     s"}},
      {"5 _ 5", {" 3614527  -", rule, " 6214537  -"}},
      {"A[5] 5", {" 3614527       (A)", " 6214537  -"}},
      // A bob at six 2 is off the columns: " 2" is no merged 2, and the bob below keeps its line.
      {"2 (14) 5", {" 2354761  2", " 3654721  -"}},
      // A caption is no row: the merged row is shown against the start row above the rule, not
      // against a caption made to look like a row, nor one that begins like a rule line.
      {"_ B[\" 1234537\" 5 (14) 5]", {" 1234537", " 6214537  2             |B"}},
      {"_ B[\"-1234537\" 5 (14) 5]", {"-1234537", " 6214537  2             |B"}},
  };
  for (const auto& [calls, body] : cases) {
    SCOPED_TRACE(calls);
    ResetProcessState();
    EXPECT_EQ(body, Body(triples + calls));
  }
}

TEST_F(CourseLayoutTest, AMergeLeavesTheCoursesOwnCallingAsItWas) {
  Parse(triples + "5 A[5]");
  Block* block = languageState.blockTable.Find('A');
  ASSERT_NE(nullptr, block);
  StartLines();
  CourseAt(*top, 0).Layout(lines, row, 0, nullptr, false);
  CourseAt(*block, 0).Layout(lines, row, 0, nullptr, false);
  ASSERT_EQ(2U, lines.Size());
  EXPECT_EQ(" 6214537  2", lines.Last());
  EXPECT_EQ(" -", CourseAt(*top, 0).callingText);
  EXPECT_EQ(" -", CourseAt(*block, 0).callingText);
  EXPECT_EQ("(A) =  -", block->CallingText());
}

TEST_F(CourseLayoutTest, ABlockLaidOutInFullAgainMergesItsBobsAgain) {
  // The first repeated pair, rows 51 and 303, lies in the course "9" and in the first course of
  // B's second use, so that use is printed in full, listed six by six up to the merge.
  std::istringstream in(triples + "9 B[5 (14) 5] B");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(1, ::Run(in, out, err));
  const std::string text = out.str();
  EXPECT_NE(std::string::npos, text.find("\n 6417532  2             |B\n"));
  EXPECT_NE(std::string::npos,
            text.find("\n  4317562               |\n 3617542  2             |\n"));
  const Block* block = languageState.blockTable.Find('B');
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(" -", CourseAt(*block, 0).callingText);
  EXPECT_EQ(" -", CourseAt(*block, 1).callingText);
}

TEST_F(CourseLayoutTest, TheRowAfterAMergeIsAbbreviatedAgainstAListingWhereItsRowStands) {
  // On Stedman Cinques with a column at six 5, the last course listed ends on 1354267890E (or the
  // start row 2314567890E stands whole in its listing): the merged row 5324167890E has its 6th to
  // 11th bells as there, so they are blanked from the 7th, the odd place. Read one column to the
  // left, the listing would show other bells at the back, and nothing would be blanked.
  const std::string cinques = "#11 <5> ";
  const struct {
    const char* calls;
    std::size_t listed;  // the index of the course given a table
    Lines tail;
  } cases[] = {
      {"5 5", 0, {"  1354267890E", " 532416       2"}},
      // The course line of no sixes blanks its back bells: they are looked up in its listing.
      {"(0) 5 5", 0, {"  2314567890E", " 2314         (0 sixes)", " 532416       2"}},
  };
  for (const auto& [calls, listed, tail] : cases) {
    SCOPED_TRACE(calls);
    ResetProcessState();
    lines = LineList();
    Parse(cinques + calls);
    StartLines(" 2314567890E  5 ");
    ProofTable table;
    for (std::size_t child = 0; child < top->children.size(); ++child) {
      CourseAt(*top, child).Layout(lines, row, 0, child == listed ? &table : nullptr, false);
    }
    ASSERT_GE(lines.Size(), tail.size());
    Lines last;
    for (std::size_t line = lines.Size() - tail.size(); line < lines.Size(); ++line) {
      last.push_back(lines[line]);
    }
    EXPECT_EQ(tail, last);
  }
}

}  // namespace
