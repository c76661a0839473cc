#include "rows/Row.h"

#include "rows/ProcessState.h"

Row::Row() {
  for (int place = 0; place < maxBells; ++place) {
    bells[place] = static_cast<std::int8_t>(place);
  }
}

void Row::Reset() {
  *this = Row();
}

bool Row::IsRounds() const {
  for (int place = 0; place < rowsState.bellCount; ++place) {
    if (bells[place] != place) {
      return false;
    }
  }
  return true;
}

Row& Row::Assign(const Row& other) {
  for (int place = 0; place < rowsState.bellCount; ++place) {
    bells[place] = other.bells[place];
  }
  return *this;
}

Row Row::Permute(const Row& change) const {
  Row result;
  for (int place = 0; place < rowsState.bellCount; ++place) {
    result.bells[place] = bells[change.bells[place]];
  }
  return result;
}

bool Row::Less(const Row& other) const {
  for (int place = 0; place < rowsState.bellCount; ++place) {
    if (bells[place] != other.bells[place]) {
      return bells[place] < other.bells[place];
    }
  }
  return false;
}

bool Row::operator==(const Row& other) const {
  for (int place = 0; place < rowsState.bellCount; ++place) {
    if (bells[place] != other.bells[place]) {
      return false;
    }
  }
  return true;
}

std::string Row::ToText() const {
  const std::string& symbols = rowsState.bellSymbols;
  std::string text(1, ' ');
  text.reserve(rowsState.bellCount + 1);
  for (int place = 0; place < rowsState.bellCount; ++place) {
    const std::int8_t bell = bells[place];
    // A bell beyond the symbols can only come from a row made under a larger stage.
    text += bell >= 0 && static_cast<std::size_t>(bell) < symbols.size()
                ? symbols[static_cast<std::size_t>(bell)]
                : '?';
  }
  return text;
}

std::string Row::ToText(const Row& reference) const {
  std::string text = ToText();
  const int n = rowsState.bellCount;
  const bool even = n % 2 == 0;
  // Places are counted from 1 here: place q is position q - 1.
  int q = n;
  while (q > (even ? 6 : 4) && bells[q - 1] == reference.bells[q - 1]) {
    --q;
  }
  if (q < (even ? n - 1 : n - 2)) {
    const int firstBlank = q % 2 == 0 ? q + 1 : q + 2;  // the smallest odd place above q
    for (int place = firstBlank; place <= n; ++place) {
      text[place] = ' ';
    }
  }
  return text;
}

void Row::Swap(int first, int second) {
  std::swap(bells[first], bells[second]);
}

bool Row::IsPermutation() const {
  std::array<bool, maxBells> seen{};
  for (int place = 0; place < rowsState.bellCount; ++place) {
    const std::int8_t bell = bells[place];
    if (bell < 0 || bell >= rowsState.bellCount || seen[static_cast<std::size_t>(bell)]) {
      return false;
    }
    seen[static_cast<std::size_t>(bell)] = true;
  }
  return true;
}
