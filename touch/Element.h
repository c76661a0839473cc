#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rows/Row.h"

class LineList;
class ProofTable;
struct Token;

// A node of the touch tree. Elements have identity: a named block is shared wherever it is used.
// The operations that ring (AddCall, Finish, Generate, ...) are defined in touch/; those that print
// (CallingText, HeadingText, Layout) in layout/, beside the layout's state and rules.
class Element {
 public:
  explicit Element(char letter);
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;
  virtual ~Element() = default;

  // Offers one call; true when the element took it.
  virtual bool AddCall(const Token& call) = 0;
  // Rings the element's changes from row into table; row is left at the element's last row.
  virtual void Generate(ProofTable& table, Row& row, bool top) = 0;
  virtual std::string CallingText() const = 0;
  // Closes the element to additions and settles length and endRow; later calls do nothing.
  virtual void Finish() = 0;
  // The column of the header text at which the call of a six is printed; 0 for none.
  virtual int ColumnOf(int six) const = 0;
  // The column heading of the header course; rebuilds the layout's filler and lengthens the rule.
  virtual std::string HeadingText() = 0;
  virtual bool IsSingleCourse() const = 0;
  bool IsNamed() const { return letter != 0; }
  // Fixes the number of sixes of the current course; true when the element took it.
  virtual bool SetLength(int sixes) = 0;
  virtual bool IsSeparator() const { return false; }
  // Appends the element's printed lines; row goes from the row before the element to the row after
  // it; first is the proof-table index of the row before it; table is given only to the parts of a
  // false touch that hold its first repeated row.
  virtual void Layout(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
                      bool top) = 0;

  // Advances row by the changes that lead from rounds to endRow.
  void ApplyEndRow(Row& row) const { row.Assign(row.Permute(endRow)); }
  [[nodiscard]] bool IsOpen() const { return open; }

  // Changes rung, 6 per six; the sum over the children of a block. A course of a negative number
  // of sixes counts negative here and rings nothing. Sums saturate instead of wrapping.
  std::int64_t length = 0;
  // The rows Generate records: length without the negative courses.
  std::int64_t changesRung = 0;
  char letter;
  bool open = true;
  std::vector<std::string> captions;
  Row endRow;  // rounds on all positions: the bell count may rise before Finish
};

// a + b, held at the limits of the type instead of wrapping.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b);
