#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int maxBells = 35;

// One arrangement of the bells, also read as a permutation of positions. A value: copy, compare,
// return it. Only the first bellCount positions take part in any operation; all rows of a run share
// the bell count, so a row made under one count is read under whatever count is current.
class Row {
 public:
  Row();  // rounds on every position, so any later bell count reads rounds beyond the old one

  std::int8_t operator[](int place) const { return bells[place]; }

  void Reset();
  [[nodiscard]] bool IsRounds() const;
  Row& Assign(const Row& other);  // copies the used positions only
  // Position i of the result holds this row's bell at position change[i]; beyond the bell count the
  // result is rounds.
  [[nodiscard]] Row Permute(const Row& change) const;
  // This row becomes source permuted by change on the first bellCount positions, as
  // Assign(source.Permute(change)) does, without a row in between; inline, with the bell count
  // handed in, for callers that apply a change to every row. REQUIRES: source is not this row.
  void AssignPermuted(const Row& source, const Row& change, int bellCount) {
    for (int place = 0; place < bellCount; ++place) {
      bells[place] = source.bells[change.bells[place]];
    }
  }
  [[nodiscard]] bool Less(const Row& other) const;
  [[nodiscard]] bool operator==(const Row& other) const;  // the used positions only

  [[nodiscard]] std::string ToText() const;
  // Blanks the back bells that stand as in the reference, in groups that keep the stage's parity.
  [[nodiscard]] std::string ToText(const Row& reference) const;

  // Building changes: exchange two positions, or make a place (the position holds its own bell).
  void Swap(int first, int second);
  void MakePlace(int position) { bells[position] = static_cast<std::int8_t>(position); }
  [[nodiscard]] bool IsPermutation() const;  // every used bell stands exactly once

  // Every position, used or not, for packing rows into keys; and the way back.
  [[nodiscard]] const std::array<std::int8_t, maxBells>& Bells() const { return bells; }
  void SetBell(int place, std::int8_t bell) { bells[place] = bell; }

 private:
  std::array<std::int8_t, maxBells> bells;
};

// Orders rows for ordered containers, as Less does.
struct RowLess {
  bool operator()(const Row& a, const Row& b) const { return a.Less(b); }
};
