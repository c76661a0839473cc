#include "layout/LineList.h"

#include <stdexcept>

void LineList::Grow(std::size_t more) {
  if (more > maxBytes - bytes) {
    throw std::runtime_error("Printed touch too large: more than " + std::to_string(maxBytes) +
                             " bytes");
  }
  bytes += more;
}
