#include "diagnostics/TouchChecks.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "diagnostics/Diagnostics.h"
#include "language/ProcessState.h"
#include "proof/ProofTable.h"
#include "rows/ChangeTable.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

bool BeginsQuick(const Course& course) {
  return course.changeString.size() >= 6 && course.changeString.substr(1, 5) == quickSix;
}

bool EndsQuick(const Course& course) {
  return course.changeString.size() >= 6 &&
         course.changeString.substr(course.changeString.size() - 5) == quickSix;
}

// The courses of every block, each once, in the order the blocks were made.
std::vector<const Course*> EveryCourse(const Block& top) {
  std::vector<const Block*> blocks{&top};
  for (const auto& block : languageState.parsedBlocks) {
    blocks.push_back(block.get());
  }
  std::vector<const Course*> courses;
  for (const Block* block : blocks) {
    for (const Element* child : block->children) {
      if (const auto* course = dynamic_cast<const Course*>(child)) {
        courses.push_back(course);
      }
    }
  }
  return courses;
}

// How often each course and block is rung, counted up to 2: a block's courses are counted again
// each time the block is, so each block is walked at most twice however deeply blocks are nested.
class RingCounts {
 public:
  explicit RingCounts(const Block& top) { Visit(top, 1); }
  [[nodiscard]] int Of(const Course* course) const {
    const auto found = courses.find(course);
    return found == courses.end() ? 0 : found->second;
  }

 private:
  void Visit(const Block& block, int times) {
    int& visited = blocks[&block];
    if (visited >= 2) {
      return;
    }
    visited = std::min(2, visited + times);
    for (const Element* child : block.RungChildren()) {
      if (const auto* course = dynamic_cast<const Course*>(child)) {
        int& rung = courses[course];
        rung = std::min(2, rung + times);
      } else if (const auto* inner = dynamic_cast<const Block*>(child)) {
        Visit(*inner, times);
      }
    }
  }
  std::unordered_map<const Block*, int> blocks;
  std::unordered_map<const Course*, int> courses;
};

// The first course rung, or the last.
const Course* EndCourseRung(const Block& top, bool last) {
  const Block* block = &top;
  for (;;) {
    if (block->RungChildren().empty()) {
      return nullptr;
    }
    const Element* first = last ? block->RungChildren().back() : block->RungChildren().front();
    if (const auto* course = dynamic_cast<const Course*>(first)) {
      return course;
    }
    block = dynamic_cast<const Block*>(first);
    if (block == nullptr) {
      return nullptr;
    }
  }
}

// "(14)", a length as it is written. Built by appending: g++ 12 warns of a string built with +
// here.
std::string Length(int sixes) {
  std::string text(1, '(');
  text += std::to_string(sixes);
  text += ')';
  return text;
}

std::string Sixes(int count) {
  return std::to_string(count) + (count == 1 ? " six" : " sixes");
}

std::string RowWord(int row) {
  static const char* const words[] = {"first", "second", "third", "fourth", "fifth", "last"};
  return words[row];
}

void CheckStart(const Course& first, SourcePosition startWrittenAt, Diagnostics& diagnostics) {
  const TouchSettings& settings = languageState.settings;
  const int position = settings.startPosition;
  if (settings.leadIn || position < 0 || position > 11) {
    return;  // the rows of a lead-in stand before the touch, and the first course follows them
  }
  const bool startQuick = position < 6;
  if (startQuick != BeginsQuick(first)) {
    return;
  }
  const SourcePosition where = startWrittenAt.Known() ? startWrittenAt : first.where;
  const int row = position % 6;
  const std::string kind = startQuick ? "quick" : "slow";
  std::string text = "the touch starts with rounds as the " + RowWord(row) + " row of a " + kind +
                     " six, and its first course, of " + Sixes(first.sixCount) +
                     ", begins with a " + kind +
                     " six too; Stedman's quick and slow sixes alternate: ";
  if (startQuick) {
    text += "give the course an even number of sixes, or start in a slow six (!" +
            std::to_string(row + 1) + "S)";
  } else {
    text += "write !" + std::to_string(row + 7) + "Q for rounds as the " + RowWord(row) +
            " row of the slow six that begins the first course, or give the course an odd "
            "number of sixes";
  }
  diagnostics.Warn(where, std::move(text));
}

}  // namespace

void CheckCourses(const Block& top, SourcePosition startWrittenAt, Diagnostics& diagnostics) {
  const std::vector<const Course*> courses = EveryCourse(top);
  for (const Course* course : courses) {
    if (course->lengthenedAt.Known() && !course->lengthWritten &&
        course->sixCount > course->standardSixes) {
      diagnostics.Warn(course->lengthenedAt,
                       "this call, at six " + std::to_string(course->sixPast) + ", is past the " +
                           Sixes(course->standardSixes) + " of a course, so its course has " +
                           Sixes(course->sixCount) + "; if that is meant, write its length, (" +
                           std::to_string(course->sixCount) + "), after its calls");
    }
  }

  // Stedman alone: in Erin every six is slow. A touch that mixes the methods is not judged.
  const bool stedman = std::all_of(courses.begin(), courses.end(), [](const Course* course) {
    return course->changeString.empty() || EndsQuick(*course);
  });
  if (!stedman) {
    return;
  }
  const Course* first = EndCourseRung(top, false);
  if (first == nullptr) {
    return;
  }
  const RingCounts counts(top);
  CheckStart(*first, startWrittenAt, diagnostics);
  for (const Course* course : courses) {
    const int rung = counts.Of(course);
    const bool afterCourse = rung >= 2 || (rung == 1 && course != first);
    if (afterCourse && BeginsQuick(*course)) {
      const int sixes = course->sixCount;
      std::string lengths = sixes > 1 ? Length(sixes - 1) + " or " : std::string();
      lengths += Length(sixes + 1);
      diagnostics.Warn(course->where,
                       "this course has " + Sixes(sixes) +
                           " and follows another course, so it begins with a quick six after "
                           "the quick six that ends the course before; Stedman's quick and slow "
                           "sixes alternate only when a course after another has an even number "
                           "of sixes, such as " +
                           lengths);
    }
  }
}

