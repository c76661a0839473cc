#include "language/TokenReader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "driver/ProcessState.h"

TEST(TokenReader, ReadsTheEndOfInputAsEndForever) {
  ResetProcessState();
  std::istringstream in("");
  TokenReader reader(in);
  Token token;
  for (int read = 0; read < 3; ++read) {
    reader.ReadToken(token);
    EXPECT_EQ(TokenType::End, token.type);
  }
}
