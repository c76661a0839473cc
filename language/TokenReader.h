#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "diagnostics/SourcePosition.h"
#include "language/Token.h"

class Diagnostics;

// Turns the characters of a touch description into tokens, one at a time. The end of input reads
// as the end token "*" everywhere, on every later read too. Never raises: malformed input becomes
// Error tokens. Every token knows where it begins and the characters it took.
//
// Given diagnostics, it warns of what it alone can see: a number of 128 or more (read as negative)
// or of 256 or more (wrapped), and a comment or quoted text still open at the end of the input.
class TokenReader {
 public:
  explicit TokenReader(std::istream& in, Diagnostics* diagnostics = nullptr)
      : in(*in.rdbuf()), diagnostics(diagnostics) {}

  void ReadToken(Token& token);

  // True when the last End token was the end of the input, not a written "*".
  [[nodiscard]] bool EndWasInput() const { return endWasInput; }
  // True when the input has ended and nothing read is waiting to be read again.
  [[nodiscard]] bool InputEnded() const { return ended && pending == noPending; }
  // Skips separators and comments after the touch has ended; answers where the next character
  // that is neither stands, or a position that is not Known() when the input ends first. Reads at
  // most maxBytes characters: an input that goes on with blanks for ever is not read for ever.
  [[nodiscard]] SourcePosition FindMoreInput(std::int64_t maxBytes);

  static bool IsDigit(int c) { return c >= '0' && c <= '9'; }
  static bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool IsSeparator(int c);

 private:
  static constexpr int endOfInput = -1;
  static constexpr int noPending = -2;

  int Raw();  // the next byte, or endOfInput
  void GiveBack(int c);
  char GetChar();         // the next byte, "*" at the end of input
  char SkipSeparators();  // the first character that is not a separator or in a comment
  std::uint8_t ReadNumber(char firstDigit, Token& token);

  // One reader for each kind of token that reads more than its first character; each sets the
  // token's type and the fields of that type.
  void ReadBells(Token& token);
  void ReadStart(Token& token);
  void ReadMethod(Token& token);
  void ReadQuoted(Token& token, TokenType type, char delimiter);
  void ReadSixesPerCourse(Token& token);
  void ReadLength(Token& token);
  void ReadLetterFirstCall(Token& token);  // "s" and what follows it
  void ReadNumberFirstCall(Token& token, char firstDigit);
  // A token that is its first character alone: punctuation, a block letter, or an Error.
  static void ReadSingleCharacter(Token& token, char c);

  std::streambuf& in;
  Diagnostics* diagnostics;
  int pending = noPending;         // a character given back (possibly endOfInput)
  bool ended = false;              // the input has reported its end once
  bool endWasInput = false;        // the last End token came from the end of input
  SourcePosition next{1, 1};       // where the next character read from the input stands
  SourcePosition last{1, 1};       // where the character read last stands
  SourcePosition pendingAt;        // where the given-back character stands
  std::string* capture = nullptr;  // while a token is read: its text, up to Token::maxSource
  bool lastCaptured = false;       // the character read last went into capture
};

// "Unexpected Token " and the token's description, on the error stream; parsing goes on.
void ReportUnexpected(const Token& token, std::ostream& err);

// True when more calls were written letter first ("s5") than number first ("5s").
bool LetterFirstCalls();
