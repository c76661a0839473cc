#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>

#include "proof/EntryTable.h"
#include "proof/RowBuckets.h"
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

// The most changes a touch may ring. Up to 16 bells a long touch takes 8 bytes a change
// (RowBuckets), and its repeated rows 24 bytes each once compared, at most about 2 GB; a shorter
// one, and one above 16 bells, a slot for every change at most three in four of them filled: 22
// bytes a change up to 16 bells and 54 above, and 12 bytes more for each row that occurs again
// (twice that while its list grows), at most 7 GB. Row indices stay far inside 32 bits.
inline constexpr std::int64_t maxProvableChanges = 100000000;

// Reserving this many rows or more, up to 16 bells and on a stage with as many distinct rows, files
// the rows in buckets (RowBuckets) that are compared when the table is first asked, instead of
// looking each one up as it comes: the entry table is faster while it fits the caches, the buckets
// once it would not. A long touch on few bells repeats rows that a small entry table holds.
inline constexpr std::int64_t bucketedFromRows = std::int64_t{1} << 18;

// Every row of a touch in the order rung; answers which rows repeat, after how many changes rounds
// comes back, and whether the touch is true, also for touches of several whole extents. The first
// row recorded must be the starting rounds: index k is the row after k changes. The bell count
// must not change while rows are recorded.
class ProofTable {
 public:
  // bucketedFrom: the fewest rows reserved, and distinct rows of the stage, for which the rows are
  // filed in buckets; the answers are the same either way, which the tests check by asking for
  // buckets (0) on small touches.
  explicit ProofTable(std::int64_t bucketedFrom = bucketedFromRows) : bucketedFrom(bucketedFrom) {}

  // Every row recorded from now on is shown to observer too (nullptr: to none).
  void SetObserver(RowObserver* observer) { this->observer = observer; }
  // From now on rows are shown to the observer and counted, not recorded, for an analysis that
  // rings a touch proved before again: the verdict and the layout's questions answer nothing new.
  void ShowOnly() { showOnly = true; }
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
  [[nodiscard]] std::int32_t FirstRoundsAt() const;
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
  // Calls visit(row, entry) for every row recorded more than once, rounds too, also for rows that
  // occurred again only after rounds recurred, in no particular order. Walks every entry (for
  // buckets, only the repeated rows): meant for a touch known to hold repeats.
  void ForEachRepeatedRow(const std::function<void(const Row&, const ProofEntry&)>& visit) const;
  // The first repeated pair has a row in (start, start + length]; false for a multi-extent touch.
  [[nodiscard]] bool FirstRepeatWithin(std::int64_t start, std::int64_t length) const;

 private:
  // Enough rows to keep many loads from memory in flight while the first of them is recorded.
  static constexpr std::size_t batchSize = 32;

  // What the rows recorded show, kept up to date as each row is recorded into the entries, and
  // worked out from the buckets when asked.
  struct Tally {
    std::int32_t roundsAt = 0;
    std::int32_t firstRoundsAt = 0;  // the first recurrence of rounds, which roundsAt may pass
    std::int32_t maxOccurrences = 0;
    std::int32_t extents = 0;  // recognised as rows arrive; ConfirmedExtents checks them
    std::int32_t repeatCount = 0;
    std::int32_t firstRepeatAt = 0;  // the second occurrence of the first repeated row
    std::int32_t firstRepeatFirstIndex = 0;
    Row firstRepeatRow;
  };

  [[nodiscard]] static int BellCount();
  // Whether the first row recorded starts the buckets, from the room reserved and the stage.
  [[nodiscard]] bool UseBuckets() const;
  // Records keys packed under the current bell count, in the buckets or the entries.
  void Record(std::span<const NarrowRowKey> keys);
  // Records at most batchSize keys.
  template <typename Key>
  void InsertKeys(EntryTable<Key>& entries, std::span<const Key> keys);
  // Counts a row at index that the table already held: entry is its entry with this occurrence
  // counted.
  template <typename Key>
  void RecordRepeat(const ProofEntry& entry, const Key& key, std::int32_t index);
  // Moves every entry to wide keys, for a row that a narrow key cannot hold.
  void Widen();
  // Moves the rows from the buckets to the entries, for a row that the buckets cannot hold.
  void LeaveBuckets();
  // The tally, and for buckets the entries of the repeated rows, of every row recorded.
  [[nodiscard]] const Tally& Settled() const;
  // Entries: an entry table or the repeated rows of buckets.
  template <typename Entries, typename Key>
  [[nodiscard]] bool AnyOverusedRow(const Entries& entries, const Key& least) const;
  // A multi-extent touch in which a row occurs too often within the extents is no multi-extent:
  // the extents recognised as rows arrived, unless the rows recorded show that.
  [[nodiscard]] std::int32_t ConfirmedExtents() const;
  // The row's entry; its count is 0 when the table does not hold it, and may be for a row that
  // occurred once.
  [[nodiscard]] ProofEntry Find(const Row& row) const;

  RowObserver* observer = nullptr;
  bool showOnly = false;
  std::int64_t bucketedFrom;
  // The rows live in buckets when enough were reserved, else in entries under narrow keys while
  // every row fits one (up to 16 bells), else under wide.
  bool bucketed = false;
  bool wide = false;
  RowBuckets buckets;
  EntryTable<NarrowRowKey> narrowEntries;
  EntryTable<WideRowKey> wideEntries;
  std::int64_t reserved = 0;

  std::int32_t rowCount = 0;
  Tally tally;  // of the entries; for buckets, see settled
  // For buckets: the tally and the repeated rows' entries for the rows recorded when they were last
  // worked out (rowCount then).
  mutable Tally settled;
  mutable RowBuckets::RepeatedRows repeatedRows;
  mutable std::int32_t settledAtRows = -1;
  // ConfirmedExtents for the rows recorded when it was last worked out (rowCount then), kept so
  // that the layout's many questions scan the entries at most once.
  mutable std::int32_t confirmedExtents = 0;
  mutable std::int32_t confirmedAtRows = -1;
};
