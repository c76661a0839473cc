#include "language/TouchSettings.h"

#include <stdexcept>

#include "rows/ChangeTable.h"

void TouchSettings::SetDefaults() {
  ApplyBellCount(11);
  startPosition = 3;
}

void TouchSettings::ApplyBellCount(int n) {
  sixesPerCourse = (erin ? 1 : 2) * n;
  if (n < 0) {
    throw std::runtime_error("Too few bells");
  }
  ruleLine = ' ' + std::string(static_cast<std::size_t>(n), '-');
  pendingShifts = 0;
  SetBellCount(n);
}

bool TouchSettings::SetStart(std::int8_t index, char letter) {
  if (index < 0 || index > 11) {
    return false;
  }
  startPosition = index;
  if ((letter == 'q' || letter == 'Q') && index > 5) {
    leadIn = std::string(slowSixThenPlain.substr(slowSixThenPlain.size() - (index - 5)));
  }
  return true;
}

void TouchSettings::SelectMethod(char method) {
  if (method == 'e' || method == 'E') {
    erin = true;
    sixesPerCourse >>= 1;  // towards minus infinity
    if (startPosition == 3) {
      startPosition = 11;
    }
  } else {
    erin = false;
  }
}

void TouchSettings::SetSixesPerCourse(int n) {
  sixesPerCourse = n;
  if (n == 1) {
    ++pendingShifts;  // "  " and the line without its first character
  }
}

const std::string& TouchSettings::RuleLine() const {
  if (pendingShifts > 0) {
    // k shifts leave k + 1 blanks before the line's second character.
    const std::string rest = ruleLine.empty() ? std::string() : ruleLine.substr(1);
    ruleLine = std::string(static_cast<std::size_t>(pendingShifts) + 1, ' ') + rest;
    pendingShifts = 0;
  }
  return ruleLine;
}

void TouchSettings::ExtendRuleLine(std::string_view text) {
  (void)RuleLine();
  ruleLine += text;
}

std::string TouchSettings::StartTail() const {
  if (startPosition >= 0 && startPosition <= 5) {
    return std::string(quickSix.substr(static_cast<std::size_t>(startPosition)));
  }
  if (startPosition >= 6 && startPosition <= 11) {
    return std::string(slowSix.substr(static_cast<std::size_t>(startPosition - 6)));
  }
  return {};
}
