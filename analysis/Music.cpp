#include "analysis/Music.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <utility>

#include "layout/IntToText.h"

namespace {

using Bells = std::vector<std::int8_t>;

// The bells from first to last, ascending.
Bells Ascending(int first, int last) {
  Bells bells;
  for (int bell = first; bell <= last; ++bell) {
    bells.push_back(static_cast<std::int8_t>(bell));
  }
  return bells;
}

Row RowOf(const Bells& bells) {
  Row row;
  for (std::size_t place = 0; place < bells.size(); ++place) {
    row.SetBell(static_cast<int>(place), bells[place]);
  }
  return row;
}

// Queens: the odd bells then the even ones (1357246); Kings: the odd bells down, then the even
// ones up (7531246); Tittums: the two halves interleaved (1526374); Backrounds (7654321).
std::vector<NamedRow> NamedRowsFor(int bells) {
  Bells odd;
  Bells even;
  for (int bell = 0; bell < bells; ++bell) {
    (bell % 2 == 0 ? odd : even).push_back(static_cast<std::int8_t>(bell));
  }
  Bells queens = odd;
  queens.insert(queens.end(), even.begin(), even.end());
  Bells kings(odd.rbegin(), odd.rend());
  kings.insert(kings.end(), even.begin(), even.end());
  Bells tittums;
  const int half = (bells + 1) / 2;
  for (int place = 0; place < half; ++place) {
    tittums.push_back(static_cast<std::int8_t>(place));
    if (half + place < bells) {
      tittums.push_back(static_cast<std::int8_t>(half + place));
    }
  }
  Bells back = Ascending(0, bells - 1);
  std::reverse(back.begin(), back.end());
  std::vector<NamedRow> named = {{"Queens", RowOf(queens)},
                                 {"Kings", RowOf(kings)},
                                 {"Tittums", RowOf(tittums)},
                                 {"Backrounds", RowOf(back)}};
  if (bells == 7) {
    named.push_back({"Whittingtons", RowOf({0, 1, 6, 4, 2, 3, 5})});  // 1275346
  } else if (bells == 9) {
    named.push_back({"Whittingtons", RowOf({2, 0, 1, 3, 8, 6, 4, 5, 7})});  // 312497568
  }
  return named;
}

// Four packed bells, the first in the highest nibble, that are consecutive bells up or down.
bool IsRun(std::uint64_t four) {
  const std::uint64_t first = four >> 12;
  return four == first * 0x1111 + 0x0123 || four + 0x0123 == first * 0x1111;
}

bool IsRun(const Row& row, int start) {
  bool up = true;
  bool down = true;
  for (int place = start + 1; place < start + 4; ++place) {
    up = up && row[place] == row[place - 1] + 1;
    down = down && row[place] + 1 == row[place - 1];
  }
  return up || down;
}

// Where a packed row keeps the bell at place: 4 bits, the first place highest.
int ShiftOf(int place) {
  return 60 - 4 * place;
}

std::int64_t ExtentLength(int bells) {
  std::int64_t rows = 1;
  for (int bell = 2; bell <= bells; ++bell) {
    rows *= bell;
    if (rows > std::numeric_limits<std::int32_t>::max()) {
      return 0;
    }
  }
  return rows;
}

std::string CountItem(std::int64_t total, const std::string& name, const std::string& singular) {
  return IntToText(total) + ' ' + (total == 1 ? singular : name);
}

}  // namespace

