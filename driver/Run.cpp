#include "driver/Run.h"

#include <cstdlib>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "diagnostics/Diagnostics.h"
#include "diagnostics/TouchChecks.h"
#include "driver/LimitedInput.h"
#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "layout/IntToText.h"
#include "layout/LineList.h"
#include "layout/Title.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"

namespace {

// A 64-bit count that may have been held at a limit of its type instead of wrapping.
std::string CountText(std::int64_t count) {
  if (count == std::numeric_limits<std::int64_t>::max()) {
    return "at least " + IntToText(count);
  }
  if (count == std::numeric_limits<std::int64_t>::min()) {
    return "at most " + IntToText(count);
  }
  return IntToText(count);
}

// Refuses, before any row is rung, a touch whose length overflows or that is too long to prove.
void CheckProvable(const Block& top, std::int64_t maxChanges) {
  if (top.length > std::numeric_limits<std::int32_t>::max()) {
    throw std::runtime_error("Touch too long: its length of " + CountText(top.length) +
                             " changes does not fit a 32-bit count");
  }
  if (top.length < std::numeric_limits<std::int32_t>::min()) {
    // Courses of a negative number of sixes count negative.
    throw std::runtime_error("Touch length out of range: its length of " + CountText(top.length) +
                             " changes does not fit a 32-bit count");
  }
  // The rest of the starting six (or the lead-in) comes before the children, a plain six-end and a
  // slow six after them.
  const TouchSettings& settings = languageState.settings;
  const std::size_t start = settings.leadIn ? settings.leadIn->size() : settings.StartTail().size();
  const std::int64_t rung =
      SaturatingAdd(top.changesRung, static_cast<std::int64_t>(start + plainThenSlowSix.size()));
  if (rung > maxChanges) {
    throw std::runtime_error("Touch too long: it rings " + CountText(rung) +
                             " changes, more than the " + IntToText(maxChanges) +
                             " that can be proved");
  }
}

// The warning after an error that a slip probably caused: a call letter in upper case.
void HintAfterError(const std::string& message, const TouchParser& parser,
                    Diagnostics& diagnostics) {
  const std::string badPlace = "Bad place: ";
  if (message.size() != badPlace.size() + 1 || message.compare(0, badPlace.size(), badPlace) != 0) {
    return;
  }
  const char letter = message.back();
  const SourcePosition where = parser.FirstCallWithLetter(letter);
  if (!where.Known()) {
    return;
  }
  if (rowsState.changeTable.Holds(letter)) {
    // The change of 'z' on an even number of bells leaves one bell without a partner.
    diagnostics.Warn(where, std::string(1, letter) +
                                " is no change on an even number of bells, so its course cannot "
                                "be rung");
    return;
  }
  std::string text =
      std::string(1, letter) + " names no call of this touch, so its course cannot be rung: ";
  if (letter == 'S') {
    text += "a single is written 5s or s5, with a lower-case s";
  } else if (letter == 'B') {
    text += "a bob is written 5 or 5b, with a lower-case b";
  } else {
    text +=
        "the calls are b (a bob) and s (a single), in lower case, and the letters of the changes "
        "that call definitions add";
  }
  diagnostics.Warn(where, std::move(text));
}

// Shows every row to two observers, either of which may be none.
class RowsToBoth final : public RowObserver {
 public:
  RowsToBoth(RowObserver* first, RowObserver* second) : first(first), second(second) {}
  // This, or the one observer there is, or none.
  RowObserver* Observer() {
    if (first != nullptr && second != nullptr) {
      return this;
    }
    return first != nullptr ? first : second;
  }
  void Observe(std::int32_t index, std::span<const NarrowRowKey> rows) override {
    first->Observe(index, rows);
    second->Observe(index, rows);
  }
  void Observe(std::int32_t index, std::span<const Row> rows) override {
    first->Observe(index, rows);
    second->Observe(index, rows);
  }

 private:
  RowObserver* first;
  RowObserver* second;
};

}  // namespace

