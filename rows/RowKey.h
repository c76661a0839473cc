#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "rows/Row.h"

// A row packed into whole words, so that the proof table can hash and compare millions of rows
// cheaply. One word holds up to 16 bells at 4 bits a bell; a wider key holds 10 bells a word at 6
// bits a bell, enough for any stage. The first position takes the highest bits of the first word
// and unused positions are zero, so keys of one bell count order as their rows do under Less.
// Defined here in full: packing and hashing are on the path of every row of a touch.
template <int Words>
struct RowKey {
  static constexpr int bitsPerBell = Words == 1 ? 4 : 6;
  static constexpr int bellsPerWord = Words == 1 ? 16 : 10;
  static constexpr int maxBellCount = std::min(Words * bellsPerWord, maxBells);

  // The key of the first bellCount positions of row; false when the count or a bell does not fit.
  // Always inlined: it runs once a row, and the compiler judges it too long otherwise.
  [[nodiscard, gnu::always_inline]] static bool Pack(const Row& row, int bellCount, RowKey& key);
  // A row whose first bellCount positions are those packed, rounds beyond them.
  [[nodiscard]] Row Unpack(int bellCount) const;
  // Mixes every bit into every bit of the result: slots are chosen by its highest bits.
  [[nodiscard]] std::uint64_t Hash() const;

  // Written out: std::array's own comparisons call memcmp, which costs more than the compare.
  bool operator==(const RowKey& other) const {
    for (int word = 0; word < Words; ++word) {
      if (words[word] != other.words[word]) {
        return false;
      }
    }
    return true;
  }
  bool operator<(const RowKey& other) const {
    for (int word = 0; word < Words; ++word) {
      if (words[word] != other.words[word]) {
        return words[word] < other.words[word];
      }
    }
    return false;
  }

  std::array<std::uint64_t, Words> words{};

 private:
  // The top bits of a word that hold no bell: none at 4 bits a bell, 4 at 6 bits a bell.
  static constexpr int unusedBits = 64 - bitsPerBell * bellsPerWord;
  static constexpr int Shift(int place) {
    return 64 - unusedBits - bitsPerBell * (1 + place % bellsPerWord);
  }
};

using NarrowRowKey = RowKey<1>;
using WideRowKey = RowKey<4>;

namespace row_key_detail {

// Eight bytes as one word with the byte at the lowest address in the highest bits.
inline std::uint64_t LoadHighFirst(const std::int8_t* bytes) {
  std::uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::little) {
    word = __builtin_bswap64(word);
  }
  return word;
}

// The bytes of a word loaded from position first that stand at positions below bellCount.
inline std::uint64_t UsedBytes(int first, int bellCount) {
  const int used = bellCount - first;
  if (used >= 8) {
    return ~std::uint64_t{0};
  }
  return used <= 0 ? 0 : ~std::uint64_t{0} << (64 - 8 * used);
}

// Eight bytes below 16, highest first, as the eight nibbles of the low 32 bits in the same order.
inline std::uint64_t NibblesOfBytes(std::uint64_t bytes) {
  bytes = (bytes | bytes >> 4) & 0x00FF00FF00FF00FFu;
  bytes = (bytes | bytes >> 8) & 0x0000FFFF0000FFFFu;
  return (bytes | bytes >> 16) & 0x00000000FFFFFFFFu;
}

inline std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 32;
  value *= 0xD6E8FEB86659FD93u;
  value ^= value >> 32;
  value *= 0xD6E8FEB86659FD93u;
  return value ^ value >> 32;
}

}  // namespace row_key_detail

template <int Words>
inline bool RowKey<Words>::Pack(const Row& row, int bellCount, RowKey& key) {
  if (bellCount > maxBellCount) {
    return false;
  }
  if constexpr (Words == 1) {
    using namespace row_key_detail;
    const std::int8_t* bells = row.Bells().data();
    const std::uint64_t front = LoadHighFirst(bells) & UsedBytes(0, bellCount);
    const std::uint64_t back = LoadHighFirst(bells + 8) & UsedBytes(8, bellCount);
    if (((front | back) & 0xF0F0F0F0F0F0F0F0u) != 0) {
      return false;  // a bell beyond the 16th: only a row made under another stage holds one
    }
    key.words[0] = NibblesOfBytes(front) << 32 | NibblesOfBytes(back);
  } else {
    key.words = {};
    for (int place = 0; place < bellCount; ++place) {
      const auto bell = static_cast<std::uint8_t>(row[place]);
      if (bell >= 1u << bitsPerBell) {
        return false;
      }
      key.words[place / bellsPerWord] |= std::uint64_t{bell} << Shift(place);
    }
  }
  return true;
}

template <int Words>
Row RowKey<Words>::Unpack(int bellCount) const {
  constexpr std::uint64_t bellMask = (std::uint64_t{1} << bitsPerBell) - 1;
  Row row;
  for (int place = 0; place < bellCount && place < maxBellCount; ++place) {
    row.SetBell(place,
                static_cast<std::int8_t>(words[place / bellsPerWord] >> Shift(place) & bellMask));
  }
  return row;
}

template <int Words>
std::uint64_t RowKey<Words>::Hash() const {
  std::uint64_t hash = words[0];
  for (int word = 1; word < Words; ++word) {
    hash = row_key_detail::Mix(hash) ^ words[word];
  }
  return row_key_detail::Mix(hash);
}