MusicScheme MusicSchemeFor(int bells) {
  MusicScheme scheme;
  if (bells >= 8) {
    Bells fiftySix = Ascending(4, bells - 1);
    Bells sixtyFive = fiftySix;
    std::swap(sixtyFive[0], sixtyFive[1]);
    scheme.counts.push_back({"56s", "56", true, false, {fiftySix}});
    scheme.counts.push_back({"65s", "65", true, false, {sixtyFive}});
  }
  if (bells == 7) {
    scheme.counts.push_back({"567s", "567", false, false, {{4, 5, 6}}});
    scheme.counts.push_back({"657s", "657", false, false, {{5, 4, 6}}});
    scheme.counts.push_back({"CRUs",
                             "CRU",
                             false,
                             false,
                             {{3, 4, 6}, {4, 3, 6}, {3, 5, 6}, {5, 3, 6}, {4, 5, 6}, {5, 4, 6}}});
    scheme.counts.push_back({"46s", "46", false, false, {{3, 5}}});
  }
  if (bells >= 4) {
    scheme.counts.push_back({"4-bell runs", "4-bell run", true, true, {}});
  }
  if (bells >= 5) {
    scheme.namedRows = NamedRowsFor(bells);
  }
  return scheme;
}

MusicCounter::MusicCounter(int bellCount)
    : bellCount(bellCount),
      scheme(MusicSchemeFor(bellCount)),
      extentLength(ExtentLength(bellCount)) {
  const bool packed = bellCount <= NarrowRowKey::maxBellCount;
  for (std::size_t count = 0; count < scheme.counts.size(); ++count) {
    const MusicCount& music = scheme.counts[count];
    const std::size_t frontSlot = 2 * count;
    const std::size_t backSlot = frontSlot + 1;
    if (music.runs) {
      runs = true;
      runsSlot = frontSlot;
      continue;
    }
    for (const Bells& pattern : music.patterns) {
      const int length = static_cast<int>(pattern.size());
      for (const bool front : {false, true}) {
        if (front && !music.atFront) {
          continue;
        }
        const int start = front ? 0 : bellCount - length;
        const std::size_t slot = front ? frontSlot : backSlot;
        if (packed) {
          PackedTest test{0, 0, slot};
          for (int place = 0; place < length; ++place) {
            test.mask |= std::uint64_t{0xF} << ShiftOf(start + place);
            test.value |= static_cast<std::uint64_t>(pattern[place]) << ShiftOf(start + place);
          }
          (front ? frontTests : backTests).push_back(test);
        } else {
          rowTests.push_back({start, pattern, slot});
        }
      }
    }
  }
  tally.assign(2 * scheme.counts.size() + scheme.namedRows.size(), 0);
  namedAt.resize(scheme.namedRows.size());
  if (packed) {
    NarrowRowKey key;
    for (const NamedRow& named : scheme.namedRows) {
      (void)NarrowRowKey::Pack(named.row, bellCount, key);
      namedKeys.push_back(key.words[0]);
    }
    (void)NarrowRowKey::Pack(Row(), bellCount, key);
    roundsKey = key.words[0];
    backShift = 64 - 4 * bellCount;
    BuildFilters();
  }
}

void MusicCounter::BuildFilters() {
  if (bellCount < 4) {
    return;  // no music: only rounds is looked for
  }
  // A row's first four bells, packed, that begin a pattern counted at the front; every such
  // pattern is at least four bells long (56s and 65s, from 8 bells).
  for (const PackedTest& test : frontTests) {
    const std::uint64_t prefix = test.value >> 48;
    if (std::find(frontPrefixes.begin(), frontPrefixes.end(), prefix) == frontPrefixes.end()) {
      frontPrefixes.push_back(prefix);
    }
  }
  // Every ending of four bells that may be music, or may end a named row or rounds: each value
  // of the last four nibbles that agrees with a pattern where the pattern reaches them.
  backFilter.assign(std::size_t{1} << 16, 0);
  const auto back = [&](std::uint64_t word) { return word >> backShift & 0xFFFF; };
  for (const PackedTest& test : backTests) {
    const std::uint64_t mask = back(test.mask);
    const std::uint64_t value = back(test.value);
    // Every value under the nibbles the pattern leaves free, which are the highest ones.
    const std::uint64_t free = ~mask & 0xFFFF;
    for (std::uint64_t high = 0;; high = (high - free) & free) {
      backFilter[value | high] = 1;
      if (high == free) {
        break;
      }
    }
  }
  if (runs) {
    for (std::uint64_t first = 0; first + 3 < 16; ++first) {
      backFilter[first * 0x1111 + 0x0123] = 1;
      backFilter[(first + 3) * 0x1111 - 0x0123] = 1;
    }
  }
  for (const std::uint64_t named : namedKeys) {
    backFilter[back(named)] = 1;
  }
  backFilter[back(roundsKey)] = 1;
}

