#pragma once

#include <cstdint>

// Where a token begins in the touch file: line and column, both counted from 1, the column in
// bytes. Line 0 stands for no place in the file.
struct SourcePosition {
  std::int32_t line = 0;
  std::int32_t column = 0;

  [[nodiscard]] bool Known() const { return line > 0; }
  bool operator==(const SourcePosition&) const = default;
};
