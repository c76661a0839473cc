#include "language/TokenReader.h"

#include <limits>
#include <string>
#include <utility>

#include "diagnostics/Diagnostics.h"
#include "language/ProcessState.h"

namespace {

void WriteSigned(std::ostream& out, std::uint8_t value) {
  out << std::to_string(static_cast<std::int8_t>(value));
}

}  // namespace

void Token::Describe(std::ostream& out) const {
  switch (type) {
    case TokenType::Bells:
      WriteSigned(out, value);
      out << " Bells\n";
      break;
    case TokenType::Start:
      out << (SignedValue() >= 6 ? "Start Slow " : "Start Quick ");
      WriteSigned(out, value);
      out << '\n';
      break;
    case TokenType::Call:
      WriteSigned(out, value);
      out << letter << '\n';
      break;
    case TokenType::BlockLetter:
      out << "Block " << static_cast<char>(value) << '\n';
      break;
    case TokenType::Length:
      out << "Length ";
      WriteSigned(out, value);
      out << '\n';
      break;
    case TokenType::Open:
      out << "Open\n";
      break;
    case TokenType::Close:
      out << "Close\n";
      break;
    case TokenType::End:
      out << "End\n";
      break;
    case TokenType::Error:
      out << "Error" << static_cast<char>(value) << '\n';
      break;
    case TokenType::Header:
    case TokenType::Method:
    case TokenType::CallDefinition:
    case TokenType::SixesPerCourse:
    case TokenType::Title:
    case TokenType::Rule:
      break;
  }
}

bool TokenReader::IsSeparator(int c) {
  switch (c) {
    case ' ':
    case '.':
    case ',':
    case ';':
    case '\n':
    case '\t':
    case '\r':
    case '{':
    case '}':
      return true;
    default:
      return false;
  }
}

int TokenReader::Raw() {
  int c = endOfInput;
  if (pending != noPending) {
    c = pending;
    pending = noPending;
    last = pendingAt;
  } else {
    if (!ended) {
      const auto read = in.sbumpc();
      if (read == std::streambuf::traits_type::eof()) {
        ended = true;  // a terminal would deliver more after its end: it is never read again
      } else {
        c = read;
      }
    }
    last = next;
  }
  lastCaptured = false;
  if (c == endOfInput) {
    return c;
  }
  next = c == '\n' ? SourcePosition{last.line + 1, 1} : SourcePosition{last.line, last.column + 1};
  if (capture != nullptr && capture->size() < Token::maxSource) {
    *capture += static_cast<char>(c);
    lastCaptured = true;
  }
  return c;
}

void TokenReader::GiveBack(int c) {
  pending = c;
  pendingAt = last;
  next = last;
  if (lastCaptured) {
    capture->pop_back();
    lastCaptured = false;
  }
}

char TokenReader::GetChar() {
  const int c = Raw();
  return c == endOfInput ? '*' : static_cast<char>(c);
}

char TokenReader::SkipSeparators() {
  char c = ' ';
  while (IsSeparator(c)) {
    if (c == '{') {
      const SourcePosition opened = last;
      int inComment = Raw();
      while (inComment != '}' && inComment != endOfInput) {
        inComment = Raw();
      }
      if (inComment == endOfInput && diagnostics != nullptr) {
        diagnostics->Warn(opened,
                          "this comment is not closed: the rest of the file is read as a comment; "
                          "a comment ends with }");
      }
    }
    c = GetChar();
  }
  return c;
}

std::uint8_t TokenReader::ReadNumber(char firstDigit, Token& token) {
  auto number = static_cast<std::uint8_t>(firstDigit - '0');
  std::int64_t written = firstDigit - '0';
  constexpr std::int64_t longest = (std::numeric_limits<std::int64_t>::max() - 9) / 10;
  for (;;) {
    const int c = Raw();
    if (!IsDigit(c)) {
      GiveBack(c);
      token.written = written;
      token.numberRead = static_cast<std::int8_t>(number);
      return number;
    }
    number = static_cast<std::uint8_t>(number * 10 + (c - '0'));  // modulo 256
    written = written > longest ? Token::tooLong : written * 10 + (c - '0');
  }
}

void TokenReader::ReadBells(Token& token) {
  token.type = TokenType::Bells;
  const char digit = SkipSeparators();
  if (IsDigit(digit)) {
    token.value = ReadNumber(digit, token);
  } else {
    token.type = TokenType::Error;
    token.value = static_cast<std::uint8_t>(digit);
  }
}

void TokenReader::ReadStart(Token& token) {
  token.type = TokenType::Start;
  const char first = SkipSeparators();
  char letter = first;
  if (IsDigit(first)) {
    token.value = static_cast<std::uint8_t>(ReadNumber(first, token) - 1);
    letter = GetChar();
  } else {
    token.value = 5;
  }
  switch (letter) {
    case 'S':
    case 's':
      token.value = static_cast<std::uint8_t>(token.value + 6);
      [[fallthrough]];
    case 'P':
    case 'p':
    case 'Q':
    case 'q':
      token.letter = letter;
      break;
    default:
      token.type = TokenType::Error;
      token.value = static_cast<std::uint8_t>(first);
      break;
  }
}

void TokenReader::ReadMethod(Token& token) {
  token.type = TokenType::Method;
  token.value = static_cast<std::uint8_t>(GetChar());
}

