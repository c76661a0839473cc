// Applying one change to a row, the step generation takes for every row of a touch: on a packed
// row as generation does up to 16 bells, on whole rows as it does above, and through Permute.

#include <benchmark/benchmark.h>

#include "driver/ProcessState.h"
#include "rows/PackedChange.h"
#include "rows/ProcessState.h"
#include "rows/Row.h"

namespace {

// Each iteration rings the quick-six changes '1' and '3'.
void SetUp(const benchmark::State& state, const Row*& one, const Row*& three) {
  ResetProcessState();
  SetBellCount(static_cast<int>(state.range(0)));
  one = &rowsState.changeTable.ChangeOf('1');
  three = &rowsState.changeTable.ChangeOf('3');
}

void ApplyPackedChange(benchmark::State& state) {
  const Row* one = nullptr;
  const Row* three = nullptr;
  SetUp(state, one, three);
  const PackedChange& packedOne = *rowsState.changeTable.FindPackedChange('1');
  const PackedChange& packedThree = *rowsState.changeTable.FindPackedChange('3');
  NarrowRowKey key;
  (void)NarrowRowKey::Pack(Row(), rowsState.bellCount, key);
  for (auto _ : state) {
    key = packedOne.Apply(key);
    key = packedThree.Apply(key);
    benchmark::DoNotOptimize(key);
  }
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(ApplyPackedChange)->ArgName("bells")->Arg(7)->Arg(11)->Arg(16);

// From one row into the next, as generation rings whole rows.
void ApplyChangeToRow(benchmark::State& state) {
  const Row* one = nullptr;
  const Row* three = nullptr;
  SetUp(state, one, three);
  const int bellCount = rowsState.bellCount;
  Row row;
  Row next;
  for (auto _ : state) {
    next.AssignPermuted(row, *one, bellCount);
    row.AssignPermuted(next, *three, bellCount);
    benchmark::DoNotOptimize(row);
  }
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(ApplyChangeToRow)->ArgName("bells")->Arg(7)->Arg(11)->Arg(16)->Arg(35);

// Through a new row from Permute, written back with Assign.
void PermuteAndAssign(benchmark::State& state) {
  const Row* one = nullptr;
  const Row* three = nullptr;
  SetUp(state, one, three);
  Row row;
  for (auto _ : state) {
    row.Assign(row.Permute(*one));
    row.Assign(row.Permute(*three));
    benchmark::DoNotOptimize(row);
  }
  state.SetItemsProcessed(2 * state.iterations());
}
BENCHMARK(PermuteAndAssign)->ArgName("bells")->Arg(7)->Arg(11)->Arg(16)->Arg(35);

}  // namespace
