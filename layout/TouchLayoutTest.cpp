#include "layout/TouchLayout.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "layout/LineList.h"
#include "rows/Row.h"
#include "tests/TestHelpers.h"
#include "touch/Block.h"

namespace {

using test::Repeated;

using Lines = std::vector<std::string>;

// Stedman Triples with the columns 5, 7, 9, 11 and 13: a reference stands 7 blanks after its row.
const std::string triples = "#7 <5 7 9 11 13> ";
const std::string startLine = " 2314567  5  7  9 11 13 ";
const std::string rule = " ----------------------";

class TouchLayoutTest : public testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  // The printed touch of text as the driver lays it out for a touch without repeated rows: parsed
  // from the start values, then laid out from rounds with no table, whatever the proof would say.
  Lines LayOut(const std::string& text) {
    std::ostringstream err;
    top = test::ParseTouch(text, err);
    EXPECT_EQ("", err.str());
    return test::LayOutTouch(*top);
  }

  std::unique_ptr<Block> top;
};

TEST_F(TouchLayoutTest, ARepeatReferenceCountsTheUsesInARowBeforeTheLetter) {
  // B rings back to its start after five uses; every row below is shown in full.
  const struct {
    int references;
    std::string line;
  } cases[] = {
      {1, " 2153764        B"},
      {2, " 2437165       2B"},
      {9, " 2314567       9B"},
      {10, " 2745361      10B"},
  };
  for (const auto& [references, line] : cases) {
    SCOPED_TRACE(references);
    ResetProcessState();
    EXPECT_EQ((Lines{"", startLine, rule, " 2765341     -     -  s |B", " 2745361              s |",
                     rule, line, rule, ""}),
              LayOut(triples + "_ B[7 11 13s 13s]" + Repeated(" B", references)));
  }
}

TEST_F(TouchLayoutTest, ACountThatDoesNotFitBeforeTheLetterStartsANewLine) {
  // B rings nothing, so every reference shows the start row against itself: " 2314" and blanks.
  const struct {
    const char* name;
    std::string touch;
    Lines lastReferences;
  } cases[] = {
      // Without a header, the three-blank filler and one blank leave room for 4 digits.
      {"room for 4 digits",
       "#7 _ B[(0) (0)]" + Repeated(" B", 10000),
       {" 2314   9999B", " 2314       B"}},
      // A header without columns empties the filler: one blank, room for one digit.
      {"room for 1 digit",
       "#7 <(14)> _ B[(0) (0)]" + Repeated(" B", 10),
       {" 2314   9B", " 2314    B"}},
      {"the new line counts on",
       "#7 <(14)> _ B[(0) (0)]" + Repeated(" B", 11),
       {" 2314   9B", " 2314   2B"}},
  };
  for (const auto& [name, touch, lastReferences] : cases) {
    SCOPED_TRACE(name);
    ResetProcessState();
    const Lines lines = LayOut(touch);
    ASSERT_GE(lines.size(), 4U);
    EXPECT_EQ(lastReferences, Lines(lines.end() - 4, lines.end() - 2));
    EXPECT_EQ(" -------", lines[lines.size() - 2]);
  }
}

TEST_F(TouchLayoutTest, OnlyTheBlocksOwnReferenceJustBeforeIsCounted) {
  // A caption of B and a course line, each as long as B's reference and ending in its letter.
  EXPECT_EQ((Lines{"", startLine, rule, "................B", " 2765341     -     -  s |B",
                   " 2745361              s |", rule, "................B", " 2153764        B",
                   "................B", " 2437165        B", rule, ""}),
            LayOut(triples + "_ B[\"................B\" 7 11 13s 13s] B B"));
  ResetProcessState();
  EXPECT_EQ((Lines{"", startLine, rule, " 2765341     -     -  s |h", " 2745361              s |",
                   rule, " 2371645        h", " 2516347        h", rule, ""}),
            LayOut(triples + "_ h[7 11 13s 13s] 9h h"));
}

TEST_F(TouchLayoutTest, CaptionsComeBeforeTheirBlockAndLeaveTheRuleAsItWas) {
  // B's caption follows a rule line: B's own rule is not written, and its first course, whose bob
  // is in the column of the bob above, is not merged across the rule and the short caption.
  EXPECT_EQ((Lines{"", startLine, rule, " 3614527  -", rule, "b", " 6214537  -             |B",
                   " 6415237     -          |", rule, "a", " 6752431       (A)", rule, "",
                   "(A) =     -     -"}),
            LayOut(triples + "5 _ B[\"b\" 5 (14) 7] A[\"a\" 7 11]"));
}

TEST_F(TouchLayoutTest, TheBarRunsDownTheBlockWithTheLetterOnTheUpperMiddleLine) {
  const std::string first = " 2765341     -     -  s |";
  const std::string second = " 2745361              s |";
  const std::string third = " 2765341              s |";
  const struct {
    const char* block;
    Lines lines;
  } cases[] = {
      {"B[7 11 13s 13s]", {first + "B", second}},
      {"B[7 11 13s 13s 13s]", {first, second + "B", third}},
      {"B[7 11 13s 13s 13s 13s]", {first, second + "B", third, second}},
      // A separator first in the block adds nothing after the block's own rule.
      {"B[_ 7 11 13s 13s]", {first + "B", second}},
      // A rule line among the block's lines is barred like any other line.
      {"B[7 11 13s _ 13s]", {first, rule + " |B", second}},
  };
  for (const auto& [block, lines] : cases) {
    SCOPED_TRACE(block);
    ResetProcessState();
    Lines expected = {"", startLine, rule};
    expected.insert(expected.end(), lines.begin(), lines.end());
    expected.insert(expected.end(), {rule, ""});
    EXPECT_EQ(expected, LayOut(triples + "_ " + block));
  }
}

