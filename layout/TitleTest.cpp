#include "layout/Title.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "layout/IntToText.h"

namespace {

TEST(BuildTitle, NamesTheMethodAndTheStage) {
  const struct {
    int bells;
    bool erin;
    const char* title;
  } cases[] = {
      {11, false, "Stedman Cinques"}, {11, true, "Erin Cinques"}, {7, false, "Stedman Triples"},
      {8, false, "Stedman Major"},    {9, true, "Erin Caters"},   {22, false, "Stedman 22"},
      {24, false, "Stedman 24"},      {4, false, "Stedman 4"},    {35, false, "Stedman 35"},
  };
  for (const auto& [bells, erin, title] : cases) {
    SCOPED_TRACE(title);
    ResetProcessState();
    TouchSettings& settings = languageState.settings;
    settings.SetDefaults();
    settings.ApplyBellCount(bells);
    if (erin) {
      settings.SelectMethod('e');
    }
    EXPECT_EQ(title, BuildTitle());
  }
}

TEST(StageName, NamesTheStagesFromFiveToTwentyFive) {
  const char* const names[] = {
      "Doubles",  "Minor",     "Triples",  "Major",     "Caters",     "Royal",    "Cinques",
      "Maximus",  "Sextuples", "Fourteen", "Septuples", "Sixteen",    "Octuples", "Eighteen",
      "Nonuples", "Twenty",    "Decuples", "22",        "Undecuples", "24",       "Dodecuples",
  };
  for (int bells = 5; bells <= 25; ++bells) {
    SCOPED_TRACE(bells);
    EXPECT_EQ(names[bells - 5], StageName(bells));
  }
}

TEST(StageName, WritesTheNumberOutsideTheNamedStages) {
  const std::pair<int, const char*> cases[] = {{4, "4"},     {3, "3"},   {0, "0"},
                                               {-56, "-56"}, {26, "26"}, {35, "35"}};
  for (const auto& [bells, name] : cases) {
    SCOPED_TRACE(bells);
    EXPECT_EQ(name, StageName(bells));
  }
}

TEST(IntToText, WritesLikePrintfI) {
  const std::pair<int, const char*> cases[] = {
      {-128, "-128"}, {0, "0"}, {1000, "1000"}, {INT_MIN, "-2147483648"}, {INT_MAX, "2147483647"}};
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(text, IntToText(value));
  }
}

}  // namespace