void MusicCounter::Observe(std::int32_t first, std::span<const NarrowRowKey> rows) {
  if (rows.empty()) {
    return;
  }
  lastObserved = first + static_cast<std::int32_t>(rows.size()) - 1;
  if (first == 0) {
    rows = rows.subspan(1);  // the starting rounds is counted where it recurs
    first = 1;
  }
  // This runs for every row of the touch: one look at each end, and a closer look only at the few
  // rows that may be music. The front runs are counted in a local, which the compiler keeps in a
  // register.
  if (backFilter.empty()) {
    for (std::size_t at = 0; at < rows.size(); ++at) {
      if (rows[at].words[0] == roundsKey) {
        RoundsAt(first + static_cast<std::int32_t>(at));
      }
    }
    return;
  }
  const std::uint8_t* filter = backFilter.data();
  const std::uint64_t* prefixes = frontPrefixes.data();
  const std::size_t prefixCount = frontPrefixes.size();
  const int shift = backShift;
  std::int64_t frontRuns = 0;
  for (std::size_t at = 0; at < rows.size(); ++at) {
    const std::uint64_t word = rows[at].words[0];
    const std::uint64_t front = word >> 48;
    frontRuns += IsRun(front) ? 1 : 0;
    for (std::size_t prefix = 0; prefix < prefixCount; ++prefix) {
      if (front == prefixes[prefix]) {
        CountFront(word);
      }
    }
    if (filter[word >> shift & 0xFFFF] != 0) {
      if (runs) {
        tally[runsSlot] += std::exchange(frontRuns, 0);
      }
      CountBack(rows[at], first + static_cast<std::int32_t>(at));
    }
  }
  if (runs) {
    tally[runsSlot] += frontRuns;
  }
}

void MusicCounter::CountFront(std::uint64_t word) {
  for (const PackedTest& test : frontTests) {
    tally[test.slot] += (word & test.mask) == test.value ? 1 : 0;
  }
}

void MusicCounter::CountBack(const NarrowRowKey& row, std::int32_t index) {
  const std::uint64_t word = row.words[0];
  for (const PackedTest& test : backTests) {
    tally[test.slot] += (word & test.mask) == test.value ? 1 : 0;
  }
  if (runs) {
    tally[runsSlot + 1] += IsRun(word >> backShift & 0xFFFF) ? 1 : 0;
  }
  for (std::size_t named = 0; named < namedKeys.size(); ++named) {
    if (word == namedKeys[named]) {
      CountNamed(index, named);
    }
  }
  if (word == roundsKey) {
    RoundsAt(index);
  }
}

void MusicCounter::Observe(std::int32_t first, std::span<const Row> rows) {
  for (const Row& row : rows) {
    if (NarrowRowKey key;
        bellCount <= NarrowRowKey::maxBellCount && NarrowRowKey::Pack(row, bellCount, key)) {
      Observe(first++, std::span<const NarrowRowKey>(&key, 1));
    } else {
      CountRow(first++, row);
    }
  }
}

