#pragma once

// rows/ProcessState.h: the stage, the bell symbols, the change and call tables, and the
// awaiting-rounds flag of generation. Every file that touches them includes this header.

#include <string>

#include "rows/CallTable.h"
#include "rows/ChangeTable.h"

inline constexpr std::string_view smallBellSymbols = "1234567890ETABCD";
inline constexpr std::string_view largeBellSymbols = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

struct RowsState {
  int bellCount = maxBells;  // until the stage is first set
  // Switched once to largeBellSymbols when the stage first rises above 16 bells, never back.
  std::string bellSymbols{smallBellSymbols};
  ChangeTable changeTable;  // empty until the stage is first set
  // Set by a sequence that asked to await rounds: rows are dropped until one of them is rounds.
  bool awaitingRounds = false;
  CallTable callTable;
};
inline RowsState rowsState;  // its default value is the start value
