#pragma once

#include <cstdint>

// One distinct row of a touch and where it occurred. A count of 0 stands for no entry.
struct ProofEntry {
  std::int32_t firstIndex = 0;
  std::int32_t lastIndex = 0;
  std::int32_t count = 0;
  std::int32_t secondIndex = 0;  // 0 until the row occurs twice
};
