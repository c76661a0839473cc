#include "language/BlockTable.h"

Block* BlockTable::Find(char letter) const {
  const auto found = blocks.find(letter);
  return found == blocks.end() ? nullptr : found->second;
}
