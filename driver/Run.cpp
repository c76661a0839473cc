#include "driver/Run.h"

#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

#include "driver/LimitedInput.h"
#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
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

int Run(std::istream& in, std::ostream& out, std::ostream& err, std::int64_t maxChanges) {
  Block top(0);
  LimitedInput input(*in.rdbuf(), maxInputBytes);
  std::istream limitedIn(&input);
  TokenReader reader(limitedIn);
  TouchParser(reader, err).Parse(top, true);
  CheckProvable(top, maxChanges);

  Row row;
  ProofTable table;
  // Rounds, the rest of its six or the lead-in, the children, and the closing six.
  table.Reserve(1 + 6 + top.changesRung + 6);
  table.Insert(row);
  top.Generate(table, row, true);
  row.Reset();

  std::int32_t length = 0;
  std::int32_t repeats = 0;
  const bool isTrue = table.Verdict(length, repeats);
  // The layout is built before anything is printed, so that a touch too long to print is refused
  // with an empty standard output.
  LineList lines;
  top.Layout(lines, row, 0, length != 0 && repeats != 0 ? &table : nullptr, true);
  out << IntToText(std::abs(static_cast<std::int64_t>(length))) << ' ' << BuildTitle() << ' ';
  for (std::size_t line = 0; line < lines.Size(); ++line) {
    out << lines[line] << '\n';
  }
  if (!isTrue) {
    if (repeats != 0) {
      out << IntToText(repeats) << " repeated rows\n";
      table.PrintFirstRepeat(out);
    }
    if (length > 0) {
      out << "Rounds occurs after " << IntToText(length) << " changes \n";
    } else {
      out << "Touch does not come round\n";
    }
  }
  out << '\n';
  return isTrue ? 0 : 1;
}
