#include "analysis/FalseSixes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <queue>
#include <span>
#include <tuple>
#include <type_traits>
#include <utility>

#include "proof/RowObserver.h"
#include "rows/ProcessState.h"
#include "rows/RowKey.h"
#include "touch/Block.h"

namespace {

// The rows followed, packed, in a hash table of their own: answers which of them a row is.
template <typename Key>
class KeyIndex {
 public:
  explicit KeyIndex(const std::vector<Row>& rows, int bellCount) {
    std::size_t capacity = 16;
    while (capacity < 2 * rows.size()) {
      capacity *= 2;
    }
    shift = 64 - std::countr_zero(capacity);
    slots.assign(capacity, -1);
    for (const Row& row : rows) {
      Key key;
      (void)Key::Pack(row, bellCount, key);  // every followed row is a row of the touch
      std::size_t slot = Home(key);
      while (slots[slot] >= 0) {
        slot = (slot + 1) & (capacity - 1);
      }
      slots[slot] = static_cast<std::int32_t>(keys.size());
      keys.push_back(key);
      const std::uint64_t bit = FilterBit(key);
      filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
  }

  // The position of key among the rows, or -1. Nearly every row rung is none of them: a bit of a
  // small filter, in the nearest cache, turns most away before the table is looked at.
  [[nodiscard]] std::int32_t Find(const Key& key) const {
    const std::uint64_t bit = FilterBit(key);
    if ((filter[bit / 64] >> (bit % 64) & 1) == 0) {
      return -1;
    }
    for (std::size_t slot = Home(key);; slot = (slot + 1) & (slots.size() - 1)) {
      const std::int32_t found = slots[slot];
      if (found < 0 || keys[static_cast<std::size_t>(found)] == key) {
        return found;
      }
    }
  }

 private:
  [[nodiscard]] std::size_t Home(const Key& key) const {
    return static_cast<std::size_t>(key.Hash() >> shift);
  }

  // One multiplication of the key's first word: cheap, and it spreads the bells over the bits.
  static std::uint64_t FilterBit(const Key& key) {
    return (key.words[0] * 0x9E3779B97F4A7C15u) >> (64 - filterLog);
  }
  static constexpr int filterLog = 15;

  std::array<std::uint64_t, (std::size_t{1} << filterLog) / 64> filter{};  // 4 KB
  std::vector<Key> keys;
  std::vector<std::int32_t> slots;  // -1 for an empty slot
  int shift = 0;
};

// Sees the rows of the touch rung again, and pairs the sixes in which each followed row occurs.
// A pair of sixes is complete when the second of them ends, so pairs are settled six by six, in
// the order of their second sixes.
template <typename Key>
class ClashCollector final : public RowObserver {
 public:
  // How far to look: the last row in which sixes may clash, the row at which to stop (-1: none),
  // and the most work to do.
  struct Bounds {
    std::int32_t last;
    std::int32_t stopRow;
    std::int64_t maxWork;
  };

  ClashCollector(const Block& top, const RingingFrame& frame, const std::vector<Row>& followed,
                 const Bounds& bounds)
      : sixes(top, frame),
        followed(followed),
        index(followed, rowsState.bellCount),
        heads(followed.size(), -1),
        last(bounds.last),
        stopRow(bounds.stopRow),
        maxWork(bounds.maxWork) {
    (void)Key::Pack(Row(), rowsState.bellCount, rounds);
  }

  void Observe(std::int32_t first, std::span<const NarrowRowKey> rows) override {
    for (const NarrowRowKey& row : rows) {
      if constexpr (std::is_same_v<Key, NarrowRowKey>) {
        Note(first++, row);
      } else {
        Key key;  // rows come packed narrow only up to 16 bells, but a wide key holds them too
        (void)Key::Pack(row.Unpack(rowsState.bellCount), rowsState.bellCount, key);
        Note(first++, key);
      }
    }
  }

  void Observe(std::int32_t first, std::span<const Row> rows) override {
    for (const Row& row : rows) {
      Key key;
      (void)Key::Pack(row, rowsState.bellCount, key);
      Note(first++, key);
    }
  }

  // Settles the last six and answers what was found.
  FalsenessReport Finish() {
    if (!stopped) {
      Settle();
      report.searchedTo = last;
    }
    return std::move(report);
  }

 private:
  // One occurrence of a followed row: where it stands, and the occurrence of the same row before.
  struct Occurrence {
    std::int32_t at;
    std::int32_t place;  // its six, in places
    std::int32_t previous;
  };
  // A row of the current six that an earlier six holds too.
  struct Shared {
    std::int32_t place;  // the earlier six
    std::int32_t row;    // in followed
    std::int32_t at;     // in the current six
    std::int32_t atBefore;
  };

  void Note(std::int32_t at, const Key& key) {
    if (stopped || at > last) {
      return;
    }
    if (at == stopRow) {
      Stop(at);
      return;
    }
    const std::int32_t row = index.Find(key);
    if (row < 0 || (key == rounds && (at == 0 || at == last))) {
      return;
    }
    const SixPlace& six = sixes.SixOf(at);
    if (!pending || six.firstRow != places.back().firstRow) {
      Settle();
      places.push_back(six);
      pending = true;
    }
    const auto place = static_cast<std::int32_t>(places.size() - 1);
    std::int32_t& head = heads[static_cast<std::size_t>(row)];
    for (std::int32_t before = head; before >= 0;
         before = occurrences[static_cast<std::size_t>(before)].previous) {
      const Occurrence& earlier = occurrences[static_cast<std::size_t>(before)];
      if (++work > maxWork) {
        Stop(at);
        return;
      }
      shared.push_back({earlier.place, row, at, earlier.at});
    }
    if (++work > maxWork) {
      Stop(at);
      return;
    }
    occurrences.push_back({at, place, head});
    head = static_cast<std::int32_t>(occurrences.size() - 1);
  }

