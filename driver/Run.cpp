#include "driver/Run.h"

#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "layout/LineList.h"
#include "layout/Title.h"
#include "proof/ProofTable.h"
#include "touch/Block.h"

namespace {

// Refuses, before any row is rung, a touch whose length overflows or that is too long to prove.
void CheckProvable(const Block& top) {
  if (top.length > std::numeric_limits<std::int32_t>::max() ||
      top.length < std::numeric_limits<std::int32_t>::min()) {
    throw std::runtime_error("Touch too long: its length of " + IntToText(top.length) +
                             " changes does not fit a 32-bit count");
  }
  // The start of the touch and its closing six ring at most 12 changes more.
  if (top.changesRung > maxProvableChanges - 12) {
    throw std::runtime_error("Touch too long: " + IntToText(top.changesRung) +
                             " changes, more than the " + IntToText(maxProvableChanges) +
                             " that can be proved");
  }
}

}  // namespace

int Run(std::istream& in, std::ostream& out, std::ostream& err) {
  Block top(0);
  TokenReader reader(in);
  TouchParser(reader, err).Parse(top, true);
  CheckProvable(top);

  Row row;
  ProofTable table;
  table.Insert(row);
  top.Generate(table, row, true);
  row.Reset();

  std::int32_t length = 0;
  std::int32_t repeats = 0;
  const bool isTrue = table.Verdict(length, repeats);
  out << IntToText(std::abs(static_cast<std::int64_t>(length))) << ' ' << BuildTitle() << ' ';
  LineList lines;
  top.Layout(lines, row, 0, length != 0 && repeats != 0 ? &table : nullptr, true);
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
