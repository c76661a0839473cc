#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The printed touch is held in memory until all of it is known. A caption inside a block, or a long
// line beside a block's bar, is printed again at every use of the block, so a short file can ask
// for far more text than it holds; beyond these bounds the layout is refused.
inline constexpr std::size_t maxPrintedLines = std::size_t{1} << 25;  // 33,554,432
inline constexpr std::size_t maxPrintedBytes = std::size_t{1} << 30;  // line breaks included

// What a printed line is; merges and counts read the kind, never guess it from the text.
enum class LineKind {
  Text,  // captions, empty lines, part counts, definitions
  Rule,
  Start,            // the start row and the heading
  Course,           // a course line whose calling is dotted
  AlignedCourse,    // a course line whose calling stands in the header's columns
  Listing,          // a six-by-six listing line: the call mark, then the whole row
  Reference,        // a single-course reference "(A)"
  RepeatReference,  // a reference to a block already printed, which may carry a count
};

// The printed touch, line by line. Throws "Printed touch too long" past maxPrintedLines lines or
// maxPrintedBytes bytes.
class LineList {
 public:
  void Append(std::string text, LineKind kind = LineKind::Text);
  void RemoveLast();
  [[nodiscard]] const std::string& Last() const { return lines.back().text; }
  [[nodiscard]] LineKind LastKind() const { return lines.back().kind; }
  void AppendTo(std::size_t index, std::string_view text);
  [[nodiscard]] std::size_t Size() const { return lines.size(); }
  [[nodiscard]] bool Empty() const { return lines.empty(); }
  [[nodiscard]] const std::string& operator[](std::size_t index) const { return lines[index].text; }
  [[nodiscard]] LineKind KindOf(std::size_t index) const { return lines[index].kind; }

 private:
  struct Line {
    std::string text;
    LineKind kind;
  };
  void AddBytes(std::size_t count);

  std::vector<Line> lines;
  std::size_t bytes = 0;  // of every line, with its line break
};
