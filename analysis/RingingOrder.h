#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Block;
class Course;
class Element;

// The order in which a touch rings its courses, read from the element tree: every use of a block
// rings its courses again. Visits the courses that ring at least one change, as Generate rings
// them, without ringing a row.
class CourseWalk {
 public:
  explicit CourseWalk(const Block& top);
  // The next course rung, or nullptr after the last.
  const Course* Next();

 private:
  struct Level {
    const std::vector<Element*>* children;
    std::size_t next;
  };
  // One level for each block entered; at most one a block letter, as blocks cannot hold
  // themselves.
  std::vector<Level> stack;
};

// How the changes a touch rings stand to the rows the proof records. Changes are numbered from 1
// in the order rung: first the rest of the six in which rounds stands (or the lead-in), then the
// courses, then the closing plain six-end and slow six. Row r of the proof is the row after change
// r + firstRecorded; without a lead-in firstRecorded is 0 and row 0 is the starting rounds.
struct RingingFrame {
  bool leadIn = false;
  std::int64_t startChanges = 0;  // the rest of the start six, or the lead-in
  std::int64_t courseChanges = 0;
  std::int64_t totalChanges = 0;  // start, courses and the closing six
  // With a lead-in, the change that brought rounds, from which rows are recorded.
  std::int64_t firstRecorded = 0;
  std::int32_t rowCount = 0;  // the rows the proof recorded, the starting rounds among them

  // The row number of the row after change, or -1 when that row was not recorded.
  [[nodiscard]] std::int64_t RowAfter(std::int64_t change) const;
};

// Reads the frame from the settings of the touch just rung and the rows its proof recorded.
RingingFrame FrameOf(const Block& top, std::int32_t rowCount);

// One six of a touch as rung, and the rows the proof recorded of it.
struct SixPlace {
  enum class Kind : std::uint8_t { Start, Course, Finish };
  Kind kind = Kind::Start;
  std::int64_t course = 0;  // from 1 in ringing order; 0 for the start and finishing sixes
  std::int32_t six = 0;     // from 1 within its course; 0 for the start and finishing sixes
  // The first and last row numbers of the six that the proof recorded. The start six holds the
  // starting rounds, row 0; with a lead-in, the six in which rounds came up holds it.
  std::int32_t firstRow = 0;
  std::int32_t lastRow = 0;
  bool operator==(const SixPlace&) const = default;
};

// Finds the six of each recorded row, for rows asked in rising order, walking the touch once.
class SixCursor {
 public:
  SixCursor(const Block& top, const RingingFrame& frame);
  // The six that holds row. REQUIRES: 0 <= row < the frame's rowCount, and no smaller than the row
  // asked last.
  const SixPlace& SixOf(std::int32_t row);

 private:
  // Moves to the next six rung; false after the closing six.
  bool Advance();
  // The changes of a six, first and last, counted from 1 in the order rung.
  struct Changes {
    std::int64_t first;
    std::int64_t last;
  };
  // Makes six, of the given kind and numbers, the current six, with the rows of its changes.
  void Enter(SixPlace six, Changes changes);

  RingingFrame frame;
  CourseWalk walk;
  const Course* course = nullptr;  // the course of the current six, while in one
  std::int64_t courseNumber = 0;
  std::int32_t sixInCourse = 0;
  std::int64_t nextChange = 0;  // the first change of the next six
  bool finished = false;        // the current six is the closing one
  SixPlace current;
};
