#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "proof/LargePages.h"
#include "proof/ProofEntry.h"
#include "rows/RowKey.h"

// The rows of a long touch, up to 16 bells, filed for a proof that works from memory bandwidth
// rather than memory latency. A row is coded in 60 bits (its last bell follows from the others),
// mixed, and written with the low bits of its index as one 8-byte record at the end of one of many
// buckets, chosen by the highest bits of the mixed code: recording a row is a write to one of a few
// thousand places that advance in order, never a lookup in a table far larger than the caches. The
// rows are compared only when asked (Summarise), bucket by bucket, each bucket small enough for the
// caches; a row's occurrences all fall in one bucket, in the order recorded.
//
// A record holds the code's bits below the bucket's and the index's low bits; the rest of the index
// (its epoch) comes from a count, kept for every bucket at the end of each epoch, of the records
// the bucket held then. Memory: 8 bytes a row, a quarter of a byte for the counts, and up to two
// chunks of records (8 KB) a bucket beyond what is filled; Summarise adds its entries of repeated
// rows.
class RowBuckets {
 public:
  // Sets the bell count, at most 16, and fits the number of buckets to about rows rows. Only
  // before the first row; Reserve may widen the room later.
  void Start(int bellCount, std::int64_t rows);
  // Makes room for rows rows in all, so that recording them allocates at most once more.
  void Reserve(std::int64_t rows);
  // Records keys at the next indices, the first row recorded at index 0. Answers how many of the
  // first keys were taken: fewer than all only at a key that the code cannot hold, one of 16 bells
  // whose bells are not all different (no arrangement of the bells), which is left unrecorded.
  std::size_t Append(std::span<const NarrowRowKey> keys);
  [[nodiscard]] std::int64_t Size() const { return size; }

  // How a key is coded: its bucket and the remainder of its mixed code that a record holds.
  struct Coding {
    int bucketBits = 0;
    std::uint64_t lastBellMask = 0xF;  // the last bell follows from the others only on 16 bells
    [[nodiscard]] bool Codes(NarrowRowKey key) const;  // the code gives the key back
    [[nodiscard]] std::size_t BucketOf(NarrowRowKey key) const;
    [[nodiscard]] std::uint64_t RemainderOf(NarrowRowKey key) const;
    [[nodiscard]] NarrowRowKey KeyOf(std::size_t bucket, std::uint64_t remainder) const;
    [[nodiscard]] NarrowRowKey KeyOfCode(std::uint64_t code) const;
  };

  // The rows that occur more than once, each with its entry: 24 bytes a row, by bucket in the order
  // of their remainders, as they come out of the buckets compared.
  class RepeatedRows {
   public:
    // The row's entry; its count is 0 when the row is not among them.
    [[nodiscard]] ProofEntry Find(NarrowRowKey key) const;
    // Calls visit(key, entry) for every row, in no particular order.
    template <typename Visit>
    void ForEach(Visit visit) const;

   private:
    friend class RowBuckets;
    struct Repeated {
      std::uint64_t remainder;
      ProofEntry entry;
    };
    Coding coding;
    std::vector<std::vector<Repeated>> byBucket;
  };

  // What the rows recorded show, worked out as the proof table does when it records them one at a
  // time, and the entries of every row that occurs more than once.
  struct Summary {
    std::int32_t roundsAt = 0;
    std::int32_t firstRoundsAt = 0;
    std::int32_t maxOccurrences = 0;
    std::int32_t extents = 0;
    std::int32_t repeatCount = 0;
    std::int32_t firstRepeatAt = 0;
    std::int32_t firstRepeatFirstIndex = 0;
    NarrowRowKey firstRepeatKey;
    RepeatedRows repeated;
  };
  // extentLength: the rows of an extent, or 0 for none that an index can reach. Costs one pass
  // over every record; changes nothing.
  [[nodiscard]] Summary Summarise(std::int64_t extentLength) const;
  // The least key recorded. REQUIRES: a row was recorded.
  [[nodiscard]] NarrowRowKey LeastKey() const;
  // Calls visit(key, index) for every row recorded; each row's occurrences come in the order
  // recorded, the rows of one bucket together, the buckets in no particular order.
  template <typename Visit>
  void ForEachRow(Visit visit) const;

 private:
  // Up to 16 bells at 4 bits a bell, less the last bell.
  static constexpr int codeBits = 60;
  static constexpr std::size_t chunkRecords = 512;  // 4 KB, as the system's small pages
  static constexpr std::size_t chunkBytes = chunkRecords * sizeof(std::uint64_t);

