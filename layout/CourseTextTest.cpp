#include "layout/CourseText.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "layout/ProcessState.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

// Gives the calls and lengths written in text to element, as the parser would.
void Feed(Element& element, const std::string& text) {
  std::istringstream in(text);
  TokenReader reader(in);
  Token token;
  for (reader.ReadToken(token); token.type != TokenType::End; reader.ReadToken(token)) {
    if (token.type == TokenType::Call) {
      (void)element.AddCall(token);
    } else if (token.type == TokenType::Length) {
      (void)element.SetLength(token.SignedValue());
    }
  }
}

// A course with the calls of text, finished.
std::unique_ptr<Course> FinishedCourse(const std::string& text) {
  auto course = std::make_unique<Course>();
  Feed(*course, text);
  course->Finish();
  return course;
}

// Stedman Triples, 14 sixes per course.
class CourseTextTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    settings.SetDefaults();
    settings.ApplyBellCount(7);
  }

  // Reads the header block from the calls of text, as "<" text ">" would.
  Block& SetHeader(const std::string& text) {
    header = std::make_unique<Block>(0);
    Feed(*header, text);
    header->Finish();
    settings.headerBlock = header.get();
    return *header;
  }

  TouchSettings& settings = languageState.settings;
  std::unique_ptr<Block> header;
};

TEST(CallMark, MarksBobsAndPlainsAndShowsOtherLetters) {
  const std::pair<char, char> cases[] = {{'b', '-'}, {'p', ' '}, {'q', 'p'}, {'s', 's'},
                                         {'h', 'h'}, {'x', 'x'}, {'z', 'z'}, {'I', 'I'}};
  for (const auto& [call, mark] : cases) {
    SCOPED_TRACE(call);
    EXPECT_EQ(mark, CallMark(call));
  }
}

TEST_F(CourseTextTest, TheHeaderNumbersItsColumnsAndWidensRuleAndFiller) {
  Block& columns = SetHeader("5 7 9 11 13");
  EXPECT_EQ("  5  7  9 11 13 ", columns.HeadingText());
  EXPECT_EQ(' ' + std::string(22, '-'), settings.RuleLine());
  EXPECT_EQ(std::string(7, ' '), layoutState.filler);
  for (int six = 0; six < 16; ++six) {
    SCOPED_TRACE(six);
    const int column = six >= 4 && six <= 12 && six % 2 == 0 ? 1 + 3 * (six - 4) / 2 : 0;
    EXPECT_EQ(column, columns.ColumnOf(six));
  }
}

TEST_F(CourseTextTest, TheFillerHoldsOneAndAHalfBlanksPerColumn) {
  const struct {
    const char* calls;
    const char* heading;
    int fillerBlanks;
  } cases[] = {
      {"5", "  5 ", 1},           {"5 7", "  5  7 ", 3},
      {"5 7 9", "  5  7  9 ", 4}, {"5 7 9 10", "  5  7  9 10 ", 6},
      {"10 12", " 10 12 ", 3},    {"(14)", " ", 0},
  };
  for (const auto& [calls, heading, fillerBlanks] : cases) {
    SCOPED_TRACE(calls);
    ResetProcessState();
    settings.SetDefaults();
    settings.ApplyBellCount(7);
    const std::string headingText = SetHeader(calls).HeadingText();
    EXPECT_EQ(heading, headingText);
    EXPECT_EQ(std::string(static_cast<std::size_t>(fillerBlanks), ' '), layoutState.filler);
    EXPECT_EQ(" -------" + std::string(headingText.size() - 1, '-'), settings.RuleLine());
  }
}

TEST_F(CourseTextTest, CallsOnTheColumnsStandUnderTheirSixes) {
  SetHeader("5 7 9 11 13");
  const struct {
    const char* calls;
    const char* text;
    bool aligned;
  } cases[] = {
      {"7 11", "    -     -", true},
      {"7 11 13s", "    -     -  s", true},
      {"5 7 9 11 13", " -  -  -  -  -", true},
      {"11h 13x", "          h  x", true},
      {"", "", true},
      {"(14)", "", true},
      {"6", " 6", false},
      {"5 6s", " 5.6s", false},
      {"3s (4)", " 3s (4 sixes)", false},
      {"(4)", " (4 sixes)", false},
      {"7 (4)", "    -", true},  // the length comes too late: the course keeps 14 sixes
  };
  for (const auto& [calls, text, aligned] : cases) {
    SCOPED_TRACE(calls);
    const auto course = FinishedCourse(calls);
    EXPECT_EQ(text, course->CallingText());
    EXPECT_EQ(aligned, course->alignedCalling);
  }
}

