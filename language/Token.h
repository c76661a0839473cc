#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "diagnostics/SourcePosition.h"

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

  // Where the token begins, and the characters it took as written (separators and comments inside
  // it included), cut at maxSource characters: what a warning shows of it.
  static constexpr std::size_t maxSource = 40;
  SourcePosition where;
  std::string source;
  // The number of a Bells, Start, Call, SixesPerCourse or Length token as written, before it is
  // taken modulo 256 (tooLong when it has more digits than a 64-bit count holds), and as read:
  // modulo 256, signed. written is -1 when the token has no number.
  static constexpr std::int64_t tooLong = INT64_MAX;
  std::int64_t written = -1;
  std::int8_t numberRead = 0;

  // Numbers are 8-bit: 128 to 255 stand for -128 to -1.
  [[nodiscard]] std::int8_t SignedValue() const { return static_cast<std::int8_t>(value); }

  // The one-line description printed after "Unexpected Token "; some types describe as nothing.
  void Describe(std::ostream& out) const;
};
