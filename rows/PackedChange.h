#pragma once

#include <cstdint>

#include "rows/Row.h"
#include "rows/RowKey.h"

// A change applied to rows packed as narrow keys: the bells that make places stay, each other bell
// exchanges with its neighbour, three masks and two shifts for a whole row. Generation rings every
// row of a touch of up to 16 bells this way.
struct PackedChange {
  // The packed form of change on bellCount bells; false when the stage is above 16 bells or the
  // change is more than exchanges of neighbouring bells (place notation written out of order).
  [[nodiscard]] static bool Of(const Row& change, int bellCount, PackedChange& packed);
  // The key of the row that this change leads to from the row of key, as Permute does.
  [[nodiscard]] NarrowRowKey Apply(NarrowRowKey key) const {
    const std::uint64_t row = key.words[0];
    return {{(row & stay) | (row & down) >> 4 | (row & up) << 4}};
  }

  std::uint64_t stay = 0;  // the places made
  std::uint64_t down = 0;  // the front bell of each exchanged pair, which moves one place back
  std::uint64_t up = 0;    // the back bell of each exchanged pair, which moves one place forward
};

inline bool PackedChange::Of(const Row& change, int bellCount, PackedChange& packed) {
  if (bellCount > NarrowRowKey::maxBellCount) {
    return false;
  }
  packed = {};
  const auto bellAt = [](int place) { return std::uint64_t{0xF} << (60 - 4 * place); };
  for (int place = 0; place < bellCount;) {
    if (change[place] == place) {
      packed.stay |= bellAt(place);
      place += 1;
    } else if (place + 1 < bellCount && change[place] == place + 1 && change[place + 1] == place) {
      packed.down |= bellAt(place);
      packed.up |= bellAt(place + 1);
      place += 2;
    } else {
      return false;
    }
  }
  return true;
}
