#include "language/TouchParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

// The children of a block: a course as its calls up to the last call, in parentheses; a named block
// as its letter; the separator as "_".
std::string Shape(const Block& block) {
  std::string shape;
  for (const Element* child : block.children) {
    if (!shape.empty()) {
      shape += ' ';
    }
    if (child->IsSeparator()) {
      shape += '_';
    } else if (const auto* course = dynamic_cast<const Course*>(child)) {
      const std::size_t called = course->calls.find_last_not_of('p');
      shape += '(' + course->calls.substr(0, called == std::string::npos ? 0 : called + 1) + ')';
    } else if (child->IsNamed()) {
      shape += child->letter;
    } else {
      shape += '?';
    }
  }
  return shape;
}

std::string ShapeOf(char letter) {
  const Block* block = languageState.blockTable.Find(letter);
  return block != nullptr ? Shape(*block) : "undefined";
}

class TouchParserTest : public testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  // Parses text into a new top-level block, from the start values as a run does.
  void Parse(const std::string& text) {
    top.reset();
    ResetProcessState();
    err.str("");
    input.clear();
    input.str(text);
    reader = std::make_unique<TokenReader>(input);
    top = std::make_unique<Block>(0);
    TouchParser(*reader, err).Parse(*top, true);
  }

  // The message of the error that parsing text raises, or "" when it raises none.
  std::string ParseError(const std::string& text) {
    try {
      Parse(text);
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "";
  }

  // The description of the first token the parse left unread.
  std::string Unread() {
    Token token;
    reader->ReadToken(token);
    std::ostringstream description;
    token.Describe(description);
    return description.str();
  }

  std::istringstream input;
  std::unique_ptr<TokenReader> reader;
  std::ostringstream err;
  std::unique_ptr<Block> top;
};

TEST_F(TouchParserTest, AnEmptyInputKeepsTheDefaults) {
  Parse("");
  EXPECT_EQ(11, rowsState.bellCount);
  EXPECT_EQ(22, languageState.settings.sixesPerCourse);
  EXPECT_EQ(3, languageState.settings.startPosition);
  EXPECT_TRUE(top->children.empty());
  EXPECT_FALSE(top->IsOpen());
  EXPECT_EQ(0, top->length);
  EXPECT_EQ("", err.str());
}

TEST_F(TouchParserTest, TheFirstCloseOpenOrEndAtTheTopEndsTheParse) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 2 ] 3 4", "3b\n"}, {"1 2 > 3", "3b\n"}, {"1 2 [ 3", "3b\n"}, {"1 2 * 3", "3b\n"}};
  for (const auto& [text, unread] : cases) {
    SCOPED_TRACE(text);
    Parse(text);
    EXPECT_EQ("(bb)", Shape(*top));
    EXPECT_FALSE(top->IsOpen());
    EXPECT_EQ(unread, Unread());
  }
}

TEST_F(TouchParserTest, ReadsTheWorkedExample) {
  Parse("#7 \"Example\" {a comment} A[ 4 5s 7 ] A A 14 _");
  EXPECT_EQ(7, rowsState.bellCount);
  EXPECT_EQ(14, languageState.settings.sixesPerCourse);
  EXPECT_EQ(std::vector<std::string>{"Example"}, top->captions);
  EXPECT_EQ("A A A (pppppppppppppb) _", Shape(*top));
  EXPECT_EQ("(pppbspb)", ShapeOf('A'));
  EXPECT_EQ(4 * 84, top->length);
  EXPECT_EQ("", err.str());
}

TEST_F(TouchParserTest, ABlockIsUsedByItsLetterAfterItsDefinition) {
  Parse("A[ 1 ] B[ A 2 ] B");
  EXPECT_EQ("A B B", Shape(*top));
  EXPECT_EQ("(b)", ShapeOf('A'));
  EXPECT_EQ("A (pb)", ShapeOf('B'));
  EXPECT_EQ(132 + 2 * 264, top->length);
  EXPECT_EQ("", err.str());
}

