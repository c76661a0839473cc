#include "language/TouchParser.h"

#include <memory>
#include <utility>

#include "diagnostics/Diagnostics.h"
#include "diagnostics/Quote.h"
#include "language/ProcessState.h"
#include "rows/ProcessState.h"
#include "touch/Block.h"
#include "touch/Course.h"
#include "touch/ProcessState.h"

namespace {

Block& NewBlock(char letter) {
  return *languageState.parsedBlocks.emplace_back(std::make_unique<Block>(letter));
}

void FinishLastChild(Block& block) {
  if (!block.children.empty()) {
    block.children.back()->Finish();
  }
}

// An Error token that is one character that starts no token.
bool IsStray(const Token& token) {
  switch (token.source.empty() ? '\0' : token.source.front()) {
    case 's':
    case '#':
    case '!':
    case '-':
    case '(':
      return false;
    default:
      return true;
  }
}

std::string Where(SourcePosition position) {
  return std::to_string(position.line) + ":" + std::to_string(position.column);
}

std::string BlockName(char letter) {
  return std::string("block ") + letter;
}

// The usual way of writing what a letter that names no block was probably meant to be.
std::string LetterHint(char letter) {
  switch (letter) {
    case 'b':
    case 'B':
      return "; a bob is written 5 or 5b, with no blank";
    case 'S':
      return "; a single is written s5 or 5s, lower case, with no blank";
    default:
      return "";
  }
}

}  // namespace

void TouchParser::Parse(Block& block, bool top) {
  ParseLevel({block, top, {}, top ? "the touch" : "this block"});
}

void TouchParser::Warn(SourcePosition where, std::string text) {
  if (diagnostics != nullptr) {
    diagnostics->Warn(where, std::move(text));
  }
}

SourcePosition TouchParser::FirstCallWithLetter(char letter) const {
  const auto found = callLetters.find(letter);
  return found == callLetters.end() ? SourcePosition{} : found->second;
}

