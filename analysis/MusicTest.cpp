#include "analysis/Music.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "driver/Run.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"
#include "tests/TestHelpers.h"

namespace {

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  // The music of rows 1 to the last of texts (row 0, the first, is never counted), shown to the
  // counter packed when they fit, as generation rings them.
  static MusicReport MusicOf(int bells, const std::vector<std::string>& texts) {
    SetBellCount(bells);
    MusicCounter counter(bells);
    std::vector<Row> rows;
    for (const std::string& text : texts) {
      rows.push_back(test::RowOf(text));
    }
    Observe(counter, bells, rows);
    return counter.Report(static_cast<std::int32_t>(rows.size()) - 1);
  }

  static void Observe(MusicCounter& counter, int bells, const std::vector<Row>& rows) {
    std::vector<NarrowRowKey> keys(rows.size());
    bool packed = true;
    for (std::size_t row = 0; row < rows.size(); ++row) {
      packed = packed && NarrowRowKey::Pack(rows[row], bells, keys[row]);
    }
    // Row 0 whole, as the proof table shows the starting rounds; the rest packed where they fit.
    counter.Observe(0, std::span<const Row>(rows).first(1));
    if (packed) {
      counter.Observe(1, std::span<const NarrowRowKey>(keys).subspan(1));
    } else {
      counter.Observe(1, std::span<const Row>(rows).subspan(1));
    }
  }

  // The count of that name: total, front, back.
  static std::vector<std::int64_t> Count(const MusicReport& report, const std::string& name) {
    for (const MusicReport::Count& count : report.counts) {
      if (count.name == name) {
        return {count.front + count.back, count.front, count.back};
      }
    }
    for (const MusicReport::Named& named : report.namedRows) {
      if (named.name == name) {
        return {named.count};
      }
    }
    return {};
  }
};

