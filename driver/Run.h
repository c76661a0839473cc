#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/TouchAnalysis.h"
#include "proof/ProofTable.h"

class Diagnostics;
class RowObserver;

// The most bytes of input a touch may take: the tree built from it grows with the input.
inline constexpr std::int64_t maxInputBytes = std::int64_t{1} << 24;  // 16 MiB

// How one touch is to be proved.
struct ProveSettings {
  // A touch that would ring more changes is refused before any row is rung.
  std::int64_t maxChanges = maxProvableChanges;
  // Where the touch comes from, for messages: the file name or "<stdin>".
  std::string inputName = "<stdin>";
  // Warnings are found and kept here when given; none are looked for without it.
  Diagnostics* diagnostics = nullptr;
  // Whether the input may be read on after the touch ends, to warn that the rest of a file is not
  // read: not at a terminal, where more comes only when the ringer types it.
  bool mayReadPastEnd = true;
  // The analyses to make beside the proof.
  AnalysisRequest analyses = {};
  // Sees every row the proof records, rounds at the start first, when given.
  RowObserver* observer = nullptr;
};

// The first repeated pair of a false touch: "Rows 12 and 100 are both  1325476".
struct RepeatedPair {
  std::int32_t first = 0;
  std::int32_t second = 0;
  std::string row;  // the row as printed, after its leading blank
};

// What proving one touch found: everything the printed touch shows, and more for other tools.
struct TouchReport {
  std::int32_t length = 0;          // the length on the summary line
  std::string title;                // the method and stage, "Stedman Triples"
  std::vector<std::string> titles;  // the title lines of the top level, as written
  bool erin = false;                // the method: Erin, or Stedman
  int bells = 0;
  ProofVerdict verdict;
  std::int32_t changes = 0;  // the changes recorded after the starting rounds
  std::int32_t extents = 0;  // whole extents of a touch true as several
  std::optional<RepeatedPair> firstRepeat;
  // The printed touch: the summary line's last blank is followed by the first of these.
  std::vector<std::string> lines;
  // The lines after the touch when it is false: the repeated rows and where rounds occurs.
  std::vector<std::string> verdictLines;
  // The analyses asked for in the settings.
  TouchAnalysis analysis;
};

// Proves one touch: parses it from in, generates and proves every row, and lays it out. Tokens out
// of place are reported on err as they are read. An error that stops processing is thrown as
// std::runtime_error; nothing is then printed.
TouchReport ProveTouch(std::istream& in, std::ostream& err, const ProveSettings& settings = {});

// What a plain run prints on standard output: the summary line, the touch, the verdict lines and
// the empty line that ends every run.
void PrintTouch(const TouchReport& report, std::ostream& out);
// The same lines, each without its line break.
void ForEachPrintedLine(const TouchReport& report,
                        const std::function<void(std::string_view line)>& visit);

// The exit status of a proved touch: 0 when it is true and comes round, 1 otherwise.
int ExitStatus(const TouchReport& report);

// Proves one touch and prints it on out, as a plain run of the program does; answers the exit
// status. Errors are thrown as ProveTouch throws them.
int Run(std::istream& in, std::ostream& out, std::ostream& err,
        std::int64_t maxChanges = maxProvableChanges);