void TouchParser::ParseLevel(const Level& level) {
  TouchSettings& settings = languageState.settings;
  Block& block = level.block;
  if (level.top) {
    settings.SetDefaults();
  }
  Token token;
  for (;;) {
    reader.ReadToken(token);
    const auto useBefore = std::exchange(useJustRead, std::nullopt);
    if (token.type == TokenType::Error && IsStray(token)) {
      NoteStray(token);
      continue;
    }
    WarnStrayRun();
    switch (token.type) {
      case TokenType::Error:
        WarnDropped(token);
        break;
      case TokenType::Bells:
        if (touchBegun && token.SignedValue() != rowsState.bellCount) {
          Warn(token.where,
               "the number of bells changes after the touch has begun: the calls "
               "before it were read for " +
                   std::to_string(rowsState.bellCount) +
                   " bells; the number of bells is written once, at the start");
        }
        settings.ApplyBellCount(token.SignedValue());
        break;
      case TokenType::Start:
        if (settings.SetStart(token.SignedValue(), token.letter)) {
          startAt = token.where;
        } else {
          ReportUnexpected(token, err);  // no row of a six
          Warn(token.where, Quote(token.source) +
                                " names no row of a six: a start is !1Q to !6Q or !1S to !6S "
                                "(rounds as that row of a quick or a slow six), or !7Q to !12Q "
                                "(as a row of the slow six that begins the first course); the "
                                "start stays as it was");
        }
        break;
      case TokenType::Header:
        if (settings.headerBlock != nullptr) {
          ReportUnexpected(token, err);
          Warn(token.where,
               "a second header: only the first sets the columns, so this < is dropped, the calls "
               "after it are read as calls of " +
                   level.name + ", and its > ends " + level.name);
        } else {
          Block& header = NewBlock(0);
          settings.headerBlock = &header;
          ParseLevel({header, false, token.where, "the header"});
        }
        break;
      case TokenType::Method:
        if (const char method = static_cast<char>(token.value);
            method != 'e' && method != 'E' && method != 's' && method != 'S') {
          Warn(token.where, Quote(token.source) +
                                " names no method: ~e is Erin and ~s Stedman; it is read as "
                                "Stedman");
        }
        settings.SelectMethod(static_cast<char>(token.value));
        break;
      case TokenType::Call:
        touchBegun = true;
        NoteCall(token);
        (void)block.AddCall(token);
        NoteCourses(block, token);
        break;
      case TokenType::CallDefinition:
        if (const std::string_view text =
                std::string_view(token.text).substr(0, token.text.find('\0'));
            text.size() < 2 || text[1] != ':') {
          Warn(token.where, Quote("'" + token.text + "'") +
                                " defines no call: a call definition is the call letter, a colon "
                                "and place notation, such as 'b:3.1'; it is dropped");
        }
        rowsState.callTable.DefineCall(token.text);
        break;
      case TokenType::BlockLetter:
        if (!BlockLetter(level, token)) {
          EndLevel(level, token);
          block.Finish();
          return;
        }
        break;
      case TokenType::SixesPerCourse:
        if (token.letter != ' ') {
          Warn(token.where, std::string("the letter ") + token.letter + " right after " +
                                Quote(token.source.substr(0, token.source.size() - 1)) +
                                " belongs to it and has no effect; to ring block " + token.letter +
                                ", write a blank between them");
        }
        settings.SetSixesPerCourse(token.SignedValue());
        break;
      case TokenType::Length:
        touchBegun = true;
        WarnLengthShorterThanCalls(block, token);
        (void)block.SetLength(token.SignedValue());
        NoteCourses(block, token);
        break;
      case TokenType::Open: {
        std::string what = "this [ follows no letter of a new block, so it ends " + level.name;
        if (useBefore) {
          const char letter = useBefore->first;
          what = Quote(std::string(1, letter) + "[") +
                 " defines no new block: " + BlockName(letter) + " is already defined (at " +
                 Where(definedAt[letter]) + "), so " + std::string(1, letter) +
                 " rings it again and this [ ends " + level.name +
                 "; a new block needs a letter of its own";
        }
        if (level.top) {
          // Said with what is not read after it; a second definition is said in any case.
          earlyEnd = EarlyEnd{token.where, std::move(what), useBefore.has_value()};
        } else {
          Warn(token.where, std::move(what));
        }
        block.Finish();
        return;
      }
      case TokenType::Close:
      case TokenType::End:
        EndLevel(level, token);
        block.Finish();
        return;
      case TokenType::Title:
        block.captions.push_back(token.text);
        break;
      case TokenType::Rule:
        FinishLastChild(block);
        block.AppendChild(*touchState.separator);
        break;
    }
  }
}

void TouchParser::EndLevel(const Level& level, const Token& token) {
  if (level.top) {
    if (token.type == TokenType::Close) {
      earlyEnd = EarlyEnd{token.where, Quote(token.source) +
                                           " at the top level ends the touch: no block is open "
                                           "here"};
    } else if (!reader.EndWasInput()) {
      earlyEnd = EarlyEnd{token.where, "* ends the touch"};
    }
    return;
  }
  if (token.type != TokenType::End) {
    return;
  }
  if (reader.EndWasInput()) {
    Warn(level.opened, level.name + " is still open at the end of the file: its closing " +
                           (level.name == "the header" ? ">" : "]") +
                           " is missing, so everything after it belongs to it");
  } else {
    Warn(token.where, "* ends " + level.name +
                          " here, not the touch: what follows it is read at the level around it");
  }
}

bool TouchParser::BlockLetter(const Level& level, Token& token) {
  Block& block = level.block;
  FinishLastChild(block);
  const char letter = static_cast<char>(token.value);
  if (Block* found = languageState.blockTable.Find(letter)) {
    if (found->IsOpen()) {
      // Its definition is still being read: using it here would make the touch contain itself.
      ReportUnexpected(token, err);
      Warn(token.where, BlockName(letter) +
                            " is used inside its own definition: a block cannot hold itself, so "
                            "this use is dropped");
    } else {
      block.AppendChild(*found);
      useJustRead = {letter, token.where};
    }
    return true;
  }
  const SourcePosition letterAt = token.where;
  reader.ReadToken(token);
  if (token.type == TokenType::Open) {
    definedAt[letter] = letterAt;
    Block& defined = NewBlock(letter);
    ParseLevel({defined, false, letterAt, BlockName(letter)});
    block.AppendChild(defined);
    return true;
  }
  ReportUnexpected(token, err);
  const std::string after = token.type == TokenType::End && reader.EndWasInput()
                                ? "at the end of the file"
                                : "and the " + Quote(token.source) + " after it are dropped";
  Warn(letterAt, std::string(1, letter) + " names no block: a block is defined with " + letter +
                     "[ … ] before its first use; " + letter + " " + after + LetterHint(letter));
  return token.type != TokenType::End;
}