TEST_F(MusicTest, EachStageCountsItsOwnMusicInOrder) {
  const auto names = [](int bells) {
    std::vector<std::string> found;
    const MusicScheme scheme = MusicSchemeFor(bells);
    for (const MusicCount& count : scheme.counts) {
      found.push_back(count.name);
    }
    for (const NamedRow& named : scheme.namedRows) {
      found.push_back(named.name);
    }
    return found;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ((Names{"567s", "657s", "CRUs", "46s", "4-bell runs", "Queens", "Kings", "Tittums",
                   "Backrounds", "Whittingtons"}),
            names(7));
  EXPECT_EQ((Names{"56s", "65s", "4-bell runs", "Queens", "Kings", "Tittums", "Backrounds"}),
            names(8));
  EXPECT_EQ((Names{"56s", "65s", "4-bell runs", "Queens", "Kings", "Tittums", "Backrounds",
                   "Whittingtons"}),
            names(9));
  EXPECT_EQ((Names{"4-bell runs", "Queens", "Kings", "Tittums", "Backrounds"}), names(5));
  EXPECT_EQ((Names{"4-bell runs"}), names(4));
  EXPECT_EQ((Names{}), names(3));
}

TEST_F(MusicTest, NamedRowsAreTheRowsRingersNameThem) {
  const struct {
    int bells;
    std::vector<std::string> rows;  // Queens, Kings, Tittums, Backrounds, Whittingtons
  } cases[] = {
      {5, {"13524", "53124", "14253", "54321"}},
      {7, {"1357246", "7531246", "1526374", "7654321", "1275346"}},
      {8, {"13572468", "75312468", "15263748", "87654321"}},
      {9, {"135792468", "975312468", "162738495", "987654321", "312497568"}},
      {12, {"13579E24680T", "E9753124680T", "172839405E6T", "TE0987654321"}},
  };
  for (const auto& stage : cases) {
    SCOPED_TRACE(stage.bells);
    SetBellCount(stage.bells);
    const MusicScheme scheme = MusicSchemeFor(stage.bells);
    std::vector<std::string> rows;
    for (const NamedRow& named : scheme.namedRows) {
      rows.push_back(named.row.ToText().substr(1));
    }
    EXPECT_EQ(stage.rows, rows);
  }
}

// Hand-made rows of Triples: each ending counted at the back, runs at both ends, a run longer than
// four counted once at each end, and the named rows with where they stand.
TEST_F(MusicTest, CountsHandMadeRowsOfTriples) {
  const MusicReport report = MusicOf(7, {
                                            "1234567",  // row 0: not counted
                                            "2134567",  // 567, CRU, 4-bell run at the back
                                            "3214657",  // 657, CRU
                                            "1235467",  // CRU 467
                                            "7654321",  // Backrounds; runs at both ends
                                            "2317546",  // 46
                                            "1357246",  // Queens; 46
                                            "4321576",  // a run at the front
                                            "1275346",  // Whittingtons; 46
                                            "1234567",  // rounds: runs at both ends, a 567, a CRU
                                        });
  EXPECT_EQ(9, report.rows);
  EXPECT_EQ((std::vector<std::int64_t>{2, 0, 2}), Count(report, "567s"));
  EXPECT_EQ((std::vector<std::int64_t>{1, 0, 1}), Count(report, "657s"));
  EXPECT_EQ((std::vector<std::int64_t>{4, 0, 4}), Count(report, "CRUs"));
  EXPECT_EQ((std::vector<std::int64_t>{3, 0, 3}), Count(report, "46s"));
  EXPECT_EQ((std::vector<std::int64_t>{6, 3, 3}), Count(report, "4-bell runs"));
  EXPECT_EQ((std::vector<std::int64_t>{1}), Count(report, "Queens"));
  EXPECT_EQ((std::vector<std::int64_t>{0}), Count(report, "Kings"));
  EXPECT_EQ(
      "2 567s, 1 657, 4 CRUs, 3 46s, 6 4-bell runs (3f,3b), 1 Queens (row 6), "
      "1 Backrounds (row 4), 1 Whittingtons (row 8).",
      MusicLine(report));
}

TEST_F(MusicTest, CountsFiftySixesAndSixtyFivesAtBothEnds) {
  const MusicReport major =
      MusicOf(8, {"12345678", "21435678", "56781234", "65783412", "31246578", "13245678"});
  EXPECT_EQ((std::vector<std::int64_t>{3, 1, 2}), Count(major, "56s"));
  EXPECT_EQ((std::vector<std::int64_t>{2, 1, 1}), Count(major, "65s"));
  // 5678 is a run too: at the back of rows 1, 5 and at the front of row 2; 1234 at the back of 2.
  EXPECT_EQ((std::vector<std::int64_t>{4, 1, 3}), Count(major, "4-bell runs"));

  const MusicReport cinques =
      MusicOf(11, {"1234567890E", "2143567890E", "567890E1234", "3214657890E", "4321567890E"});
  EXPECT_EQ((std::vector<std::int64_t>{3, 1, 2}), Count(cinques, "56s"));
  EXPECT_EQ((std::vector<std::int64_t>{1, 0, 1}), Count(cinques, "65s"));
  EXPECT_EQ("3 56s (1f,2b), 1 65 (0f,1b), 6 4-bell runs (2f,4b).", MusicLine(cinques));
}

// Above 16 bells rows reach the counter whole: the same rules, bells beyond the sixteenth too.
TEST_F(MusicTest, CountsWholeRowsAbove16Bells) {
  const MusicReport report =
      MusicOf(18, {"123456789ABCDEFGHI", "213456789ABCDEFGHI", "IHGFEDCBA987654321",
                   "56789ABCDEFGHI1234", "214365789ABCDEFGHI"});
  EXPECT_EQ((std::vector<std::int64_t>{2, 1, 1}), Count(report, "56s"));
  EXPECT_EQ((std::vector<std::int64_t>{1, 0, 1}), Count(report, "65s"));
  EXPECT_EQ((std::vector<std::int64_t>{6, 2, 4}), Count(report, "4-bell runs"));
  EXPECT_EQ((std::vector<std::int64_t>{1}), Count(report, "Backrounds"));
}

// The counter's packed tests against a direct reading of the rules, on random rows of every stage
// from 4 to 20 bells: packed up to 16, whole above.
TEST_F(MusicTest, AgreesWithTheRulesOnRandomRows) {
  std::mt19937 random(20261210);
  for (int bells = 4; bells <= 20; ++bells) {
    SCOPED_TRACE(bells);
    SetBellCount(bells);
    const MusicScheme scheme = MusicSchemeFor(bells);
    // Random rows, and among them rows that begin or end with each pattern and with runs, the
    // other bells shuffled.
    std::vector<std::vector<std::int8_t>> patterns = {{0, 1, 2, 3}, {7, 6, 5, 4}};
    for (const MusicCount& count : scheme.counts) {
      patterns.insert(patterns.end(), count.patterns.begin(), count.patterns.end());
    }
    std::vector<Row> rows(1);
    for (int row = 0; row < 3000; ++row) {
      std::vector<std::int8_t> pattern =
          patterns[static_cast<std::size_t>(row / 3) % patterns.size()];
      pattern.erase(std::remove_if(pattern.begin(), pattern.end(),
                                   [&](std::int8_t bell) { return bell >= bells; }),
                    pattern.end());
      std::vector<std::int8_t> rest;
      for (int bell = 0; bell < bells; ++bell) {
        if (std::find(pattern.begin(), pattern.end(), bell) == pattern.end()) {
          rest.push_back(static_cast<std::int8_t>(bell));
        }
      }
      std::shuffle(rest.begin(), rest.end(), random);
      std::vector<std::int8_t> order = rest;
      if (row % 3 == 1) {
        order.insert(order.end(), pattern.begin(), pattern.end());
      } else if (row % 3 == 2) {
        order.insert(order.begin(), pattern.begin(), pattern.end());
      } else {
        order.insert(order.end(), pattern.begin(), pattern.end());
        std::shuffle(order.begin(), order.end(), random);
      }
      Row made;
      for (int place = 0; place < bells; ++place) {
        made.SetBell(place, order[static_cast<std::size_t>(place)]);
      }
      rows.push_back(made);
    }
    MusicCounter counter(bells);
    Observe(counter, bells, rows);
    const MusicReport report = counter.Report(static_cast<std::int32_t>(rows.size()) - 1);

    const auto endsWith = [&](const Row& row, const std::vector<std::int8_t>& bellsAt, bool front) {
      const int start = front ? 0 : bells - static_cast<int>(bellsAt.size());
      for (std::size_t place = 0; place < bellsAt.size(); ++place) {
        if (row[start + static_cast<int>(place)] != bellsAt[place]) {
          return false;
        }
      }
      return true;
    };
    const auto run = [&](const Row& row, int start) {
      int up = 0;
      int down = 0;
      for (int place = start; place < start + 3; ++place) {
        up += row[place + 1] - row[place] == 1 ? 1 : 0;
        down += row[place] - row[place + 1] == 1 ? 1 : 0;
      }
      return up == 3 || down == 3;
    };
    for (std::size_t count = 0; count < scheme.counts.size(); ++count) {
      const MusicCount& music = scheme.counts[count];
      std::int64_t front = 0;
      std::int64_t back = 0;
      for (std::size_t row = 1; row < rows.size(); ++row) {
        for (const std::vector<std::int8_t>& pattern : music.patterns) {
          front += music.atFront && endsWith(rows[row], pattern, true) ? 1 : 0;
          back += endsWith(rows[row], pattern, false) ? 1 : 0;
        }
        if (music.runs) {
          front += run(rows[row], 0) ? 1 : 0;
          back += run(rows[row], bells - 4) ? 1 : 0;
        }
      }
      SCOPED_TRACE(music.name);
      EXPECT_EQ(front, report.counts[count].front);
      EXPECT_EQ(back, report.counts[count].back);
      EXPECT_GT(front + back, 0);
    }
  }
}

// Rounds ends the touch where it first recurs, or at the end of the last whole extent: the counts
// stop there, and rows after it are not counted.
TEST_F(MusicTest, CountsOnlyToTheRoundsThatEndsTheTouch) {
  SetBellCount(5);
  MusicCounter counter(5);
  std::vector<Row> rows;
  for (const char* text : {"12345", "54321", "12345", "54321", "54321", "12345", "13524"}) {
    rows.push_back(test::RowOf(text));
  }
  counter.Observe(0, rows);
  const MusicReport atFirst = counter.Report(2);
  EXPECT_EQ(2, atFirst.rows);
  EXPECT_EQ((std::vector<std::int64_t>{4, 2, 2}), Count(atFirst, "4-bell runs"));
  EXPECT_EQ((std::vector<std::int32_t>{1}), atFirst.namedRows[3].at);  // Backrounds
  const MusicReport all = counter.Report(6);
  EXPECT_EQ((std::vector<std::int64_t>{3}), Count(all, "Backrounds"));
  EXPECT_EQ((std::vector<std::int64_t>{1}), Count(all, "Queens"));
  // Row 5 is rounds again, but not at a whole extent of 120 rows: no touch ends there.
  EXPECT_THROW((void)counter.Report(5), std::logic_error);
  EXPECT_THROW((void)counter.Report(3), std::logic_error);
}

TEST_F(MusicTest, TheLineLeavesOutZeroCountsAndDropsThePluralOfOne) {
  MusicReport report;
  report.counts = {
      {"56s", "56", true, 0, 1}, {"65s", "65", true, 0, 0}, {"CRUs", "CRU", false, 0, 12}};
  EXPECT_EQ("1 56 (0f,1b), 12 CRUs.", MusicLine(report));
  report.counts = {{"4-bell runs", "4-bell run", true, 1, 0}};
  EXPECT_EQ("1 4-bell run (1f,0b).", MusicLine(report));
  report.counts.clear();
  EXPECT_EQ("none.", MusicLine(report));
  MusicReport::Named queens{"Queens", Row(), 13, {}};
  for (std::int32_t at = 1; at <= 13; ++at) {
    queens.at.push_back(at * 10);
  }
  report.namedRows = {queens, {"Kings", Row(), 2, {5, 7}}};
  EXPECT_EQ(
      "13 Queens (rows 10, 20, 30, 40, 50, 60, 70, 80, 90, 100 and 3 more), "
      "2 Kings (rows 5, 7).",
      MusicLine(report));
}

// The figures that composition libraries print, on whole touches: plain courses, and the
// published compositions of examples/.
TEST_F(MusicTest, WholeTouchesGiveThePublishedFigures) {
  const auto music = [](const std::string& touch) {
    ResetProcessState();
    std::istringstream in(touch);
    std::ostringstream err;
    ProveSettings settings;
    settings.analyses.music = true;
    return MusicLine(*ProveTouch(in, err, settings).analysis.music);
  };
  const auto file = [](const std::string& name) {
    std::ifstream in(std::string(SIXES_SOURCE_DIR) + "/examples/" + name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ("3 567s, 3 657s, 6 CRUs, 3 46s, 8 4-bell runs (2f,6b).", music("#7 (14)"));
  EXPECT_EQ("3 56s (0f,3b), 5 4-bell runs (2f,3b).", music("#9 (18)"));
  EXPECT_EQ("3 56s (0f,3b), 5 4-bell runs (2f,3b).", music("#11 (22)"));
  EXPECT_EQ(
      "12 567s, 6 657s, 36 CRUs, 66 46s, 35 4-bell runs (23f,12b), 1 Queens (row 682), "
      "1 Kings (row 874), 1 Whittingtons (row 886).",
      music(file("stedman-triples-1260-johnson-musical.touch")));
  // Any true 5040 holds every row once: the one published 5040 of examples/.
  EXPECT_EQ(
      "24 567s, 24 657s, 144 CRUs, 120 46s, 96 4-bell runs (48f,48b), 1 Queens (row 562), "
      "1 Kings (row 1348), 1 Tittums (row 2384), 1 Backrounds (row 4377), "
      "1 Whittingtons (row 706).",
      music(file("stedman-triples-5040-johnson-10part.touch")));
}

}  // namespace
