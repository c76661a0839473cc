#include "driver/ValidUtf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Well-formed text stays byte for byte; each maximal ill-formed part becomes one U+FFFD, as the
// WHATWG decoder of browsers reads it.
TEST(ValidUtf8, ReplacesEachIllFormedPartWithOneReplacementCharacter) {
  const std::string r = "\xEF\xBF\xBD";
  const struct {
    std::string text;
    std::string valid;
  } cases[] = {
      {"", ""},
      {"Stedman Triples", "Stedman Triples"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},  // NUL stays: JSON escapes it
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x94", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x94\x94"},
      {"\xFF", r},                                   // a byte that begins nothing
      {"a\x80\x80z", "a" + r + r + "z"},             // lone continuation bytes, one each
      {"\xC3", r},                                   // cut short at the end
      {"\xE2\x82z", r + "z"},                        // cut short: one for the part
      {"\xE2\x82\xE2\x82\xAC", r + "\xE2\x82\xAC"},  // the next sequence is read again
      {"\xC0\xAF", r + r},                           // overlong: C0 begins nothing
      {"\xE0\x80\x80", r + r + r},                   // overlong three bytes
      {"\xED\xA0\x80", r + r + r},                   // a surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},           // above U+10FFFF
      {"\xF0\x90\x80", r},                           // four bytes cut short
      {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},      // U+10FFFF itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.valid, ValidUtf8(c.text));
  }
}

}  // namespace
