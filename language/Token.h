#pragma once

#include <cstdint>
#include <ostream>
#include <string>

enum class TokenType {
  Bells,
  Start,
  Header,
  Method,
  Call,
  CallDefinition,
  BlockLetter,
  SixesPerCourse,
  Length,
  Open,
  Close,
  Title,
  Rule,
  End,
  Error,
};

// One token of the touch language. A token sets only the fields its type names; the others keep
// what an earlier token left, and no consumer reads them.
struct Token {
  char letter = ' ';  // Call, Start, SixesPerCourse
  TokenType type = TokenType::End;
  std::string text;        // Title, CallDefinition: the characters between the delimiters
  std::uint8_t value = 0;  // a number (digits accumulate modulo 256) or a character

  // Numbers are 8-bit: 128 to 255 stand for -128 to -1.
  [[nodiscard]] std::int8_t SignedValue() const { return static_cast<std::int8_t>(value); }

  // The one-line description printed after "Unexpected Token "; some types describe as nothing.
  void Describe(std::ostream& out) const;
};
