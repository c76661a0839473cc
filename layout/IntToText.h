#pragma once

#include <cstdint>
#include <string>

// The decimal text of a number, as printf's "%i" writes it: six numbers, lengths, counts.
inline std::string IntToText(std::int64_t value) {
  return std::to_string(value);
}
