// Whole touches in process: generation and proof alone, and a whole run of parse, generation,
// proof and layout as the program does it, on string streams.

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "driver/ProcessState.h"
#include "driver/Run.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "proof/ProofTable.h"
#include "touch/Block.h"

namespace {

// The touches that bench/make-touches.py writes, with the changes each rings.
struct Touch {
  const char* file;
  std::int64_t changes;
};
constexpr Touch touches[] = {
    {"stedman-triples-5040-johnson-10part.touch", 5048},
    {"stedman-cinques-100k.touch", 100064},
    {"false-triples-100k.touch", 100808},
};

std::string TouchText(const Touch& touch) {
  std::ifstream file(std::string(SIXES_SOURCE_DIR "/bench/touches/") + touch.file);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Generation and proof of a touch parsed once: what the program does for every row.
void GenerateAndProve(benchmark::State& state) {
  const Touch& touch = touches[state.range(0)];
  state.SetLabel(touch.file);
  ResetProcessState();
  std::istringstream in(TouchText(touch));
  std::ostringstream err;
  Block top(0);
  TokenReader reader(in);
  TouchParser(reader, err).Parse(top, true);
  for (auto _ : state) {
    Row row;
    ProofTable table;
    table.Reserve(1 + 6 + top.changesRung + 6);
    table.Insert(row);
    top.Generate(table, row, true);
    benchmark::DoNotOptimize(table.Verdict());
  }
  state.SetItemsProcessed(state.iterations() * touch.changes);
}
BENCHMARK(GenerateAndProve)->ArgName("touch")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// A whole run in process, from the text of the touch to the printed verdict.
void WholeRun(benchmark::State& state) {
  const Touch& touch = touches[state.range(0)];
  state.SetLabel(touch.file);
  const std::string text = TouchText(touch);
  for (auto _ : state) {
    ResetProcessState();
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    benchmark::DoNotOptimize(Run(in, out, err));
  }
  state.SetItemsProcessed(state.iterations() * touch.changes);
}
BENCHMARK(WholeRun)->ArgName("touch")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
