#pragma once

// layout/ProcessState.h: what the layout carries from one printed line to the next.

#include <string>

#include "rows/Row.h"

class Block;

struct LayoutState {
  Row lastRow;  // the row of the last row-bearing line: back bells that stay are blanked against it
  std::string filler = "   ";  // between a row and a block reference, until the heading rebuilds it
  bool ruleEmitted = false;    // the last line written is the rule line
  // The block whose repeat reference is the last line, and the count that line shows.
  const Block* countedBlock = nullptr;
  int count = 0;
};
inline LayoutState layoutState;  // its default value is the start value
