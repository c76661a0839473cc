#include "layout/LineList.h"

#include <stdexcept>

void LineList::Grow(std::size_t more) {
  if (more > maxLayoutBytes - bytes) {
    throw std::runtime_error("Printed touch too large: more than " +
                             std::to_string(maxLayoutBytes) + " bytes");
  }
  bytes += more;
}
