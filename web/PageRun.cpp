#include "web/PageRun.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <span>
#include <sstream>

#include "driver/Command.h"
#include "driver/ProcessState.h"
#include "driver/Run.h"
#include "proof/RowObserver.h"
#include "rows/ProcessState.h"

namespace {

// Keeps the text of the rows recorded at the row numbers of each range.
class RangeRows : public RowObserver {
 public:
  explicit RangeRows(const std::vector<std::pair<std::int32_t, std::int32_t>>& ranges)
      : ranges(ranges), rows(ranges.size()) {}

  void Observe(std::int32_t first, std::span<const NarrowRowKey> keys) override {
    Keep(first, keys.size(), [&](std::size_t k) { return keys[k].Unpack(rowsState.bellCount); });
  }
  void Observe(std::int32_t first, std::span<const Row> recorded) override {
    Keep(first, recorded.size(), [&](std::size_t k) { return recorded[k]; });
  }

  [[nodiscard]] std::string Text() const {
    std::string text;
    for (const std::vector<std::string>& range : rows) {
      for (const std::string& row : range) {
        text += row;
        text += '\n';
      }
      text += '\n';
    }
    return text;
  }

 private:
  template <typename RowAt>
  void Keep(std::int32_t first, std::size_t count, RowAt rowAt) {
    const std::int64_t end = first + static_cast<std::int64_t>(count);
    for (std::size_t r = 0; r < ranges.size(); ++r) {
      const std::int64_t from = std::max<std::int64_t>(ranges[r].first, first);
      const std::int64_t to = std::min<std::int64_t>(ranges[r].second + std::int64_t{1}, end);
      for (std::int64_t index = from; index < to; ++index) {
        rows[r].push_back(rowAt(static_cast<std::size_t>(index - first)).ToText().substr(1));
      }
    }
  }

  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  std::vector<std::vector<std::string>> rows;
};

}  // namespace

PageRun RunForPage(const std::vector<std::string>& arguments, const std::string& touch) {
  PageRun run;
  try {
    // One proof answers what the program prints with these arguments and the JSON document.
    const CommandOutcome outcome = RunCommandOnText(arguments, touch, pageMaxChanges);
    run.standardOutput = outcome.standardOutput;
    run.standardError = outcome.standardError;
    run.exitStatus = outcome.status;
    run.json = outcome.json;
  } catch (const std::exception& error) {
    // As main ends a run that an exception escapes (memory exhausted): its message, status 2.
    run.standardError += "error: " + std::string(error.what()) + '\n';
    run.exitStatus = 2;
  }
  ResetProcessState();  // the tree and the tables of the touch go before the next
  return run;
}

std::string RowsForPage(const std::string& touch,
                        const std::vector<std::pair<std::int32_t, std::int32_t>>& ranges) {
  ResetProcessState();
  RangeRows rows(ranges);
  std::istringstream in(touch);
  std::ostringstream messages;
  std::string text;
  try {
    ProveTouch(in, messages, {.maxChanges = pageMaxChanges, .observer = &rows});
    text = rows.Text();
  } catch (const std::exception&) {
    // The page asks only for touches it has proved; one that fails now shows no rows.
  }
  ResetProcessState();
  return text;
}
