// The libFuzzer entry point: runs the whole program (parse, generate, prove, lay out) on one input,
// in process, twice, with the process-wide state reset before each run; then twice more as the
// command runs it with --all --json, every analysis made.
//
// A fault is anything but an ordinary end: a crash or sanitizer report, an exception that is not
// the std::runtime_error by which the program stops on bad input (a std::logic_error such as
// std::out_of_range is a fault in the code), two runs of the same input that differ (state that
// ResetProcessState does not put back), a warning that is not one whole line with a place in the
// file (or none), or a run with --json that ends with an exit status other than 0, 1 or 2, prints
// anything but one valid JSON document, or disagrees with the plain run.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <string>

#include "diagnostics/Diagnostics.h"
#include "driver/Command.h"
#include "driver/ProcessState.h"
#include "driver/Run.h"
#include "driver/ValidUtf8.h"

namespace {

// Touches that would ring more changes than this are refused before any row is rung, as the
// program refuses those beyond maxProvableChanges: the fuzzer spends its time on many small
// touches, not on a few enormous legal ones, and each input, run twice under the sanitizers (up to
// 16 us a change on 35 bells on a busy machine), stays well within the one-second limit.
constexpr std::int64_t fuzzMaxChanges = 10000;

// Everything one run shows: its exit status (or the error that stopped it), standard output and
// standard error.
struct Shown {
  std::string status;
  std::string out;
  std::string err;
  bool operator==(const Shown&) const = default;
};

// A warning prints as one line: a known place counts from 1, and the text holds no line break.
void CheckWarning(const Warning& warning) {
  const SourcePosition where = warning.where;
  const bool placeOk = where.Known() ? where.column >= 1 : where.line == 0 && where.column == 0;
  if (!placeOk || warning.text.empty() || warning.text.find_first_of("\n\r") != std::string::npos) {
    std::abort();
  }
}

Shown RunOnce(const std::string& input) {
  ResetProcessState();
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  Diagnostics diagnostics;
  ProveSettings settings;
  settings.maxChanges = fuzzMaxChanges;
  settings.diagnostics = &diagnostics;
  Shown shown;
  try {
    const TouchReport report = ProveTouch(in, err, settings);
    PrintTouch(report, out);
    shown.status = std::to_string(ExitStatus(report));
  } catch (const std::runtime_error& error) {
    shown.status = std::string("error: ") + error.what();
  }
  shown.out = out.str();
  shown.err = err.str();
  for (const Warning& warning : diagnostics.Warnings()) {
    CheckWarning(warning);
    shown.err += FormatWarning("fuzz", warning) + '\n';
  }
  return shown;
}

// The run of the command with --all --json, checked against the plain run: its whole output.
std::string RunJsonOnce(const std::string& input, const Shown& plain) {
  const CommandOutcome outcome = RunCommandOnText({"--all", "--json"}, input, fuzzMaxChanges);
  if (outcome.status < 0 || outcome.status > 2 || outcome.standardOutput != outcome.json) {
    std::abort();
  }
  // Throws, which the fuzzer reports, unless the output is one valid document.
  const nlohmann::json document = nlohmann::json::parse(outcome.standardOutput);
  if (document.at("exitStatus") != outcome.status) {
    std::abort();
  }
  // The plain run printed the usual output, with which the document's output begins, or it
  // stopped with the error the document gives.
  if (plain.status.starts_with("error: ")) {
    if (outcome.status != 2 || document.at("error") != plain.status.substr(7)) {
      std::abort();
    }
  } else {
    std::string output;
    for (const std::string line : document.at("output")) {
      output += line + '\n';
    }
    // The document holds the text as valid UTF-8: a line break ends any sequence, so making
    // the lines valid one by one makes the whole text valid.
    if (std::to_string(outcome.status) != plain.status ||
        !output.starts_with(ValidUtf8(plain.out))) {
      std::abort();
    }
  }
  return outcome.standardOutput + outcome.standardError;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const Shown plain = RunOnce(input);
  if (!(plain == RunOnce(input))) {
    std::abort();  // the first run left state behind
  }
  if (RunJsonOnce(input, plain) != RunJsonOnce(input, plain)) {
    std::abort();
  }
  return 0;
}
