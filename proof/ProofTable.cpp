#include "proof/ProofTable.h"

#include <algorithm>
#include <array>
#include <utility>

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

// The least key an entry table holds. REQUIRES: it holds one.
template <typename Key>
Key LeastKey(const EntryTable<Key>& entries) {
  bool seen = false;
  Key least;
  entries.ForEach([&](const Key& key, const ProofEntry&) {
    if (!seen || key < least) {
      least = key;
      seen = true;
    }
  });
  return least;
}

}  // namespace

int ProofTable::BellCount() {
  return rowsState.bellCount;
}

bool ProofTable::UseBuckets() const {
  const std::int64_t extent = ExtentLength(rowsState.bellCount);
  return rowsState.bellCount <= NarrowRowKey::maxBellCount && reserved >= bucketedFrom &&
         (extent == 0 || extent >= bucketedFrom);
}

void ProofTable::Reserve(std::int64_t rows) {
  reserved = std::max(reserved, rows);
  if (!wide && rowsState.bellCount > NarrowRowKey::maxBellCount) {
    Widen();
  }
  if (bucketed) {
    buckets.Reserve(reserved);
  } else if (wide) {
    wideEntries.Reserve(reserved);
  } else if (rowCount != 0 || !UseBuckets()) {
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
  if (showOnly) {
    rowCount += static_cast<std::int32_t>(rows.size());
    return;
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
      Record(std::span<const NarrowRowKey>(keys.data(), packed));
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
  if (showOnly) {
    rowCount += static_cast<std::int32_t>(keys.size());
    return;
  }
  Record(keys);
}

void ProofTable::Record(std::span<const NarrowRowKey> keys) {
  if (rowCount == 0 && !bucketed && !keys.empty() && UseBuckets()) {
    // The store is chosen at the first row, when the stage is set and the room reserved.
    bucketed = true;
    buckets.Start(rowsState.bellCount, reserved);
  }
  if (bucketed) {
    const std::size_t taken = buckets.Append(keys);
    rowCount += static_cast<std::int32_t>(taken);
    if (taken == keys.size()) {
      return;
    }
    LeaveBuckets();  // the next row is no arrangement of the bells
    keys = keys.subspan(taken);
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
  // The index in a local, which the stores to the slots cannot touch.
  std::int32_t index = rowCount;
  for (std::size_t key = 0; key < keys.size(); ++key, ++index) {
    const auto [slot, added] = entries.FindOrAdd(keys[key], hashes[key], index);
    if (!added) {
      RecordRepeat(entries.AddOccurrence(slot, index), keys[key], index);
    }
  }
  rowCount = index;
}

template <typename Key>
void ProofTable::RecordRepeat(const ProofEntry& entry, const Key& key, std::int32_t index) {
  const std::int32_t occurrences = entry.firstIndex == 0 ? entry.count - 1 : entry.count;
  tally.maxOccurrences = std::max(tally.maxOccurrences, occurrences);
  if (entry.firstIndex != 0) {
    if (tally.roundsAt == 0 && ++tally.repeatCount == 1) {
      tally.firstRepeatAt = index;
      tally.firstRepeatFirstIndex = entry.firstIndex;
      tally.firstRepeatRow = key.Unpack(rowsState.bellCount);
    }
  } else if (tally.roundsAt == 0) {
    tally.roundsAt = index;
    tally.firstRoundsAt = index;
  } else if (const std::int64_t extent = ExtentLength(rowsState.bellCount);
             extent != 0 && index % extent == 0 && index / extent == tally.maxOccurrences) {
    tally.extents = tally.maxOccurrences;
    tally.roundsAt = index;
  }
}

const ProofTable::Tally& ProofTable::Settled() const {
  if (!bucketed) {
    return tally;
  }
  if (settledAtRows != rowCount) {
    RowBuckets::Summary summary = buckets.Summarise(ExtentLength(rowsState.bellCount));
    settled = {.roundsAt = summary.roundsAt,
               .firstRoundsAt = summary.firstRoundsAt,
               .maxOccurrences = summary.maxOccurrences,
               .extents = summary.extents,
               .repeatCount = summary.repeatCount,
               .firstRepeatAt = summary.firstRepeatAt,
               .firstRepeatFirstIndex = summary.firstRepeatFirstIndex,
               .firstRepeatRow = summary.repeatCount != 0
                                     ? summary.firstRepeatKey.Unpack(rowsState.bellCount)
                                     : Row()};
    repeatedRows = std::move(summary.repeated);
    settledAtRows = rowCount;
  }
  return settled;
}

void ProofTable::LeaveBuckets() {
  tally = Settled();
  narrowEntries.Reserve(std::max(reserved, buckets.Size()));
  buckets.ForEachRow([&](const NarrowRowKey& key, std::int32_t index) {
    const auto [slot, added] = narrowEntries.FindOrAdd(key, key.Hash(), index);
    if (!added) {
      (void)narrowEntries.AddOccurrence(slot, index);
    }
  });
  buckets = RowBuckets();
  repeatedRows = RowBuckets::RepeatedRows();
  settledAtRows = -1;
  bucketed = false;
}

void ProofTable::Widen() {
  if (bucketed) {
    LeaveBuckets();
  }
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
  const Tally& counts = Settled();
  if (confirmedAtRows != rowCount) {
    confirmedExtents = counts.extents;
    // Only a touch with repeats whose extents end before its last row can hold a row that occurs
    // too often within them. The least row, rounds, is exempt.
    if (counts.extents != 0 && counts.repeatCount != 0 && counts.maxOccurrences != counts.extents &&
        counts.roundsAt != rowCount - 1) {
      bool overused = false;
      if (bucketed) {
        overused = AnyOverusedRow(repeatedRows, buckets.LeastKey());
      } else if (wide) {
        overused = AnyOverusedRow(wideEntries, LeastKey(wideEntries));
      } else {
        overused = AnyOverusedRow(narrowEntries, LeastKey(narrowEntries));
      }
      if (overused) {
        confirmedExtents = 0;
      }
    }
    confirmedAtRows = rowCount;
  }
  return confirmedExtents;
}

std::int32_t ProofTable::Extents() const {
  return ConfirmedExtents();
}

ProofVerdict ProofTable::Verdict() const {
  const Tally& counts = Settled();
  ProofVerdict verdict{
      .isTrue = counts.roundsAt > 0, .roundsAt = counts.roundsAt, .repeats = counts.repeatCount};
  if (counts.repeatCount != 0) {
    // Repeats make a touch false unless it is true as several whole extents.
    verdict.isTrue = ConfirmedExtents() != 0 &&
                     (counts.maxOccurrences == counts.extents || counts.roundsAt != rowCount - 1);
  }
  if (verdict.roundsAt == 0) {
    verdict.roundsAt = 1 - rowCount;
  }
  return verdict;
}

template <typename Entries, typename Key>
bool ProofTable::AnyOverusedRow(const Entries& entries, const Key& least) const {
  // A row occurring more than once an extent must have occurred after the last whole extent.
  const Tally& counts = Settled();
  bool found = false;
  entries.ForEach([&](const Key& key, const ProofEntry& entry) {
    found = found ||
            (entry.count > counts.extents && entry.lastIndex <= counts.roundsAt && !(key == least));
  });
  return found;
}

ProofTable::Repeat ProofTable::FirstRepeat() const {
  const Tally& counts = Settled();
  return {counts.firstRepeatFirstIndex, counts.firstRepeatAt, counts.firstRepeatRow};
}

void ProofTable::PrintFirstRepeat(std::ostream& out) const {
  const Tally& counts = Settled();
  out << "Rows " << counts.firstRepeatFirstIndex << " and " << counts.firstRepeatAt << " are both "
      << counts.firstRepeatRow.ToText() << '\n';
}

ProofEntry ProofTable::Find(const Row& row) const {
  const int bellCount = rowsState.bellCount;
  if (wide) {
    WideRowKey key;
    return WideRowKey::Pack(row, bellCount, key) ? wideEntries.Find(key, key.Hash()) : ProofEntry();
  }
  // Every row recorded fitted a narrow key: a row that does not fit one was never recorded.
  NarrowRowKey key;
  if (!NarrowRowKey::Pack(row, bellCount, key)) {
    return {};
  }
  if (bucketed) {
    (void)Settled();
    return repeatedRows.Find(key);
  }
  return narrowEntries.Find(key, key.Hash());
}

bool ProofTable::IsRepeated(const Row& row) const {
  const ProofEntry entry = Find(row);
  return entry.count > 1 && entry.secondIndex < Settled().roundsAt;
}

void ProofTable::ForEachRepeatedRow(
    const std::function<void(const Row&, const ProofEntry&)>& visit) const {
  const int bellCount = rowsState.bellCount;
  const auto visitRepeated = [&](const auto& key, const ProofEntry& entry) {
    if (entry.count > 1) {
      visit(key.Unpack(bellCount), entry);
    }
  };
  if (bucketed) {
    (void)Settled();
    repeatedRows.ForEach(visitRepeated);
  } else if (wide) {
    wideEntries.ForEach(visitRepeated);
  } else {
    narrowEntries.ForEach(visitRepeated);
  }
}

std::int32_t ProofTable::FirstRoundsAt() const {
  return Settled().firstRoundsAt;
}

bool ProofTable::FirstRepeatWithin(std::int64_t start, std::int64_t length) const {
  const Tally& counts = Settled();
  if (ConfirmedExtents() != 0 || counts.repeatCount == 0) {
    return false;
  }
  const auto within = [&](std::int64_t index) { return index > start && index <= start + length; };
  return within(counts.firstRepeatFirstIndex) || within(counts.firstRepeatAt);
}
