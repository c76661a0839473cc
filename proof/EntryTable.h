#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "proof/ProofEntry.h"

// The entries of a proof table under the packed keys of their rows: a hash table with open
// addressing and linear probing. A slot holds a key and where its row first occurred, 16 bytes for
// a narrow key, so that recording a new row costs one lookup in one block of memory and no
// allocation of its own; the few rows that occur again keep their further occurrences in a list
// beside it. Template over the key, which must answer Hash() and compare with ==. Holds any number
// of keys, growing as it fills; Reserve first to grow at most once.
template <typename Key>
class EntryTable {
 public:
  // Room for entries keys without growing.
  void Reserve(std::int64_t entries);
  // Starts loading the slot where the search for hash begins, ahead of FindOrAdd.
  void Prefetch(std::uint64_t hash) const;
  // The slot of key, whose Hash() is hash, and whether it was added now, with its first occurrence
  // at index. A slot stays the key's until the table grows. Always inlined, as AddOccurrence: they
  // run once a row, and the compiler judges them too long once they have several callers.
  [[gnu::always_inline]] std::pair<std::size_t, bool> FindOrAdd(const Key& key, std::uint64_t hash,
                                                                std::int32_t index);
  // Records another occurrence of the slot's row at index, and answers its entry after that.
  [[gnu::always_inline]] ProofEntry AddOccurrence(std::size_t slot, std::int32_t index);
  // Adds key, which the table does not hold, with a whole entry (count 1 or more).
  void AddEntry(const Key& key, std::uint64_t hash, const ProofEntry& entry);
  // The entry of key, or one with a count of 0 when the table does not hold it.
  [[nodiscard]] ProofEntry Find(const Key& key, std::uint64_t hash) const;
  // Calls visit(key, entry) for every entry, in no particular order.
  template <typename Visit>
  void ForEach(Visit visit) const;
  [[nodiscard]] std::int64_t Size() const { return static_cast<std::int64_t>(size); }
  [[nodiscard]] std::int64_t Capacity() const { return static_cast<std::int64_t>(capacity); }
  void Clear() { *this = EntryTable(); }

 private:
  struct Slot {
    Key key;
    std::int32_t firstPlusOne;  // the first occurrence's index + 1; 0: the slot is empty
    std::int32_t repeat;        // 0 while the row occurred once, else 1 + its index in repeats
  };
  struct Repeat {
    std::int32_t count;
    std::int32_t secondIndex;
    std::int32_t lastIndex;
  };
  struct FreeSlots {
    void operator()(Slot* slots) const { std::free(slots); }
  };

  // At most three slots in four are filled, which keeps the runs that linear probing walks short.
  static bool Fits(std::size_t entries, std::size_t slots) { return entries * 4 <= slots * 3; }
  // Maps the hash onto 0 to capacity - 1 by its highest bits, for any capacity.
  std::size_t Home(std::uint64_t hash) const {
    if constexpr (sizeof(std::size_t) <= 4) {
      // A capacity below 2^32, as on 32-bit targets (WebAssembly): 64 bits hold the product.
      return static_cast<std::size_t>((hash >> 32) * capacity >> 32);
    } else {
#if defined(__SIZEOF_INT128__)
      __extension__ using Wide = unsigned __int128;
      return static_cast<std::size_t>((static_cast<Wide>(hash) * capacity) >> 64);
#else
      // The high word of the 128-bit product, from 32-bit halves.
      const std::uint64_t wide = capacity;
      const std::uint64_t low = (hash & 0xFFFFFFFFu) * (wide & 0xFFFFFFFFu);
      const std::uint64_t middle = (hash >> 32) * (wide & 0xFFFFFFFFu) + (low >> 32);
      const std::uint64_t other = (hash & 0xFFFFFFFFu) * (wide >> 32) + (middle & 0xFFFFFFFFu);
      return static_cast<std::size_t>((hash >> 32) * (wide >> 32) + (middle >> 32) + (other >> 32));
#endif
    }
  }
  std::size_t Next(std::size_t slot) const {
    return slot + 1 == capacity ? 0 : slot + 1;
  }
  ProofEntry EntryOf(const Slot& slot) const;
  void Rehash(std::size_t newCapacity);

  // From calloc: all zero is all empty, and the system hands zeroed memory over only as the slots
  // are first touched, so a large reservation costs little until it is used.
  std::unique_ptr<Slot[], FreeSlots> slots;
  std::size_t capacity = 0;
  std::size_t size = 0;
  std::vector<Repeat> repeats;
};

