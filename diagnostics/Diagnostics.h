#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/SourcePosition.h"

// One warning: where the touch is probably not the one that was meant, and what was done with it.
struct Warning {
  SourcePosition where;  // not Known() when no place in the file applies
  std::string text;
};

// The warnings of one run, in the order they were found. Keeps at most maxKept of them and counts
// the rest, so that a file of a million slips makes a report of bounded size.
class Diagnostics {
 public:
  static constexpr std::size_t maxKept = 100;

  void Warn(SourcePosition where, std::string text);
  // Puts the warnings kept in the order of their places in the file, those without a place last;
  // warnings at one place keep the order in which they were found.
  void SortByPlace();

  [[nodiscard]] const std::vector<Warning>& Warnings() const { return warnings; }
  // Every warning given, the ones not kept too.
  [[nodiscard]] std::int64_t Count() const { return count; }
  [[nodiscard]] bool Any() const { return count != 0; }

 private:
  std::vector<Warning> warnings;
  std::int64_t count = 0;
};

// "NAME:LINE:COLUMN: warning: TEXT", or "NAME: warning: TEXT" without a place: the form that
// editors and build tools read. NAME is the touch file, or "<stdin>".
std::string FormatWarning(std::string_view inputName, const Warning& warning);
