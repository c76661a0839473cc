#pragma once

// language/ProcessState.h: the settings a touch changes, its block table, the blocks the parser
// makes, and the call-style balance of the token reader.

#include <cstdint>
#include <memory>
#include <vector>

#include "language/BlockTable.h"
#include "language/TouchSettings.h"
#include "touch/Block.h"

struct LanguageState {
  TouchSettings settings;
  BlockTable blockTable;
  // Owns the named blocks and the header block; the tree and the block table only point to them.
  std::vector<std::unique_ptr<Block>> parsedBlocks;
  // Up for each call written number first ("5s"), down for each written letter first ("s5").
  std::int64_t callStyleBalance = 0;
};
inline LanguageState languageState;  // its default value is the start value
