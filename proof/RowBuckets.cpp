#include "proof/RowBuckets.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "proof/LargePages.h"

namespace {

constexpr std::uint64_t codeMask = (std::uint64_t{1} << 60) - 1;

// Odd multipliers, so that multiplying by them is undone modulo 2^60 by their inverses.
constexpr std::uint64_t firstFactor = 0xFF51AFD7ED558CCDu & codeMask;
constexpr std::uint64_t secondFactor = 0xC4CEB9FE1A85EC53u & codeMask;

// The inverse of an odd number modulo 2^64, and so modulo 2^60: each step doubles the bits right.
constexpr std::uint64_t InverseOf(std::uint64_t odd) {
  std::uint64_t inverse = odd;
  for (int step = 0; step < 6; ++step) {
    inverse *= 2 - odd * inverse;
  }
  return inverse;
}

// Mixes the code of a key, its highest 60 bits, one to one into the highest 60 bits of the result
// (the lowest 4 are 0), so that a mixed code stands for its row and its highest bits choose a
// bucket evenly and the bits below them a slot. Worked in the highest bits, modulo 2^64, the
// multiplications need no mask.
std::uint64_t Mix(std::uint64_t key) {
  const std::uint64_t spread = (key & ~std::uint64_t{0xF}) * firstFactor;
  return ((spread >> 4) ^ (spread >> 34)) * (secondFactor << 4);
}

// The code, in the lowest 60 bits, that Mix mixed.
std::uint64_t Unmix(std::uint64_t mixed) {
  std::uint64_t code = (mixed >> 4) * InverseOf(secondFactor) & codeMask;
  code ^= code >> 30;  // a shift by half the width or more undoes itself
  return code * InverseOf(firstFactor) & codeMask;
}

// The exclusive or of the fifteen 4-bit bells of a code: the last bell of an arrangement of all 16,
// whose bells 0 to 15 give 0 together.
std::uint64_t LastBellOf(std::uint64_t code) {
  code ^= code >> 32;
  code ^= code >> 16;
  code ^= code >> 8;
  code ^= code >> 4;
  return code & 0xF;
}

constexpr int leastBucketBits = 2;
constexpr int mostBucketBits = 12;

// A bucket for every 4,000 to 8,000 rows up to 2,048 buckets (up to 16 million rows), then 4,096:
// few enough that the ends where rows are written stay in the caches, so many that one bucket's
// rows are compared within them. Measured on 100 million rows, 4,096 buckets of 24,000 rows each
// took a fifth less time than 8,192 of 12,000. Four buckets when few rows are reserved.
int BucketBitsFor(std::int64_t rows) {
  const int bits =
      static_cast<int>(std::bit_width(static_cast<std::uint64_t>(std::max<std::int64_t>(rows, 1))));
  return std::clamp(bits - 13, leastBucketBits, mostBucketBits);
}

// Calls work(std::integral_constant<int, bits>()): the loops over every row then shift by
// constants, which frees the registers that shifts by a variable tie up.
template <typename Work>
void WithBucketBits(int bits, Work work) {
  [&]<int... choices>(std::integer_sequence<int, choices...>) {
    ((bits == leastBucketBits + choices
          ? work(std::integral_constant<int, leastBucketBits + choices>())
          : void()),
     ...);
  }
  (std::make_integer_sequence<int, mostBucketBits - leastBucketBits + 1>());
}

}  // namespace

void RowBuckets::FreeBlock::operator()(std::uint64_t* block) const {
  FreeLarge(block, bytes);
}

void RowBuckets::Start(int bellCount, std::int64_t rows) {
  lastBellMask = bellCount == 16 ? 0xF : 0;
  bucketBits = BucketBitsFor(rows);
  indexBits = bucketBits + 4;
  const std::size_t count = std::size_t{1} << bucketBits;
  buckets.assign(count, Bucket());
  tails.assign(count, nullptr);
  filledChunks.assign(count, 0);
  Reserve(rows);
  for (std::size_t bucket = 0; bucket < count; ++bucket) {
    // Room for the chunks of about as many rows as the others, so that the list seldom grows.
    buckets[bucket].chunks.reserve(static_cast<std::size_t>(rows) / count / chunkRecords + 2);
    NextChunk(bucket);
  }
}

