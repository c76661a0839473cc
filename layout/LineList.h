#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// The most memory a printed touch may take, counting each line's own keeping as 32 bytes. A touch
// can repeat long captions, rule lines and references far beyond anything worth printing.
inline constexpr std::size_t maxLayoutBytes = std::size_t{1} << 30;

// The printed touch, line by line. Throws "Printed touch too large" rather than outgrow maxBytes.
class LineList {
 public:
  // maxBytes other than maxLayoutBytes lets a test reach the bound without a gibibyte of text.
  explicit LineList(std::size_t maxBytes = maxLayoutBytes) : maxBytes(maxBytes) {}

  void Append(std::string text, LineKind kind = LineKind::Text) {
    Grow(text.size() + lineOverhead);
    lines.push_back({std::move(text), kind});
  }
  void RemoveLast() {
    bytes -= lines.back().text.size() + lineOverhead;
    lines.pop_back();
  }
  [[nodiscard]] const std::string& Last() const { return lines.back().text; }
  [[nodiscard]] LineKind LastKind() const { return lines.back().kind; }
  void AppendTo(std::size_t index, std::string_view text) {
    Grow(text.size());
    lines[index].text += text;
  }
  [[nodiscard]] std::size_t Size() const { return lines.size(); }
  [[nodiscard]] bool Empty() const { return lines.empty(); }
  [[nodiscard]] const std::string& operator[](std::size_t index) const { return lines[index].text; }
  [[nodiscard]] LineKind KindOf(std::size_t index) const { return lines[index].kind; }
  // The text of every line, moved out: the list is left empty.
  [[nodiscard]] std::vector<std::string> TakeTexts();

 private:
  static constexpr std::size_t lineOverhead = 32;
  void Grow(std::size_t more);

  struct Line {
    std::string text;
    LineKind kind;
  };
  std::vector<Line> lines;
  std::size_t maxBytes;
  std::size_t bytes = 0;  // never more than maxBytes
};
