#pragma once

#include <ostream>

#include "language/TokenReader.h"

class Block;

// Reads the token stream into the element tree and the settings: one level per block, the top
// level filling the block the driver made. Tokens out of place are reported on err and dropped.
class TouchParser {
 public:
  TouchParser(TokenReader& reader, std::ostream& err) : reader(reader), err(err) {}

  // Reads tokens into block until its level ends; the top level first puts the defaults in place.
  void Parse(Block& block, bool top);

 private:
  // Answers false when the level ends.
  bool BlockLetter(Block& block, Token& token);

  TokenReader& reader;
  std::ostream& err;
};
