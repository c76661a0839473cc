#pragma once

// Helpers shared by the unit tests: making tokens, catching the message of an error, reading
// place notation, and repeating text.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "language/Token.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "layout/LineList.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "rows/Row.h"
#include "touch/Block.h"

namespace test {

// A call token for six, as the token reader makes it from "6", "6b" or "s6".
inline Token Call(int six, char letter = 'b') {
  Token token;
  token.type = TokenType::Call;
  token.value = static_cast<std::uint8_t>(six);
  token.letter = letter;
  return token;
}

// A row from bell symbols, "2135476", to state an expected row. A character that is not a symbol
// of a bell leaves its position at rounds.
inline Row RowOf(std::string_view symbols) {
  Row row;
  const int count = std::min<int>(static_cast<int>(symbols.size()), maxBells);
  for (int place = 0; place < count; ++place) {
    const std::size_t bell = rowsState.bellSymbols.find(symbols[place]);
    if (bell != std::string::npos && bell < maxBells) {
      row.SetBell(place, static_cast<std::int8_t>(bell));
    }
  }
  return row;
}

// The message of the error that action raises, or "" when it raises none.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "";
}

// The code of one whole change of place notation.
inline char CodeOf(std::string_view notation) {
  std::size_t cursor = 0;
  return ParseChange(notation, cursor);
}

// A whole touch description read into a new top-level block, as a run reads it (the caller resets
// the process state first when it needs the start values); reports of tokens out of place go to
// err.
inline std::unique_ptr<Block> ParseTouch(const std::string& text, std::ostream& err) {
  std::istringstream in(text);
  TokenReader reader(in);
  auto top = std::make_unique<Block>(0);
  TouchParser(reader, err).Parse(*top, true);
  return top;
}

// The printed touch of a parsed top-level block, laid out from rounds as the driver lays out a
// touch without repeated rows, whatever the proof would say.
inline std::vector<std::string> LayOutTouch(Block& top) {
  LineList lines;
  Row row;
  top.Layout(lines, row, 0, nullptr, true);
  return lines.TakeTexts();
}

inline std::string Repeated(std::string_view text, int times) {
  std::string result;
  for (int time = 0; time < times; ++time) {
    result += text;
  }
  return result;
}

}  // namespace test