TEST_F(TouchParserTest, AnUndefinedLetterReportsAndDropsTheTokenAfterIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"X 3 4", "3b\n"},       {"X Y 4", "Block Y\n"}, {"X (3) 4", "Length 3\n"},
      {"X #8 4", "8 Bells\n"}, {"X _ 4", ""},          {"X \"Title\" 4", ""},
  };
  for (const auto& [text, description] : cases) {
    SCOPED_TRACE(text);
    Parse(text);
    EXPECT_EQ(std::string("Unexpected Token ") + description, err.str());
    EXPECT_EQ("(pppb)", Shape(*top));
    EXPECT_TRUE(top->captions.empty());
    EXPECT_EQ(11, rowsState.bellCount);
    EXPECT_TRUE(languageState.blockTable.Entries().empty());
  }
}

TEST_F(TouchParserTest, ALetterBeforeAnOpenIsADefinitionWhateverStandsBetween) {
  for (const char* text : {"X [ 1 ]", "X{ a comment }[1]", "X\n.,;\t[ 1 ]"}) {
    SCOPED_TRACE(text);
    Parse(text);
    EXPECT_EQ("X", Shape(*top));
    EXPECT_EQ("(b)", ShapeOf('X'));
    EXPECT_EQ("", err.str());
  }
}

TEST_F(TouchParserTest, ASecondDefinitionIsAUseAndItsOpenEndsTheParse) {
  Parse("A[ 1 ] A[ 2 ]");
  EXPECT_EQ("A A", Shape(*top));
  EXPECT_EQ("(b)", ShapeOf('A'));
  EXPECT_EQ("2b\n", Unread());
}

TEST_F(TouchParserTest, AStarInsideADefinitionEndsOnlyThatDefinition) {
  Parse("A[ 1 * 2 ] 3");
  EXPECT_EQ("A (pb)", Shape(*top));
  EXPECT_EQ("(b)", ShapeOf('A'));
  EXPECT_EQ("3b\n", Unread());
}

TEST_F(TouchParserTest, TheHeaderTakesItsCallsButIsNoChild) {
  Parse("<4 5 7> 4 5 7");
  const Block* header = languageState.settings.headerBlock;
  ASSERT_NE(nullptr, header);
  EXPECT_EQ("(pppbbpb)", Shape(*header));
  EXPECT_FALSE(header->IsOpen());
  EXPECT_EQ("(pppbbpb)", Shape(*top));
  EXPECT_NE(header->children[0], top->children[0]);
  EXPECT_EQ(132, top->length);
}

TEST_F(TouchParserTest, ASecondHeaderIsReportedWithoutALineBreakAndReadInPlace) {
  Parse("<4> <5> 6");
  EXPECT_EQ("Unexpected Token ", err.str());
  EXPECT_EQ("(pppb)", Shape(*languageState.settings.headerBlock));
  EXPECT_EQ("(ppppb)", Shape(*top));  // its ">" ended the top level
  EXPECT_EQ("6b\n", Unread());
}

TEST_F(TouchParserTest, AHeaderInsideADefinitionIsStillTheHeader) {
  Parse("A[ <5> 7 ]");
  EXPECT_EQ("(ppppb)", Shape(*languageState.settings.headerBlock));
  EXPECT_EQ("(ppppppb)", ShapeOf('A'));
  EXPECT_EQ("A", Shape(*top));
}

TEST_F(TouchParserTest, EveryErinHalvesTheSixesPerCourseAgain) {
  Parse("#7~e~e");
  EXPECT_EQ(3, languageState.settings.sixesPerCourse);
}

TEST_F(TouchParserTest, ABlockUsedInsideItsOwnDefinitionIsRefused) {
  const struct {
    const char* text;
    const char* topShape;
    const char* aShape;
    const char* header;
  } cases[] = {
      {"A[ 1 A 2 ] 3", "A (ppb)", "(b) (pb)", ""}, {"A[ B[ A 1 ] 2 ] A", "A A", "B (pb)", ""},
      {"A[ B[ C[ A 1 ] ] ] 2", "A (pb)", "B", ""}, {"A[ <A 5> 7 ]", "A", "(ppppppb)", "(ppppb)"},
      {"B[ 1 ] A[ B A ] A", "B A A", "B", ""},
  };
  for (const auto& [text, topShape, aShape, header] : cases) {
    SCOPED_TRACE(text);
    Parse(text);
    EXPECT_EQ("Unexpected Token Block A\n", err.str());
    EXPECT_EQ(topShape, Shape(*top));
    EXPECT_EQ(aShape, ShapeOf('A'));
    const Block* headerBlock = languageState.settings.headerBlock;
    EXPECT_EQ(header, headerBlock != nullptr ? Shape(*headerBlock) : "");
  }
}

