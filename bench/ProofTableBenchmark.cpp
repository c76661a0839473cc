// Recording rows in the proof table until it holds 5,040, 100,000, 1,000,000 and 10,000,000
// distinct rows.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "driver/ProcessState.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"

namespace {

constexpr int bells = 16;

// Distinct rows of 16 bells in random order, rounds first, made once for every benchmark.
const std::vector<Row>& DistinctRows(std::size_t count) {
  static std::vector<Row> rows;
  if (rows.size() < count) {
    std::mt19937_64 random(16);
    std::array<std::int8_t, bells> bellsInRow{};
    for (int place = 0; place < bells; ++place) {
      bellsInRow[place] = static_cast<std::int8_t>(place);
    }
    rows.assign(1, Row());
    rows.reserve(count);
    while (rows.size() < count) {
      std::shuffle(bellsInRow.begin(), bellsInRow.end(), random);
      Row& row = rows.emplace_back();
      for (int place = 0; place < bells; ++place) {
        row.SetBell(place, bellsInRow[place]);
      }
    }
  }
  return rows;
}

// One row at a time, as a caller outside generation records them, then the verdict: the store is
// the one the table chooses (buckets for 10,000,000).
void InsertRows(benchmark::State& state) {
  ResetProcessState();
  SetBellCount(bells);
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<Row>& rows = DistinctRows(count);
  for (auto _ : state) {
    ProofTable table;
    table.Reserve(state.range(0));
    for (std::size_t index = 0; index < count; ++index) {
      table.Insert(rows[index]);
    }
    benchmark::DoNotOptimize(table.Verdict());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(InsertRows)
    ->ArgName("rows")
    ->Arg(5040)
    ->Arg(100000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

// In runs of 64 rows, as generation records them, then the verdict, in the entries and in the
// buckets of long touches (store 1), which compare their rows only when asked.
void InsertRowBatches(benchmark::State& state) {
  ResetProcessState();
  SetBellCount(bells);
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::span<const Row> rows(DistinctRows(count).data(), count);
  for (auto _ : state) {
    ProofTable table(state.range(1) != 0 ? 0 : INT64_MAX);
    table.Reserve(state.range(0));
    for (std::size_t first = 0; first < count; first += 64) {
      table.Insert(rows.subspan(first, std::min<std::size_t>(64, count - first)));
    }
    benchmark::DoNotOptimize(table.Verdict());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(InsertRowBatches)
    ->ArgNames({"rows", "buckets"})
    ->Args({5040, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({10000000, 0})
    ->Args({10000000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
