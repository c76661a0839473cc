#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "proof/ProofTable.h"

struct Options;

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

// One whole run of the command, as the program and the browser page make it: the help, the
// version, or the proof of the touch, printed or as JSON, with the messages and warnings on err.
// Answers the exit status: 0 true and round, 1 false or not round, 2 when the touch cannot be read
// or processed, an option is unknown, or with --strict any warning was given. Raises nothing.
int RunCommand(const Options& options, const CommandInputs& inputs, std::ostream& out,
               std::ostream& err);
