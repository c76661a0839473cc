#pragma once

#include <string>

#include "diagnostics/SourcePosition.h"
#include "touch/Element.h"

// The calls of one run of sixes. Takes calls in rising six order, fills the sixes between them with
// plain six-ends, and closes itself when a call comes for a six it already holds.
//
// Defined in touch/Course.cpp, but for the text a course prints: BuildCallingText and HeadingText
// in layout/CourseText.cpp, Layout in layout/CourseLayout.cpp, beside the layout's state.
class Course final : public Element {
 public:
  Course();

  bool AddCall(const Token& call) override;
  void Generate(ProofTable& table, Row& row, bool top) override;
  std::string CallingText() const override { return callingText; }
  void Finish() override;
  int ColumnOf(int six) const override;
  std::string HeadingText() override;
  bool IsSingleCourse() const override { return true; }
  bool SetLength(int sixes) override;
  void Layout(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
              bool top) override;

  // Makes calls reach six index n with fill; finishes the course (answering false) when calls
  // already reach beyond n.
  bool ExtendCalls(int n, char fill);

  std::string callingText;      // built by Finish
  bool alignedCalling = false;  // callingText is in the header's columns
  int sixCount;                 // the sixes per course when the course was begun
  std::string changeString;     // per six: its call, then its five changes; built by Finish
  std::string calls;            // one call letter per six: 'p' plain, 'b' bob, 's' single, ...

  // For warnings: where the course was begun (its first call or length), the standard length it
  // was begun under, where a call first went past that length, and whether a length was given.
  SourcePosition where;
  int standardSixes;
  SourcePosition lengthenedAt;
  int sixPast = 0;  // the six of that call
  bool lengthWritten = false;

 private:
  void BuildCallingText();
};
