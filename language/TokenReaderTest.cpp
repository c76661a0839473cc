#include "language/TokenReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/Diagnostics.h"
#include "driver/ProcessState.h"
#include "language/ProcessState.h"

namespace {

// The fields a token type sets, in one line: "Call 3 b", "Error [ ]", "Title [Example]".
// Numbers are shown as the unsigned byte the reader stores.
std::string Show(const Token& token) {
  const std::string value = std::to_string(token.value);
  std::string character = "[";
  character += static_cast<char>(token.value);
  character += ']';
  switch (token.type) {
    case TokenType::Bells:
      return "Bells " + value;
    case TokenType::Start:
      return "Start " + value + " " + token.letter;
    case TokenType::Header:
      return "Header";
    case TokenType::Method:
      return "Method " + character;
    case TokenType::Call:
      return "Call " + value + " " + token.letter;
    case TokenType::CallDefinition:
      return "CallDefinition [" + token.text + "]";
    case TokenType::BlockLetter:
      return "BlockLetter " + character;
    case TokenType::SixesPerCourse:
      return "SixesPerCourse " + value + " [" + token.letter + "]";
    case TokenType::Length:
      return "Length " + value;
    case TokenType::Open:
      return "Open";
    case TokenType::Close:
      return "Close";
    case TokenType::Title:
      return "Title [" + token.text + "]";
    case TokenType::Rule:
      return "Rule";
    case TokenType::End:
      return "End";
    case TokenType::Error:
      return "Error " + character;
  }
  return "?";
}

// Every token up to the first End, read into one reused token as the parser does.
std::vector<std::string> ReadAll(const std::string& input) {
  std::istringstream in(input);
  TokenReader reader(in);
  Token token;
  std::vector<std::string> shown;
  do {
    reader.ReadToken(token);
    shown.push_back(Show(token));
  } while (token.type != TokenType::End && shown.size() < 100);
  return shown;
}

// The first token of the input.
Token FirstToken(const std::string& input) {
  std::istringstream in(input);
  TokenReader reader(in);
  Token token;
  reader.ReadToken(token);
  return token;
}

struct TokenCase {
  const char* input;
  std::vector<std::string> tokens;  // up to and including the first End
};

class TokenReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  static void ExpectTokens(const std::vector<TokenCase>& cases) {
    for (const auto& [input, tokens] : cases) {
      SCOPED_TRACE(input);
      EXPECT_EQ(tokens, ReadAll(input));
    }
  }
};

TEST_F(TokenReaderTest, ReadsTheWorkedExample) {
  ExpectTokens({{"#7 \"Example\" <5 7 9 11 13> A[7 11] A B[7 11 13s 13s] _ B B",
                 {"Bells 7",
                  "Title [Example]",
                  "Header",
                  "Call 5 b",
                  "Call 7 b",
                  "Call 9 b",
                  "Call 11 b",
                  "Call 13 b",
                  "Close",
                  "BlockLetter [A]",
                  "Open",
                  "Call 7 b",
                  "Call 11 b",
                  "Close",
                  "BlockLetter [A]",
                  "BlockLetter [B]",
                  "Open",
                  "Call 7 b",
                  "Call 11 b",
                  "Call 13 s",
                  "Call 13 s",
                  "Close",
                  "Rule",
                  "BlockLetter [B]",
                  "BlockLetter [B]",
                  "End"}}});
  EXPECT_EQ(2, languageState.callStyleBalance);
}

TEST_F(TokenReaderTest, ReadsEveryPunctuationToken) {
  ExpectTokens({
      {"<", {"Header", "End"}},
      {"[", {"Open", "End"}},
      {"]>", {"Close", "Close", "End"}},
      {"_", {"Rule", "End"}},
      {"*", {"End"}},
      {"~e", {"Method [e]", "End"}},
      {"~ e", {"Method [ ]", "BlockLetter [e]", "End"}},
      {"~", {"Method [*]", "End"}},
  });
}

TEST_F(TokenReaderTest, ReadsCallsAndTheirLetters) {
  ExpectTokens({
      {"3", {"Call 3 b", "End"}},
      {"3b", {"Call 3 b", "End"}},
      {"3s", {"Call 3 s", "End"}},
      {"s3", {"Call 3 s", "End"}},
      {"12ab", {"Call 12 a", "BlockLetter [b]", "End"}},
      {"3 s4", {"Call 3 b", "Call 4 s", "End"}},
      // The character after "s" is consumed with it, even the "{" of a comment.
      {"3 s 4", {"Call 3 b", "Error [ ]", "Call 4 b", "End"}},
      {"sx", {"Error [x]", "End"}},
      {"s", {"Error [*]", "End"}},
      {"s{ 3 }", {"Error [{]", "Call 3 b", "End"}},
      {"S3", {"BlockLetter [S]", "Call 3 b", "End"}},
      {"1.2,3;4", {"Call 1 b", "Call 2 b", "Call 3 b", "Call 4 b", "End"}},
      {"3\t4\r\n5", {"Call 3 b", "Call 4 b", "Call 5 b", "End"}},
      // A letter must follow the digits at once.
      {"3 s", {"Call 3 b", "Error [*]", "End"}},
      {"3\xE9", {"Call 3 b", "Error [\xE9]", "End"}},
  });
}

