#include <string>

#include "layout/CourseText.h"
#include "layout/LineList.h"
#include "layout/ProcessState.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "touch/Course.h"

namespace {

// How many lines the search for the bells of the base row may pass. Past this many the bell counts
// as unknown and the row is shown in full there, so that a touch full of lines without a row
// (captions, say) still lays out in linear time.
constexpr int maxLinesSearched = 100;

// Captions, rules, part counts and empty lines show no row: the row printed last is never read
// from them, whatever their text looks like.
bool ShowsRow(LineKind kind) {
  switch (kind) {
    case LineKind::Start:
    case LineKind::Course:
    case LineKind::AlignedCourse:
    case LineKind::Listing:
    case LineKind::Reference:
    case LineKind::RepeatReference:
      return true;
    case LineKind::Text:
    case LineKind::Rule:
      return false;
  }
  return false;
}

// A bell at place k of a printed line: listing lines stand one column to the right of course lines.
// Answers '\0', which is no bell symbol, beyond the end of the line.
char BellAt(const LineList& lines, std::size_t line, std::size_t k) {
  const std::string& text = lines[line];
  const std::size_t index = lines.KindOf(line) == LineKind::Listing ? k + 1 : k;
  return index < text.size() ? text[index] : '\0';
}

// After a merge has removed the line above, shows the back bells of rowText against the row now
// printed last: that of the last line that shows a row, its blanked bells completed from the
// row-bearing lines before it.
void Reabbreviate(std::string& rowText, const std::string& removedRow, const LineList& lines) {
  for (std::size_t k = rowText.size(); k-- > 0 && rowText[k] == ' ';) {
    rowText[k] = k < removedRow.size() ? removedRow[k] : ' ';
  }
  if (lines.Empty()) {
    return;
  }
  std::string baseRow(rowText.size(), '\0');
  std::size_t searched = lines.Size() - 1;  // the search only ever moves back
  int passed = 0;
  const auto stepBack = [&] {
    if (searched == 0 || ++passed > maxLinesSearched) {
      return false;
    }
    --searched;
    return true;
  };
  while (!ShowsRow(lines.KindOf(searched))) {
    if (!stepBack()) {
      return;  // no row to blank against: the row is shown in full
    }
  }
  const std::size_t base = searched;
  for (std::size_t k = 1; k < rowText.size(); ++k) {
    const char bell = BellAt(lines, base, k);
    if (bell != ' ') {
      baseRow[k] = bell;
      continue;
    }
    for (;;) {
      if (ShowsRow(lines.KindOf(searched))) {
        const char found = BellAt(lines, searched, k);
        if (found == '\0') {
          break;  // a line too short ends the search: baseRow[k] stays no bell
        }
        if (found != ' ' && found != '-') {
          baseRow[k] = found;
          break;
        }
      }
      if (!stepBack()) {
        break;
      }
    }
  }
  const std::string shown = rowText;
  for (std::size_t k = rowText.size() - 1; k >= 4; --k) {
    if (rowText[k] == ' ') {
      continue;
    }
    if (rowText[k] != baseRow[k]) {
      break;
    }
    rowText[k] = ' ';
  }
  // Every other line blanks the back bells in runs that start at an odd place and hold more than
  // one bell: a run that starts at an even place, or is the last bell alone, gives its first bell
  // back, so that no row reads as a different row of fewer bells.
  std::size_t first = rowText.find_last_not_of(' ') + 1;  // the first blank place of the run
  while (first < rowText.size() && shown[first] != ' ' &&
         (first % 2 == 0 || first + 1 == rowText.size())) {
    rowText[first] = shown[first];
    ++first;
  }
}

}  // namespace

void Course::Layout(LineList& lines, Row& row, std::int64_t /*first*/, const ProofTable* table,
                    bool /*top*/) {
  if (table != nullptr) {
    lines.Append(' ' + row.ToText(), LineKind::Listing);
    for (std::size_t six = 0; six + 6 <= changeString.size(); six += 6) {
      const std::string_view group = std::string_view(changeString).substr(six, 6);
      std::string line(1, CallMark(group[0]));
      row.Assign(row.Permute(SequenceProduct(group)));
      line += row.ToText();
      if (table->IsRepeated(row)) {
        line += '*';
      }
      lines.Append(std::move(line), LineKind::Listing);
    }
  } else {
    ApplyEndRow(row);
  }
  std::string rowText = row.ToText(layoutState.lastRow);
  // The merge changes only the printed line: callingText stays as the course's own calling.
  std::string calling = callingText;
  const std::size_t p = calling.find_first_not_of(' ');
  if (!layoutState.ruleEmitted && alignedCalling && !lines.Empty() &&
      lines.LastKind() == LineKind::AlignedCourse && p != std::string::npos && calling[p] == '-') {
    // A course whose first call is a bob in the column of the last call of the line above: the
    // two become one line, with "2" (or "3") in the shared column.
    const std::string& above = lines.Last();
    const std::string removedRow = above.substr(0, rowText.size());
    const std::string aboveCalling =
        above.size() > rowText.size() + 1 ? above.substr(rowText.size() + 1) : std::string();
    if ((aboveCalling.size() == 2 || (aboveCalling.size() > 2 && aboveCalling[2] == ' ')) &&
        aboveCalling.size() == p + 1 && (aboveCalling[p] == '-' || aboveCalling[p] == '2')) {
      calling[p] = aboveCalling[p] == '-' ? '2' : '3';
      calling = aboveCalling.substr(0, p) + calling.substr(p);
      lines.RemoveLast();
      Reabbreviate(rowText, removedRow, lines);
    }
  }
  lines.Append(rowText + ' ' + calling,
               alignedCalling ? LineKind::AlignedCourse : LineKind::Course);
  layoutState.lastRow = row;
  layoutState.ruleEmitted = false;
}
