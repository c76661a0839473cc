#include "proof/EntryTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "rows/RowKey.h"

namespace {

// A key whose hash the test chooses, to make keys share a home slot.
struct TestKey {
  std::uint64_t value;
  std::uint64_t hash;
  std::uint64_t Hash() const { return hash; }
  bool operator==(const TestKey& other) const { return value == other.value; }
};

std::string Text(const ProofEntry& entry) {
  return std::to_string(entry.firstIndex) + " " + std::to_string(entry.lastIndex) + " " +
         std::to_string(entry.count) + " " + std::to_string(entry.secondIndex);
}

// Adds the keys 0 to count - 1, key k first occurring at index 2k; keys that share a home when
// shared is set.
void AddKeys(EntryTable<TestKey>& table, std::uint64_t count, bool shared) {
  for (std::uint64_t value = 0; value < count; ++value) {
    const TestKey key{value, shared ? ~std::uint64_t{0} : value * 0x9E3779B97F4A7C15u};
    const auto [slot, added] =
        table.FindOrAdd(key, key.Hash(), static_cast<std::int32_t>(2 * value));
    EXPECT_TRUE(added);
  }
}

TEST(EntryTable, GrowsAsItFillsAndKeepsEveryEntry) {
  EntryTable<NarrowRowKey> table;
  EXPECT_EQ(0, table.Capacity());
  // Keys shaped as rows of 11 bells are, with the low bits clear.
  const auto keyOf = [](std::uint64_t value) { return NarrowRowKey{{value << 20}}; };
  std::map<std::uint64_t, ProofEntry> expected;
  std::int32_t index = 0;
  for (std::uint64_t value = 0; value < 20000; ++value) {
    const NarrowRowKey key = keyOf(value);
    ASSERT_TRUE(table.FindOrAdd(key, key.Hash(), index).second);
    expected[value] = {.firstIndex = index, .lastIndex = index, .count = 1};
    ++index;
    if (value % 1000 == 999) {
      // Rows that occur again keep their occurrences as the table grows.
      const NarrowRowKey again = keyOf(value / 2);
      const auto [slot, added] = table.FindOrAdd(again, again.Hash(), index);
      ASSERT_FALSE(added);
      ProofEntry& entry = expected[value / 2];  // each of them occurs a second time
      entry.lastIndex = entry.secondIndex = index;
      entry.count = 2;
      EXPECT_EQ(Text(entry), Text(table.AddOccurrence(slot, index)));
      ++index;
    }
  }
  EXPECT_EQ(20000, table.Size());
  EXPECT_GE(table.Capacity() * 3, table.Size() * 4);

  std::int64_t visited = 0;
  table.ForEach([&](const NarrowRowKey& key, const ProofEntry& entry) {
    ++visited;
    EXPECT_EQ(Text(expected[key.words[0] >> 20]), Text(entry));
  });
  EXPECT_EQ(20000, visited);
  for (const auto& [value, entry] : expected) {
    ASSERT_EQ(Text(entry), Text(table.Find(keyOf(value), keyOf(value).Hash())));
  }
  EXPECT_EQ(0, table.Find(keyOf(20000), keyOf(20000).Hash()).count);
}

TEST(EntryTable, AReservationIsFilledWithoutGrowing) {
  EntryTable<TestKey> table;
  table.Reserve(1000);
  const std::int64_t reserved = table.Capacity();
  EXPECT_GE(reserved * 3, 1000 * 4);
  table.Reserve(10);  // less than it has room for: nothing changes
  EXPECT_EQ(reserved, table.Capacity());
  AddKeys(table, 1000, false);
  EXPECT_EQ(reserved, table.Capacity());
  EXPECT_EQ(1000, table.Size());
}

TEST(EntryTable, KeysOfOneHomeFollowEachOtherRoundTheEnd) {
  // Every key's home is the last slot: the keys fill the slots from there on, round the end of the
  // table and on through every growth.
  for (const std::uint64_t count :
       {std::uint64_t{2}, std::uint64_t{24}, std::uint64_t{25}, std::uint64_t{200}}) {
    SCOPED_TRACE(count);
    EntryTable<TestKey> table;
    AddKeys(table, count, true);
    for (std::uint64_t value = 0; value < count; ++value) {
      const TestKey key{value, ~std::uint64_t{0}};
      EXPECT_EQ(static_cast<std::int32_t>(2 * value), table.Find(key, key.Hash()).firstIndex);
      EXPECT_FALSE(table.FindOrAdd(key, key.Hash(), 0).second);
    }
    EXPECT_EQ(0, table.Find(TestKey{count, ~std::uint64_t{0}}, ~std::uint64_t{0}).count);
    std::int64_t visited = 0;
    table.ForEach([&](const TestKey&, const ProofEntry&) { ++visited; });
    EXPECT_EQ(static_cast<std::int64_t>(count), visited);
  }
}

TEST(EntryTable, OccurrencesCountFromTheSecond) {
  EntryTable<NarrowRowKey> table;
  const NarrowRowKey key{{42}};
  const std::size_t slot = table.FindOrAdd(key, key.Hash(), 3).first;
  EXPECT_EQ("3 3 1 0", Text(table.Find(key, key.Hash())));
  EXPECT_EQ("3 7 2 7", Text(table.AddOccurrence(slot, 7)));
  EXPECT_EQ("3 9 3 7", Text(table.AddOccurrence(slot, 9)));
  EXPECT_EQ("3 12 4 7", Text(table.AddOccurrence(slot, 12)));
  EXPECT_EQ("3 12 4 7", Text(table.Find(key, key.Hash())));
}

TEST(EntryTable, TakesWholeEntries) {
  EntryTable<WideRowKey> table;
  const WideRowKey once{{1, 2, 3, 4}};
  const WideRowKey thrice{{1, 2, 3, 5}};
  table.AddEntry(once, once.Hash(), {.firstIndex = 4, .lastIndex = 4, .count = 1});
  table.AddEntry(thrice, thrice.Hash(),
                 {.firstIndex = 0, .lastIndex = 30, .count = 3, .secondIndex = 20});
  EXPECT_EQ("4 4 1 0", Text(table.Find(once, once.Hash())));
  EXPECT_EQ("0 30 3 20", Text(table.Find(thrice, thrice.Hash())));
  EXPECT_EQ("0 31 4 20",
            Text(table.AddOccurrence(table.FindOrAdd(thrice, thrice.Hash(), 0).first, 31)));
}

TEST(EntryTable, AnEmptyTableFindsNothing) {
  const EntryTable<NarrowRowKey> table;
  const NarrowRowKey key{{0}};
  EXPECT_EQ(0, table.Find(key, key.Hash()).count);
  table.Prefetch(key.Hash());
  std::int64_t visited = 0;
  table.ForEach([&](const NarrowRowKey&, const ProofEntry&) { ++visited; });
  EXPECT_EQ(0, visited);
}

}  // namespace
