#include "ringing/Ringing.h"

#include <algorithm>
#include <array>
#include <span>

#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "rows/RowKey.h"

namespace {

// The rows to record reach the table a batch at a time, which lets it fetch their slots ahead.
constexpr std::size_t batchSize = 64;

// Rings codes from the row of key, up to 16 bells: rows stay packed from one change to the next.
// Answers how many codes were rung, fewer than all only at a code that cannot be applied.
std::size_t RingPacked(NarrowRowKey& key, ProofTable& table, std::string_view codes) {
  const ChangeTable& changes = rowsState.changeTable;
  const int bellCount = rowsState.bellCount;
  std::array<NarrowRowKey, batchSize> batch;
  std::size_t rung = 0;
  while (rung < codes.size()) {
    const std::size_t count = std::min(batchSize, codes.size() - rung);
    std::size_t made = 0;
    for (; made < count; ++made) {
      const char code = codes[rung + made];
      if (const PackedChange* packed = changes.FindPackedChange(code)) {
        key = packed->Apply(key);
      } else if (const Row* change = changes.FindChange(code)) {
        // A change that is more than neighbours exchanging: through a whole row. The row is a
        // permutation of its bells, so its key still fits.
        Row row;
        row.AssignPermuted(key.Unpack(bellCount), *change, bellCount);
        (void)NarrowRowKey::Pack(row, bellCount, key);
      } else {
        break;
      }
      batch[made] = key;
    }
    table.Insert(std::span<const NarrowRowKey>(batch.data(), made));
    rung += made;
    if (made < count) {
      break;
    }
  }
  return rung;
}

// Rings codes from row as whole rows, for any stage and any row.
std::size_t RingRows(Row& row, ProofTable& table, std::string_view codes) {
  const ChangeTable& changes = rowsState.changeTable;
  const int bellCount = rowsState.bellCount;
  std::array<Row, batchSize> batch;
  std::size_t rung = 0;
  while (rung < codes.size()) {
    const std::size_t count = std::min(batchSize, codes.size() - rung);
    std::size_t made = 0;
    for (const Row* change = nullptr;
         made < count && (change = changes.FindChange(codes[rung + made])) != nullptr; ++made) {
      batch[made].AssignPermuted(made == 0 ? row : batch[made - 1], *change, bellCount);
    }
    table.Insert(std::span<const Row>(batch.data(), made));
    if (made > 0) {
      row.Assign(batch[made - 1]);
    }
    rung += made;
    if (made < count) {
      break;
    }
  }
  return rung;
}

}  // namespace

void GenerateSequence(Row& row, ProofTable& table, std::string_view codes, bool awaitRounds) {
  if (awaitRounds) {
    rowsState.awaitingRounds = true;
  }
  const ChangeTable& changes = rowsState.changeTable;
  std::size_t next = 0;
  for (; next < codes.size() && rowsState.awaitingRounds; ++next) {
    row.Assign(row.Permute(changes.ChangeOf(codes[next])));
    if (row.IsRounds()) {
      rowsState.awaitingRounds = false;  // this rounds is not recorded either
    }
  }
  const std::string_view rest = codes.substr(next);
  std::size_t rung = 0;
  if (NarrowRowKey key; NarrowRowKey::Pack(row, rowsState.bellCount, key)) {
    rung = RingPacked(key, table, rest);
    row.Assign(key.Unpack(rowsState.bellCount));
  } else {
    rung = RingRows(row, table, rest);
  }
  if (rung < rest.size()) {
    // The rows before the code are recorded; now ChangeOf raises "Bad place: " for it.
    (void)changes.ChangeOf(rest[rung]);
  }
}
