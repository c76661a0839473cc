#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>

#include "proof/EntryTable.h"
#include "proof/RowObserver.h"
#include "rows/Row.h"
#include "rows/RowKey.h"

// What the proof of a touch found.
struct ProofVerdict {
  bool isTrue = false;
  // The change at which rounds recurs (the end of the last whole extent of a multi-extent touch),
  // or minus the changes recorded when it never does.
  std::int32_t roundsAt = 0;
  std::int32_t repeats = 0;  // the repeat events before rounds first recurred
  bool operator==(const ProofVerdict&) const = default;
};

// The most changes a touch may ring. The proof table holds a slot for every change the touch rings,
// at most three in four of them filled: 22 bytes a change up to 16 bells and 54 above, and 12 bytes
// more for each row that occurs again (twice that while its list grows). The longest touch so needs
// at most about 3.5 GB up to 16 bells and 7 GB above; its row indices stay far inside 32 bits.
inline constexpr std::int64_t maxProvableChanges = 100000000;

// Every row of a touch in the order rung; answers which rows repeat, after how many changes rounds
// comes back, and whether the touch is true, also for touches of several whole extents. The first
// row recorded must be the starting rounds: index k is the row after k changes. The bell count
// must not change while rows are recorded.
class ProofTable {
 public:
  // Every row recorded from now on is shown to observer too (nullptr: to none).
  void SetObserver(RowObserver* observer) { this->observer = observer; }
  // Makes room for rows rows without growing on the way; more may still be recorded.
  void Reserve(std::int64_t rows);
  void Insert(const Row& row);
  // Records the rows in order, as that many Inserts do, but faster: the slots of a batch of rows
  // are fetched from memory together.
  void Insert(std::span<const Row> rows);
  // The same for rows packed under the current bell count, as generation rings them.
  void Insert(std::span<const NarrowRowKey> rows);

  // The verdict on the rows recorded so far. Changes nothing: it may be asked at any time, and the
  // layout's questions below answer the same before and after it.
  [[nodiscard]] ProofVerdict Verdict() const;
  // The rows recorded so far, the starting rounds included: the last is at index RowCount() - 1.
  [[nodiscard]] std::int32_t RowCount() const { return rowCount; }
  // The index at which rounds first recurred, whatever the multi-extent rule made of it; 0 when it
  // has not.
  [[nodiscard]] std::int32_t FirstRoundsAt() const { return firstRoundsAt; }
  // The number of whole extents of a touch true as several extents; 0 for any other touch.
  [[nodiscard]] std::int32_t Extents() const;
  // The first repeated pair: the row and the indices of its first two occurrences.
  struct Repeat {
    std::int32_t first = 0;
    std::int32_t second = 0;
    Row row;
  };
  // REQUIRES: a repeat was recorded before rounds recurred (the verdict's repeats are not 0).
  [[nodiscard]] Repeat FirstRepeat() const;
  // "Rows 12 and 100 are both  1325476": the first repeated pair. REQUIRES: as FirstRepeat.
  void PrintFirstRepeat(std::ostream& out) const;
  // A row that occurred again before rounds first recurred.
  [[nodiscard]] bool IsRepeated(const Row& row) const;
  // Calls visit(row, entry) for every row recorded more than once, rounds too, in no particular
  // order. Walks every entry: meant for a touch known to hold repeats.
  void ForEachRepeatedRow(const std::function<void(const Row&, const ProofEntry&)>& visit) const;
  // The first repeated pair has a row in (start, start + length]; false for a multi-extent touch.
  [[nodiscard]] bool FirstRepeatWithin(std::int64_t start, std::int64_t length) const;

 private:
  // Enough rows to keep many loads from memory in flight while the first of them is recorded.
  static constexpr std::size_t batchSize = 32;

  // Records at most batchSize keys.
  template <typename Key>
  void InsertKeys(EntryTable<Key>& entries, std::span<const Key> keys);
  // Records a row at the next index that the table already held: entry is its entry with this
  // occurrence counted.
  template <typename Key>
  void RecordRepeat(const ProofEntry& entry, const Key& key);
  // Moves every entry to wide keys, for a row that a narrow key cannot hold.
  void Widen();
  template <typename Key>
  [[nodiscard]] bool AnyOverusedRow(const EntryTable<Key>& entries) const;
  // A multi-extent touch in which a row occurs too often within the extents is no multi-extent:
  // the extents recognised as rows arrived, unless the rows recorded show that.
  [[nodiscard]] std::int32_t ConfirmedExtents() const;
  // The row's entry; its count is 0 when the table does not hold it.
  [[nodiscard]] ProofEntry Find(const Row& row) const;

  RowObserver* observer = nullptr;
  // The entries live under narrow keys while every row fits one (up to 16 bells), else under wide.
  bool wide = false;
  EntryTable<NarrowRowKey> narrowEntries;
  EntryTable<WideRowKey> wideEntries;
  std::int64_t reserved = 0;

  std::int32_t rowCount = 0;
  std::int32_t roundsAt = 0;
  std::int32_t firstRoundsAt = 0;  // the first recurrence of rounds, which roundsAt may pass
  std::int32_t maxOccurrences = 0;
  std::int32_t extents = 0;  // recognised as rows arrive; ConfirmedExtents checks them
  // ConfirmedExtents for the rows recorded when it was last worked out (rowCount then), kept so
  // that the layout's many questions scan the entries at most once.
  mutable std::int32_t confirmedExtents = 0;
  mutable std::int32_t confirmedAtRows = -1;
  std::int32_t repeatCount = 0;
  std::int32_t firstRepeatAt = 0;  // the second occurrence of the first repeated row
  std::int32_t firstRepeatFirstIndex = 0;
  Row firstRepeatRow;
};
