#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

#include "proof/ProofTable.h"

// The most bytes of input a touch may take: the tree built from it grows with the input.
inline constexpr std::int64_t maxInputBytes = std::int64_t{1} << 24;  // 16 MiB

// Proves one touch: parses it from in, generates and proves every row, and prints the summary, the
// laid-out touch and the verdict on out; tokens out of place are reported on err. Answers the exit
// status: 0 when the touch is true and comes round, 1 otherwise. An error that stops processing is
// thrown as std::runtime_error, with what out already holds left in place. A touch that would ring
// more than maxChanges changes is refused before any row is rung.
int Run(std::istream& in, std::ostream& out, std::ostream& err,
        std::int64_t maxChanges = maxProvableChanges);