TouchReport ProveTouch(std::istream& in, std::ostream& err, const ProveSettings& settings) {
  Diagnostics* const diagnostics = settings.diagnostics;
  Block top(0);
  LimitedInput input(*in.rdbuf(), maxInputBytes);
  std::istream limitedIn(&input);
  TokenReader reader(limitedIn, diagnostics);
  TouchParser parser(reader, err, diagnostics);
  try {
    parser.Parse(top, true);
  } catch (const std::runtime_error& error) {
    if (diagnostics != nullptr) {
      parser.FlushWarnings();
      HintAfterError(error.what(), parser, *diagnostics);
      diagnostics->SortByPlace();
    }
    throw;
  }
  if (diagnostics != nullptr) {
    if (const auto& early = parser.TouchEndedEarly()) {
      SourcePosition more;
      if (settings.mayReadPastEnd) {
        input.EndQuietlyAtBound();
        more = reader.FindMoreInput(maxInputBytes);
      }
      if (more.Known()) {
        diagnostics->Warn(early->where, early->what + "; the rest of the file, from " +
                                            std::to_string(more.line) + ":" +
                                            std::to_string(more.column) + ", is not read");
      } else if (early->always) {
        diagnostics->Warn(early->where, early->what);
      }
    }
    CheckCourses(top, parser.StartWrittenAt(), *diagnostics);
    diagnostics->SortByPlace();
  }
  CheckProvable(top, settings.maxChanges);

  Row row;
  // On the heap, to be dropped before an analysis that rings the touch again.
  auto proof = std::make_unique<ProofTable>();
  ProofTable& table = *proof;
  // Rounds, the rest of its six or the lead-in, the children, and the closing six.
  table.Reserve(1 + 6 + top.changesRung + 6);
  TouchAnalyser analyser(settings.analyses, rowsState.bellCount);
  RowsToBoth observers(analyser.Observer(), settings.observer);
  table.SetObserver(observers.Observer());
  table.Insert(row);
  top.Generate(table, row, true);
  row.Reset();

  if (diagnostics != nullptr) {
    CheckRoundsComesUp(top, table, *diagnostics);
    diagnostics->SortByPlace();
  }

  TouchReport report;
  report.verdict = table.Verdict();
  report.extents = table.Extents();
  report.changes = table.RowCount() - 1;
  report.titles = top.captions;
  report.erin = languageState.settings.erin;
  report.bells = rowsState.bellCount;
  const std::int32_t roundsAt = report.verdict.roundsAt;
  const std::int32_t repeats = report.verdict.repeats;
  report.length = static_cast<std::int32_t>(std::abs(static_cast<std::int64_t>(roundsAt)));
  report.title = BuildTitle();
  // The layout is built before anything is printed, so that a touch too long to print is refused
  // with an empty standard output.
  LineList lines;
  top.Layout(lines, row, 0, roundsAt != 0 && repeats != 0 ? &table : nullptr, true);
  report.lines = lines.TakeTexts();
  if (repeats != 0) {
    const ProofTable::Repeat repeat = table.FirstRepeat();
    report.firstRepeat = RepeatedPair{repeat.first, repeat.second, repeat.row.ToText().substr(1)};
  }
  if (!report.verdict.isTrue) {
    if (repeats != 0) {
      report.verdictLines.push_back(IntToText(repeats) + " repeated rows");
      std::ostringstream pair;
      table.PrintFirstRepeat(pair);
      std::string text = pair.str();
      text.pop_back();  // its line break
      report.verdictLines.push_back(std::move(text));
    }
    if (roundsAt > 0) {
      report.verdictLines.push_back("Rounds occurs after " + IntToText(roundsAt) + " changes ");
    } else {
      report.verdictLines.push_back("Touch does not come round");
    }
  }
  if (settings.analyses.Any()) {
    analyser.Conclude(top, table, report.verdict);
    proof.reset();
    report.analysis = analyser.Finish(top);
  }
  return report;
}

void ForEachPrintedLine(const TouchReport& report,
                        const std::function<void(std::string_view line)>& visit) {
  // The summary line is continued by the first line after it, whichever that is.
  std::string summary = IntToText(report.length) + ' ' + report.title + ' ';
  const auto line = [&](std::string_view text) {
    if (summary.empty()) {
      visit(text);
    } else {
      visit(summary.append(text));
      summary.clear();
    }
  };
  for (const std::string& text : report.lines) {
    line(text);
  }
  for (const std::string& text : report.verdictLines) {
    line(text);
  }
  line("");
}

void PrintTouch(const TouchReport& report, std::ostream& out) {
  ForEachPrintedLine(report, [&](std::string_view line) { out << line << '\n'; });
}

int ExitStatus(const TouchReport& report) {
  return report.verdict.isTrue ? 0 : 1;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): out and err are named so everywhere.
int Run(std::istream& in, std::ostream& out, std::ostream& err, std::int64_t maxChanges) {
  const TouchReport report = ProveTouch(in, err, {.maxChanges = maxChanges});
  PrintTouch(report, out);
  return ExitStatus(report);
}