TEST_F(TokenReaderTest, NumbersAccumulateModulo256) {
  ExpectTokens({
      {"255s", {"Call 255 s", "End"}},
      {"256", {"Call 0 b", "End"}},
      {"1000", {"Call 232 b", "End"}},
      {"#300", {"Bells 44", "End"}},
      {"(200)", {"Length 200", "End"}},
  });
  const std::pair<const char*, int> signedValues[] = {{"#300", 44}, {"(200)", -56}, {"255", -1}};
  for (const auto& [input, value] : signedValues) {
    SCOPED_TRACE(input);
    EXPECT_EQ(value, FirstToken(input).SignedValue());
  }
}

TEST_F(TokenReaderTest, CallStyleBalanceCountsHowCallsAreWritten) {
  const std::pair<const char*, int> cases[] = {
      {"3", 0}, {"3b", 1}, {"3s", 1}, {"s3", -1}, {"3 s4", -1}, {"3 s 4", 0}, {"s3 s4 5s 6", -1},
  };
  for (const auto& [input, balance] : cases) {
    SCOPED_TRACE(input);
    ResetProcessState();
    ReadAll(input);
    EXPECT_EQ(balance, languageState.callStyleBalance);
    EXPECT_EQ(balance < 0, LetterFirstCalls());
  }
}

TEST_F(TokenReaderTest, ReadsStartPositions) {
  ExpectTokens({
      {"!4Q", {"Start 3 Q", "End"}},
      {"!Q", {"Start 5 Q", "End"}},
      {"!4S", {"Start 9 S", "End"}},
      {"!s", {"Start 11 s", "End"}},
      {"!1p", {"Start 0 p", "End"}},
      {"!12q", {"Start 11 q", "End"}},
      {"!0Q", {"Start 255 Q", "End"}},
      {"! 4Q", {"Start 3 Q", "End"}},
      // The wrong letter's value is the first character after the separators that follow "!".
      {"! 4 Q", {"Error [4]", "BlockLetter [Q]", "End"}},
      {"!4X", {"Error [4]", "End"}},
      {"!X", {"Error [X]", "End"}},
      {"!", {"Error [*]", "End"}},
  });
}

TEST_F(TokenReaderTest, ReadsBellsLengthsAndSixesPerCourse) {
  ExpectTokens({
      {"#7", {"Bells 7", "End"}},
      {"# {eight} 8", {"Bells 8", "End"}},
      {"#x", {"Error [x]", "End"}},
      {"#", {"Error [*]", "End"}},
      {"( 12 )", {"Length 12", "End"}},
      {"(12", {"Error [*]", "End"}},
      {"(12 x)", {"Error [x]", "Error [)]", "End"}},
      {"(1 2)", {"Error [2]", "Error [)]", "End"}},
      {"()", {"Error [)]", "End"}},
      {"-2A", {"SixesPerCourse 2 [A]", "End"}},
      {"-2 A", {"SixesPerCourse 2 [ ]", "BlockLetter [A]", "End"}},
      {"- 22", {"SixesPerCourse 22 [ ]", "End"}},
      {"-x", {"Error [x]", "End"}},
  });
}

TEST_F(TokenReaderTest, SkipsCommentsThatDoNotNest) {
  ExpectTokens({
      {"{ a { b } c }", {"BlockLetter [c]", "End"}},
      {"}A{", {"BlockLetter [A]", "End"}},
      {"3 { 4 5", {"Call 3 b", "End"}},
      {"{", {"End"}},
  });
}

TEST_F(TokenReaderTest, ReadsQuotedTextsAsTheyStand) {
  ExpectTokens({
      {"\"a 'b' {c}\n.d\"", {"Title [a 'b' {c}\n.d]", "End"}},
      {"'say \"hi\"'", {"CallDefinition [say \"hi\"]", "End"}},
      {"\"long title\" \"\"", {"Title [long title]", "Title []", "End"}},
      {"'b:3.1' 'p:'", {"CallDefinition [b:3.1]", "CallDefinition [p:]", "End"}},
      {"\"Title 3 4", {"Title [Title 3 4]", "End"}},
      {"'b:3", {"CallDefinition [b:3]", "End"}},
  });
}