namespace {

// The courses rung in an element, each use of a block counted again; held at the largest count.
class CourseCounts {
 public:
  std::int64_t Of(const Element* element) {
    if (dynamic_cast<const Course*>(element) != nullptr) {
      return 1;
    }
    const auto* block = dynamic_cast<const Block*>(element);
    if (block == nullptr) {
      return 0;
    }
    if (const auto found = known.find(block); found != known.end()) {
      return found->second;
    }
    std::int64_t count = 0;
    for (const Element* child : block->RungChildren()) {
      count = SaturatingAdd(count, Of(child));
    }
    known.emplace(block, count);
    return count;
  }

 private:
  std::unordered_map<const Block*, std::int64_t> known;
};

struct Place {
  const Course* course = nullptr;
  std::int64_t number = 0;  // the course, counted from 1 in ringing order
  std::int64_t six = 0;     // within the course, from 1
};

// The course that rings change number change of the children of block (counted from 1).
Place Locate(const Block& block, std::int64_t change) {
  CourseCounts counts;
  Place place;
  const Block* inside = &block;
  for (bool descended = true; descended;) {
    descended = false;
    for (const Element* child : inside->RungChildren()) {
      if (change > child->changesRung) {
        change -= child->changesRung;
        place.number = SaturatingAdd(place.number, counts.Of(child));
        continue;
      }
      if (const auto* course = dynamic_cast<const Course*>(child)) {
        place.course = course;
        place.number = SaturatingAdd(place.number, 1);
        place.six = (change - 1) / 6 + 1;
        return place;
      }
      inside = dynamic_cast<const Block*>(child);
      descended = inside != nullptr;
      break;
    }
  }
  return place;
}

}  // namespace

void CheckRoundsComesUp(const Block& top, const ProofTable& table, Diagnostics& diagnostics) {
  if (table.Verdict().isTrue && table.Extents() != 0) {
    return;
  }
  const std::int64_t roundsAt = table.FirstRoundsAt();
  if (roundsAt == 0) {
    return;
  }
  const TouchSettings& settings = languageState.settings;
  const auto start = static_cast<std::int64_t>(settings.leadIn ? settings.leadIn->size()
                                                               : settings.StartTail().size());
  const std::int64_t children = top.changesRung;
  const std::int64_t rung = start + children + static_cast<std::int64_t>(plainThenSlowSix.size());
  // Rows are recorded from the change at which rounds first stood: after a lead-in, later.
  const std::int64_t before = rung - (table.RowCount() - 1);
  const std::int64_t change = before + roundsAt;  // the change of the whole ringing
  // The touch as written ends with the last call of its last course, unless that course was given
  // its length: the plain sixes after that call only fill the course, and a touch commonly comes
  // round among them.
  std::int64_t written = start + children;
  if (const Course* last = EndCourseRung(top, true); last != nullptr && !last->lengthWritten) {
    const std::size_t called = last->calls.find_last_not_of('p');
    const std::size_t sixes =
        std::min(last->calls.size(), static_cast<std::size_t>(last->sixCount));
    if (called != std::string::npos && called < sixes) {
      written -= 6 * static_cast<std::int64_t>(sixes - 1 - called);
    }
  }
  if (change - start <= 0 || change >= written - 5) {
    return;
  }
  const Place place = Locate(top, change - start);
  if (place.course == nullptr) {
    return;
  }
  std::string text = "rounds comes up at change " + std::to_string(roundsAt) + ", in course " +
                     std::to_string(place.number) + " at six " + std::to_string(place.six);
  const Element* part = top.children.empty() ? nullptr : top.children.front();
  const bool multiPart = top.children.size() >= 2 && part->changesRung > 0 &&
                         std::all_of(top.children.begin(), top.children.end(),
                                     [part](const Element* child) { return child == part; });
  if (multiPart) {
    const std::int64_t into = change - start;
    const std::int64_t number = (into - 1) / part->changesRung + 1;
    const bool atItsEnd = into >= number * part->changesRung - 5;
    text += std::string(atItsEnd ? ", at the end of part " : ", in part ") +
            std::to_string(number) + " of " + std::to_string(top.children.size());
  }
  // Counted as the summary line counts a touch: its courses, where a touch comes round in the last
  // six or the closing one; less any rows rung before rounds first stood beyond those a lead-in
  // rings on purpose (the lead-in, then the rows of the first six before rounds).
  const std::int64_t meantBefore = settings.leadIn ? start + settings.startPosition - 5 : 0;
  const std::int64_t length = children - std::max<std::int64_t>(before - meantBefore, 0);
  text += ", before the end of the touch as written (" + std::to_string(length) +
          " changes): the " + std::to_string(std::max<std::int64_t>(length - roundsAt, 0)) +
          " changes after it are not proved";
  diagnostics.Warn(place.course->where, std::move(text));
}