void TouchParser::WarnDropped(const Token& token) {
  const std::string dropped = Quote(token.source) + " is dropped";
  std::string text;
  switch (token.source.empty() ? '\0' : token.source.front()) {
    case 's':
      text = "s is not followed by the number of its six: " + dropped +
             "; a single is written s5 or 5s, with no blank, and a number alone is a bob";
      break;
    case '#':
      text = "# is not followed by a number: " + dropped + "; the number of bells is written #7";
      break;
    case '!':
      text = Quote(token.source) + " is no start: " + dropped +
             "; a start is ! with a row number and Q, S or P, such as !4Q or !3S";
      break;
    case '-':
      text =
          "- is not followed by a number: " + dropped + "; the sixes of a course are written -14";
      break;
    case '(':
      if (token.written >= 0) {
        text = reader.InputEnded() && token.value == '*'
                   ? "this length is still open at the end of the file: its ) is missing, and it "
                     "is dropped"
                   : "this length is not closed by ): " + dropped;
      } else {
        text = "( is not followed by a number: " + dropped + "; a length is written (14)";
      }
      break;
    default:
      text = Quote(token.source) + " is no token of the touch language: it is dropped";
      break;
  }
  Warn(token.where, std::move(text));
}

void TouchParser::NoteStray(const Token& token) {
  if (stray.count == 0) {
    stray.where = token.where;
  }
  ++stray.count;
  if (stray.text.size() < Token::maxSource) {
    stray.text += token.source;
  }
}

void TouchParser::WarnStrayRun() {
  if (stray.count == 0) {
    return;
  }
  Warn(stray.where,
       Quote(stray.text) + (stray.count == 1
                                ? std::string(" is no token of the touch language: it is "
                                              "dropped")
                                : " is no token of the touch language: these " +
                                      std::to_string(stray.count) + " characters are dropped"));
  stray = StrayRun();
}

void TouchParser::WarnLengthShorterThanCalls(const Block& block, const Token& token) {
  const int sixes = token.SignedValue();
  if (!block.IsOpen() || block.children.empty() || sixes < 0) {
    return;
  }
  const auto* course = dynamic_cast<const Course*>(block.children.back());
  if (course == nullptr || !course->IsOpen() ||
      course->calls.size() <= static_cast<std::size_t>(sixes)) {
    return;
  }
  Warn(token.where,
       "the length " + Quote(token.source) +
           " is shorter than the calls before it in this course (the last at six " +
           std::to_string(course->calls.size()) + "): that course keeps its " +
           std::to_string(std::max<std::size_t>(
               static_cast<std::size_t>(std::max(course->sixCount, 0)), course->calls.size())) +
           " sixes, and " + Quote(token.source) + " starts a new course of " +
           std::to_string(sixes) + " plain sixes");
}

void TouchParser::NoteCourses(Block& block, const Token& token) {
  // The courses the token made: at the end of the children, still without a place.
  for (auto child = block.children.rbegin(); child != block.children.rend(); ++child) {
    auto* course = dynamic_cast<Course*>(*child);
    if (course == nullptr || course->where.Known()) {
      break;
    }
    course->where = token.where;
  }
}

void TouchParser::NoteCall(const Token& token) {
  if (token.letter != 'b' && token.letter != 's' && token.letter != 'p') {
    callLetters.try_emplace(token.letter, token.where);
  }
  if (token.written == 0) {
    Warn(token.where,
         "there is no six 0: this call goes to the six after the last one called in its course");
  }
}
