#include "touch/Course.h"

#include <map>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "language/ProcessState.h"
#include "language/Token.h"
#include "ringing/Ringing.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"

namespace {

// The row that a course's changes lead to from rounds, as SequenceProduct gives it. A course holds
// few kinds of six (a call and a quick or a slow six), each worked out once: then a six costs one
// permutation, not six, however long the course.
Row SixesProduct(std::string_view changes) {
  std::map<std::string_view, Row> sixes;
  const int bellCount = rowsState.bellCount;
  Row row;
  Row other;
  for (std::size_t six = 0; six + 6 <= changes.size(); six += 6) {
    const std::string_view group = changes.substr(six, 6);
    auto found = sixes.find(group);
    if (found == sixes.end()) {
      found = sixes.emplace(group, SequenceProduct(group)).first;
    }
    other.AssignPermuted(row, found->second, bellCount);
    std::swap(row, other);
  }
  return row;
}

}  // namespace

Course::Course()
    : Element(0),
      sixCount(languageState.settings.sixesPerCourse),
      standardSixes(languageState.settings.sixesPerCourse) {}

bool Course::ExtendCalls(int n, char fill) {
  if (n >= 0 && calls.size() > static_cast<std::size_t>(n)) {
    Finish();
    return open;
  }
  if (n > 0 && calls.size() < static_cast<std::size_t>(n)) {
    calls.append(static_cast<std::size_t>(n) - calls.size(), fill);
  }
  return open;
}

bool Course::AddCall(const Token& call) {
  if (!open || sixCount != languageState.settings.sixesPerCourse) {
    return false;
  }
  if (!ExtendCalls(call.SignedValue() - 1, 'p')) {
    return false;
  }
  if (call.type != TokenType::Call) {
    throw std::runtime_error("Incorrect token type in AddCall");
  }
  calls += call.letter;
  if (standardSixes >= 0 && calls.size() > static_cast<std::size_t>(standardSixes) &&
      !lengthenedAt.Known()) {
    lengthenedAt = call.where;
    sixPast = static_cast<int>(calls.size());
  }
  return true;
}

bool Course::SetLength(int sixes) {
  if (!open) {
    return false;
  }
  const bool extended = ExtendCalls(sixes, 'p');
  if (extended) {
    sixCount = sixes;
    lengthWritten = true;
    Finish();
  }
  return extended;
}

void Course::Finish() {
  if (!open) {
    return;
  }
  if (sixCount >= 0 && static_cast<std::size_t>(sixCount) < calls.size()) {
    sixCount = static_cast<int>(calls.size());  // calls beyond the course length lengthen it
  }
  (void)ExtendCalls(sixCount, 'p');
  BuildCallingText();
  const bool erin = languageState.settings.erin;
  changeString.clear();
  for (int six = 0; six < sixCount; ++six) {
    changeString += calls[static_cast<std::size_t>(six)];
    // Stedman alternates so that the last six of a course is quick.
    changeString += erin || (sixCount + six) % 2 == 0 ? slowSix : quickSix;
  }
  endRow = SixesProduct(changeString);
  open = false;
  length = 6 * static_cast<std::int64_t>(sixCount);
  changesRung = std::max<std::int64_t>(length, 0);
}

void Course::Generate(ProofTable& table, Row& row, bool /*top*/) {
  GenerateSequence(row, table, changeString, false);
}

int Course::ColumnOf(int six) const {
  // An open course may hold fewer calls than sixes.
  if (six < 0 || six >= sixCount || static_cast<std::size_t>(six) >= calls.size() ||
      calls[static_cast<std::size_t>(six)] == 'p') {
    return 0;
  }
  int called = 0;
  for (int before = 0; before < six; ++before) {
    called += calls[static_cast<std::size_t>(before)] != 'p' ? 1 : 0;
  }
  return 1 + 3 * called;
}