void RowBuckets::Reserve(std::int64_t rows) {
  reserved = std::max(reserved, rows);
  if (bucketBits != 0) {
    const auto epochs = static_cast<std::size_t>(reserved >> indexBits) + 1;
    epochEnds.reserve(epochs * buckets.size());
  }
}

bool RowBuckets::Coding::Codes(NarrowRowKey key) const {
  return KeyOfCode(Code(key)) == key;
}

std::size_t RowBuckets::Coding::BucketOf(NarrowRowKey key) const {
  return static_cast<std::size_t>(Mix(key.words[0]) >> (64 - bucketBits));
}

std::uint64_t RowBuckets::Coding::RemainderOf(NarrowRowKey key) const {
  return Mix(key.words[0]) << bucketBits >> (bucketBits + 4);
}

NarrowRowKey RowBuckets::Coding::KeyOf(std::size_t bucket, std::uint64_t remainder) const {
  const std::uint64_t mixed =
      (static_cast<std::uint64_t>(bucket) << (codeBits - bucketBits) | remainder) << 4;
  return KeyOfCode(Unmix(mixed));
}

NarrowRowKey RowBuckets::Coding::KeyOfCode(std::uint64_t code) const {
  return {{code << 4 | (LastBellOf(code) & lastBellMask)}};
}

ProofEntry RowBuckets::RepeatedRows::Find(NarrowRowKey key) const {
  if (byBucket.empty() || !coding.Codes(key)) {
    return {};  // a key the code cannot hold was never recorded in buckets
  }
  const std::vector<Repeated>& rows = byBucket[coding.BucketOf(key)];
  const std::uint64_t remainder = coding.RemainderOf(key);
  const auto found = std::lower_bound(
      rows.begin(), rows.end(), remainder,
      [](const Repeated& row, std::uint64_t value) { return row.remainder < value; });
  return found != rows.end() && found->remainder == remainder ? found->entry : ProofEntry();
}

std::size_t RowBuckets::BucketOf(NarrowRowKey key) const {
  return CodingOf().BucketOf(key);
}

std::uint64_t RowBuckets::MixedOf(std::size_t bucket, std::uint64_t record) const {
  return (static_cast<std::uint64_t>(bucket) << (codeBits - bucketBits) | record >> indexBits) << 4;
}

NarrowRowKey RowBuckets::KeyOf(std::size_t bucket, std::uint64_t record) const {
  return CodingOf().KeyOf(bucket, record >> indexBits);
}

std::int64_t RowBuckets::CountOf(std::size_t bucket) const {
  // Chunks are aligned to their size, so the tail's offset in its chunk is its lowest bits.
  const auto filled =
      (reinterpret_cast<std::uintptr_t>(tails[bucket]) & (chunkBytes - 1)) / sizeof(std::uint64_t);
  return static_cast<std::int64_t>(std::size_t{filledChunks[bucket]} * chunkRecords + filled);
}

void RowBuckets::NextChunk(std::size_t bucket) {
  if (blocks.empty() || blocks.back().used == blocks.back().chunks) {
    // Room for the rows still to come, and for each bucket's chunk being filled and next one.
    const std::int64_t rowsToCome = std::max<std::int64_t>(reserved - size, 0);
    std::size_t chunks = static_cast<std::size_t>(rowsToCome) / chunkRecords + 2 * buckets.size();
    if (!blocks.empty()) {
      chunks = std::max(chunks, blocks.back().chunks);  // at least doubles the room
    }
    const std::size_t bytes = chunks * chunkBytes;
    void* memory = AllocateLarge(bytes);
    blocks.push_back({.records = std::unique_ptr<std::uint64_t[], FreeBlock>(
                          static_cast<std::uint64_t*>(memory), FreeBlock{bytes}),
                      .chunks = chunks});
  }
  Block& block = blocks.back();
  std::uint64_t* chunk = block.records.get() + block.used * chunkRecords;
  ++block.used;
  if (!buckets[bucket].chunks.empty()) {
    ++filledChunks[bucket];
  }
  buckets[bucket].chunks.push_back(chunk);
  tails[bucket] = chunk;
}