void MusicCounter::CountRow(std::int32_t index, const Row& row) {
  lastObserved = index;
  if (index == 0) {
    return;
  }
  for (const RowTest& test : rowTests) {
    bool match = true;
    for (std::size_t place = 0; place < test.bells.size() && match; ++place) {
      match = row[test.start + static_cast<int>(place)] == test.bells[place];
    }
    tally[test.slot] += match ? 1 : 0;
  }
  if (runs) {
    tally[runsSlot] += IsRun(row, 0) ? 1 : 0;
    tally[runsSlot + 1] += IsRun(row, bellCount - 4) ? 1 : 0;
  }
  for (std::size_t named = 0; named < scheme.namedRows.size(); ++named) {
    if (row == scheme.namedRows[named].row) {
      CountNamed(index, named);
    }
  }
  if (row.IsRounds()) {
    RoundsAt(index);
  }
}

void MusicCounter::CountNamed(std::int32_t index, std::size_t named) {
  ++tally[2 * scheme.counts.size() + named];
  if (namedAt[named].size() < MusicReport::maxListedAt) {
    namedAt[named].push_back(index);
  }
}

void MusicCounter::RoundsAt(std::int32_t index) {
  // The touch ends at the first rounds after the start, or at the end of a whole extent.
  if (!roundsRecurred || (extentLength != 0 && index % extentLength == 0)) {
    roundsRecurred = true;
    keptAt.push_back(index);
    keptTallies.insert(keptTallies.end(), tally.begin(), tally.end());
  }
}

MusicReport MusicCounter::Report(std::int32_t last) const {
  const std::int64_t* counts = tally.data();
  if (last != lastObserved) {
    const auto kept = std::lower_bound(keptAt.begin(), keptAt.end(), last);
    if (kept == keptAt.end() || *kept != last) {
      throw std::logic_error("music asked to row " + IntToText(last) +
                             ", where the touch cannot end");
    }
    counts =
        keptTallies.data() + (kept - keptAt.begin()) * static_cast<std::ptrdiff_t>(tally.size());
  }
  MusicReport report;
  report.rows = std::max(last, 0);
  for (std::size_t count = 0; count < scheme.counts.size(); ++count) {
    const MusicCount& music = scheme.counts[count];
    report.counts.push_back(
        {music.name, music.singular, music.atFront, counts[2 * count], counts[2 * count + 1]});
  }
  for (std::size_t named = 0; named < scheme.namedRows.size(); ++named) {
    MusicReport::Named entry{scheme.namedRows[named].name,
                             scheme.namedRows[named].row,
                             counts[2 * scheme.counts.size() + named],
                             {}};
    for (const std::int32_t at : namedAt[named]) {
      if (at <= last) {
        entry.at.push_back(at);
      }
    }
    report.namedRows.push_back(std::move(entry));
  }
  return report;
}

std::string MusicLine(const MusicReport& report) {
  constexpr std::size_t shownAt = 10;
  std::vector<std::string> items;
  for (const MusicReport::Count& count : report.counts) {
    const std::int64_t total = count.front + count.back;
    if (total == 0) {
      continue;
    }
    std::string item = CountItem(total, count.name, count.singular);
    if (count.atFront) {
      item += " (" + IntToText(count.front) + "f," + IntToText(count.back) + "b)";
    }
    items.push_back(std::move(item));
  }
  for (const MusicReport::Named& named : report.namedRows) {
    if (named.count == 0) {
      continue;
    }
    std::string item = CountItem(named.count, named.name, named.name);
    item += named.count == 1 ? " (row " : " (rows ";
    const std::size_t shown = std::min(shownAt, named.at.size());
    for (std::size_t at = 0; at < shown; ++at) {
      item += (at == 0 ? "" : ", ") + IntToText(named.at[at]);
    }
    if (named.count > static_cast<std::int64_t>(shown)) {
      item += " and " + IntToText(named.count - static_cast<std::int64_t>(shown)) + " more";
    }
    items.push_back(item + ')');
  }
  if (items.empty()) {
    return "none.";
  }
  std::string line;
  for (const std::string& item : items) {
    line += (line.empty() ? "" : ", ") + item;
  }
  return line + '.';
}
