#pragma once

#include <cstdint>
#include <span>

#include "rows/Row.h"
#include "rows/RowKey.h"

// Sees every row a proof table records, in order, as it is recorded: the analyses of a touch
// ride on the rows the proof is given, without a second ringing. Rows come packed as generation
// rings them (up to 16 bells) or whole.
class RowObserver {
 public:
  virtual ~RowObserver() = default;
  // rows[k] is recorded at index first + k.
  virtual void Observe(std::int32_t first, std::span<const NarrowRowKey> rows) = 0;
  virtual void Observe(std::int32_t first, std::span<const Row> rows) = 0;
};