TEST_F(CourseTextTest, WithoutAHeaderCallsAreDottedInTheStyleWritten) {
  const std::pair<const char*, const char*> cases[] = {
      {"5 7s 11s", " 5.7s.11s"},      {"5 s7 s11", " 5.s7.s11"}, {"3s s4", " 3s.4s"},
      {"3h 4x 5z 6b", " 3h.4x.5z.6"}, {"10 12", " 10.12"},       {"", ""},
      {"(13)", " (13 sixes)"},        {"(200)", " (-56 sixes)"},
  };
  for (const auto& [calls, text] : cases) {
    SCOPED_TRACE(calls);
    languageState.callStyleBalance = 0;
    const auto course = FinishedCourse(calls);
    EXPECT_EQ(text, course->CallingText());
    EXPECT_FALSE(course->alignedCalling);
  }
}

TEST_F(CourseTextTest, ACourseFinishedBeforeTheHeaderIsDotted) {
  const auto before = FinishedCourse("7 11");
  SetHeader("5 7 9 11 13");
  const auto after = FinishedCourse("7 11");
  EXPECT_EQ(" 7.11", before->CallingText());
  EXPECT_EQ("    -     -", after->CallingText());
}

TEST_F(CourseTextTest, ADefinedCallShowsItsCodeOnlyInTheColumns) {
  rowsState.callTable.DefineCall("e:147");
  ASSERT_TRUE(rowsState.changeTable.Holds('I'));
  EXPECT_EQ(" 5", FinishedCourse("5I")->CallingText());
  SetHeader("5 7 9 11 13");
  EXPECT_EQ(" I", FinishedCourse("5I")->CallingText());
}

TEST_F(CourseTextTest, AHeaderWithoutCallsHasNoColumns) {
  Block& columns = SetHeader("(14)");
  EXPECT_EQ(" ", columns.HeadingText());
  EXPECT_EQ("", layoutState.filler);
  EXPECT_EQ(" -------", settings.RuleLine());
  EXPECT_EQ(" 7", FinishedCourse("7")->CallingText());
  EXPECT_EQ("", FinishedCourse("")->CallingText());
}

TEST_F(CourseTextTest, OnlyTheFirstCourseOfTheHeaderMakesColumns) {
  Block& columns = SetHeader("5 7 13 5 9");
  ASSERT_EQ(2U, columns.children.size());
  EXPECT_EQ("  5  7 13 ", columns.HeadingText());
  EXPECT_EQ(0, columns.ColumnOf(8));
  EXPECT_EQ("       -", FinishedCourse("13")->CallingText());
  EXPECT_EQ(" 9", FinishedCourse("9")->CallingText());
}

TEST_F(CourseTextTest, AnEmptyHeaderChangesNothingAndAlignsNothing) {
  Block& columns = SetHeader("");
  EXPECT_EQ(0, columns.ColumnOf(4));
  EXPECT_EQ("", columns.HeadingText());
  EXPECT_EQ(" -------", settings.RuleLine());
  EXPECT_EQ("   ", layoutState.filler);
  EXPECT_EQ(" 5", FinishedCourse("5")->CallingText());
}

TEST_F(CourseTextTest, ABlockDefinitionShowsItsLetterAndFirstChild) {
  SetHeader("5 7 9 11 13");
  Block a('A');
  Feed(a, "7 11 6");
  a.Finish();
  EXPECT_EQ("(A) =     -     -", a.CallingText());
  Block empty('B');
  empty.Finish();
  EXPECT_EQ("(B) = ", empty.CallingText());
  a.letter = 0;  // cleared by the multi-part rule: nothing left to name
  EXPECT_EQ("    -     -", a.CallingText());
}

}  // namespace