TEST_F(TokenReaderTest, AnyOtherCharacterIsAnError) {
  ExpectTokens({
      {"):/=?", {"Error [)]", "Error [:]", "Error [/]", "Error [=]", "Error [?]", "End"}},
      {"\x01\x7F", {"Error [\x01]", "Error [\x7F]", "End"}},
  });
  const Token token = FirstToken("\xC3\xA9");
  EXPECT_EQ(TokenType::Error, token.type);
  EXPECT_EQ(0xC3, token.value);
}

TEST_F(TokenReaderTest, ReadsEndForeverAfterTheInput) {
  const char* inputs[] = {"", "3", "\"open", "{ open", "(12", "!4"};
  for (const char* input : inputs) {
    SCOPED_TRACE(input);
    std::istringstream in(input);
    TokenReader reader(in);
    Token token;
    do {
      reader.ReadToken(token);
    } while (token.type != TokenType::End);
    for (int read = 0; read < 3; ++read) {
      reader.ReadToken(token);
      EXPECT_EQ(TokenType::End, token.type);
    }
  }
}

// A source like a terminal: it reports the end of input once, then would deliver more.
class EndThenMore : public std::streambuf {
 protected:
  int_type uflow() override {
    const std::string_view script =
        "3\x01"
        "4";  // \x01 stands for the end of input
    if (next >= script.size()) {
      return traits_type::eof();
    }
    const char c = script[next++];
    return c == '\x01' ? traits_type::eof() : traits_type::to_int_type(c);
  }
  int_type underflow() override { return traits_type::eof(); }

 private:
  std::size_t next = 0;
};

TEST_F(TokenReaderTest, NeverReadsPastTheFirstEndOfInput) {
  EndThenMore source;
  std::istream in(&source);
  TokenReader reader(in);
  Token token;
  reader.ReadToken(token);
  EXPECT_EQ(TokenType::Call, token.type);
  for (int read = 0; read < 3; ++read) {
    reader.ReadToken(token);
    EXPECT_EQ(TokenType::End, token.type);
  }
}

TEST_F(TokenReaderTest, DescribesTokensForReports) {
  const std::pair<const char*, const char*> cases[] = {
      {"#7", "7 Bells\n"},
      {"#200", "-56 Bells\n"},
      {"!4Q", "Start Quick 3\n"},
      {"!6P", "Start Quick 5\n"},
      {"!1S", "Start Slow 6\n"},
      {"!0Q", "Start Quick -1\n"},
      {"3s", "3s\n"},
      {"s3", "3s\n"},
      {"5", "5b\n"},
      {"200x", "-56x\n"},
      {"A", "Block A\n"},
      {"(200)", "Length -56\n"},
      {"[", "Open\n"},
      {"]", "Close\n"},
      {"", "End\n"},
      {")", "Error)\n"},
      {"s 4", "Error \n"},
      // These types describe as nothing, not even a line break.
      {"<", ""},
      {"~e", ""},
      {"'b:3.1'", ""},
      {"-2", ""},
      {"\"Title\"", ""},
      {"_", ""},
  };
  for (const auto& [input, description] : cases) {
    SCOPED_TRACE(input);
    std::ostringstream out;
    FirstToken(input).Describe(out);
    EXPECT_EQ(description, out.str());
  }
}

TEST_F(TokenReaderTest, ReportsUnexpectedTokensOnTheGivenStream) {
  const std::pair<const char*, const char*> cases[] = {
      {"s3", "Unexpected Token 3s\n"},
      {"<", "Unexpected Token "},
  };
  for (const auto& [input, report] : cases) {
    SCOPED_TRACE(input);
    std::ostringstream err;
    ReportUnexpected(FirstToken(input), err);
    EXPECT_EQ(report, err.str());
  }
}

// Every token up to the first End as "LINE:COLUMN [SOURCE]", and the warnings the reader gives.
std::vector<std::string> Places(const std::string& input, Diagnostics* diagnostics = nullptr) {
  std::istringstream in(input);
  TokenReader reader(in, diagnostics);
  Token token;
  std::vector<std::string> shown;
  do {
    reader.ReadToken(token);
    shown.push_back(std::to_string(token.where.line) + ":" + std::to_string(token.where.column) +
                    " [" + token.source + "]");
  } while (token.type != TokenType::End && shown.size() < 100);
  return shown;
}

