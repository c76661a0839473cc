#include "driver/Run.h"

#include <cstdlib>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "driver/LimitedInput.h"
#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "layout/IntToText.h"
#include "layout/LineList.h"
#include "layout/Title.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
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

}  // namespace

TouchReport ProveTouch(std::istream& in, std::ostream& err, const ProveSettings& settings) {
  Block top(0);
  LimitedInput input(*in.rdbuf(), maxInputBytes);
  std::istream limitedIn(&input);
  TokenReader reader(limitedIn);
  TouchParser(reader, err).Parse(top, true);
  CheckProvable(top, settings.maxChanges);

  Row row;
  ProofTable table;
  // Rounds, the rest of its six or the lead-in, the children, and the closing six.
  table.Reserve(1 + 6 + top.changesRung + 6);
  table.SetObserver(settings.observer);
  table.Insert(row);
  top.Generate(table, row, true);
  row.Reset();

  TouchReport report;
  report.verdict = table.Verdict();
  report.extents = table.Extents();
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
  return report;
}

void PrintTouch(const TouchReport& report, std::ostream& out) {
  out << IntToText(report.length) << ' ' << report.title << ' ';
  for (const std::string& line : report.lines) {
    out << line << '\n';
  }
  for (const std::string& line : report.verdictLines) {
    out << line << '\n';
  }
  out << '\n';
}

int ExitStatus(const TouchReport& report) {
  return report.verdict.isTrue ? 0 : 1;
}

int Run(std::istream& in, std::ostream& out, std::ostream& err, std::int64_t maxChanges) {
  const TouchReport report = ProveTouch(in, err, {.maxChanges = maxChanges});
  PrintTouch(report, out);
  return ExitStatus(report);
}
