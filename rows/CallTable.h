#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

// The most changes a call definition may hold. A merged definition copies the plain call, so
// without a bound a long plain call merged again and again takes time that grows with the square
// of the file; a call is a few changes.
inline constexpr std::size_t maxCallChanges = 1000;

// Call definitions in place notation: call letter to code sequence. Generation does not read it:
// what a definition changes for the rows is only the change table, where new changes get codes.
class CallTable {
 public:
  // Reads "L:notation". A notation that begins or ends with '.' takes the place of the end or the
  // beginning of the plain call. Text without ':' as its second character defines nothing. Throws
  // "Call definition too long" for a notation of more than maxCallChanges changes.
  void DefineCall(std::string_view text);
  // The letter's sequence; a letter without a definition gets a default built from the plain call,
  // which is stored.
  const std::string& CallNotation(char letter);

 private:
  std::map<char, std::string> calls;
};
