#include "driver/LimitedInput.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <ios>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace {

using Traits = std::streambuf::traits_type;

// Every byte LimitedInput lets through, until the end or the error that stops it.
std::string ReadAll(std::streambuf& source, std::int64_t maxBytes) {
  LimitedInput input(source, maxBytes);
  std::string text;
  try {
    for (auto c = input.sbumpc(); !Traits::eq_int_type(c, Traits::eof()); c = input.sbumpc()) {
      text += Traits::to_char_type(c);
    }
    // The end of the input stays the end, and reads past it count nothing.
    EXPECT_TRUE(Traits::eq_int_type(input.sbumpc(), Traits::eof()));
  } catch (const std::runtime_error& error) {
    text += std::string("|") + error.what();
  }
  return text;
}

TEST(LimitedInput, StopsAtTheFirstByteBeyondTheBound) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"abcd", "abc|Input too large: more than 3 bytes"},
      {"abcdefgh", "abc|Input too large: more than 3 bytes"},
  };
  for (const auto& [text, read] : cases) {
    SCOPED_TRACE(text);
    std::stringbuf source(text);
    EXPECT_EQ(read, ReadAll(source, 3));
  }
}

// A source that fails as a file buffer fails to read a closed descriptor.
class FailingSource : public std::streambuf {
 protected:
  int_type underflow() override {
    throw std::ios_base::failure("basic_filebuf::underflow error reading the file",
                                 std::error_code(EBADF, std::generic_category()));
  }
};

TEST(LimitedInput, GivesTheSystemsReasonForAFailedRead) {
  FailingSource source;
  EXPECT_EQ("|Input could not be read: Bad file descriptor", ReadAll(source, 3));
}

}  // namespace
