#pragma once

#include <cstdint>
#include <string>

// The method and the stage: "Stedman Cinques", "Erin Triples".
std::string BuildTitle();
// The stage name of n bells, or n in decimal where the stage has no name.
std::string StageName(int n);
inline std::string IntToText(std::int64_t value) {
  return std::to_string(value);
}
