#pragma once

#include <map>
#include <string>
#include <string_view>

// Call definitions in place notation: call letter to code sequence. Generation does not read it:
// what a definition changes for the rows is only the change table, where new changes get codes.
class CallTable {
 public:
  // Reads "L:notation". A notation that begins or ends with '.' takes the place of the end or the
  // beginning of the plain call. Text without ':' as its second character defines nothing.
  void DefineCall(std::string_view text);
  // The letter's sequence; a letter without a definition gets a default built from the plain call,
  // which is stored.
  const std::string& CallNotation(char letter);

 private:
  std::map<char, std::string> calls;
};