std::size_t RowBuckets::Append(std::span<const NarrowRowKey> keys) {
  // Only a key that its code gives back can be recorded; every arrangement of the bells is one.
  std::uint64_t lost = 0;  // its lowest 4 bits, where a key's last bell is lost
  if (lastBellMask != 0) {
    for (const NarrowRowKey& key : keys) {
      std::uint64_t bells = key.words[0];  // all bells together give 0 in their lowest 4 bits
      bells ^= bells >> 32;
      bells ^= bells >> 16;
      bells ^= bells >> 8;
      lost |= bells ^ bells >> 4;
    }
  } else {
    for (const NarrowRowKey& key : keys) {
      lost |= key.words[0];  // a place beyond the stage holds 0
    }
  }
  std::size_t taken = keys.size();
  if ((lost & 0xF) != 0) {
    taken = 0;
    while (KeyOfCode(Code(keys[taken])) == keys[taken]) {
      ++taken;
    }
  }
  if (taken != 0 && size == 0) {
    firstKey = keys[0];
  }
  std::span<const NarrowRowKey> rest = keys.first(taken);
  const std::int64_t epochRows = std::int64_t{1} << indexBits;
  while (!rest.empty()) {
    const std::int64_t room = epochRows - (size & (epochRows - 1));
    const auto count =
        static_cast<std::size_t>(std::min(room, static_cast<std::int64_t>(rest.size())));
    WithBucketBits(bucketBits, [&](auto bits) { AppendWithinEpoch<bits()>(rest.first(count)); });
    rest = rest.subspan(count);
    if ((size & (epochRows - 1)) == 0) {
      EndEpoch();
    }
  }
  return taken;
}

template <int bits>
void RowBuckets::AppendWithinEpoch(std::span<const NarrowRowKey> keys) {
  // In locals: the compiler cannot tell that the records written are not the members.
  constexpr int shift = 64 - bits;
  constexpr int lowBits = bits + 4;
  constexpr std::uint64_t lowMask = (std::uint64_t{1} << lowBits) - 1;
  std::uint64_t** const bucketTails = tails.data();
  auto index = static_cast<std::uint64_t>(size);
  for (const NarrowRowKey& key : keys) {
    const std::uint64_t mixed = Mix(key.words[0]);
    const auto bucket = static_cast<std::size_t>(mixed >> shift);
    std::uint64_t* tail = bucketTails[bucket];
    // The shift drops the bucket's bits, which the bucket itself stands for.
    *tail++ = mixed << bits | (index++ & lowMask);
    bucketTails[bucket] = tail;
    // The line after next of the bucket, to be written a few thousand rows on: its store then finds
    // it in the caches instead of waiting for memory. Past the chunk the address may be another
    // chunk's or no memory at all, which a prefetch may touch; worked out as a number, since a
    // pointer may not point there.
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(tail) +
                                                     16 * sizeof(std::uint64_t)),
                       1);
    if ((reinterpret_cast<std::uintptr_t>(tail) & (chunkBytes - 1)) == 0) {
      NextChunk(bucket);
    }
  }
  size = static_cast<std::int64_t>(index);
}

void RowBuckets::EndEpoch() {
  const std::size_t first = epochEnds.size();
  epochEnds.resize(first + buckets.size());
  std::uint32_t* ends = epochEnds.data() + first;
  for (std::size_t bucket = 0; bucket < buckets.size(); ++bucket) {
    ends[bucket] = static_cast<std::uint32_t>(CountOf(bucket));
  }
}

NarrowRowKey RowBuckets::LeastKey() const {
  std::uint64_t least = std::numeric_limits<std::uint64_t>::max();
  for (std::size_t bucket = 0; bucket < buckets.size(); ++bucket) {
    ForEachRecord(bucket, [&](std::uint64_t record, std::int32_t) {
      // Codes order as their keys do: a key is its code and a last bell that follows from it.
      least = std::min(least, Unmix(MixedOf(bucket, record)));
    });
  }
  return KeyOfCode(least);
}

// The rows of one bucket go through a small hash table at a time, keyed by the bits of their
// mixed codes that the bucket leaves (a remainder), already evenly spread. A slot's tag holds the
// remainder, a bit set once the row occurs again, and above them the generation of the table: a
// slot of an older generation is empty, so the table is never cleared between buckets. A slot's
// value is the position in the bucket of the row's first occurrence, and once it occurs again the
// number of its entry among the bucket's repeated rows. Positions, not indices, so that the loop
// over every record never looks at epochs: only a repeat needs an index.
class RowBuckets::Comparer {
 public:
  Comparer(const RowBuckets& rows, std::int64_t extentLength, Summary& summary)
      : rows(rows),
        extentLength(extentLength),
        summary(summary),
        remainderBits(codeBits - rows.bucketBits),
        repeated(std::uint64_t{1} << remainderBits),
        generationShift(remainderBits + 1) {
    if (extentLength != 0 && rows.size != 0) {
      occurrencesBy.assign(static_cast<std::size_t>((rows.size - 1) / extentLength + 2), 0);
    }
  }