TEST_F(TokenReaderTest, EveryTokenKnowsWhereItBeginsAndWhatItTook) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      // Columns count bytes from 1; a tab or a carriage return is one of them, a line feed ends
      // the line. The end of the input stands after its last byte.
      {"#7 5s\n\t(14)", {"1:1 [#7]", "1:4 [5s]", "2:2 [(14)]", "2:6 []"}},
      {"a\r\nb", {"1:1 [a]", "2:1 [b]", "2:2 []"}},
      // A comment is no token; inside a token it is part of what the token took.
      {"{x\ny} 5 # {c} 7 *", {"2:4 [5]", "2:6 [# {c} 7]", "2:14 [*]"}},
      // The character after a number that ends it is not taken; a quoted token took its quote.
      {"12;(3 q 'b:3.1'", {"1:1 [12]", "1:4 [(3 q]", "1:9 [']", "1:16 []"}},
      {"s 5 s", {"1:1 [s ]", "1:3 [5]", "1:5 [s]", "1:6 []"}},
  };
  for (const auto& [input, places] : cases) {
    SCOPED_TRACE(input);
    EXPECT_EQ(places, Places(input));
  }
}

TEST_F(TokenReaderTest, KeepsTheNumberAsWrittenAndWarnsWhenItWraps) {
  const struct {
    const char* input;
    std::int64_t written;
    const char* warning;
  } cases[] = {
      {"127", 127, ""},
      {"(128)", 128,
       "1:1 the number 128 is read as -128: numbers of 128 to 255 are read as negative"},
      {"#300", 300, "1:1 the number 300 is read as 44: numbers are taken modulo 256"},
      {"!0256Q", 256, "1:1 the number 256 is read as 0: numbers are taken modulo 256"},
      {"s99999999999999999999", Token::tooLong,
       "1:1 this long number is read as -1: numbers are taken modulo 256"},
      // A token that is dropped is warned of where it is dropped, not here.
      {"(300 q", 300, ""},
  };
  for (const auto& [input, written, warning] : cases) {
    SCOPED_TRACE(input);
    Diagnostics diagnostics;
    std::istringstream in(input);
    TokenReader reader(in, &diagnostics);
    Token token;
    reader.ReadToken(token);
    EXPECT_EQ(written, token.written);
    std::string shown;
    for (const Warning& each : diagnostics.Warnings()) {
      shown += std::to_string(each.where.line) + ":" + std::to_string(each.where.column) + " " +
               each.text;
    }
    EXPECT_EQ(warning, shown);
  }
}

TEST_F(TokenReaderTest, WarnsOfACommentOrQuoteOpenAtTheEnd) {
  const std::pair<const char*, const char*> cases[] = {
      {"5 {never closed", "1:3"},
      {"\n \"title", "2:2"},
      {"'b:3", "1:1"},
      {"{closed} \"closed\" 'closed'", ""},
  };
  for (const auto& [input, where] : cases) {
    SCOPED_TRACE(input);
    Diagnostics diagnostics;
    (void)Places(input, &diagnostics);
    std::string shown;
    for (const Warning& each : diagnostics.Warnings()) {
      shown += std::to_string(each.where.line) + ":" + std::to_string(each.where.column);
    }
    EXPECT_EQ(where, shown);
  }
}

TEST_F(TokenReaderTest, LooksPastTheEndOfTheTouchOnlyForMoreThanBlanksAndComments) {
  const std::pair<const char*, SourcePosition> cases[] = {
      {"* \n {comment}\n", {}},
      {"*  { a comment } 5", {1, 18}},
      {"]\n\nX", {3, 1}},
      {"* {unclosed 5", {}},
  };
  for (const auto& [input, more] : cases) {
    SCOPED_TRACE(input);
    std::istringstream in(input);
    TokenReader reader(in);
    Token token;
    reader.ReadToken(token);
    EXPECT_EQ(more, reader.FindMoreInput(100));
  }
  // It reads no further than it is allowed to: this input holds nothing but blanks so far.
  std::istringstream blanks("*" + std::string(1000, ' ') + "5");
  TokenReader reader(blanks);
  Token token;
  reader.ReadToken(token);
  EXPECT_FALSE(reader.FindMoreInput(999).Known());
}

TEST_F(TokenReaderTest, TellsTheEndOfTheInputFromAWrittenEnd) {
  for (const auto& [input, wasInput] : {std::pair{"*", false}, {"", true}, {"5", true}}) {
    SCOPED_TRACE(input);
    std::istringstream in(input);
    TokenReader reader(in);
    Token token;
    do {
      reader.ReadToken(token);
    } while (token.type != TokenType::End);
    EXPECT_EQ(wasInput, reader.EndWasInput());
  }
}

}  // namespace
