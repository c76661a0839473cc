#include "web/PageRun.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Command.h"
#include "driver/Options.h"
#include "driver/ProcessState.h"

namespace {

// What the command line writes for the touch on standard input, or as the file it names.
PageRun CommandLine(const std::vector<std::string>& arguments, const std::string& touch) {
  ResetProcessState();
  std::istringstream in(touch);
  std::ostringstream out;
  std::ostringstream err;
  PageRun run;
  run.exitStatus = RunCommand(
      ParseOptions(arguments),
      {in, false, [&](const std::string&) { return std::make_unique<std::istringstream>(touch); }},
      out, err);
  run.standardOutput = out.str();
  run.standardError = err.str();
  ResetProcessState();
  return run;
}

// The page writes what the command line writes, run after run: each run starts from a fresh
// state, so that a touch of seven bells leaves none of its settings to the default touch after it.
TEST(RunForPage, WritesWhatTheCommandLineWrites) {
  const std::vector<std::vector<std::string>> runs = {
      {"#7 \"Example\" <5 7 9 11 13> A[7 11] A B[7 11 13s 13s] _ B B"},
      {"(22)"},                              // the default stage, after seven bells
      {"#7 <5 7 9 11 13> 13s 11s 11s 13s"},  // false
      {"#7 (15)"},                           // does not come round
      {"#7 Q 3"},                            // a token out of place
      {"#7 5q"},                             // an error
      {"#7 (14)", "--version"},              // an option
      {"#7 (14)", "-x"},                     // an unknown option
      {"#7 (14)", "touch.txt"},              // the touch is the file named: messages name it
      {"#7 Q 3", "--strict", "touch.txt"},
  };
  for (const std::vector<std::string>& run : runs) {
    const std::vector<std::string> arguments(run.begin() + 1, run.end());
    SCOPED_TRACE(run.front());
    const PageRun expected = CommandLine(arguments, run.front());
    const PageRun page = RunForPage(arguments, run.front());
    EXPECT_EQ(expected.standardOutput, page.standardOutput);
    EXPECT_EQ(expected.standardError, page.standardError);
    EXPECT_EQ(expected.exitStatus, page.exitStatus);
    EXPECT_TRUE(page.json.empty() || page.json.starts_with('{')) << page.json;
  }
}

// A touch longer than the page can hold is refused with the command line's own message.
TEST(RunForPage, RefusesATouchAboveThePageBound) {
  // 2 changes of the starting six, 4 uses of A, each 100,000 courses of 22 sixes, the closing six.
  const PageRun page =
      RunForPage({},
                 "A[B[C[D[E[F[(22)] F F F F F F F F F] E E E E E E E E E] D D D D D D D D D] "
                 "C C C C C C C C C] B B B B B B B B B] A A A");
  EXPECT_EQ("", page.standardOutput);
  EXPECT_EQ(2, page.exitStatus);
  EXPECT_EQ(
      "error: Touch too long: it rings 52800008 changes, more than the 40000000 that can be "
      "proved\n",
      page.standardError);
}

// The rows of each range in the plain course of Stedman Triples: rounds as row 0, then the "3" and
// "1" that end its quick six (2135476, 2314567), and the course rung from there, which brings
// rounds at row 84 and ends at row 86 on the row it began with.
TEST(RowsForPage, AnswersTheRowsOfEachRange) {
  EXPECT_EQ("1234567\n2135476\n\n1234567\n2135476\n2314567\n\n",
            RowsForPage("#7 (14)", {{0, 1}, {84, 86}}));
  EXPECT_EQ("", RowsForPage("#7 5q", {{0, 1}}));
}

}  // namespace
