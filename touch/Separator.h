#pragma once

#include "touch/Block.h"

// The element behind the rule token: draws a rule line in the printed touch and rings nothing.
// There is one, shared by every rule token (touch/ProcessState.h); it is closed from the start and
// never changes. Its Layout is defined in layout/TouchLayout.cpp.
class Separator final : public Block {
 public:
  Separator() : Block(0) { open = false; }

  bool IsSeparator() const override { return true; }
  void Layout(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
              bool top) override;
};
