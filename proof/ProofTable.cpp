#include "proof/ProofTable.h"

#include <algorithm>
#include <array>

#include "rows/ProcessState.h"

namespace {

// The rows in an extent of n bells, or 0 when that exceeds any index a table can hold.
std::int64_t ExtentLength(int n) {
  std::int64_t rows = 1;
  for (int bells = 2; bells <= n; ++bells) {
    rows *= bells;
    if (rows > INT32_MAX) {
      return 0;
    }
  }
  return rows;
}

}  // namespace

void ProofTable::Reserve(std::int64_t rows) {
  reserved = std::max(reserved, rows);
  if (!wide && rowsState.bellCount > NarrowRowKey::maxBellCount) {
    Widen();
  }
  if (wide) {
    wideEntries.Reserve(reserved);
  } else {
    narrowEntries.Reserve(reserved);
  }
}

void ProofTable::Insert(const Row& row) {
  Insert(std::span<const Row>(&row, 1));
}

void ProofTable::Insert(std::span<const Row> rows) {
  if (observer != nullptr && !rows.empty()) {
    observer->Observe(rowCount, rows);
  }
  const int bellCount = rowsState.bellCount;
  while (!rows.empty()) {
    const std::size_t count = std::min(batchSize, rows.size());
    std::size_t packed = 0;
    if (wide) {
      std::array<WideRowKey, batchSize> keys;
      for (; packed < count; ++packed) {
        // Every row fits a wide key: it holds every stage, and bells are below 35.
        (void)WideRowKey::Pack(rows[packed], bellCount, keys[packed]);
      }
      InsertKeys(wideEntries, std::span<const WideRowKey>(keys.data(), packed));
    } else {
      std::array<NarrowRowKey, batchSize> keys;
      while (packed < count && NarrowRowKey::Pack(rows[packed], bellCount, keys[packed])) {
        ++packed;
      }
      InsertKeys(narrowEntries, std::span<const NarrowRowKey>(keys.data(), packed));
      if (packed < count) {
        Widen();  // the next row does not fit a narrow key
      }
    }
    rows = rows.subspan(packed);
  }
}

void ProofTable::Insert(std::span<const NarrowRowKey> keys) {
  if (wide) {  // each row is shown to the observer as it is recorded whole
    for (const NarrowRowKey& key : keys) {
      Insert(key.Unpack(rowsState.bellCount));
    }
    return;
  }
  if (observer != nullptr && !keys.empty()) {
    observer->Observe(rowCount, keys);
  }
  while (!keys.empty()) {
    const std::size_t count = std::min(batchSize, keys.size());
    InsertKeys(narrowEntries, keys.first(count));
    keys = keys.subspan(count);
  }
}

template <typename Key>
void ProofTable::InsertKeys(EntryTable<Key>& entries, std::span<const Key> keys) {
  std::array<std::uint64_t, batchSize> hashes;
  for (std::size_t key = 0; key < keys.size(); ++key) {
    hashes[key] = keys[key].Hash();
    entries.Prefetch(hashes[key]);
  }
  for (std::size_t key = 0; key < keys.size(); ++key) {
    const auto [slot, added] = entries.FindOrAdd(keys[key], hashes[key], rowCount);
    if (added) {
      ++rowCount;
    } else {
      RecordRepeat(entries.AddOccurrence(slot, rowCount), keys[key]);
    }
  }
}

template <typename Key>
void ProofTable::RecordRepeat(const ProofEntry& entry, const Key& key) {
  const std::int32_t index = rowCount++;
  const std::int32_t occurrences = entry.firstIndex == 0 ? entry.count - 1 : entry.count;
  maxOccurrences = std::max(maxOccurrences, occurrences);
  if (entry.firstIndex != 0) {
    if (roundsAt == 0 && ++repeatCount == 1) {
      firstRepeatAt = index;
      firstRepeatFirstIndex = entry.firstIndex;
      firstRepeatRow = key.Unpack(rowsState.bellCount);
    }
  } else if (roundsAt == 0) {
    roundsAt = index;
    firstRoundsAt = index;
  } else if (const std::int64_t extent = ExtentLength(rowsState.bellCount);
             extent != 0 && index % extent == 0 && index / extent == maxOccurrences) {
    extents = maxOccurrences;
    roundsAt = index;
  }
}

