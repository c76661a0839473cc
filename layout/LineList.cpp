#include "layout/LineList.h"

#include <stdexcept>

std::vector<std::string> LineList::TakeTexts() {
  std::vector<std::string> texts;
  texts.reserve(lines.size());
  for (Line& line : lines) {
    texts.push_back(std::move(line.text));
  }
  lines.clear();
  bytes = 0;
  return texts;
}

void LineList::Grow(std::size_t more) {
  if (more > maxBytes - bytes) {
    throw std::runtime_error("Printed touch too large: more than " + std::to_string(maxBytes) +
                             " bytes");
  }
  bytes += more;
}
