#pragma once

// touch/ProcessState.h: the one separator of the system, appended for every rule token. The reset
// makes it anew, with the blocks that point to it.

#include <memory>

#include "touch/Separator.h"

struct TouchState {
  std::unique_ptr<Separator> separator = std::make_unique<Separator>();
};
inline TouchState touchState;  // its default value is the start value
