#include "language/TouchSettings.h"

#include <stdexcept>

#include "language/ProcessState.h"
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
    ruleLine = "  " + ruleLine.substr(ruleLine.empty() ? 0 : 1);
  }
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
