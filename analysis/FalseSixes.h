#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/RingingOrder.h"
#include "proof/ProofTable.h"
#include "rows/Row.h"

class Block;

// Two sixes that hold the same row: how many rows they share, and the shared row that the second
// of them reaches first.
struct ClashingPair {
  SixPlace first;  // the six rung first
  SixPlace second;
  std::int64_t sharedRows = 0;
  Row firstSharedRow;
  std::int32_t firstSharedInFirst = 0;  // its row numbers in the first six and in the second
  std::int32_t firstSharedInSecond = 0;
};

// Every pair of sixes that clash in rows 0 to the row at which rounds recurs (all rows recorded
// when it never does), in the order in which each pair's first shared row occurs for the second
// time. Rounds at row 0 and at the end is no clash.
struct FalsenessReport {
  static constexpr std::size_t maxListedPairs = 100;

  std::vector<ClashingPair> pairs;  // the first pairs, at most maxListedPairs
  std::int64_t pairCount = 0;       // every pair found, the listed ones among them
  // False when the touch repeats so much that the search stopped before its end: pairCount then
  // counts the pairs in rows 0 to searchedTo, and more follow.
  bool complete = true;
  std::int32_t searchedTo = 0;
};

// How far the search for clashing sixes goes, so that time and memory stay bounded however false
// a touch is: about 100 MB and a second or two at most.
struct FalsenessLimits {
  // The repeated rows followed: those whose second occurrence comes first.
  std::size_t followedRows = std::size_t{1} << 20;
  // Occurrences of followed rows noted, and pairs of occurrences looked at.
  std::int64_t work = std::int64_t{1} << 22;
};

// Finds the clashing sixes of a false touch in two steps: the proof table names the rows that
// occur more than once, and the touch is rung again to see where each of them occurs. A true
// touch, or one true as several extents, has none and is not rung again. Past its limits it
// reports the pairs of the rows it searched.
class FalseSixFinder {
 public:
  // Reads what is needed from the proof of the touch just rung; the table may be dropped after.
  FalseSixFinder(const Block& top, const ProofTable& table, const ProofVerdict& verdict,
                 const FalsenessLimits& limits = {});

  // Rings the touch again, as it was first rung, and finds the pairs. REQUIRES: the process-wide
  // state as after the first ringing.
  [[nodiscard]] FalsenessReport Find(Block& top) const;

 private:
  template <typename Key>
  [[nodiscard]] FalsenessReport FindWith(Block& top) const;

  FalsenessLimits limits;
  RingingFrame frame;
  std::int32_t last = 0;  // the last row in which sixes may clash
  // The rows to follow, in the order their second occurrences come.
  std::vector<Row> followed;
  // The second occurrence of the first repeated row not followed; -1 when every one is.
  std::int32_t stopRow = -1;
};
