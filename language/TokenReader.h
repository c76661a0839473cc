#pragma once

#include <istream>
#include <ostream>

#include "language/Token.h"

// Turns the characters of a touch description into tokens, one at a time. The end of input reads
// as the end token "*" everywhere, on every later read too. Never raises: malformed input becomes
// Error tokens.
class TokenReader {
 public:
  explicit TokenReader(std::istream& in) : in(*in.rdbuf()) {}

  void ReadToken(Token& token);

  static bool IsDigit(int c) { return c >= '0' && c <= '9'; }
  static bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool IsSeparator(int c);

 private:
  static constexpr int endOfInput = -1;
  static constexpr int noPending = -2;

  int Raw();  // the next byte, or endOfInput
  void GiveBack(int c) { pending = c; }
  char GetChar();         // the next byte, "*" at the end of input
  char SkipSeparators();  // the first character that is not a separator or in a comment
  std::uint8_t ReadNumber(char firstDigit);
  void ReadQuoted(Token& token, char delimiter);

  std::streambuf& in;
  int pending = noPending;  // a character given back (possibly endOfInput)
  bool ended = false;       // the input has reported its end once
};

// "Unexpected Token " and the token's description, on the error stream; parsing goes on.
void ReportUnexpected(const Token& token, std::ostream& err);

// True when more calls were written letter first ("s5") than number first ("5s").
bool LetterFirstCalls();
