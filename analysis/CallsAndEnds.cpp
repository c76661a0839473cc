#include "analysis/CallsAndEnds.h"

#include <array>

#include "language/ProcessState.h"
#include "layout/IntToText.h"
#include "rows/ChangeTable.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

// The row from which the first course is rung: rounds after the rest of its six, or after the
// lead-in.
Row StartRow() {
  const TouchSettings& settings = languageState.settings;
  return SequenceProduct(settings.leadIn ? *settings.leadIn : settings.StartTail());
}

// A top level of one element used more than once, which rings changes: its parts.
const Element* RepeatedPart(const Block& top) {
  const std::vector<Element*>& children = top.children;
  if (children.size() < 2 || children.front()->IsSeparator() ||
      children.front()->changesRung <= 0) {
    return nullptr;
  }
  for (const Element* child : children) {
    if (child != children.front()) {
      return nullptr;
    }
  }
  return children.front();
}

}  // namespace

CallsReport CountCallsAndEnds(const Block& top, const RingingFrame& frame) {
  CallsReport report;
  std::array<std::int64_t, 256> byLetter{};
  Row row = StartRow();
  std::int64_t change = frame.startChanges;
  CourseWalk walk(top);
  for (const Course* course = walk.Next(); course != nullptr; course = walk.Next()) {
    for (const char call : course->calls) {
      ++byLetter[static_cast<unsigned char>(call)];
    }
    ++report.courseCount;
    change += course->changesRung;
    if (report.courseEnds.size() < CallsReport::maxListedEnds) {
      course->ApplyEndRow(row);
      report.courseEnds.push_back({report.courseCount, row, frame.RowAfter(change)});
    }
  }
  for (const char letter : {'b', 's'}) {
    if (const std::int64_t count = byLetter[static_cast<unsigned char>(letter)]; count != 0) {
      report.calls.push_back({letter, count});
    }
  }
  for (std::size_t letter = 1; letter < byLetter.size(); ++letter) {
    const auto call = static_cast<char>(letter);
    if (byLetter[letter] != 0 && call != 'p' && call != 'b' && call != 's') {
      report.calls.push_back({call, byLetter[letter]});
    }
  }

  if (const Element* part = RepeatedPart(top)) {
    row = StartRow();
    change = frame.startChanges;
    report.partCount = static_cast<std::int64_t>(top.children.size());
    for (std::int64_t number = 1; number <= report.partCount; ++number) {
      if (report.partEnds.size() == CallsReport::maxListedEnds) {
        break;
      }
      part->ApplyEndRow(row);
      change += part->changesRung;
      report.partEnds.push_back({number, row, frame.RowAfter(change)});
    }
  }
  return report;
}

std::string CallName(char letter) {
  if (letter == 'b') {
    return "bob";
  }
  if (letter == 's') {
    return "single";
  }
  return std::string(1, letter);
}

std::string CallsLine(const CallsReport& report) {
  if (report.calls.empty()) {
    return "none.";
  }
  std::string line;
  for (const CallCount& call : report.calls) {
    const bool named = call.letter == 'b' || call.letter == 's';
    line += (line.empty() ? "" : ", ") + IntToText(call.count) + ' ' + CallName(call.letter) +
            (named && call.count != 1 ? "s" : "");
  }
  return line + '.';
}
