#include "layout/LineList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Each line is kept at its length plus 32 bytes; a list of 100 bytes holds one line of 68.
constexpr std::size_t smallBound = 100;

std::string TooLargeMessage() {
  return "Printed touch too large: more than 100 bytes";
}

TEST(LineList, TakesLinesUpToTheBoundExactly) {
  LineList lines(smallBound);
  lines.Append(std::string(30, 'a'));
  lines.Append(std::string(6, 'b'));
  EXPECT_EQ(2U, lines.Size());
  EXPECT_EQ(std::string(6, 'b'), lines.Last());
}

TEST(LineList, RefusesTheLineThatWouldPassTheBoundAndKeepsTheOthers) {
  LineList lines(smallBound);
  lines.Append(std::string(68, 'a'));
  try {
    lines.Append("");
    FAIL() << "an empty line still takes its 32 bytes";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(TooLargeMessage(), error.what());
  }
  ASSERT_EQ(1U, lines.Size());
  EXPECT_EQ(std::string(68, 'a'), lines.Last());
}

TEST(LineList, TextAppendedToALineCountsAndIsRefusedPastTheBound) {
  LineList lines(smallBound);
  lines.Append(std::string(60, 'a'));
  lines.AppendTo(0, "12345678");
  EXPECT_EQ(std::string(60, 'a') + "12345678", lines[0]);
  try {
    lines.AppendTo(0, "9");
    FAIL() << "the line already fills the bound";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(TooLargeMessage(), error.what());
  }
  EXPECT_EQ(std::string(60, 'a') + "12345678", lines[0]);
}

TEST(LineList, ARemovedLineGivesItsBytesBack) {
  LineList lines(smallBound);
  lines.Append(std::string(68, 'a'));
  lines.RemoveLast();
  EXPECT_TRUE(lines.Empty());
  lines.Append(std::string(68, 'b'), LineKind::Rule);
  EXPECT_EQ(LineKind::Rule, lines.LastKind());
}

// The list the driver uses is bounded by maxLayoutBytes; filling a gibibyte in a unit test costs
// more than it shows, so only the small bounds above are reached here.

}  // namespace