TEST_F(TouchLayoutTest, ARuleJustWrittenAtTheEndOfTheBlockGetsNoBar) {
  EXPECT_EQ((Lines{"", startLine, rule, " 2765341     -     -  s |B", " 2745361              s |",
                   rule, ""}),
            LayOut(triples + "_ B[7 11 13s 13s _]"));
}

TEST_F(TouchLayoutTest, TheBarStandsOneBlankAfterTheLongestLineOrTheRule) {
  // Without a header the rule line is short and the dotted callings pass it.
  EXPECT_EQ((Lines{"", " 2314567", " -------", " 2765341  7.11.13s |B", " 2745361  13s      |",
                   " -------", ""}),
            LayOut("#7 _ B[7 11 13s 13s]"));
}

TEST_F(TouchLayoutTest, ANamedSingleCourseBlockInsideABlockIsAReferenceAmongItsBarredLines) {
  EXPECT_EQ((Lines{"", startLine, rule, " 2745361     -     -    |", " 2765341       (A)      |B",
                   " 2745361              s |", rule, "", "(A) =              s"}),
            LayOut(triples + "_ B[7 11 A[13s] 13s]"));
}

TEST_F(TouchLayoutTest, RuleTokensNeverWriteTwoRuleLinesInARow) {
  const struct {
    const char* touch;
    Lines lines;
  } cases[] = {
      {"A[7 11] _ _ A",
       {"", startLine, rule, " 2745361       (A)", rule, " 2153764       (A)", rule, "",
        "(A) =     -     -"}},
      {"_ A[7 11]", {"", startLine, rule, " 2745361       (A)", rule, "", "(A) =     -     -"}},
  };
  for (const auto& [touch, lines] : cases) {
    SCOPED_TRACE(touch);
    ResetProcessState();
    EXPECT_EQ(lines, LayOut(triples + touch));
  }
}

TEST_F(TouchLayoutTest, OnlyATopLevelOfOneBlockRepeatedIsMultiPart) {
  const Lines plain = {"", " 2314567", " -------", ""};
  const struct {
    const char* touch;
    Lines lines;
  } cases[] = {
      {"#7", plain},
      {"#7 _", plain},
      {"#7 _ _", plain},
      {"#7 A[13] A A A", {"", " 2314567", " -------", " 2361547  13", " -------", "4-part", ""}},
  };
  for (const auto& [touch, lines] : cases) {
    SCOPED_TRACE(touch);
    ResetProcessState();
    EXPECT_EQ(lines, LayOut(touch));
  }
}

TEST_F(TouchLayoutTest, ABlockWhoseOnlyChildLostItsLetterIsDefinedByTheCallingAlone) {
  // B is defined inside the header and holds A; "A A" makes the touch two parts and clears A.
  EXPECT_EQ((Lines{"", " 2314567 13 ", " ----------", " 2361547  13", " ----------", "Repeat", "",
                   "(B) =  13"}),
            LayOut("#7 A[13] <B[A]> A"));
}

TEST_F(TouchLayoutTest, TheLastLineNamesAStartOtherThanTheMethodsOwn) {
  const struct {
    const char* touch;
    const char* line;
  } cases[] = {
      {"#7 !1Q", "Start from rounds as the first row of a quick six"},
      {"#7 !2Q", "Start from rounds as the second row of a quick six"},
      {"#7 !3Q", "Start from rounds as the third row of a quick six"},
      {"#7 !4Q", ""},
      {"#7 !5Q", "Start from rounds as the fifth row of a quick six"},
      {"#7 !6Q", "Start from rounds as the last row of a quick six"},
      {"#7 !1S", "Start from rounds as the first row of a slow six"},
      {"#7 !2S", "Start from rounds as the second row of a slow six"},
      {"#7 !3S", "Start from rounds as the third row of a slow six"},
      {"#7 !4S", "Start from rounds as the fourth row of a slow six"},
      {"#7 !5S", "Start from rounds as the fifth row of a slow six"},
      {"#7 !6S", "Start from rounds as the last row of a slow six"},
      {"#7 ~e !1Q", "Start from rounds as the first row of a quick six"},
      {"#7 ~e !2Q", "Start from rounds as the second row of a quick six"},
      {"#7 ~e !3Q", "Start from rounds as the third row of a quick six"},
      {"#7 ~e !4Q", "Start from rounds as the fourth row of a quick six"},
      {"#7 ~e !5Q", "Start from rounds as the fifth row of a quick six"},
      {"#7 ~e !6Q", "Start from rounds as the last row of a quick six"},
      {"#7 ~e !1S", "Start from rounds as the first row of a slow six"},
      {"#7 ~e !2S", "Start from rounds as the second row of a slow six"},
      {"#7 ~e !3S", "Start from rounds as the third row of a slow six"},
      {"#7 ~e !4S", "Start from rounds as the fourth row of a slow six"},
      {"#7 ~e !5S", "Start from rounds as the fifth row of a slow six"},
      {"#7 ~e !6S", ""},
  };
  for (const auto& [touch, line] : cases) {
    SCOPED_TRACE(touch);
    ResetProcessState();
    const Lines lines = LayOut(touch);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(line, lines.back());
  }
}

}  // namespace