  struct FreeBlock {
    std::size_t bytes;
    void operator()(std::uint64_t* block) const;
  };
  struct Block {
    std::unique_ptr<std::uint64_t[], FreeBlock> records;
    std::size_t chunks = 0;
    std::size_t used = 0;
  };
  // Where one bucket's records stand: its chunks in order, the last of them being filled.
  struct Bucket {
    std::vector<std::uint64_t*> chunks;
  };
  // Calls visit(records, high) for each run of the bucket's records, in order, that lie together
  // in one chunk and one epoch: high holds the epoch's bits of their indices.
  template <typename Visit>
  void ForEachRun(std::size_t bucket, Visit visit) const;
  // Calls visit(record, index) for each of the bucket's records in order, with its whole index.
  template <typename Visit>
  void ForEachRecord(std::size_t bucket, Visit visit) const;
  // Compares the rows of one bucket (Summarise's work).
  class Comparer;

  [[nodiscard]] static std::uint64_t Code(NarrowRowKey key) { return key.words[0] >> 4; }
  [[nodiscard]] Coding CodingOf() const { return {bucketBits, lastBellMask}; }
  [[nodiscard]] NarrowRowKey KeyOfCode(std::uint64_t code) const {
    return CodingOf().KeyOfCode(code);
  }
  // The mixed code, in the highest 60 bits, of a record of the bucket.
  [[nodiscard]] std::uint64_t MixedOf(std::size_t bucket, std::uint64_t record) const;
  [[nodiscard]] NarrowRowKey KeyOf(std::size_t bucket, std::uint64_t record) const;
  [[nodiscard]] std::size_t BucketOf(NarrowRowKey key) const;
  [[nodiscard]] std::int64_t CountOf(std::size_t bucket) const;
  template <int bits>
  void AppendWithinEpoch(std::span<const NarrowRowKey> keys);
  void NextChunk(std::size_t bucket);
  void EndEpoch();

  std::uint64_t lastBellMask = 0xF;  // the last bell follows from the others only on 16 bells
  int bucketBits = 0;                // 0 until Start
  int indexBits = 0;                 // the low bits of an index that a record holds, bucketBits + 4
  std::int64_t reserved = 0;
  std::int64_t size = 0;
  NarrowRowKey firstKey;
  std::vector<Bucket> buckets;
  std::vector<std::uint64_t*> tails;        // where each bucket's next record goes
  std::vector<std::uint32_t> filledChunks;  // each bucket's chunks before the one being filled
  std::vector<Block> blocks;                // the chunks come from these in order
  // For epoch e, bucket b: epochEnds[e * buckets + b] is b's count of records at the end of e.
  LargeVector<std::uint32_t> epochEnds;
};

template <typename Visit>
void RowBuckets::ForEachRun(std::size_t bucket, Visit visit) const {
  const std::int64_t count = CountOf(bucket);
  const std::vector<std::uint64_t*>& chunks = buckets[bucket].chunks;
  const std::size_t epochs = epochEnds.size() / buckets.size();
  const auto epochEnd = [&](std::size_t epoch) -> std::int64_t {
    return epoch < epochs ? epochEnds[epoch * buckets.size() + bucket] : count;
  };
  std::int64_t position = 0;
  std::size_t epoch = 0;
  std::size_t chunk = 0;
  while (position < count) {
    while (epochEnd(epoch) == position) {
      ++epoch;
    }
    const auto chunkStart = static_cast<std::int64_t>(chunk * chunkRecords);
    const std::int64_t end =
        std::min(epochEnd(epoch), chunkStart + static_cast<std::int64_t>(chunkRecords));
    visit(std::span<const std::uint64_t>(chunks[chunk] + (position - chunkStart),
                                         static_cast<std::size_t>(end - position)),
          static_cast<std::uint64_t>(epoch) << indexBits);
    position = end;
    if (position == chunkStart + static_cast<std::int64_t>(chunkRecords)) {
      ++chunk;
    }
  }
}

template <typename Visit>
void RowBuckets::ForEachRecord(std::size_t bucket, Visit visit) const {
  const std::uint64_t lowMask = (std::uint64_t{1} << indexBits) - 1;
  ForEachRun(bucket, [&](std::span<const std::uint64_t> records, std::uint64_t high) {
    for (const std::uint64_t record : records) {
      visit(record, static_cast<std::int32_t>(high | (record & lowMask)));
    }
  });
}

template <typename Visit>
void RowBuckets::RepeatedRows::ForEach(Visit visit) const {
  for (std::size_t bucket = 0; bucket < byBucket.size(); ++bucket) {
    for (const Repeated& row : byBucket[bucket]) {
      visit(coding.KeyOf(bucket, row.remainder), row.entry);
    }
  }
}

template <typename Visit>
void RowBuckets::ForEachRow(Visit visit) const {
  for (std::size_t bucket = 0; bucket < buckets.size(); ++bucket) {
    ForEachRecord(bucket, [&](std::uint64_t record, std::int32_t index) {
      visit(KeyOf(bucket, record), index);
    });
  }
}
