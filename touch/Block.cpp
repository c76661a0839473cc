#include "touch/Block.h"

#include "language/ProcessState.h"
#include "language/Token.h"
#include "ringing/Ringing.h"
#include "rows/ChangeTable.h"
#include "touch/Course.h"

Block::Block(char letter) : Element(letter) {
  if (letter != 0) {
    languageState.blockTable.Enter(letter, *this);
  }
}

void Block::AppendChild(Element& child) {
  children.push_back(&child);
}

Element& Block::StartCourse() {
  Element& course = *ownedCourses.emplace_back(std::make_unique<Course>());
  children.push_back(&course);
  return course;
}

bool Block::AddCall(const Token& call) {
  if (open && (children.empty() || !children.back()->AddCall(call))) {
    if (!children.empty()) {
      // A course begun under another course length refused without finishing itself.
      children.back()->Finish();
    }
    (void)StartCourse().AddCall(call);
  }
  if (languageState.settings.sixesPerCourse == 1) {
    // One six per course: every call also fixes the length of the course that took it.
    (void)SetLength(call.SignedValue());
  }
  return open;
}

bool Block::SetLength(int sixes) {
  if (!open) {
    return false;
  }
  if (children.empty() || !children.back()->SetLength(sixes)) {
    (void)StartCourse().SetLength(sixes);
  }
  return true;
}

void Block::Finish() {
  if (!open) {
    return;
  }
  if (!children.empty()) {
    children.back()->Finish();
  }
  for (Element* child : children) {
    child->ApplyEndRow(endRow);
    length = SaturatingAdd(length, child->length);
    changesRung = SaturatingAdd(changesRung, child->changesRung);
    if (child->changesRung > 0) {
      ringingChildren.push_back(child);
    }
  }
  open = false;
}

void Block::Generate(ProofTable& table, Row& row, bool top) {
  const TouchSettings& settings = languageState.settings;
  if (top) {
    if (settings.leadIn) {
      GenerateSequence(row, table, *settings.leadIn, true);
    } else {
      GenerateSequence(row, table, settings.StartTail(), false);
    }
  }
  for (Element* child : RungChildren()) {
    child->Generate(table, row, false);
  }
  if (top) {
    GenerateSequence(row, table, plainThenSlowSix, false);
  }
}

int Block::ColumnOf(int six) const {
  return children.empty() ? 0 : children.front()->ColumnOf(six);
}

std::string Block::HeadingText() {
  return children.empty() ? std::string() : children.front()->HeadingText();
}

bool Block::IsSingleCourse() const {
  return children.size() == 1 && children.front()->IsSingleCourse();
}
