#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class Block;

// The settings a touch description changes while it is read.
struct TouchSettings {
  int sixesPerCourse = 0;
  bool erin = false;
  // Where rounds stands in the six the touch starts in: 0 to 5 the rows of a quick six, 6 to 11
  // those of a slow six. Set by SetDefaults before any token is read.
  int startPosition = -1;
  std::optional<std::string> leadIn;  // a tail of "31313p", rung before rounds comes up
  Block* headerBlock = nullptr;       // the block read between "<" and its close

  // 11 bells, and rounds as the fourth row of a quick six.
  void SetDefaults();
  // Sixes per course and rule line for n bells, then the stage. Throws "Too few bells" for a
  // negative count, after the sixes per course have changed.
  void ApplyBellCount(int n);
  // Refuses (answers false, changing nothing) an index outside 0 to 11.
  [[nodiscard]] bool SetStart(std::int8_t index, char letter);
  void SelectMethod(char method);
  void SetSixesPerCourse(int n);
  // The changes of the starting six still to ring after rounds.
  [[nodiscard]] std::string StartTail() const;

  // The line a separator draws: a blank and a hyphen per bell, lengthened by the heading.
  [[nodiscard]] const std::string& RuleLine() const;
  void ExtendRuleLine(std::string_view text);

 private:
  mutable std::string ruleLine;
  // Each "-1" shifts the rule line right by one blank. The shifts wait until the line is next
  // read, so that a run of them costs one copy of the line, not one each.
  mutable std::int64_t pendingShifts = 0;
};