  template <int bits>
  void Compare(std::size_t bucket);
  // Completes the summary once every bucket is compared, the bucket of the first row first.
  void Finish();

 private:
  struct Pending {
    std::uint64_t remainder;
    ProofEntry entry;
  };

  [[nodiscard]] bool Filled(std::size_t slot) const {
    return tags[slot] >> generationShift == generation;
  }
  // The slot of the row whose tag is tag: its own if the table holds it, else the empty one where
  // it goes.
  [[nodiscard, gnu::noinline]] std::size_t Probe(std::size_t slot, std::uint64_t tag) const;
  // A table of 2^bits slots, all empty.
  void NewTable(int bits);
  [[gnu::noinline]] void Grow();
  // The index of the record at position in the current bucket.
  [[nodiscard]] std::int32_t IndexAt(std::int64_t position) const;
  // The same for positions that only grow, as the records are read.
  [[nodiscard]] std::int32_t NextIndexAt(std::int64_t position);
  [[gnu::noinline]] void Repeat(std::size_t slot, std::int64_t position);

  const RowBuckets& rows;
  const std::int64_t extentLength;
  Summary& summary;
  const int remainderBits;
  const std::uint64_t repeated;
  const int generationShift;
  std::uint64_t generation = 0;
  int tableBits = 0;
  std::size_t filledSlots = 0;
  std::vector<std::uint64_t> tags;
  std::vector<std::int32_t> values;
  std::size_t bucket = 0;
  std::size_t epoch = 0;  // of the last repeat in the bucket, for NextIndexAt
  std::vector<Pending> pending;
  // The first recurrence of the first row, while none is found: any index comes before it.
  std::int32_t roundsAt = std::numeric_limits<std::int32_t>::max();
  std::int32_t firstRepeatAt = std::numeric_limits<std::int32_t>::max();
  std::size_t firstRepeatBucket = 0;
  std::uint64_t firstRepeatRemainder = 0;
  // occurrencesBy[m]: the most occurrences of a row reached at a repeat within extent m (indices
  // above (m - 1) * extentLength, up to m * extentLength).
  std::vector<std::int32_t> occurrencesBy;
  std::vector<std::int32_t> roundsAtExtentEnds;  // later recurrences of the first row, in order
};

