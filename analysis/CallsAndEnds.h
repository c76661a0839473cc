#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/RingingOrder.h"
#include "rows/Row.h"

class Block;

// How often one kind of call is rung: the six-ends that carry its letter.
struct CallCount {
  char letter = 'b';
  std::int64_t count = 0;
};

// The row at the end of a course or a part, as rung.
struct RowEnd {
  std::int64_t number = 0;  // the course or part, from 1 in ringing order
  Row row;
  std::int64_t at = -1;  // its row number, -1 where the proof did not record it (before a lead-in)
};

// The calls of a touch as rung, its course ends and, for a multi-part touch, its part ends.
struct CallsReport {
  static constexpr std::size_t maxListedEnds = 10000;

  // Bobs, then singles, then other calls by letter; only the kinds rung, plain six-ends never.
  std::vector<CallCount> calls;
  std::vector<RowEnd> courseEnds;  // the first courses, at most maxListedEnds
  std::int64_t courseCount = 0;    // every course that rings a change, each use of a block anew
  std::vector<RowEnd> partEnds;    // the first parts, at most maxListedEnds
  std::int64_t partCount = 0;      // 0 unless the top level is one block used more than once
};

// Walks the touch as it is rung: every course that rings a change, each time it is rung.
CallsReport CountCallsAndEnds(const Block& top, const RingingFrame& frame);

// "168 bobs, 2 singles.", "1 bob.", another call by its letter ("3 h."); "none." without calls.
std::string CallsLine(const CallsReport& report);
// "bob", "single", or the letter itself.
std::string CallName(char letter);
