#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <vector>

#include "rows/Row.h"

// The most changes a touch may ring: beyond it the proof would outgrow the memory of the machine.
inline constexpr std::int64_t maxProvableChanges = 100000000;

// One distinct row of a touch and where it occurred.
struct ProofEntry {
  std::int32_t firstIndex = 0;
  std::int32_t lastIndex = 0;
  std::int32_t count = 1;
  std::int32_t secondIndex = 0;  // 0 until the row occurs twice
};

// Every row of a touch in the order rung; answers which rows repeat, after how many changes rounds
// comes back, and whether the touch is true, also for touches of several whole extents. The first
// row recorded must be the starting rounds: index k is the row after k changes.
class ProofTable {
 public:
  void Insert(const Row& row);

  // True when the touch is true. roundsAt: the change at which rounds recurs (the end of the last
  // whole extent of a multi-extent touch), or minus the changes recorded when it never does.
  // repeats: the repeat events before rounds first recurred.
  bool Verdict(std::int32_t& roundsAt, std::int32_t& repeats);
  // "Rows 12 and 100 are both  1325476": the first repeated pair. REQUIRES: a repeat was recorded.
  void PrintFirstRepeat(std::ostream& out) const;
  // A row that occurred again before rounds first recurred.
  [[nodiscard]] bool IsRepeated(const Row& row) const;
  // The first repeated pair has a row in (start, start + length]; false for a multi-extent touch.
  [[nodiscard]] bool FirstRepeatWithin(std::int64_t start, std::int64_t length) const;

 private:
  using Entries = std::map<Row, ProofEntry, RowLess>;

  Entries entries;
  std::vector<Entries::iterator> rowList;  // element k: the entry of the row recorded at index k
  std::int32_t roundsAt = 0;
  std::int32_t maxOccurrences = 0;
  std::int32_t extents = 0;
  std::int32_t repeatCount = 0;
  std::int32_t firstRepeatAt = 0;
};
