// The libFuzzer entry point: runs the whole program (parse, generate, prove, lay out) on one input,
// in process, twice, with the process-wide state reset before each run.
//
// A fault is anything but an ordinary end: a crash or sanitizer report, an exception that is not
// the std::runtime_error by which the program stops on bad input (a std::logic_error such as
// std::out_of_range is a fault in the code), two runs of the same input that differ (state that
// ResetProcessState does not put back), or a warning that is not one whole line with a place in
// the file (or none).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "diagnostics/Diagnostics.h"
#include "driver/ProcessState.h"
#include "driver/Run.h"

namespace {

// Touches that would ring more changes than this are refused before any row is rung, as the
// program refuses those beyond maxProvableChanges: the fuzzer spends its time on many small
// touches, not on a few enormous legal ones, and each input, run twice under the sanitizers (up to
// 16 us a change on 35 bells on a busy machine), stays well within the one-second limit.
constexpr std::int64_t fuzzMaxChanges = 10000;

// A warning prints as one line: a known place counts from 1, and the text holds no line break.
void CheckWarning(const Warning& warning) {
  const SourcePosition where = warning.where;
  const bool placeOk = where.Known() ? where.column >= 1 : where.line == 0 && where.column == 0;
  if (!placeOk || warning.text.empty() || warning.text.find_first_of("\n\r") != std::string::npos) {
    std::abort();
  }
}

// Everything one run shows: its exit status, standard output, standard error and warnings.
std::string RunOnce(const std::string& input) {
  ResetProcessState();
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  Diagnostics diagnostics;
  ProveSettings settings;
  settings.maxChanges = fuzzMaxChanges;
  settings.diagnostics = &diagnostics;
  std::string status;
  try {
    const TouchReport report = ProveTouch(in, err, settings);
    PrintTouch(report, out);
    status = std::to_string(ExitStatus(report));
  } catch (const std::runtime_error& error) {
    status = std::string("error: ") + error.what();
  }
  std::string warnings;
  for (const Warning& warning : diagnostics.Warnings()) {
    CheckWarning(warning);
    warnings += FormatWarning("fuzz", warning) + '\n';
  }
  return status + '\n' + out.str() + '\n' + err.str() + warnings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  if (RunOnce(input) != RunOnce(input)) {
    std::abort();  // the first run left state behind
  }
  return 0;
}
