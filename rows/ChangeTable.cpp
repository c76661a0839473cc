#include "rows/ChangeTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "rows/ProcessState.h"

namespace {

// Place notation is built up one place at a time: last is the 0-based position of the highest place
// made so far (-1 for none); the bells between places exchange in pairs.
void AddPlace(Row& change, int& last, int position) {
  if ((position - last) % 2 == 0) {
    ++last;  // an extra place below: "4" on 8 bells is read as "14"
  }
  while (last < position - 2) {
    change.Swap(last + 1, last + 2);
    last += 2;
  }
  last = position;
}

void CloseChange(Row& change, int last) {
  while (last < rowsState.bellCount - 2) {
    change.Swap(last + 1, last + 2);
    last += 2;
  }
}

Row ChangeFromPlaces(const std::vector<int>& places) {  // places counted from 1, increasing
  Row change;
  int last = -1;
  for (const int place : places) {
    AddPlace(change, last, place - 1);
  }
  CloseChange(change, last);
  return change;
}

void BuildPredefinedChanges(ChangeTable& table, int n) {
  const bool odd = n % 2 == 1;
  std::vector<int> homeAfterThird{1};  // 'h': only the 2nd and 3rd bells exchange
  for (int place = 4; place <= n; ++place) {
    homeAfterThird.push_back(place);
  }
  const Row one = ChangeFromPlaces(odd ? std::vector{1} : std::vector{1, n});
  // 'z' is '1' with places made at n-1 and n: on an even stage this leaves one bell twice.
  Row z = one;
  z.MakePlace(n - 2);
  z.MakePlace(n - 1);

  table.DefineChange('1', one);
  table.DefineChange('2', ChangeFromPlaces(odd ? std::vector{1, 2, 3} : std::vector{1, 2, 3, n}));
  table.DefineChange('3', ChangeFromPlaces(odd ? std::vector{3} : std::vector{3, n}));
  table.DefineChange('p', ChangeFromPlaces(odd ? std::vector{n} : std::vector<int>{}));
  table.DefineChange('b', ChangeFromPlaces(odd ? std::vector{n - 2} : std::vector{n - 1, n}));
  table.DefineChange('s',
                     ChangeFromPlaces(odd ? std::vector{n - 2, n - 1, n} : std::vector{n - 1, n}));
  table.DefineChange('h', ChangeFromPlaces(homeAfterThird));
  table.DefineChange('x', ChangeFromPlaces(odd ? std::vector{1, 2, n} : std::vector{1, 2}));
  table.DefineChange('z', z);
}

}  // namespace

void ChangeTable::DefineChange(char code, const Row& change) {
  std::optional<Row>& entry = forward[Slot(code)];
  if (!entry) {
    ++size;
  }
  entry = change;
  applicable[Slot(code)] = change.IsPermutation();
  packable[Slot(code)] =
      applicable[Slot(code)] && PackedChange::Of(change, rowsState.bellCount, packed[Slot(code)]);
  reverse.insert_or_assign(change, code);
}

char ChangeTable::InternChange(const Row& change) {
  if (const auto found = reverse.find(change); found != reverse.end()) {
    return found->second;
  }
  if (size >= 255) {
    throw std::runtime_error("Too many changes");
  }
  // The new code is 64 plus the number of codes; past a code in use, the next free non-zero one.
  unsigned candidate = (64u + static_cast<unsigned>(size)) % 256u;
  while (candidate == 0 || forward[candidate]) {
    candidate = (candidate + 1) % 256u;
  }
  const char code = static_cast<char>(candidate);
  DefineChange(code, change);
  return code;
}

const Row& ChangeTable::ChangeOf(char code) const {
  const std::optional<Row>& entry = forward[Slot(code)];
  if (!entry || !applicable[Slot(code)]) {
    throw std::runtime_error(std::string("Bad place: ") + code);
  }
  return *entry;
}

bool ChangeTable::Holds(char code) const {
  return forward[Slot(code)].has_value();
}

void SetBellCount(int count) {
  rowsState.awaitingRounds = false;
  if (count == rowsState.bellCount && rowsState.changeTable.Size() > 0) {
    return;
  }
  if (count > maxBells) {
    throw std::runtime_error("Too many bells");
  }
  if (count < 3) {
    throw std::runtime_error("Too few bells");
  }
  rowsState.bellCount = count;
  if (count > 16) {
    rowsState.bellSymbols = largeBellSymbols;
  }
  rowsState.changeTable = ChangeTable();
  BuildPredefinedChanges(rowsState.changeTable, count);
}

char ParseChange(std::string_view text, std::size_t& cursor) {
  while (cursor < text.size() && text[cursor] == '.') {
    ++cursor;
  }
  if (cursor >= text.size()) {
    return '\0';
  }
  const int n = rowsState.bellCount;
  Row change;
  int last = -1;
  while (cursor < text.size() && text[cursor] != '.') {
    const std::size_t symbol = rowsState.bellSymbols.find(text[cursor]);
    ++cursor;
    // A character that names no bell of the stage is a cross on an even stage and the last place on
    // an odd one.
    const int position =
        symbol < static_cast<std::size_t>(n) ? static_cast<int>(symbol) : n - n % 2;
    AddPlace(change, last, position);
  }
  CloseChange(change, last);
  return rowsState.changeTable.InternChange(change);
}

Row SequenceProduct(std::string_view codes) {
  const ChangeTable& changes = rowsState.changeTable;
  const int bellCount = rowsState.bellCount;
  // Every course works out its end row so when it is finished, before the touch is refused for
  // its length: up to 16 bells the row stays packed, a few mask operations a change.
  std::size_t next = 0;
  Row row;
  if (NarrowRowKey key; NarrowRowKey::Pack(row, bellCount, key)) {
    for (const PackedChange* packed = nullptr;
         next < codes.size() && (packed = changes.FindPackedChange(codes[next])) != nullptr;
         ++next) {
      key = packed->Apply(key);
    }
    row = key.Unpack(bellCount);
  }
  // The rest whole, between two rows in turn.
  Row other;
  for (; next < codes.size(); ++next) {
    other.AssignPermuted(row, changes.ChangeOf(codes[next]), bellCount);
    std::swap(row, other);
  }
  return row;
}
