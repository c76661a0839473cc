#include "diagnostics/Diagnostics.h"

#include <utility>

void Diagnostics::Warn(SourcePosition where, std::string text) {
  ++count;
  if (warnings.size() < maxKept) {
    warnings.push_back({where, std::move(text)});
  }
}

std::string FormatWarning(std::string_view inputName, const Warning& warning) {
  std::string line(inputName);
  if (warning.where.Known()) {
    line += ':' + std::to_string(warning.where.line) + ':' + std::to_string(warning.where.column);
  }
  return line + ": warning: " + warning.text;
}