template <typename Key>
void EntryTable<Key>::Reserve(std::int64_t entries) {
  if (entries <= 0) {
    return;
  }
  const auto wanted = static_cast<std::size_t>(entries);
  if (!Fits(wanted, capacity)) {
    Rehash(wanted + wanted / 3 + 1);
  }
}

template <typename Key>
void EntryTable<Key>::Rehash(std::size_t newCapacity) {
  auto* fresh = static_cast<Slot*>(std::calloc(newCapacity, sizeof(Slot)));
  if (fresh == nullptr) {
    throw std::bad_alloc();
  }
  std::unique_ptr<Slot[], FreeSlots> old(fresh);
  std::swap(old, slots);
  const std::size_t oldCapacity = std::exchange(capacity, newCapacity);
  for (std::size_t index = 0; index < oldCapacity; ++index) {
    if (old[index].firstPlusOne != 0) {
      std::size_t slot = Home(old[index].key.Hash());
      while (slots[slot].firstPlusOne != 0) {
        slot = Next(slot);
      }
      slots[slot] = old[index];
    }
  }
}

template <typename Key>
void EntryTable<Key>::Prefetch(std::uint64_t hash) const {
  if (capacity != 0) {
    // The search often runs on into the next cache line.
    const char* slot = reinterpret_cast<const char*>(&slots[Home(hash)]);
    __builtin_prefetch(slot, 1);
    __builtin_prefetch(slot + 64, 1);
  }
}

template <typename Key>
inline std::pair<std::size_t, bool> EntryTable<Key>::FindOrAdd(const Key& key, std::uint64_t hash,
                                                               std::int32_t index) {
  if (!Fits(size + 1, capacity)) {
    Rehash(capacity < 16 ? 32 : capacity * 2);
  }
  std::size_t slot = Home(hash);
  while (slots[slot].firstPlusOne != 0) {
    if (slots[slot].key == key) {
      return {slot, false};
    }
    slot = Next(slot);
  }
  slots[slot] = {key, index + 1, 0};
  ++size;
  return {slot, true};
}

template <typename Key>
inline ProofEntry EntryTable<Key>::AddOccurrence(std::size_t slot, std::int32_t index) {
  Slot& entry = slots[slot];
  if (entry.repeat == 0) {
    repeats.push_back({.count = 2, .secondIndex = index, .lastIndex = index});
    entry.repeat = static_cast<std::int32_t>(repeats.size());
  } else {
    Repeat& repeat = repeats[entry.repeat - 1];
    ++repeat.count;
    repeat.lastIndex = index;
  }
  return EntryOf(entry);
}

template <typename Key>
void EntryTable<Key>::AddEntry(const Key& key, std::uint64_t hash, const ProofEntry& entry) {
  const std::size_t slot = FindOrAdd(key, hash, entry.firstIndex).first;
  if (entry.count > 1) {
    repeats.push_back(
        {.count = entry.count, .secondIndex = entry.secondIndex, .lastIndex = entry.lastIndex});
    slots[slot].repeat = static_cast<std::int32_t>(repeats.size());
  }
}

template <typename Key>
ProofEntry EntryTable<Key>::EntryOf(const Slot& slot) const {
  const std::int32_t first = slot.firstPlusOne - 1;
  if (slot.repeat == 0) {
    return {.firstIndex = first, .lastIndex = first, .count = 1, .secondIndex = 0};
  }
  const Repeat& repeat = repeats[slot.repeat - 1];
  return {.firstIndex = first,
          .lastIndex = repeat.lastIndex,
          .count = repeat.count,
          .secondIndex = repeat.secondIndex};
}

template <typename Key>
ProofEntry EntryTable<Key>::Find(const Key& key, std::uint64_t hash) const {
  if (size != 0) {
    for (std::size_t slot = Home(hash); slots[slot].firstPlusOne != 0; slot = Next(slot)) {
      if (slots[slot].key == key) {
        return EntryOf(slots[slot]);
      }
    }
  }
  return {};
}

template <typename Key>
template <typename Visit>
void EntryTable<Key>::ForEach(Visit visit) const {
  for (std::size_t slot = 0; slot < capacity; ++slot) {
    if (slots[slot].firstPlusOne != 0) {
      visit(slots[slot].key, EntryOf(slots[slot]));
    }
  }
}
