#pragma once

#include <memory>
#include <vector>

#include "touch/Element.h"

// An ordered list of child elements, optionally named by a letter. Calls and lengths go to its last
// child when that takes them, and otherwise start a new course.
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
  // The children that ring at least one change, settled by Finish: a block used many times may
  // hold any number of children that ring nothing, and generation need not visit them.
  std::vector<Element*> ringingChildren;
  // The courses this block created, in creation order.
  std::vector<std::unique_ptr<Element>> ownedCourses;
};
