#include "rows/CallTable.h"

#include <stdexcept>

#include "rows/ChangeTable.h"

void CallTable::DefineCall(std::string_view text) {
  // A definition is read as zero-ended text: nothing after a NUL byte belongs to it.
  text = text.substr(0, text.find('\0'));
  if (text.size() < 2 || text[1] != ':') {
    return;
  }
  const char letter = text[0];
  const std::string_view notation = text.substr(2);
  std::string codes;
  std::size_t cursor = 0;
  for (char code = ParseChange(notation, cursor); code != '\0';
       code = ParseChange(notation, cursor)) {
    codes += code;
  }
  if (codes.size() > maxCallChanges) {
    throw std::runtime_error("Call definition too long: " + std::to_string(codes.size()) +
                             " changes, more than " + std::to_string(maxCallChanges));
  }
  const bool leadingDot = !notation.empty() && notation.front() == '.';
  const bool trailingDot = !notation.empty() && notation.back() == '.';
  if (leadingDot || trailingDot) {
    const std::string plain = CallNotation('p');
    if (plain.size() > codes.size()) {
      codes = leadingDot ? plain.substr(0, plain.size() - codes.size()) + codes
                         : codes + plain.substr(codes.size());
    }
  }
  calls.insert_or_assign(letter, std::move(codes));
}

const std::string& CallTable::CallNotation(char letter) {
  if (const auto found = calls.find(letter); found != calls.end()) {
    return found->second;
  }
  std::string codes;
  if (letter == 'p') {
    codes = "p1";  // the plain call's base sequence is empty
  } else {
    const std::string& plain = CallNotation('p');
    // All but the plain call's last two codes; all of it when it has fewer than two.
    codes = plain.size() < 2 ? plain : plain.substr(0, plain.size() - 2);
    codes += letter == 'q' ? 'p' : '3';
    switch (letter) {
      case 's':
        codes += '2';
        break;
      case 'h':
      case 'q':
        codes += 'h';
        break;
      case 'x':
        codes += 'x';
        break;
      case 'z':
        codes += 'z';
        break;
      default:
        codes += '1';
        break;
    }
  }
  return calls.emplace(letter, std::move(codes)).first->second;
}
