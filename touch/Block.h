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

  struct ChildEntry {
    bool owned;  // a course this block created; shared blocks and the separator are not owned
    Element* element;
  };

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

  std::vector<ChildEntry> children;  // in the order rung and printed; an element may recur
  bool laidOut = false;              // a block already printed is printed again in short form

 private:
  Element& StartCourse();
  // The courses this block created, in creation order.
  std::vector<std::unique_ptr<Element>> ownedCourses;
  // The children that ring at least one change, in order; settled by Finish. Generate walks only
  // these, so its work follows the changes rung however often a silent block (empty, a rule, a
  // course of no sixes) is used inside blocks used again and again.
  std::vector<Element*> ringingChildren;
};
