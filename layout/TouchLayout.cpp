#include "layout/TouchLayout.h"

#include <algorithm>
#include <array>

#include "language/ProcessState.h"
#include "layout/IntToText.h"
#include "layout/LineList.h"
#include "layout/ProcessState.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"
#include "touch/Separator.h"

namespace {

// The top of the printed touch: an empty line, then the row the touch reaches before its first
// call position with the column heading. Answers the proof-table index of that row.
std::int64_t LayoutStart(LineList& lines, Row& row) {
  const TouchSettings& settings = languageState.settings;
  lines.Append("");
  const std::string start = settings.leadIn ? *settings.leadIn : settings.StartTail();
  row = SequenceProduct(start);
  std::string startLine = row.ToText();
  layoutState.lastRow = row;
  if (settings.headerBlock != nullptr) {
    startLine += settings.headerBlock->HeadingText();
  }
  lines.Append(std::move(startLine), LineKind::Start);
  return settings.leadIn ? -static_cast<std::int64_t>(start.size())
                         : static_cast<std::int64_t>(start.size());
}

// The end of the printed touch: the definitions of the named single-course blocks, and the start
// when it is not the method's usual one.
void LayoutClose(LineList& lines) {
  const TouchSettings& settings = languageState.settings;
  lines.Append("");
  for (const auto& [letter, block] : languageState.blockTable.Entries()) {
    if (block->IsNamed() && block->IsSingleCourse()) {
      lines.Append(block->CallingText());
    }
  }
  const int position = settings.startPosition;
  if (position != (settings.erin ? 11 : 3) && position >= 0 && position <= 11) {
    static constexpr std::array<const char*, 6> rowWords = {"first",  "second", "third",
                                                            "fourth", "fifth",  "last"};
    lines.Append(std::string("Start from rounds as the ") + rowWords[position % 6] + " row of a " +
                 (position < 6 ? "quick" : "slow") + " six");
  }
}

// The count a new repeat reference of block would take over from the line above it, or 0 when
// that line is not this block's own reference or the count would not fit before the letter.
int MergedCount(const LineList& lines, const Block& block, std::size_t lineLength) {
  if (lines.Empty() || lines.LastKind() != LineKind::RepeatReference ||
      layoutState.countedBlock != &block) {
    return 0;
  }
  const int count = layoutState.count + 1;
  // The blanks between the row text and the letter hold the count.
  const std::size_t rowLength = static_cast<std::size_t>(rowsState.bellCount) + 1;
  const std::size_t room = lineLength - rowLength - 1;
  return IntToText(count).size() <= room ? count : 0;
}

}  // namespace

void EmitRule(LineList& lines) {
  if (!layoutState.ruleEmitted) {
    lines.Append(languageState.settings.RuleLine(), LineKind::Rule);
    layoutState.ruleEmitted = true;
  }
}

void Separator::Layout(LineList& lines, Row& /*row*/, std::int64_t /*first*/,
                       const ProofTable* /*table*/, bool /*top*/) {
  EmitRule(lines);
}

void Block::Layout(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
                   bool top) {
  for (const std::string& caption : captions) {
    lines.Append(caption);
  }
  if (top) {
    first = LayoutStart(lines, row);
  }
  if (letter != 0 && table == nullptr && IsSingleCourse()) {
    LayoutReference(lines, row);
  } else if (laidOut && table == nullptr) {
    LayoutRepeatReference(lines, row);
  } else {
    LayoutInFull(lines, row, first, table, top);
  }
  if (top) {
    LayoutClose(lines);
  }
  laidOut = true;
}

void Block::LayoutReference(LineList& lines, Row& row) const {
  ApplyEndRow(row);
  lines.Append(row.ToText(layoutState.lastRow) + layoutState.filler + "(" + letter + ")",
               LineKind::Reference);
  layoutState.ruleEmitted = false;
  layoutState.lastRow = row;
}

void Block::LayoutRepeatReference(LineList& lines, Row& row) const {
  ApplyEndRow(row);
  std::string line = row.ToText(layoutState.lastRow) + layoutState.filler + ' ' + letter;
  // Consecutive references to this block become one line that counts them: "2B", "3B", ...
  const int count = MergedCount(lines, *this, line.size());
  if (count != 0) {
    const std::string digits = IntToText(count);
    line.replace(line.size() - 1 - digits.size(), digits.size(), digits);
    lines.RemoveLast();
  }
  lines.Append(std::move(line), LineKind::RepeatReference);
  layoutState.countedBlock = this;
  layoutState.count = count != 0 ? count : 1;
  layoutState.ruleEmitted = false;
  layoutState.lastRow = row;
}

bool Block::IsMultiPart(const ProofTable* table, bool top) const {
  return top && table == nullptr && !children.empty() &&
         std::all_of(children.begin(), children.end(),
                     [this](const Element* child) { return child == children.front(); }) &&
         !children.front()->IsSeparator();
}

void Block::LayoutInFull(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
                         bool top) {
  // A top level that is one block rung again and again is printed once, with the part count.
  const bool multiPart = IsMultiPart(table, top);
  if (multiPart) {
    children.front()->letter = 0;
  }
  EmitRule(lines);
  const std::size_t firstLine = lines.Size();
  if (multiPart) {
    children.front()->Layout(lines, row, first, nullptr, false);
  } else {
    for (Element* child : children) {
      // Only the children that hold the first repeated pair are handed the table.
      const std::int64_t n = child->length;
      const ProofTable* childTable =
          table != nullptr && table->FirstRepeatWithin(first, n) ? table : nullptr;
      child->Layout(lines, row, first, childTable, false);
      first = SaturatingAdd(first, n);
    }
  }
  if (!multiPart && letter != 0) {
    DrawBar(lines, firstLine);
  }
  EmitRule(lines);
  if (multiPart && children.size() == 2) {
    lines.Append("Repeat");
  } else if (multiPart && children.size() > 2) {
    lines.Append(IntToText(static_cast<std::int64_t>(children.size())) + "-part");
  }
}

void Block::DrawBar(LineList& lines, std::size_t firstLine) const {
  std::size_t width = languageState.settings.RuleLine().size();
  for (std::size_t line = firstLine; line < lines.Size(); ++line) {
    width = std::max(width, lines[line].size());
  }
  // A rule line just written gets no bar.
  const std::size_t end = lines.Size() - (layoutState.ruleEmitted ? 1 : 0);
  for (std::size_t line = firstLine; line < end; ++line) {
    lines.AppendTo(line, std::string(width - lines[line].size() + 1, ' ') + "|");
  }
  if (firstLine + end > 0) {
    lines.AppendTo((firstLine + end - 1) / 2, std::string(1, letter));
  }
}
