#include "analysis/RingingOrder.h"

#include <algorithm>

#include "language/ProcessState.h"
#include "rows/ChangeTable.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

constexpr std::int64_t changesPerSix = 6;

}  // namespace

CourseWalk::CourseWalk(const Block& top) {
  stack.push_back({&top.RungChildren(), 0});
}

const Course* CourseWalk::Next() {
  while (!stack.empty()) {
    Level& level = stack.back();
    if (level.next == level.children->size()) {
      stack.pop_back();
      continue;
    }
    const Element* child = (*level.children)[level.next++];
    if (child->changesRung <= 0) {
      continue;
    }
    if (const auto* course = dynamic_cast<const Course*>(child)) {
      return course;
    }
    if (const auto* block = dynamic_cast<const Block*>(child)) {
      stack.push_back({&block->RungChildren(), 0});
    }
  }
  return nullptr;
}

std::int64_t RingingFrame::RowAfter(std::int64_t change) const {
  const std::int64_t row = change - firstRecorded;
  return row >= 0 && row < rowCount ? row : -1;
}

RingingFrame FrameOf(const Block& top, std::int32_t rowCount) {
  const TouchSettings& settings = languageState.settings;
  RingingFrame frame;
  frame.leadIn = settings.leadIn.has_value();
  frame.startChanges = static_cast<std::int64_t>(frame.leadIn ? settings.leadIn->size()
                                                              : settings.StartTail().size());
  frame.courseChanges = top.changesRung;
  frame.totalChanges =
      frame.startChanges + frame.courseChanges + static_cast<std::int64_t>(plainThenSlowSix.size());
  frame.rowCount = rowCount;
  // Every change after the one that brought rounds is recorded.
  frame.firstRecorded = frame.leadIn ? frame.totalChanges - (rowCount - 1) : 0;
  return frame;
}

SixCursor::SixCursor(const Block& top, const RingingFrame& frame) : frame(frame), walk(top) {
  // Without a lead-in the start six holds the starting rounds, "after change 0".
  Enter({.kind = SixPlace::Kind::Start}, {frame.leadIn ? 1 : 0, frame.startChanges});
  nextChange = frame.startChanges + 1;
}

void SixCursor::Enter(SixPlace six, Changes changes) {
  current = six;
  current.firstRow =
      static_cast<std::int32_t>(std::max<std::int64_t>(0, changes.first - frame.firstRecorded));
  current.lastRow = static_cast<std::int32_t>(changes.last - frame.firstRecorded);
}

bool SixCursor::Advance() {
  if (finished) {
    return false;
  }
  const Changes next{nextChange, nextChange + changesPerSix - 1};
  while (course == nullptr || sixInCourse == course->sixCount) {
    course = walk.Next();
    if (course == nullptr) {
      Enter({.kind = SixPlace::Kind::Finish}, next);
      finished = true;
      return true;
    }
    ++courseNumber;
    sixInCourse = 0;
  }
  ++sixInCourse;
  Enter({.kind = SixPlace::Kind::Course, .course = courseNumber, .six = sixInCourse}, next);
  nextChange += changesPerSix;
  return true;
}

const SixPlace& SixCursor::SixOf(std::int32_t row) {
  while (current.lastRow < row && Advance()) {
  }
  return current;
}
