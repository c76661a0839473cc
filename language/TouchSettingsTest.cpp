#include "language/TouchSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"
#include "touch/Block.h"

namespace {

using test::ErrorOf;

class TouchSettingsTest : public testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  // Reads a whole touch description; the reports of tokens out of place go to err.
  void Parse(const std::string& text) { (void)test::ParseTouch(text, err); }

  TouchSettings& settings = languageState.settings;
  std::ostringstream err;
};

TEST_F(TouchSettingsTest, DefaultsAreStedmanCinquesFromTheFourthRowOfAQuickSix) {
  settings.SetDefaults();
  EXPECT_EQ(11, rowsState.bellCount);
  EXPECT_EQ(22, settings.sixesPerCourse);
  EXPECT_EQ(" -----------", settings.RuleLine());
  EXPECT_EQ(3, settings.startPosition);
  EXPECT_EQ("31", settings.StartTail());
  EXPECT_FALSE(settings.erin);
  EXPECT_FALSE(settings.leadIn);
  EXPECT_EQ(nullptr, settings.headerBlock);
}

TEST_F(TouchSettingsTest, ResetPutsBackTheStartUpValues) {
  Parse("#7 ~e !7Q <5> -1 A[ 1 ]");
  ASSERT_NE(nullptr, settings.headerBlock);
  ResetProcessState();
  EXPECT_EQ(0, settings.sixesPerCourse);
  EXPECT_FALSE(settings.erin);
  EXPECT_FALSE(settings.leadIn);
  EXPECT_EQ("", settings.RuleLine());
  EXPECT_EQ(nullptr, settings.headerBlock);
  EXPECT_EQ(nullptr, languageState.blockTable.Find('A'));
  EXPECT_EQ(maxBells, rowsState.bellCount);
}

TEST_F(TouchSettingsTest, StartTailIsWhatRemainsOfTheStartingSix) {
  const char* const tails[] = {"13131", "3131", "131", "31", "1", "",
                               "31313", "1313", "313", "13", "3", ""};
  for (std::int8_t index = 0; index < 12; ++index) {
    SCOPED_TRACE(static_cast<int>(index));
    ASSERT_TRUE(settings.SetStart(index, 'P'));
    EXPECT_EQ(index, settings.startPosition);
    EXPECT_EQ(tails[index], settings.StartTail());
    EXPECT_FALSE(settings.leadIn);
  }
}

TEST_F(TouchSettingsTest, StartTokensSetThePositionAndSlowQuickStartsALeadIn) {
  const struct {
    const char* text;
    int startPosition;
    const char* tail;
    std::optional<std::string> leadIn;
  } cases[] = {
      {"!1Q", 0, "13131", std::nullopt}, {"!4Q", 3, "31", std::nullopt},
      {"!6P", 5, "", std::nullopt},      {"!Q", 5, "", std::nullopt},
      {"!P", 5, "", std::nullopt},       {"!0S", 5, "", std::nullopt},
      {"!1S", 6, "31313", std::nullopt}, {"!2s", 7, "1313", std::nullopt},
      {"!S", 11, "", std::nullopt},      {"!7P", 6, "31313", std::nullopt},
      {"!12p", 11, "", std::nullopt},    {"!7Q", 6, "31313", "p"},
      {"!8q", 7, "1313", "3p"},          {"!12Q", 11, "", "31313p"},
  };
  for (const auto& [text, startPosition, tail, leadIn] : cases) {
    SCOPED_TRACE(text);
    ResetProcessState();
    Parse(text);
    EXPECT_EQ(startPosition, settings.startPosition);
    EXPECT_EQ(tail, settings.StartTail());
    EXPECT_EQ(leadIn, settings.leadIn);
  }
  EXPECT_EQ("", err.str());
}

TEST_F(TouchSettingsTest, ALaterStartMovesThePositionButNeverClearsTheLeadIn) {
  const struct {
    const char* text;
    int startPosition;
    const char* leadIn;
  } cases[] = {
      {"!7Q !4Q", 3, "p"},
      {"!9Q !7P", 6, "13p"},
      {"!9Q !7Q", 6, "p"},
  };
  for (const auto& [text, startPosition, leadIn] : cases) {
    SCOPED_TRACE(text);
    ResetProcessState();
    Parse(text);
    EXPECT_EQ(startPosition, settings.startPosition);
    EXPECT_EQ(leadIn, settings.leadIn);
  }
}

