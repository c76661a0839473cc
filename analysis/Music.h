#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "proof/RowObserver.h"
#include "rows/Row.h"
#include "rows/RowKey.h"

// One count of the music line: the rows that end, or begin, with one of its patterns.
struct MusicCount {
  std::string name;      // "56s", "4-bell runs"
  std::string singular;  // "56", "4-bell run": the name for a count of one
  bool atFront = false;  // counted at the front as well as at the back
  bool runs = false;     // any four bells in a row, up or down, instead of the patterns
  // The bells (from 0) with which a row ends, or begins; patterns of one count never overlap.
  std::vector<std::vector<std::int8_t>> patterns;
};

// A row with a name of its own, counted wherever it occurs.
struct NamedRow {
  std::string name;
  Row row;
};

// What counts as music on a stage, in the order the music line gives it.
struct MusicScheme {
  std::vector<MusicCount> counts;
  std::vector<NamedRow> namedRows;
};

// 56s and 65s from 8 bells; 567s, 657s, CRUs and 46s on 7; 4-bell runs from 4; Queens, Kings,
// Tittums and Backrounds from 5, Whittingtons on 7 and 9 bells.
MusicScheme MusicSchemeFor(int bells);

// The music of a touch: every row counted once, rows 1 to rows.
struct MusicReport {
  struct Count {
    std::string name;
    std::string singular;
    bool atFront = false;  // counted at the front too; otherwise front is 0
    std::int64_t front = 0;
    std::int64_t back = 0;
  };
  struct Named {
    std::string name;
    Row row;
    std::int64_t count = 0;
    std::vector<std::int32_t> at;  // the first row numbers at which it occurs, at most maxListedAt
  };
  static constexpr std::size_t maxListedAt = 1000;

  std::int32_t rows = 0;
  std::vector<Count> counts;  // every count of the stage, zero counts too
  std::vector<Named> namedRows;
};

// "3 567s, 3 657s, 6 CRUs, 3 46s, 8 4-bell runs (2f,6b).": each count that is not zero, a count of
// one without its plural s, a named row with the rows at which it occurs; "none." for no music.
std::string MusicLine(const MusicReport& report);

// Counts the music of the rows a proof table records, as they are recorded. Which rows count is
// known only when the proof is done: rows 1 to the row at which rounds recurs, which is the first
// recurrence or the end of the last whole extent of a touch true as several. So the counts are
// kept at each rounds that may end the touch, and at the end.
class MusicCounter final : public RowObserver {
 public:
  // For the stage of the touch about to be rung, which must not change while it is.
  explicit MusicCounter(int bellCount);

  void Observe(std::int32_t first, std::span<const NarrowRowKey> rows) override;
  void Observe(std::int32_t first, std::span<const Row> rows) override;

  // The music of rows 1 to last, where last is a row at which rounds came up or the last row
  // observed. Throws std::logic_error for any other row.
  [[nodiscard]] MusicReport Report(std::int32_t last) const;

 private:
  // A pattern at a fixed place of a packed row: the row matches when its bits under mask are value.
  struct PackedTest {
    std::uint64_t mask;
    std::uint64_t value;
    std::size_t slot;
  };
  // The same for a whole row: the bells from position start on.
  struct RowTest {
    int start;
    std::vector<std::int8_t> bells;
    std::size_t slot;
  };

  // The packed tests of the first bells, and of the last bells with the named rows and rounds.
  void BuildFilters();
  void CountFront(std::uint64_t word);
  void CountBack(const NarrowRowKey& row, std::int32_t index);
  void CountRow(std::int32_t index, const Row& row);
  void CountNamed(std::int32_t index, std::size_t named);
  void RoundsAt(std::int32_t index);

  int bellCount;
  MusicScheme scheme;
  // The counts as they stand: front and back of each count of the scheme, then each named row.
  std::vector<std::int64_t> tally;
  std::vector<PackedTest> frontTests;
  std::vector<PackedTest> backTests;
  // The first four bells, packed, of each pattern counted at the front.
  std::vector<std::uint64_t> frontPrefixes;
  // For each ending of four bells, packed: whether the row may be music at the back, a named row
  // or rounds. Most rows are none of these and need no closer look.
  std::vector<std::uint8_t> backFilter;
  std::vector<RowTest> rowTests;
  std::vector<std::uint64_t> namedKeys;  // the named rows packed, up to 16 bells
  std::size_t runsSlot = 0;              // the front slot of the 4-bell runs; back follows it
  bool runs = false;
  std::uint64_t roundsKey = 0;
  int backShift = 0;  // moves a packed row's last four bells to its lowest 16 bits
  std::vector<std::vector<std::int32_t>> namedAt;
  std::int64_t extentLength = 0;  // n!, or 0 beyond what a row number can reach
  bool roundsRecurred = false;
  // The tally after each row at which the touch may end, the rows in rising order.
  std::vector<std::int32_t> keptAt;
  std::vector<std::int64_t> keptTallies;
  std::int32_t lastObserved = -1;
};
