#pragma once

#include <map>

class Block;

// Block letter to block, in ascending letter order. Refers to blocks, never owns them.
class BlockTable {
 public:
  [[nodiscard]] Block* Find(char letter) const;
  void Enter(char letter, Block& block) { blocks.insert_or_assign(letter, &block); }
  [[nodiscard]] const std::map<char, Block*>& Entries() const { return blocks; }

 private:
  std::map<char, Block*> blocks;
};
