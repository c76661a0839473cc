#include "layout/CourseText.h"

#include "language/ProcessState.h"
#include "language/TokenReader.h"
#include "layout/IntToText.h"
#include "layout/ProcessState.h"
#include "touch/Block.h"
#include "touch/Course.h"

char CallMark(char call) {
  switch (call) {
    case 'b':
      return '-';
    case 'p':
      return ' ';
    case 'q':
      return 'p';
    default:
      return call;
  }
}

void Course::BuildCallingText() {
  const TouchSettings& settings = languageState.settings;
  const Block* header = settings.headerBlock;
  const auto callAt = [this](int six) { return calls[static_cast<std::size_t>(six)]; };
  bool aligned = header != nullptr && sixCount == settings.sixesPerCourse;
  for (int six = 0; aligned && six < sixCount; ++six) {
    aligned = callAt(six) == 'p' || header->ColumnOf(six) != 0;
  }
  std::string text;
  for (int six = 0; six < sixCount; ++six) {
    const char call = callAt(six);
    if (call == 'p') {
      continue;
    }
    if (aligned) {
      const auto column = static_cast<std::size_t>(header->ColumnOf(six));
      if (text.size() < column) {
        text.append(column - text.size(), ' ');
      }
      text += CallMark(call);
      continue;
    }
    text += text.empty() ? " " : ".";
    std::string letterText;
    if (call == 'h' || call == 's' || call == 'x' || call == 'z') {
      letterText = call;
    } else if (call == 'q') {
      letterText = "p";
    }
    const std::string number = IntToText(six + 1);
    if (LetterFirstCalls()) {
      text += letterText;
      text += number;
    } else {
      text += number;
      text += letterText;
    }
  }
  if (sixCount != settings.sixesPerCourse) {
    text += " (" + IntToText(sixCount) + " sixes)";
  }
  callingText = std::move(text);
  alignedCalling = aligned;
}

std::string Course::HeadingText() {
  std::string heading(1, ' ');
  layoutState.filler.clear();
  bool toggle = true;
  for (int six = 0; six < sixCount && static_cast<std::size_t>(six) < calls.size(); ++six) {
    if (calls[static_cast<std::size_t>(six)] == 'p') {
      continue;
    }
    if (six < 9) {
      heading += ' ';
    }
    heading += IntToText(six + 1) + ' ';
    languageState.settings.ExtendRuleLine("---");
    layoutState.filler += ' ';
    toggle = !toggle;
    if (toggle) {
      layoutState.filler += ' ';
    }
  }
  return heading;
}

std::string Block::CallingText() const {
  const std::string calling = children.empty() ? std::string() : children.front()->CallingText();
  // A block whose letter the multi-part rule cleared has no name left to define.
  if (letter == 0) {
    return calling;
  }
  std::string text = "( ) = ";
  text[1] = letter;
  return text.append(calling);
}
