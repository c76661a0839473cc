#include "diagnostics/Diagnostics.h"

#include <algorithm>
#include <cstdint>
#include <utility>

void Diagnostics::Warn(SourcePosition where, std::string text) {
  ++count;
  if (warnings.size() < maxKept) {
    warnings.push_back({where, std::move(text)});
  }
}

void Diagnostics::SortByPlace() {
  const auto key = [](const Warning& warning) {
    return warning.where.Known() ? std::pair(warning.where.line, warning.where.column)
                                 : std::pair(INT32_MAX, INT32_MAX);
  };
  std::stable_sort(warnings.begin(), warnings.end(),
                   [&](const Warning& a, const Warning& b) { return key(a) < key(b); });
}

std::string FormatWarning(std::string_view inputName, const Warning& warning) {
  std::string line(inputName);
  if (warning.where.Known()) {
    line += ':' + std::to_string(warning.where.line) + ':' + std::to_string(warning.where.column);
  }
  return line + ": warning: " + warning.text;
}
