#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "rows/PackedChange.h"
#include "rows/Row.h"

// The changes of the current stage, each named by a one-character code; a code sequence is a string
// of codes applied left to right. Rebuilt with the predefined codes at every change of stage.
class ChangeTable {
 public:
  void DefineChange(char code, const Row& change);
  // The code of the change, entering it under a new code when the table does not hold it.
  // Throws "Too many changes" when every non-zero code is in use.
  char InternChange(const Row& change);
  // The change of a code that can be applied. Throws "Bad place: " and the code for a code the
  // table does not hold or whose change is no permutation ('z' on an even stage).
  [[nodiscard]] const Row& ChangeOf(char code) const;
  // The change of a code that can be applied, or nullptr where ChangeOf throws.
  [[nodiscard]] const Row* FindChange(char code) const {
    const std::optional<Row>& entry = forward[Slot(code)];
    return entry && applicable[Slot(code)] ? &*entry : nullptr;
  }
  // The packed form of the change of a code that can be applied, or nullptr when it has none
  // (above 16 bells, or place notation written out of order; FindChange still answers those).
  [[nodiscard]] const PackedChange* FindPackedChange(char code) const {
    return packable[Slot(code)] ? &packed[Slot(code)] : nullptr;
  }
  [[nodiscard]] bool Holds(char code) const;
  [[nodiscard]] int Size() const { return size; }

 private:
  static std::size_t Slot(char code) { return static_cast<unsigned char>(code); }

  std::array<std::optional<Row>, 256> forward;  // by code
  std::array<bool, 256> applicable{};           // the change of the code is a permutation
  std::array<PackedChange, 256> packed{};       // meaningful where packable
  std::array<bool, 256> packable{};
  std::map<Row, char, RowLess> reverse;
  int size = 0;  // codes held in forward
};

// The six patterns and the closing sequence that touches are built from.
inline constexpr std::string_view quickSix = "13131";
inline constexpr std::string_view slowSix = "31313";
inline constexpr std::string_view slowSixThenPlain = "31313p";
inline constexpr std::string_view plainThenSlowSix = "p31313";

// Sets the stage: clears the awaiting-rounds flag, and for a new count rebuilds the change table.
// Throws "Too many bells" above 35 and "Too few bells" below 3; the stage is then unchanged.
void SetBellCount(int count);

// Reads one change of place notation at the cursor, leaving the cursor on the '.' or the end that
// closed it; answers its code, or '\0' when the text holds no further change. Places out of order
// or beyond the stage still give a permutation inside the row.
char ParseChange(std::string_view text, std::size_t& cursor);

// The row that the codes lead to from rounds.
[[nodiscard]] Row SequenceProduct(std::string_view codes);
