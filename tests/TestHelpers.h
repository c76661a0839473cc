#pragma once

// Helpers shared by the unit tests: making tokens, catching the message of an error, reading
// place notation, and repeating text.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "language/Token.h"
#include "rows/ChangeTable.h"

namespace test {

// A call token for six, as the token reader makes it from "6", "6b" or "s6".
inline Token Call(int six, char letter = 'b') {
  Token token;
  token.type = TokenType::Call;
  token.value = static_cast<std::uint8_t>(six);
  token.letter = letter;
  return token;
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

inline std::string Repeated(std::string_view text, int times) {
  std::string result;
  for (int time = 0; time < times; ++time) {
    result += text;
  }
  return result;
}

}  // namespace test
