#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "diagnostics/SourcePosition.h"
#include "language/TokenReader.h"

class Block;
class Diagnostics;

// Reads the token stream into the element tree and the settings: one level per block, the top
// level filling the block the driver made. Tokens out of place are reported on err and dropped.
//
// Given diagnostics, it also warns wherever what it did is probably not what was meant: a token
// dropped, a token out of place and what it means, a block or header still open at the end of the
// input, a "*" that ends a block, a length shorter than the calls before it, and more.
class TouchParser {
 public:
  TouchParser(TokenReader& reader, std::ostream& err, Diagnostics* diagnostics = nullptr)
      : reader(reader), err(err), diagnostics(diagnostics) {}

  // Reads tokens into block until its level ends; the top level first puts the defaults in place.
  void Parse(Block& block, bool top);

  // How the top level ended when it was not the end of the input: the token that ended it, and
  // what that means, for the warning that the rest of the file is not read.
  struct EarlyEnd {
    SourcePosition where;
    std::string what;     // "`]` at the top level ends the touch", ...
    bool always = false;  // a slip whatever follows, not only when more of the file follows
  };
  [[nodiscard]] const std::optional<EarlyEnd>& TouchEndedEarly() const { return earlyEnd; }

  // Where a call with this letter was first written, for a letter other than b, s and p.
  [[nodiscard]] SourcePosition FirstCallWithLetter(char letter) const;
  // Gives the warnings still held back (a run of stray characters that an error cut short).
  void FlushWarnings() { WarnStrayRun(); }
  // Where the start was written, when it was.
  [[nodiscard]] SourcePosition StartWrittenAt() const { return startAt; }

 private:
  // What a level of parsing is: the block it fills, and where and how it was opened.
  struct Level {
    Block& block;
    bool top;
    SourcePosition opened;  // the letter of a definition, or the "<" of the header
    std::string name;       // "block A", "the header"
  };
  void ParseLevel(const Level& level);
  // Answers false when the level ends.
  bool BlockLetter(const Level& level, Token& token);
  // The level has read the token that ends it.
  void EndLevel(const Level& level, const Token& token);

  void Warn(SourcePosition where, std::string text);
  // Characters that start no token come in runs (a file of garbage): one warning for each run of
  // them with nothing but separators between.
  void NoteStray(const Token& token);
  void WarnStrayRun();
  void WarnDropped(const Token& token);
  void WarnLengthShorterThanCalls(const Block& block, const Token& token);
  void NoteCourses(Block& block, const Token& token);
  void NoteCall(const Token& token);

  TokenReader& reader;
  std::ostream& err;
  Diagnostics* diagnostics;

  std::optional<EarlyEnd> earlyEnd;
  std::map<char, SourcePosition> definedAt;    // where each block was defined
  std::map<char, SourcePosition> callLetters;  // where each unusual call letter was first written
  SourcePosition startAt;
  // The letter of a defined block whose use was the token read last, and where it stood: a "["
  // right after it is a second definition.
  std::optional<std::pair<char, SourcePosition>> useJustRead;
  bool touchBegun = false;  // a call or a length has been read
  struct StrayRun {
    SourcePosition where;
    std::string text;
    std::int64_t count = 0;
  };
  StrayRun stray;
};
