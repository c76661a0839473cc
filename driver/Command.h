#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/Diagnostics.h"
#include "driver/Options.h"
#include "driver/Run.h"
#include "proof/ProofTable.h"

// What a run of the command reads from beyond its options.
struct CommandInputs {
  std::istream& standardInput;
  // A terminal delivers more after the touch ends only when the ringer types it: the rest of the
  // input is then never read.
  bool standardInputIsTerminal = false;
  // Opens a touch file; answers nullptr when it cannot be opened.
  std::function<std::unique_ptr<std::istream>(const std::string& name)> openFile;
  // The most changes a touch may ring where the run has less memory than the machine: a browser.
  std::int64_t maxChanges = maxProvableChanges;
};

// Everything one run of the command found, before any of it is written: what the plain output,
// standard error and the JSON document are each made from.
struct CommandRun {
  Options options;
  int status = 0;
  // Printed instead of a touch: the help or the version.
  std::string text;
  // Where the touch comes from: the file as named, or "<stdin>"; empty when no touch was read.
  std::string inputName;
  std::optional<TouchReport> report;  // the proved touch, when the run got that far
  // The message that stopped the run: "Failed to open NAME", "unknown option '-x'", or what
  // standard error gives after "error: ".
  std::string error;
  // Standard error before the warnings: the reports of tokens out of place, then the failure.
  std::string messages;
  std::vector<Warning> warnings;  // those given on standard error
  std::int64_t warningCount = 0;  // every warning given
  std::string standardError;      // all of it, exactly
};

// Makes one whole run of the command, writing nothing: the help, the version, or the proof of the
// touch with the analyses its options ask for, or with every analysis when everyAnalysis is set.
// Raises nothing.
CommandRun ExecuteCommand(const Options& options, const CommandInputs& inputs, bool everyAnalysis);

// Each line a run without --json prints on standard output, without its line break.
void ForEachOutputLine(const CommandRun& run,
                       const std::function<void(std::string_view line)>& visit);

// One whole run of the command, as the program makes it: the help, the version, or the proof of the
// touch, printed or as JSON, with the messages and warnings on err. Answers the exit status: 0 true
// and round, 1 false or not round, 2 when the touch cannot be read or processed, an option is
// unknown, or with --strict any warning was given. Raises nothing.
int RunCommand(const Options& options, const CommandInputs& inputs, std::ostream& out,
               std::ostream& err);

// What one run shows, for a front end that keeps no streams or files of its own.
struct CommandOutcome {
  int status = 0;
  std::string standardOutput;  // as the program prints it for the same arguments
  std::string standardError;
  std::string json;  // the document --json prints, with every analysis, whatever the arguments
};

// One run of the command on a touch given as text, from one proof: the touch is read as the file
// the arguments name (so messages name it), or as standard input when they name none. Every
// process-wide state is reset first, so runs may follow one another.
CommandOutcome RunCommandOnText(const std::vector<std::string>& arguments, const std::string& touch,
                                std::int64_t maxChanges = maxProvableChanges);