void ProofTable::Widen() {
  const int bellCount = rowsState.bellCount;
  wideEntries.Reserve(std::max(reserved, narrowEntries.Size()));
  narrowEntries.ForEach([&](const NarrowRowKey& narrow, const ProofEntry& entry) {
    WideRowKey key;
    // Every row fits a wide key: it holds every stage, and bells are below 35.
    (void)WideRowKey::Pack(narrow.Unpack(bellCount), bellCount, key);
    wideEntries.AddEntry(key, key.Hash(), entry);
  });
  narrowEntries.Clear();
  wide = true;
}

std::int32_t ProofTable::ConfirmedExtents() const {
  if (confirmedAtRows != rowCount) {
    confirmedExtents = extents;
    // Only a touch with repeats whose extents end before its last row can hold a row that occurs
    // too often within them.
    if (extents != 0 && repeatCount != 0 && maxOccurrences != extents && roundsAt != rowCount - 1 &&
        (wide ? AnyOverusedRow(wideEntries) : AnyOverusedRow(narrowEntries))) {
      confirmedExtents = 0;
    }
    confirmedAtRows = rowCount;
  }
  return confirmedExtents;
}

std::int32_t ProofTable::Extents() const {
  return ConfirmedExtents();
}

ProofVerdict ProofTable::Verdict() const {
  ProofVerdict verdict{.isTrue = roundsAt > 0, .roundsAt = roundsAt, .repeats = repeatCount};
  if (repeatCount != 0) {
    // Repeats make a touch false unless it is true as several whole extents.
    verdict.isTrue =
        ConfirmedExtents() != 0 && (maxOccurrences == extents || roundsAt != rowCount - 1);
  }
  if (verdict.roundsAt == 0) {
    verdict.roundsAt = 1 - rowCount;
  }
  return verdict;
}

template <typename Key>
bool ProofTable::AnyOverusedRow(const EntryTable<Key>& entries) const {
  // A row occurring more than once an extent must have occurred after the last whole extent. The
  // least row, rounds, is exempt; keys order as rows do, so the least key is the least row.
  bool found = false;
  bool seen = false;
  Key least;
  bool leastOverused = false;
  entries.ForEach([&](const Key& key, const ProofEntry& entry) {
    const bool overused = entry.count > extents && entry.lastIndex <= roundsAt;
    if (!seen || key < least) {
      found = found || (seen && leastOverused);
      seen = true;
      least = key;
      leastOverused = overused;
    } else {
      found = found || overused;
    }
  });
  return found;
}

ProofTable::Repeat ProofTable::FirstRepeat() const {
  return {firstRepeatFirstIndex, firstRepeatAt, firstRepeatRow};
}

void ProofTable::PrintFirstRepeat(std::ostream& out) const {
  out << "Rows " << firstRepeatFirstIndex << " and " << firstRepeatAt << " are both "
      << firstRepeatRow.ToText() << '\n';
}

ProofEntry ProofTable::Find(const Row& row) const {
  const int bellCount = rowsState.bellCount;
  if (wide) {
    WideRowKey key;
    return WideRowKey::Pack(row, bellCount, key) ? wideEntries.Find(key, key.Hash()) : ProofEntry();
  }
  // Every row recorded fitted a narrow key: a row that does not fit one was never recorded.
  NarrowRowKey key;
  return NarrowRowKey::Pack(row, bellCount, key) ? narrowEntries.Find(key, key.Hash())
                                                 : ProofEntry();
}

bool ProofTable::IsRepeated(const Row& row) const {
  const ProofEntry entry = Find(row);
  return entry.count > 1 && entry.secondIndex < roundsAt;
}

void ProofTable::ForEachRepeatedRow(
    const std::function<void(const Row&, const ProofEntry&)>& visit) const {
  const int bellCount = rowsState.bellCount;
  const auto visitRepeated = [&](const auto& key, const ProofEntry& entry) {
    if (entry.count > 1) {
      visit(key.Unpack(bellCount), entry);
    }
  };
  if (wide) {
    wideEntries.ForEach(visitRepeated);
  } else {
    narrowEntries.ForEach(visitRepeated);
  }
}

bool ProofTable::FirstRepeatWithin(std::int64_t start, std::int64_t length) const {
  if (ConfirmedExtents() != 0 || repeatCount == 0) {
    return false;
  }
  const auto within = [&](std::int64_t index) { return index > start && index <= start + length; };
  return within(firstRepeatFirstIndex) || within(firstRepeatAt);
}