std::size_t RowBuckets::Comparer::Probe(std::size_t slot, std::uint64_t tag) const {
  const std::size_t mask = (std::size_t{1} << tableBits) - 1;
  while (Filled(slot) && (tags[slot] & ~repeated) != tag) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

void RowBuckets::Comparer::NewTable(int bits) {
  tableBits = bits;
  filledSlots = 0;
  const std::size_t slots = std::size_t{1} << bits;
  if (tags.size() < slots) {
    tags.resize(slots);  // zero: empty for every generation
    values.resize(slots);
  }
  if (++generation >> (64 - generationShift) != 0) {
    // Every generation the tags hold is used: start again from empty tags.
    std::fill(tags.begin(), tags.end(), 0);
    generation = 1;
  }
}

void RowBuckets::Comparer::Grow() {
  std::vector<std::pair<std::uint64_t, std::int32_t>> rowsHeld;
  rowsHeld.reserve(filledSlots);
  for (std::size_t slot = 0; slot < std::size_t{1} << tableBits; ++slot) {
    if (Filled(slot)) {
      rowsHeld.emplace_back(tags[slot] & (repeated | (repeated - 1)), values[slot]);
    }
  }
  NewTable(tableBits + 1);
  for (const auto& [bits, value] : rowsHeld) {
    const std::uint64_t tag = generation << generationShift | (bits & (repeated - 1));
    const std::size_t slot = Probe((bits & (repeated - 1)) >> (remainderBits - tableBits), tag);
    tags[slot] = generation << generationShift | bits;
    values[slot] = value;
  }
  filledSlots = rowsHeld.size();
}

template <int bits>
void RowBuckets::Comparer::Compare(std::size_t bucket) {
  const std::int64_t count = rows.CountOf(bucket);
  if (count == 0) {
    return;
  }
  this->bucket = bucket;
  epoch = 0;
  // At most a quarter full if every row is new; a bucket of many rows that repeat starts smaller
  // and grows as its rows prove new.
  constexpr int mostFirstBits = 17;
  NewTable(std::clamp(static_cast<int>(std::bit_width(static_cast<std::uint64_t>(4 * count - 1))),
                      4, mostFirstBits));
  constexpr int lowBits = bits + 4;
  // In locals, as the table changes only when it grows: the compiler cannot tell that the slots
  // written are not the members.
  std::uint64_t* slotTags = tags.data();
  std::int32_t* slotValues = values.data();
  std::uint64_t generationTag = generation << generationShift;  // the least tag of a filled slot
  int homeShift = remainderBits - tableBits;
  std::size_t mostFilled = (std::size_t{1} << tableBits) / 2;
  std::size_t filled = 0;
  const std::vector<std::uint64_t*>& chunks = rows.buckets[bucket].chunks;
  for (std::int64_t chunkStart = 0; chunkStart < count;
       chunkStart += static_cast<std::int64_t>(chunkRecords)) {
    const std::size_t chunk = static_cast<std::size_t>(chunkStart) / chunkRecords;
    const std::uint64_t* records = chunks[chunk];
    // The next chunk lies elsewhere in memory, where the processor does not look ahead by itself:
    // its lines are fetched while this chunk is compared.
    const std::uint64_t* next = chunk + 1 < chunks.size() ? chunks[chunk + 1] : records;
    const std::int64_t chunkEnd =
        std::min(count, chunkStart + static_cast<std::int64_t>(chunkRecords));
    for (std::int64_t position = chunkStart; position < chunkEnd; ++position) {
      __builtin_prefetch(next + (position - chunkStart));
      const std::uint64_t remainder = records[position - chunkStart] >> lowBits;
      const std::uint64_t tag = generationTag | remainder;
      auto slot = static_cast<std::size_t>(remainder >> homeShift);
      if (slotTags[slot] >= generationTag) {
        slot = Probe(slot, tag);
        if (Filled(slot)) {
          Repeat(slot, position);
          continue;
        }
      }
      slotTags[slot] = tag;
      slotValues[slot] = static_cast<std::int32_t>(position);
      if (++filled > mostFilled) {
        filledSlots = filled;
        Grow();
        slotTags = tags.data();
        slotValues = values.data();
        generationTag = generation << generationShift;
        homeShift = remainderBits - tableBits;
        mostFilled = (std::size_t{1} << tableBits) / 2;
      }
    }
  }
  if (!pending.empty()) {
    std::sort(pending.begin(), pending.end(),
              [](const Pending& a, const Pending& b) { return a.remainder < b.remainder; });
    std::vector<RepeatedRows::Repeated>& repeatedRows = summary.repeated.byBucket[bucket];
    repeatedRows.reserve(pending.size());
    for (const Pending& row : pending) {
      repeatedRows.push_back({.remainder = row.remainder, .entry = row.entry});
    }
    pending.clear();
  }
}

std::int32_t RowBuckets::Comparer::IndexAt(std::int64_t position) const {
  // The first epoch whose end lies beyond the position: the ends only grow.
  const std::size_t buckets = rows.buckets.size();
  std::size_t low = 0;
  std::size_t high = rows.epochEnds.size() / buckets;  // past the last epoch ended: the current one
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (rows.epochEnds[middle * buckets + bucket] > position) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  const std::uint64_t record =
      rows.buckets[bucket]
          .chunks[static_cast<std::size_t>(position) / chunkRecords][position % chunkRecords];
  const std::uint64_t lowMask = (std::uint64_t{1} << rows.indexBits) - 1;
  return static_cast<std::int32_t>(std::uint64_t{low} << rows.indexBits | (record & lowMask));
}

std::int32_t RowBuckets::Comparer::NextIndexAt(std::int64_t position) {
  const std::size_t buckets = rows.buckets.size();
  const std::size_t epochs = rows.epochEnds.size() / buckets;
  while (epoch < epochs && rows.epochEnds[epoch * buckets + bucket] <= position) {
    ++epoch;
  }
  const std::uint64_t record =
      rows.buckets[bucket]
          .chunks[static_cast<std::size_t>(position) / chunkRecords][position % chunkRecords];
  const std::uint64_t lowMask = (std::uint64_t{1} << rows.indexBits) - 1;
  return static_cast<std::int32_t>(std::uint64_t{epoch} << rows.indexBits | (record & lowMask));
}

void RowBuckets::Comparer::Repeat(std::size_t slot, std::int64_t position) {
  const std::int32_t index = NextIndexAt(position);
  if ((tags[slot] & repeated) == 0) {
    pending.push_back({.remainder = tags[slot] & (repeated - 1),
                       .entry = {.firstIndex = IndexAt(values[slot]),
                                 .lastIndex = index,
                                 .count = 2,
                                 .secondIndex = index}});
    tags[slot] |= repeated;
    values[slot] = static_cast<std::int32_t>(pending.size() - 1);
  } else {
    ProofEntry& entry = pending[static_cast<std::size_t>(values[slot])].entry;
    ++entry.count;
    entry.lastIndex = index;
  }
  // What the proof table does at a repeat, with the order of events across buckets taken apart:
  // the buckets' rows come in their own order only.
  const ProofEntry& entry = pending[static_cast<std::size_t>(values[slot])].entry;
  const std::int32_t occurrences = entry.firstIndex == 0 ? entry.count - 1 : entry.count;
  summary.maxOccurrences = std::max(summary.maxOccurrences, occurrences);
  if (extentLength != 0) {
    const std::int64_t extent = (index + extentLength - 1) / extentLength;
    std::int32_t& most = occurrencesBy[static_cast<std::size_t>(extent)];
    most = std::max(most, occurrences);
  }
  if (entry.firstIndex != 0) {
    if (index < roundsAt) {
      ++summary.repeatCount;
      if (index < firstRepeatAt) {
        firstRepeatAt = index;
        summary.firstRepeatFirstIndex = entry.firstIndex;
        firstRepeatBucket = bucket;
        firstRepeatRemainder = tags[slot] & (repeated - 1);
      }
    }
  } else if (roundsAt == std::numeric_limits<std::int32_t>::max()) {
    roundsAt = index;  // the first row's bucket comes first, so no bucket has counted past it
  } else if (extentLength != 0 && index % extentLength == 0) {
    roundsAtExtentEnds.push_back(index);
  }
}

void RowBuckets::Comparer::Finish() {
  if (roundsAt != std::numeric_limits<std::int32_t>::max()) {
    summary.roundsAt = roundsAt;
    summary.firstRoundsAt = roundsAt;
  }
  if (summary.repeatCount != 0) {
    summary.firstRepeatAt = firstRepeatAt;
    summary.firstRepeatKey = rows.KeyOf(firstRepeatBucket, firstRepeatRemainder << rows.indexBits);
  }
  // The multi-extent rule at each later recurrence of the first row at a whole number of extents:
  // the most occurrences reached by then must be that number.
  for (std::size_t extent = 1; extent < occurrencesBy.size(); ++extent) {
    occurrencesBy[extent] = std::max(occurrencesBy[extent], occurrencesBy[extent - 1]);
  }
  for (const std::int32_t index : roundsAtExtentEnds) {
    const std::int64_t extents = index / extentLength;
    if (extents == occurrencesBy[static_cast<std::size_t>(extents)]) {
      summary.extents = static_cast<std::int32_t>(extents);
      summary.roundsAt = index;
    }
  }
}

RowBuckets::Summary RowBuckets::Summarise(std::int64_t extentLength) const {
  Summary summary;
  if (size == 0) {
    return summary;
  }
  summary.repeated.coding = CodingOf();
  summary.repeated.byBucket.resize(buckets.size());
  Comparer comparer(*this, extentLength, summary);
  // The first row's bucket first: it finds where rounds first recurs, before which repeats count.
  const std::size_t first = BucketOf(firstKey);
  WithBucketBits(bucketBits, [&](auto bits) {
    comparer.Compare<bits()>(first);
    for (std::size_t bucket = 0; bucket < buckets.size(); ++bucket) {
      if (bucket != first) {
        comparer.Compare<bits()>(bucket);
      }
    }
  });
  comparer.Finish();
  return summary;
}