TEST_F(TouchSettingsTest, AStartOutsideTheSixIsRefusedAndReported) {
  const std::pair<const char*, const char*> cases[] = {
      {"!0Q", "Start Quick -1\n"},    {"!0P", "Start Quick -1\n"}, {"!13P", "Start Slow 12\n"},
      {"!13q", "Start Slow 12\n"},    {"!7S", "Start Slow 12\n"},  {"!18P", "Start Slow 17\n"},
      {"!200Q", "Start Quick -57\n"},
  };
  for (const auto& [text, description] : cases) {
    SCOPED_TRACE(text);
    ResetProcessState();
    err.str("");
    Parse(std::string("!9Q ") + text);
    EXPECT_EQ(std::string("Unexpected Token ") + description, err.str());
    EXPECT_EQ(8, settings.startPosition);
    EXPECT_EQ("13p", settings.leadIn);
  }
}

TEST_F(TouchSettingsTest, ErinHalvesTheSixesPerCourseAndMovesOnlyTheDefaultStart) {
  const struct {
    const char* text;
    int sixesPerCourse;
    bool erin;
    int startPosition;
  } cases[] = {
      {"~e", 11, true, 11},     {"~E", 11, true, 11},      {"~e #7", 7, true, 11},
      {"#7 ~e", 7, true, 11},   {"#7 ~e ~e", 3, true, 11}, {"#7 -7 ~e", 3, true, 11},
      {"~e ~s", 11, false, 11}, {"!2S ~e", 11, true, 7},   {"!4P ~e", 11, true, 11},
      {"~s", 22, false, 3},
  };
  for (const auto& [text, sixesPerCourse, erin, startPosition] : cases) {
    SCOPED_TRACE(text);
    ResetProcessState();
    Parse(text);
    EXPECT_EQ(sixesPerCourse, settings.sixesPerCourse);
    EXPECT_EQ(erin, settings.erin);
    EXPECT_EQ(startPosition, settings.startPosition);
  }
}

TEST_F(TouchSettingsTest, HalvingANegativeSixesPerCourseRoundsDown) {
  settings.SetSixesPerCourse(-3);
  settings.SelectMethod('e');
  EXPECT_EQ(-2, settings.sixesPerCourse);
}

TEST_F(TouchSettingsTest, OneSixPerCourseShiftsTheRuleLineUntilTheStageRebuildsIt) {
  const struct {
    const char* text;
    int sixesPerCourse;
    const char* ruleLine;
  } cases[] = {
      {"-1", 1, "  -----------"},  {"-1 -1", 1, "   -----------"}, {"-1 -1 #6", 12, " ------"},
      {"-14", 14, " -----------"}, {"#7 -1", 1, "  -------"},      {"-1 -14", 14, "  -----------"},
      {"-1A", 1, "  -----------"},
  };
  for (const auto& [text, sixesPerCourse, ruleLine] : cases) {
    SCOPED_TRACE(text);
    ResetProcessState();
    Parse(text);
    EXPECT_EQ(sixesPerCourse, settings.sixesPerCourse);
    EXPECT_EQ(ruleLine, settings.RuleLine());
  }
}

TEST_F(TouchSettingsTest, ANegativeBellCountFailsAfterTheSixesPerCourseChanged) {
  EXPECT_EQ("Too few bells", ErrorOf([this] { Parse("~e #200"); }));
  EXPECT_EQ(-56, settings.sixesPerCourse);
  EXPECT_EQ(" -----------", settings.RuleLine());
  EXPECT_EQ(11, rowsState.bellCount);
}

TEST_F(TouchSettingsTest, TooManyBellsFailsAfterTheSixesPerCourseAndRuleLineChanged) {
  settings.SetDefaults();
  EXPECT_EQ("Too many bells", ErrorOf([this] { settings.ApplyBellCount(36); }));
  EXPECT_EQ(72, settings.sixesPerCourse);
  EXPECT_EQ(' ' + std::string(36, '-'), settings.RuleLine());
  EXPECT_EQ(11, rowsState.bellCount);
}

}  // namespace
