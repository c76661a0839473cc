#include "driver/Command.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Options.h"
#include "driver/ProcessState.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// One run of the command on a touch given as the file "t.touch".
Outcome RunOn(const std::string& touch, std::vector<std::string> arguments) {
  ResetProcessState();
  arguments.push_back("t.touch");
  std::istringstream none;
  const CommandInputs inputs{
      none, false, [&](const std::string& name) {
        return name == "t.touch" ? std::make_unique<std::istringstream>(touch) : nullptr;
      }};
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCommand(ParseOptions(arguments), inputs, out, err);
  return {status, out.str(), err.str()};
}

TEST(RunCommand, WarningsFollowEverythingElseOnStandardError) {
  // A second header's report ends with no line break: the warnings start on a line of their own.
  const Outcome header = RunOn("#7 <5> <7> (14)", {});
  EXPECT_EQ(
      "Unexpected Token \n"
      "t.touch:1:8: warning: a second header: only the first sets the columns, so this < is "
      "dropped, the calls after it are read as calls of the touch, and its > ends the touch\n"
      "t.touch:1:10: warning: `>` at the top level ends the touch: no block is open here; the "
      "rest of the file, from 1:12, is not read\n",
      header.err);
  // An error line stands before the warnings.
  const Outcome error = RunOn("#300 5", {});
  EXPECT_EQ(2, error.status);
  EXPECT_EQ(
      "error: Too many bells\n"
      "t.touch:1:1: warning: the number 300 is read as 44: numbers are taken modulo 256\n",
      error.err);
  EXPECT_EQ("", error.out);
}

TEST(RunCommand, NoWarningsAndStrictChangeOnlyStandardErrorAndTheStatus) {
  const std::string slip = "#7 5 b 7";
  const Outcome plain = RunOn(slip, {});
  const Outcome quiet = RunOn(slip, {"-w"});
  const Outcome strict = RunOn(slip, {"--strict"});
  EXPECT_EQ(plain.out, quiet.out);
  EXPECT_EQ(plain.out, strict.out);
  EXPECT_EQ(plain.status, quiet.status);
  EXPECT_EQ("Unexpected Token 7b\n", quiet.err);
  EXPECT_EQ(plain.err, strict.err);
  EXPECT_EQ(2, strict.status);
  // --strict with warnings turned off still fails on them, silently.
  const Outcome both = RunOn(slip, {"--strict", "-w"});
  EXPECT_EQ(2, both.status);
  EXPECT_EQ("Unexpected Token 7b\n", both.err);
  // A touch with nothing to warn of keeps its status.
  EXPECT_EQ(0, RunOn("#7 (14)", {"--strict"}).status);
}

TEST(RunCommand, AnUnknownOptionOrAMissingFileEndsWithStatus2) {
  const Outcome unknown = RunOn("#7 (14)", {"-x"});
  EXPECT_EQ(2, unknown.status);
  EXPECT_EQ("sixes: unknown option '-x'\nTry 'sixes --help' for more information.\n", unknown.err);
  ResetProcessState();
  std::istringstream none;
  std::ostringstream out;
  std::ostringstream err;
  const CommandInputs inputs{none, false, [](const std::string&) { return nullptr; }};
  EXPECT_EQ(2, RunCommand(ParseOptions({"gone.touch"}), inputs, out, err));
  EXPECT_EQ("Failed to open gone.touch\n", err.str());
  EXPECT_EQ("", out.str());
}

}  // namespace