void TokenReader::ReadQuoted(Token& token, TokenType type, char delimiter) {
  token.type = type;
  token.text.clear();
  // The text is not captured twice: the token's source is its opening delimiter.
  std::string* const source = std::exchange(capture, nullptr);
  int c = Raw();
  for (; c != delimiter && c != endOfInput; c = Raw()) {
    token.text += static_cast<char>(c);
  }
  capture = source;
  if (c == endOfInput && diagnostics != nullptr) {
    diagnostics->Warn(
        token.where, std::string(type == TokenType::Title ? "this title" : "this call definition") +
                         " is not closed: the rest of the file is read as its text; it ends with " +
                         delimiter);
  }
}

void TokenReader::ReadSixesPerCourse(Token& token) {
  token.type = TokenType::SixesPerCourse;
  const char digit = SkipSeparators();
  if (!IsDigit(digit)) {
    token.type = TokenType::Error;
    token.value = static_cast<std::uint8_t>(digit);
    return;
  }
  token.value = ReadNumber(digit, token);
  const int letter = Raw();
  if (IsLetter(letter)) {
    token.letter = static_cast<char>(letter);
  } else {
    GiveBack(letter);
    token.letter = ' ';
  }
}

void TokenReader::ReadLength(Token& token) {
  token.type = TokenType::Length;
  const char digit = SkipSeparators();
  if (!IsDigit(digit)) {
    token.type = TokenType::Error;
    token.value = static_cast<std::uint8_t>(digit);
    return;
  }
  const std::uint8_t number = ReadNumber(digit, token);
  const char close = SkipSeparators();
  if (close == ')') {
    token.value = number;
  } else {
    token.type = TokenType::Error;
    token.value = static_cast<std::uint8_t>(close);
  }
}

void TokenReader::ReadLetterFirstCall(Token& token) {
  const int next = Raw();
  if (IsDigit(next)) {
    token.type = TokenType::Call;
    token.value = ReadNumber(static_cast<char>(next), token);
    token.letter = 's';
    --languageState.callStyleBalance;
  } else {
    token.type = TokenType::Error;
    token.value = static_cast<std::uint8_t>(next == endOfInput ? '*' : next);
  }
}

void TokenReader::ReadNumberFirstCall(Token& token, char firstDigit) {
  token.type = TokenType::Call;
  token.value = ReadNumber(firstDigit, token);
  const int letter = Raw();
  if (IsLetter(letter)) {
    token.letter = static_cast<char>(letter);
    ++languageState.callStyleBalance;
  } else {
    GiveBack(letter);
    token.letter = 'b';
  }
}

void TokenReader::ReadSingleCharacter(Token& token, char c) {
  switch (c) {
    case '<':
      token.type = TokenType::Header;
      return;
    case '[':
      token.type = TokenType::Open;
      return;
    case ']':
    case '>':
      token.type = TokenType::Close;
      return;
    case '_':
      token.type = TokenType::Rule;
      return;
    case '*':
      token.type = TokenType::End;
      return;
    default:
      token.type = IsLetter(c) ? TokenType::BlockLetter : TokenType::Error;
      return;
  }
}

void TokenReader::ReadToken(Token& token) {
  const char c = SkipSeparators();
  token.where = last;
  token.source.assign(1, c);
  token.written = -1;
  token.value = static_cast<std::uint8_t>(c);
  const bool atEnd = InputEnded();
  capture = &token.source;
  switch (c) {
    case '#':
      ReadBells(token);
      break;
    case '!':
      ReadStart(token);
      break;
    case '~':
      ReadMethod(token);
      break;
    case '\'':
      ReadQuoted(token, TokenType::CallDefinition, '\'');
      break;
    case '"':
      ReadQuoted(token, TokenType::Title, '"');
      break;
    case '-':
      ReadSixesPerCourse(token);
      break;
    case '(':
      ReadLength(token);
      break;
    case 's':
      ReadLetterFirstCall(token);
      break;
    default:
      if (IsDigit(c)) {
        ReadNumberFirstCall(token, c);
      } else {
        ReadSingleCharacter(token, c);
      }
      break;
  }
  capture = nullptr;
  if (token.type == TokenType::End) {
    endWasInput = atEnd;
    if (atEnd) {
      token.source.clear();  // no character was written
    }
  }
  if (token.written >= 128 && token.type != TokenType::Error && diagnostics != nullptr) {
    diagnostics->Warn(
        token.where,
        (token.written == Token::tooLong ? std::string("this long number")
                                         : "the number " + std::to_string(token.written)) +
            " is read as " + std::to_string(token.numberRead) +
            (token.written >= 256 ? ": numbers are taken modulo 256"
                                  : ": numbers of 128 to 255 are read as negative"));
  }
}

SourcePosition TokenReader::FindMoreInput(std::int64_t maxBytes) {
  bool inComment = false;
  for (std::int64_t read = 0; read < maxBytes; ++read) {
    const int c = Raw();
    if (c == endOfInput) {
      return {};
    }
    if (inComment) {
      inComment = c != '}';
    } else if (c == '{') {
      inComment = true;
    } else if (!IsSeparator(c)) {
      return last;
    }
  }
  return {};
}

void ReportUnexpected(const Token& token, std::ostream& err) {
  err << "Unexpected Token ";
  token.Describe(err);
}

bool LetterFirstCalls() {
  return languageState.callStyleBalance < 0;
}
