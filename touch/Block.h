#pragma once

#include <memory>
#include <vector>

#include "touch/Element.h"

// An ordered list of child elements, optionally named by a letter. Calls and lengths go to its last
// child when that takes them, and otherwise start a new course.
//
// Defined in touch/Block.cpp, but for what the printed touch needs: CallingText in
// layout/CourseText.cpp, Layout and its parts in layout/TouchLayout.cpp, beside the layout's state
// and its other rules. The touch parser (language/TouchParser) fills a block from the tokens.
class Block : public Element {
 public:
  // A letter enters the block into the block table at once, before its content is read.
  explicit Block(char letter);

  void AppendChild(Element& child);

  bool AddCall(const Token& call) override;
  void Generate(ProofTable& table, Row& row, bool top) override;
  std::string CallingText() const override;
  void Finish() override;
  int ColumnOf(int six) const override;
  std::string HeadingText() override;
  bool IsSingleCourse() const override;
  bool SetLength(int sixes) override;
  void Layout(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
              bool top) override;

  // The children Generate rings, in order: after Finish only those that ring a change.
  [[nodiscard]] const std::vector<Element*>& RungChildren() const {
    return open ? children : ringingChildren;
  }

  std::vector<Element*> children;  // in the order rung and printed; an element may recur
  bool laidOut = false;            // a block already printed is printed again in short form

 private:
  Element& StartCourse();

  // The parts of Layout: a one-line reference "(A)" to a block of one course; a reference to a
  // block printed before, counted with the one above it ("2B"); the block in full, between rule
  // lines; and the bar down the right of a named block in full, with its letter.
  void LayoutReference(LineList& lines, Row& row) const;
  void LayoutRepeatReference(LineList& lines, Row& row) const;
  void LayoutInFull(LineList& lines, Row& row, std::int64_t first, const ProofTable* table,
                    bool top);
  void DrawBar(LineList& lines, std::size_t firstLine) const;
  // The top level is one block used again and again, printed once with its part count.
  [[nodiscard]] bool IsMultiPart(const ProofTable* table, bool top) const;
  // The children that ring at least one change, settled by Finish: a block used many times may
  // hold any number of children that ring nothing, and generation need not visit them.
  std::vector<Element*> ringingChildren;
  // The courses this block created, in creation order.
  std::vector<std::unique_ptr<Element>> ownedCourses;
};
