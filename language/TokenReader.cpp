#include "language/TokenReader.h"

#include <string>

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
  if (pending != noPending) {
    const int c = pending;
    pending = noPending;
    return c;
  }
  if (ended) {
    return endOfInput;
  }
  const auto c = in.sbumpc();
  if (c == std::streambuf::traits_type::eof()) {
    ended = true;  // a terminal would deliver more after its end of input: it is never read again
    return endOfInput;
  }
  return c;
}

char TokenReader::GetChar() {
  const int c = Raw();
  return c == endOfInput ? '*' : static_cast<char>(c);
}

char TokenReader::SkipSeparators() {
  char c = ' ';
  while (IsSeparator(c)) {
    if (c == '{') {
      int inComment = Raw();
      while (inComment != '}' && inComment != endOfInput) {
        inComment = Raw();
      }
    }
    c = GetChar();
  }
  return c;
}

std::uint8_t TokenReader::ReadNumber(char firstDigit) {
  auto number = static_cast<std::uint8_t>(firstDigit - '0');
  for (;;) {
    const int c = Raw();
    if (!IsDigit(c)) {
      GiveBack(c);
      return number;
    }
    number = static_cast<std::uint8_t>(number * 10 + (c - '0'));  // modulo 256
  }
}

void TokenReader::ReadQuoted(Token& token, char delimiter) {
  token.text.clear();
  for (int c = Raw(); c != delimiter && c != endOfInput; c = Raw()) {
    token.text += static_cast<char>(c);
  }
}

void TokenReader::ReadToken(Token& token) {
  const char c = SkipSeparators();
  token.value = static_cast<std::uint8_t>(c);
  switch (c) {
    case '#': {
      token.type = TokenType::Bells;
      const char digit = SkipSeparators();
      if (IsDigit(digit)) {
        token.value = ReadNumber(digit);
      } else {
        token.type = TokenType::Error;
        token.value = static_cast<std::uint8_t>(digit);
      }
      return;
    }
    case '!': {
      token.type = TokenType::Start;
      const char first = SkipSeparators();
      char letter = first;
      if (IsDigit(first)) {
        token.value = static_cast<std::uint8_t>(ReadNumber(first) - 1);
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
      return;
    }
    case '<':
      token.type = TokenType::Header;
      return;
    case '~':
      token.type = TokenType::Method;
      token.value = static_cast<std::uint8_t>(GetChar());
      return;
    case '\'':
      token.type = TokenType::CallDefinition;
      ReadQuoted(token, '\'');
      return;
    case '"':
      token.type = TokenType::Title;
      ReadQuoted(token, '"');
      return;
    case '-': {
      token.type = TokenType::SixesPerCourse;
      const char digit = SkipSeparators();
      if (!IsDigit(digit)) {
        token.type = TokenType::Error;
        token.value = static_cast<std::uint8_t>(digit);
        return;
      }
      token.value = ReadNumber(digit);
      const int letter = Raw();
      if (IsLetter(letter)) {
        token.letter = static_cast<char>(letter);
      } else {
        GiveBack(letter);
        token.letter = ' ';
      }
      return;
    }
    case '(': {
      token.type = TokenType::Length;
      const char digit = SkipSeparators();
      if (!IsDigit(digit)) {
        token.type = TokenType::Error;
        token.value = static_cast<std::uint8_t>(digit);
        return;
      }
      const std::uint8_t number = ReadNumber(digit);
      const char close = SkipSeparators();
      if (close == ')') {
        token.value = number;
      } else {
        token.type = TokenType::Error;
        token.value = static_cast<std::uint8_t>(close);
      }
      return;
    }
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
    case 's': {
      const int next = Raw();
      if (IsDigit(next)) {
        token.type = TokenType::Call;
        token.value = ReadNumber(static_cast<char>(next));
        token.letter = 's';
        --languageState.callStyleBalance;
      } else {
        token.type = TokenType::Error;
        token.value = static_cast<std::uint8_t>(next == endOfInput ? '*' : next);
      }
      return;
    }
    default:
      break;
  }
  if (IsDigit(c)) {
    token.type = TokenType::Call;
    token.value = ReadNumber(c);
    const int letter = Raw();
    if (IsLetter(letter)) {
      token.letter = static_cast<char>(letter);
      ++languageState.callStyleBalance;
    } else {
      GiveBack(letter);
      token.letter = 'b';
    }
  } else if (IsLetter(c)) {
    token.type = TokenType::BlockLetter;
  } else {
    token.type = TokenType::Error;
  }
}

void ReportUnexpected(const Token& token, std::ostream& err) {
  err << "Unexpected Token ";
  token.Describe(err);
}

bool LetterFirstCalls() {
  return languageState.callStyleBalance < 0;
}