TEST_F(TouchParserTest, AnEndAfterAnUndefinedLetterIsReportedAndEndsTheLevel) {
  const struct {
    const char* text;
    const char* topShape;
    const char* aShape;
  } cases[] = {
      {"1 X", "(b)", "undefined"},
      {"A[ 1 X * 2 ] 3", "A (pb)", "(b)"},
      {"A[ 1 X", "A", "(b)"},
  };
  for (const auto& [text, topShape, aShape] : cases) {
    SCOPED_TRACE(text);
    Parse(text);
    EXPECT_EQ("Unexpected Token End\n", err.str());
    EXPECT_EQ(topShape, Shape(*top));
    EXPECT_FALSE(top->IsOpen());
    EXPECT_EQ(aShape, ShapeOf('A'));
    if (const Block* a = languageState.blockTable.Find('A')) {
      EXPECT_FALSE(a->IsOpen());
    }
  }
}

TEST_F(TouchParserTest, ACloseAfterAnUndefinedLetterIsReportedAndDropped) {
  Parse("A[ 1 X ] 2 ] 3");
  EXPECT_EQ("Unexpected Token Close\n", err.str());
  EXPECT_EQ("(b) (pb)", ShapeOf('A'));
  EXPECT_EQ("A (ppb)", Shape(*top));
}

TEST_F(TouchParserTest, ARuleFinishesTheLastChildAndAppendsTheOneSeparator) {
  Parse("#7 4 _ 6 _ _");
  EXPECT_EQ("(pppb) _ (pppppb) _ _", Shape(*top));
  EXPECT_EQ(168, top->length);
  EXPECT_EQ(top->children[1], top->children[3]);
}

TEST_F(TouchParserTest, TitlesGoToTheBlockBeingRead) {
  Parse("\"One\" A[ \"Two\" 1 ] \"Three\"");
  EXPECT_EQ((std::vector<std::string>{"One", "Three"}), top->captions);
  EXPECT_EQ(std::vector<std::string>{"Two"}, languageState.blockTable.Find('A')->captions);
}

TEST_F(TouchParserTest, LengthsGoToTheBlockBeingRead) {
  Parse("#7 (3) 2 A[ 4 (5) ]");
  EXPECT_EQ("() (pb) A", Shape(*top));
  EXPECT_EQ("(pppb)", ShapeOf('A'));
  EXPECT_EQ(18 + 84 + 30, top->length);
}

TEST_F(TouchParserTest, MalformedTokensAreDroppedSilently) {
  Parse("#x 3 ) ? (y 4 !9X");
  EXPECT_EQ("(ppbb)", Shape(*top));
  EXPECT_EQ(3, languageState.settings.startPosition);
  EXPECT_EQ("", err.str());
}

TEST_F(TouchParserTest, TheLetterOfASixesPerCourseTokenIsNoBlock) {
  Parse("-2A 1");
  EXPECT_EQ(2, languageState.settings.sixesPerCourse);
  EXPECT_EQ("(b)", Shape(*top));
  EXPECT_EQ(nullptr, languageState.blockTable.Find('A'));
  EXPECT_EQ("", err.str());
}

TEST_F(TouchParserTest, CallDefinitionsReachTheCallTable) {
  Parse("#7 'e:147'");
  EXPECT_EQ("I", rowsState.callTable.CallNotation('e'));
}

TEST_F(TouchParserTest, ErrorsOfTheOperationsStopTheParse) {
  const std::pair<const char*, const char*> cases[] = {
      {"#36 1", "Too many bells"},
      {"#200 1", "Too few bells"},
      {"3q", "Bad place: q"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(message, ParseError(text));
  }
}

}  // namespace
