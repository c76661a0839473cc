#include "driver/Command.h"

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Options.h"
#include "driver/ProcessState.h"

namespace {

// What the program shows for arguments, with the touch as the file every name opens, and as
// standard input.
CommandOutcome ProgramRun(const std::vector<std::string>& arguments, const std::string& touch) {
  ResetProcessState();
  std::istringstream standardInput(touch);
  const CommandInputs inputs{standardInput, false,
                             [&](const std::string& name) -> std::unique_ptr<std::istream> {
                               if (name == "missing.touch") {
                                 return nullptr;
                               }
                               return std::make_unique<std::istringstream>(touch);
                             }};
  std::ostringstream out;
  std::ostringstream err;
  CommandOutcome outcome;
  outcome.status = RunCommand(ParseOptions(arguments), inputs, out, err);
  outcome.standardOutput = out.str();
  outcome.standardError = err.str();
  return outcome;
}

const std::vector<std::string> touches = {
    "#7 (14)",
    "#7 \"Title\" <5 7 9 11 13> 13s 11s 11s 13s",  // false
    "#7 (7)",                                      // never round
    "#7 A[13] A A",                                // three parts
    "#7 3 q",                                      // stops: Bad place: q
    "#36",                                         // stops: Too many bells
    "#7 Z (14)",                                   // a token out of place
};

// A front end without files gets from one proof what the program prints, and the document.
TEST(Command, RunOnTextShowsWhatTheProgramShows) {
  const std::vector<std::vector<std::string>> argumentLists = {{},
                                                               {"-a"},
                                                               {"--music"},
                                                               {"--falseness", "x.touch"},
                                                               {"--calls"},
                                                               {"--json"},
                                                               {"--json", "--all", "x.touch"},
                                                               {"-x"},
                                                               {"--json", "-x"},
                                                               {"--help"},
                                                               {"missing.touch"}};
  for (const std::string& touch : touches) {
    for (const std::vector<std::string>& arguments : argumentLists) {
      if (!arguments.empty() && arguments.back() == "missing.touch") {
        continue;  // the text always opens
      }
      SCOPED_TRACE(touch + " with " + std::to_string(arguments.size()) + " arguments");
      const CommandOutcome program = ProgramRun(arguments, touch);
      const CommandOutcome front = RunCommandOnText(arguments, touch);
      EXPECT_EQ(program.status, front.status);
      EXPECT_EQ(program.standardOutput, front.standardOutput);
      EXPECT_EQ(program.standardError, front.standardError);
      // The document has every analysis whatever was asked; with --json it is what is printed.
      std::vector<std::string> withJson = arguments;
      withJson.insert(withJson.begin(), "--json");
      EXPECT_EQ(ProgramRun(withJson, touch).standardOutput, front.json);
    }
  }
}

// Every run with --json prints one document, also when it stops, and keeps its exit status and
// its standard error.
TEST(Command, EveryRunWithJsonPrintsOneDocument) {
  const struct {
    std::vector<std::string> arguments;
    std::string touch;
    int status;
    const char* error;  // nullptr: no error
  } cases[] = {
      {{"--json"}, "#7 (14)", 0, nullptr},
      {{"--json"}, "#7 13s 11s 11s 13s", 1, nullptr},
      {{"--json"}, "#36", 2, "Too many bells"},
      {{"--json", "missing.touch"}, "", 2, "Failed to open missing.touch"},
      {{"-x", "--json"}, "#7 (14)", 2, "unknown option '-x'"},
      {{"--json", "--help"}, "", 0, nullptr},
      {{"--json", "--strict"}, "#7 (14)", 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.touch);
    const CommandOutcome outcome = ProgramRun(c.arguments, c.touch);
    EXPECT_EQ(c.status, outcome.status);
    const nlohmann::json document = nlohmann::json::parse(outcome.standardOutput);
    EXPECT_EQ(c.status, document["exitStatus"]);
    EXPECT_EQ(outcome.standardError, document["stderr"]);
    if (c.error != nullptr) {
      EXPECT_EQ(c.error, document["error"]);
      EXPECT_TRUE(document["length"].is_null());
      EXPECT_TRUE(document["music"].is_null());
    } else {
      EXPECT_TRUE(document["error"].is_null());
    }
  }
}

// The summary and the verdict of the document, against the printed touch.
TEST(Command, TheDocumentAgreesWithThePrintedTouch) {
  const CommandOutcome outcome =
      RunCommandOnText({"x.touch"}, "#7 \"Title\" \"Second\" <5 7 9 11 13> 13s 11s 11s 13s");
  const nlohmann::json document = nlohmann::json::parse(outcome.json);
  EXPECT_EQ(252, document["length"]);
  EXPECT_EQ("Title", document["title"]);
  EXPECT_EQ((std::vector<std::string>{"Title", "Second"}), document["titles"]);
  EXPECT_EQ("Stedman", document["method"]);
  EXPECT_EQ(7, document["stage"]);
  EXPECT_EQ("Triples", document["stageName"]);
  EXPECT_EQ(false, document["true"]);
  EXPECT_EQ(252, document["roundsAt"]);
  EXPECT_EQ(6, document["falseRows"]);
  EXPECT_EQ(41, document["firstRepeat"]["first"]);
  EXPECT_EQ(207, document["firstRepeat"]["second"]);
  EXPECT_EQ("7612345", document["firstRepeat"]["row"]);
  std::string printed;
  for (const std::string line : document["output"]) {
    printed += line + '\n';
  }
  EXPECT_EQ(outcome.standardOutput, printed);
  const nlohmann::json& pair = document["falseness"]["pairs"][0];
  EXPECT_EQ("course", pair["first"]["kind"]);
  EXPECT_EQ(1, pair["first"]["course"]);
  EXPECT_EQ(7, pair["first"]["six"]);
  EXPECT_EQ(207, pair["second"]["firstRow"]);
  EXPECT_EQ(212, pair["second"]["lastRow"]);
  EXPECT_EQ(6, pair["sharedRows"]);
  EXPECT_EQ("7612345", pair["firstSharedRow"]);
  EXPECT_EQ((std::vector<int>{41, 207}), pair["firstSharedAt"]);
  EXPECT_EQ(4, document["calls"][0]["count"]);
  EXPECT_EQ("single", document["calls"][0]["name"]);
  EXPECT_EQ(3, document["courseCount"]);
  EXPECT_EQ("2314567", document["courseEnds"][2]["row"]);
  EXPECT_EQ(0, document["partCount"]);
}

// Titles are bytes: the document holds them as valid UTF-8, each ill-formed part replaced.
TEST(Command, TheDocumentIsValidUtf8WhateverTheTouchHolds) {
  constexpr char touch[] = "#7 \"caf\xC3\xA9 \xFF\xFE\" \"\0\" (14)";
  const CommandOutcome outcome =
      RunCommandOnText({"bad\xFFname"}, std::string(touch, sizeof touch - 1));
  const nlohmann::json document = nlohmann::json::parse(outcome.json);
  EXPECT_EQ("caf\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD", document["title"]);
  EXPECT_EQ(std::string("\0", 1), document["titles"][1]);
  EXPECT_EQ("bad\xEF\xBF\xBDname", document["input"]);
}

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
