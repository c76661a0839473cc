#include "proof/RowBuckets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "driver/ProcessState.h"
#include "language/TokenReader.h"
#include "language/TouchParser.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"
#include "touch/Block.h"

namespace {

// A key of 16 bells from a random arrangement.
NarrowRowKey RandomKey(std::mt19937_64& random) {
  std::array<std::uint64_t, 16> bells{};
  for (std::uint64_t bell = 0; bell < 16; ++bell) {
    bells[bell] = bell;
  }
  std::shuffle(bells.begin(), bells.end(), random);
  NarrowRowKey key;
  for (const std::uint64_t bell : bells) {
    key.words[0] = key.words[0] << 4 | bell;
  }
  return key;
}

TEST(RowBuckets, GivesBackEveryRowWithItsIndex) {
  // Enough rows for many chunks and epochs in every bucket, some of them again and again.
  std::mt19937_64 random(14);
  std::vector<std::pair<std::uint64_t, std::int32_t>> expected;
  std::vector<NarrowRowKey> keys;
  for (std::int32_t index = 0; index < 200000; ++index) {
    keys.push_back(index % 7 == 3 ? keys[random() % keys.size()] : RandomKey(random));
    expected.emplace_back(keys.back().words[0], index);
  }
  RowBuckets rows;
  rows.Start(16, 0);
  for (std::size_t first = 0; first < keys.size(); first += 1000) {
    const std::span<const NarrowRowKey> batch = std::span<const NarrowRowKey>(keys).subspan(
        first, std::min<std::size_t>(1000, keys.size() - first));
    ASSERT_EQ(batch.size(), rows.Append(batch));
  }
  EXPECT_EQ(200000, rows.Size());

  std::vector<std::pair<std::uint64_t, std::int32_t>> given;
  std::int32_t lastIndex = -1;
  NarrowRowKey lastKey;
  rows.ForEachRow([&](const NarrowRowKey& key, std::int32_t index) {
    // A row's occurrences come in order.
    if (key == lastKey) {
      EXPECT_LT(lastIndex, index);
    }
    given.emplace_back(key.words[0], index);
    lastKey = key;
    lastIndex = index;
  });
  std::sort(given.begin(), given.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, given);
  EXPECT_EQ(expected.front().first, rows.LeastKey().words[0]);
}

TEST(RowBuckets, TakesOnlyKeysItsCodeHolds) {
  struct Case {
    int bells;
    const char* row;  // the first row the buckets cannot hold
    std::size_t taken;
  };
  const Case cases[] = {
      {16, "1134567890ETABCD", 2},  // a bell twice: the last bell does not follow from the others
      {16, "1234567890ETABCC", 2},
      {16, "2134567890ETABCD", 3},  // an arrangement: all of them taken
      {11, "1234567890E", 3},
  };
  for (const auto& [bells, text, taken] : cases) {
    SCOPED_TRACE(text);
    ResetProcessState();
    SetBellCount(bells);
    std::vector<NarrowRowKey> keys(3);
    ASSERT_TRUE(NarrowRowKey::Pack(Row(), bells, keys[0]));
    ASSERT_TRUE(NarrowRowKey::Pack(test::RowOf("213"), bells, keys[1]));
    ASSERT_TRUE(NarrowRowKey::Pack(test::RowOf(text), bells, keys[2]));
    RowBuckets rows;
    rows.Start(bells, 0);
    EXPECT_EQ(taken, rows.Append(keys));
    EXPECT_EQ(static_cast<std::int64_t>(taken), rows.Size());
  }
  // On fewer than 16 bells a key holds nothing beyond the stage.
  RowBuckets rows;
  rows.Start(11, 0);
  const NarrowRowKey beyond{{1}};
  EXPECT_EQ(0u, rows.Append(std::span<const NarrowRowKey>(&beyond, 1)));
}

// Everything a proof table answers, for the rows in probes and around its first repeated pair.
struct Answers {
  ProofVerdict verdict;
  std::int32_t extents = 0;
  std::int32_t firstRoundsAt = 0;
  std::string firstRepeat;
  std::string repeatedAmongProbes;
  std::string firstRepeatWithin;
  std::vector<std::string> repeatedRows;
  bool operator==(const Answers&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answers& answers) {
  out << answers.verdict.isTrue << ' ' << answers.verdict.roundsAt << ' ' << answers.verdict.repeats
      << " extents " << answers.extents << " first rounds " << answers.firstRoundsAt << '\n'
      << answers.firstRepeat << "IsRepeated " << answers.repeatedAmongProbes.substr(0, 200)
      << (answers.repeatedAmongProbes.size() > 200 ? "..." : "") << "\nWithin "
      << answers.firstRepeatWithin << '\n'
      << answers.repeatedRows.size() << " rows more than once\n";
  for (std::size_t row = 0; row < answers.repeatedRows.size() && row < 10; ++row) {
    out << answers.repeatedRows[row] << '\n';
  }
  return out;
}

Answers AnswersOf(const ProofTable& table, const std::vector<Row>& probes) {
  Answers answers;
  answers.verdict = table.Verdict();
  answers.extents = table.Extents();
  answers.firstRoundsAt = table.FirstRoundsAt();
  std::vector<std::int64_t> starts = {-1, 0, 1, 100, 1000};
  if (answers.verdict.repeats != 0) {
    const ProofTable::Repeat repeat = table.FirstRepeat();
    std::ostringstream line;
    table.PrintFirstRepeat(line);
    answers.firstRepeat = line.str() + std::to_string(repeat.first) + " " +
                          std::to_string(repeat.second) + repeat.row.ToText() + "\n";
    for (const std::int64_t at : {repeat.first, repeat.second}) {
      starts.insert(starts.end(), {at - 2, at - 1, at});
    }
  }
  for (const Row& row : probes) {
    answers.repeatedAmongProbes += table.IsRepeated(row) ? '1' : '0';
  }
  for (const std::int64_t start : starts) {
    for (const std::int64_t length : {0, 1, 2, 1000000}) {
      answers.firstRepeatWithin += table.FirstRepeatWithin(start, length) ? '1' : '0';
    }
  }
  table.ForEachRepeatedRow([&](const Row& row, const ProofEntry& entry) {
    answers.repeatedRows.push_back(row.ToText() + " " + std::to_string(entry.firstIndex) + " " +
                                   std::to_string(entry.secondIndex) + " " +
                                   std::to_string(entry.lastIndex) + " " +
                                   std::to_string(entry.count));
  });
  std::sort(answers.repeatedRows.begin(), answers.repeatedRows.end());
  return answers;
}

// Keeps every row it is shown, in order.
class RowList final : public RowObserver {
 public:
  void Observe(std::int32_t /*first*/, std::span<const NarrowRowKey> keys) override {
    for (const NarrowRowKey& key : keys) {
      rows.push_back(key.Unpack(rowsState.bellCount));
    }
  }
  void Observe(std::int32_t /*first*/, std::span<const Row> more) override {
    rows.insert(rows.end(), more.begin(), more.end());
  }
  std::vector<Row> rows;
};

// The rows recorded, their distinct rows and a row never recorded, to ask IsRepeated of.
std::vector<Row> ProbesOf(std::vector<Row> rows) {
  std::sort(rows.begin(), rows.end(), RowLess());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  Row other;  // one that may never have been recorded
  other.Swap(0, 2);
  rows.push_back(other);
  return rows;
}

// Records the rows in both stores at once, in runs of random lengths through each way in, and
// compares every answer at a few points on the way and at the end. Without room reserved for them
// the buckets are fewest, and their memory grows as rows come.
void ExpectSameAnswers(const std::vector<Row>& rows, std::mt19937_64& random, bool reserve = true,
                       int checks = 3) {
  const int bellCount = rowsState.bellCount;
  ProofTable entries;
  ProofTable buckets(0);
  if (reserve) {
    buckets.Reserve(static_cast<std::int64_t>(rows.size()));
  }
  const std::vector<Row> probes = ProbesOf(rows);
  std::vector<std::size_t> checkpoints;
  for (int check = 0; check < checks; ++check) {
    checkpoints.push_back(random() % rows.size());
  }
  std::size_t next = 0;
  while (next < rows.size()) {
    const std::size_t run = std::min<std::size_t>(rows.size() - next, 1 + random() % 200);
    const std::span<const Row> batch = std::span<const Row>(rows).subspan(next, run);
    std::vector<NarrowRowKey> keys(run);
    bool packed = true;
    for (std::size_t row = 0; row < run; ++row) {
      packed = packed && NarrowRowKey::Pack(batch[row], bellCount, keys[row]);
    }
    if (packed && random() % 2 == 0) {
      entries.Insert(std::span<const NarrowRowKey>(keys));
      buckets.Insert(std::span<const NarrowRowKey>(keys));
    } else if (random() % 2 == 0) {
      entries.Insert(batch);
      buckets.Insert(batch);
    } else {
      for (const Row& row : batch) {
        entries.Insert(row);
        buckets.Insert(row);
      }
    }
    const std::size_t before = next;
    next += run;
    if (std::any_of(checkpoints.begin(), checkpoints.end(),
                    [&](std::size_t at) { return at >= before && at < next; })) {
      SCOPED_TRACE("after " + std::to_string(next) + " rows");
      ASSERT_EQ(AnswersOf(entries, probes), AnswersOf(buckets, probes));
    }
  }
  EXPECT_EQ(AnswersOf(entries, probes), AnswersOf(buckets, probes));
}

// A random touch: courses of random bobs and singles, some in named blocks used again, so that
// rows repeat before rounds and after it; on 5 to 16 bells, Stedman or Erin.
std::string RandomTouch(std::mt19937_64& random, int bells) {
  std::ostringstream text;
  text << '#' << bells << (random() % 4 == 0 ? " ~e" : "") << '\n';
  const auto course = [&] {
    std::ostringstream calls;
    const int sixes = 2 + static_cast<int>(random() % 30);
    for (int six = 1; six <= sixes; ++six) {
      if (random() % 5 == 0) {
        calls << six << (random() % 3 == 0 ? "s " : " ");
      }
    }
    calls << '(' << sixes << ") ";
    return calls.str();
  };
  const int blocks = 1 + static_cast<int>(random() % 3);
  for (int block = 0; block < blocks; ++block) {
    text << static_cast<char>('A' + block) << '[';
    for (int courses = 1 + static_cast<int>(random() % 3); courses > 0; --courses) {
      text << course();
    }
    text << "]\n";
  }
  for (int uses = static_cast<int>(random() % 8); uses > 0; --uses) {
    if (random() % 3 == 0) {
      text << course();
    } else {
      text << static_cast<char>('A' + random() % static_cast<unsigned>(blocks)) << ' ';
    }
  }
  text << '\n';
  return text.str();
}

// Generates the touch into table as the program does, and answers the rows it recorded.
std::vector<Row> Generate(const std::string& text, ProofTable& table) {
  ResetProcessState();
  std::istringstream in(text);
  std::ostringstream err;
  Block top(0);
  TokenReader reader(in);
  TouchParser(reader, err).Parse(top, true);
  RowList list;
  table.SetObserver(&list);
  Row row;
  table.Reserve(1 + 6 + top.changesRung + 6);
  table.Insert(row);
  top.Generate(table, row, true);
  table.SetObserver(nullptr);
  return list.rows;
}

TEST(RowBuckets, AnswerAsTheEntryTableOnGeneratedTouches) {
  std::mt19937_64 random(5);
  int comeRound = 0;
  int falseBeforeRounds = 0;
  for (int touch = 0; touch < 120; ++touch) {
    const int bells = 5 + touch % 12;
    const std::string text = RandomTouch(random, bells);
    SCOPED_TRACE(text);
    ProofTable entries;
    ProofTable buckets(0);
    const std::vector<Row> rows = Generate(text, entries);
    ASSERT_EQ(rows, Generate(text, buckets));
    const std::vector<Row> probes = ProbesOf(rows);
    const Answers answers = AnswersOf(entries, probes);
    ASSERT_EQ(answers, AnswersOf(buckets, probes));
    comeRound += answers.verdict.roundsAt > 0 ? 1 : 0;
    falseBeforeRounds += answers.verdict.roundsAt > 0 && answers.verdict.repeats != 0 ? 1 : 0;
    ExpectSameAnswers(rows, random);
  }
  // The touches are of every kind the answers tell apart.
  EXPECT_GT(comeRound, 20);
  EXPECT_GT(falseBeforeRounds, 10);
}

// Levels of blocks, each of eight blocks of the level below picked at random, from courses of
// random bobs on 16 bells: hardly a row comes twice.
std::string NestedTouch(std::mt19937_64& random, int levels, int top) {
  std::ostringstream text;
  text << "#16\n";
  char letter = 'A';
  std::vector<char> below;
  for (int course = 0; course < 8; ++course) {
    text << letter << '[' << 1 + random() % 16 << ' ' << 17 + random() % 16 << " (32)]\n";
    below.push_back(letter++);
  }
  for (int level = 0; level < levels; ++level) {
    std::vector<char> blocks;
    for (int block = 0; block < 8; ++block) {
      text << letter << '[';
      for (int child = 0; child < 8; ++child) {
        text << below[random() % below.size()] << ' ';
      }
      text << "]\n";
      blocks.push_back(letter++);
    }
    below = blocks;
  }
  for (int use = 0; use < top; ++use) {
    text << below[random() % below.size()] << ' ';
  }
  return text.str();
}

TEST(RowBuckets, AnswerAsTheEntryTableOnLongTouches) {
  // Many rows to every bucket, over many chunks and epochs: nested blocks on 16 bells, hardly
  // false, and on 12 bells, false again and again.
  std::mt19937_64 random(16);
  for (const std::string& text :
       {NestedTouch(random, 3, 7), std::string("#12 A[4 7s (20)] B[A A] C[B B B] D[C C C] "
                                               "E[D D D D D] E E E")}) {
    SCOPED_TRACE(text);
    ProofTable entries;
    ProofTable buckets(0);
    const std::vector<Row> rows = Generate(text, entries);
    ASSERT_GT(rows.size(), 30000u);
    ASSERT_EQ(rows, Generate(text, buckets));
    const std::vector<Row> probes = ProbesOf(rows);
    EXPECT_EQ(AnswersOf(entries, probes), AnswersOf(buckets, probes));

    // Early rows again at the end, with no room reserved: the buckets' memory grows.
    std::vector<Row> again = rows;
    again.insert(again.end(), rows.begin() + 1000, rows.begin() + 3000);
    ExpectSameAnswers(again, random, false, 1);
  }
}

TEST(RowBuckets, AnswerAsTheEntryTableWhenABucketOutgrowsItsTable) {
  // No room reserved: 4 buckets of about 160,000 rows each, more new rows than a bucket's first
  // table takes, with early rows again before it grows and after.
  std::mt19937_64 random(40);
  ResetProcessState();
  SetBellCount(16);
  std::vector<Row> rows{Row()};
  for (int row = 0; row < 640000; ++row) {
    rows.push_back(RandomKey(random).Unpack(16));
  }
  rows.insert(rows.begin() + 300000, rows.begin() + 10, rows.begin() + 1000);
  rows.insert(rows.end(), rows.begin() + 10, rows.begin() + 20000);
  ExpectSameAnswers(rows, random, false, 1);
}

// Extents of 5 and 6 bells end to end, their rows in random orders, with the changes that the
// multi-extent rule tells apart: a row moved from one extent to another, a row twice in an extent
// and missing from it, a first row other than rounds, rows after the last extent, and extents
// short of a row.
TEST(RowBuckets, AnswerAsTheEntryTableOnMultiExtents) {
  std::mt19937_64 random(6);
  for (int sequence = 0; sequence < 200; ++sequence) {
    const int bells = 5 + sequence % 2;
    ResetProcessState();
    SetBellCount(bells);
    std::string symbols = rowsState.bellSymbols.substr(0, static_cast<std::size_t>(bells));
    std::vector<Row> others;
    while (std::next_permutation(symbols.begin(), symbols.end())) {
      others.push_back(test::RowOf(symbols));
    }
    std::vector<Row> rows;
    const int extents = 1 + static_cast<int>(random() % 4);
    for (int extent = 0; extent < extents; ++extent) {
      rows.emplace_back();
      std::shuffle(others.begin(), others.end(), random);
      rows.insert(rows.end(), others.begin(), others.end());
    }
    const auto anyIndex = [&] { return 1 + random() % (rows.size() - 1); };
    switch (random() % 6) {
      case 0:
        std::swap(rows[anyIndex()], rows[anyIndex()]);
        break;
      case 1:
        rows[anyIndex()] = rows[anyIndex()];
        break;
      case 2:
        std::swap(rows[0], rows[anyIndex()]);
        break;
      case 3:
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(anyIndex()));
        break;
      default:
        break;
    }
    if (random() % 2 == 0) {
      rows.emplace_back();
    }
    for (int more = static_cast<int>(random() % 4); more > 0; --more) {
      rows.push_back(rows[anyIndex()]);
    }
    SCOPED_TRACE(std::to_string(bells) + " bells, " + std::to_string(extents) + " extents, " +
                 std::to_string(sequence));
    ExpectSameAnswers(rows, random);
  }
}

TEST(RowBuckets, RowsTheBucketsCannotHoldMoveToTheEntries) {
  // Mid-way a row of 16 bells with a bell twice, or a bell beyond 16: every row recorded before it
  // moves to the entries with all that was counted.
  std::mt19937_64 random(17);
  Row beyond;
  beyond.Swap(0, 20);
  for (const Row& odd : {test::RowOf("1134567890ETABCD"), beyond}) {
    ProofTable scratch;
    std::vector<Row> rows = Generate("#16 A[5 (20)] A A A", scratch);
    rows.insert(rows.begin() + 300, odd);
    rows.push_back(odd);
    rows.insert(rows.end(), rows.begin() + 10, rows.begin() + 20);
    ExpectSameAnswers(rows, random);
  }
}

}  // namespace