  // The pairs of the current six with every earlier six it shares a row with.
  void Settle() {
    if (!pending) {
      return;
    }
    pending = false;
    std::sort(shared.begin(), shared.end(), [](const Shared& a, const Shared& b) {
      return std::tie(a.place, a.row, a.at) < std::tie(b.place, b.row, b.at);
    });
    std::vector<ClashingPair> pairs;
    for (std::size_t begin = 0; begin < shared.size();) {
      std::size_t end = begin;
      const Shared* firstShared = &shared[begin];
      std::int64_t rows = 0;
      for (; end < shared.size() && shared[end].place == shared[begin].place; ++end) {
        rows += end == begin || shared[end].row != shared[end - 1].row ? 1 : 0;
        if (shared[end].at < firstShared->at) {
          firstShared = &shared[end];
        }
      }
      pairs.push_back({places[static_cast<std::size_t>(firstShared->place)], places.back(), rows,
                       followed[static_cast<std::size_t>(firstShared->row)], firstShared->atBefore,
                       firstShared->at});
      begin = end;
    }
    shared.clear();
    std::sort(pairs.begin(), pairs.end(), [](const ClashingPair& a, const ClashingPair& b) {
      return std::tie(a.firstSharedInSecond, a.first.firstRow) <
             std::tie(b.firstSharedInSecond, b.first.firstRow);
    });
    report.pairCount += static_cast<std::int64_t>(pairs.size());
    for (ClashingPair& pair : pairs) {
      if (report.pairs.size() < FalsenessReport::maxListedPairs) {
        report.pairs.push_back(std::move(pair));
      }
    }
  }

  // Gives up at row at: the pairs of the sixes before its six stand, the rest are not known.
  void Stop(std::int32_t at) {
    const SixPlace& six = sixes.SixOf(at);
    if (pending && places.back().firstRow != six.firstRow) {
      Settle();
    }
    shared.clear();
    pending = false;
    stopped = true;
    report.complete = false;
    report.searchedTo = six.firstRow - 1;
  }

  SixCursor sixes;
  const std::vector<Row>& followed;
  KeyIndex<Key> index;
  Key rounds;
  std::vector<std::int32_t> heads;  // for each followed row, its latest occurrence, or -1
  std::vector<Occurrence> occurrences;
  std::vector<SixPlace> places;  // each six in which a followed row occurred; the last is current
  bool pending = false;          // the current six holds rows not yet settled
  std::vector<Shared> shared;
  std::int32_t last;
  std::int32_t stopRow;
  std::int64_t maxWork;
  std::int64_t work = 0;
  bool stopped = false;
  FalsenessReport report;
};

}  // namespace

FalseSixFinder::FalseSixFinder(const Block& top, const ProofTable& table,
                               const ProofVerdict& verdict, const FalsenessLimits& limits)
    : limits(limits), frame(FrameOf(top, table.RowCount())) {
  last = verdict.roundsAt > 0 ? verdict.roundsAt : table.RowCount() - 1;
  // A true touch, also one true as several extents, has no clashing sixes; a false one repeats a
  // row before rounds recurs, or never comes round and repeats one.
  if (verdict.isTrue || verdict.repeats == 0) {
    return;
  }
  // The rows whose second occurrence comes first, as many as the limits follow: a heap whose top
  // is the latest of those kept.
  using Candidate = std::pair<std::int32_t, Row>;
  const auto later = [](const Candidate& a, const Candidate& b) { return a.first < b.first; };
  std::priority_queue<Candidate, std::vector<Candidate>, decltype(later)> kept(later);
  table.ForEachRepeatedRow([&](const Row& row, const ProofEntry& entry) {
    // Rounds clashes only where it stands between the start and the end.
    const bool inRange =
        entry.firstIndex == 0 ? entry.secondIndex < last : entry.secondIndex <= last;
    if (!inRange) {
      return;
    }
    kept.emplace(entry.secondIndex, row);
    if (kept.size() > limits.followedRows) {
      const std::int32_t dropped = kept.top().first;
      stopRow = stopRow < 0 ? dropped : std::min(stopRow, dropped);
      kept.pop();
    }
  });
  std::vector<Candidate> rows;
  rows.reserve(kept.size());
  while (!kept.empty()) {
    rows.push_back(kept.top());
    kept.pop();
  }
  std::reverse(rows.begin(), rows.end());
  for (Candidate& candidate : rows) {
    followed.push_back(candidate.second);
  }
}

FalsenessReport FalseSixFinder::Find(Block& top) const {
  if (followed.empty() && stopRow < 0) {
    FalsenessReport none;
    none.searchedTo = last;
    return none;
  }
  return rowsState.bellCount <= NarrowRowKey::maxBellCount ? FindWith<NarrowRowKey>(top)
                                                           : FindWith<WideRowKey>(top);
}

template <typename Key>
FalsenessReport FalseSixFinder::FindWith(Block& top) const {
  ClashCollector<Key> collector(top, frame, followed, {last, stopRow, limits.work});
  // As the first ringing began: no rounds awaited, rounds recorded as row 0.
  rowsState.awaitingRounds = false;
  Row row;
  ProofTable table;
  table.ShowOnly();  // the rows were proved before: only the collector needs them
  table.SetObserver(&collector);
  table.Insert(row);
  top.Generate(table, row, true);
  return collector.Finish();
}
