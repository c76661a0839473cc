#include "proof/ProofTable.h"

#include <algorithm>

#include "rows/ProcessState.h"

namespace {

// The rows in an extent of n bells, or 0 when that exceeds any index a table can hold.
std::int64_t ExtentLength(int n) {
  std::int64_t rows = 1;
  for (int bells = 2; bells <= n; ++bells) {
    rows *= bells;
    if (rows > INT32_MAX) {
      return 0;
    }
  }
  return rows;
}

}  // namespace

void ProofTable::Insert(const Row& row) {
  const auto index = static_cast<std::int32_t>(rowList.size());
  auto [position, added] = entries.try_emplace(row);
  ProofEntry& entry = position->second;
  if (added) {
    entry.firstIndex = index;
  } else {
    ++entry.count;
    if (entry.count == 2) {
      entry.secondIndex = index;
    }
    const std::int32_t occurrences = entry.firstIndex == 0 ? entry.count - 1 : entry.count;
    maxOccurrences = std::max(maxOccurrences, occurrences);
    if (entry.firstIndex != 0) {
      if (roundsAt == 0 && ++repeatCount == 1) {
        firstRepeatAt = index;
      }
    } else if (roundsAt == 0) {
      roundsAt = index;
    } else if (const std::int64_t extent = ExtentLength(rowsState.bellCount);
               extent != 0 && index % extent == 0 && index / extent == maxOccurrences) {
      extents = maxOccurrences;
      roundsAt = index;
    }
  }
  entry.lastIndex = index;
  rowList.push_back(position);
}

bool ProofTable::Verdict(std::int32_t& roundsAtOut, std::int32_t& repeatsOut) {
  roundsAtOut = roundsAt;
  repeatsOut = repeatCount;
  bool result = roundsAt > 0;
  if (repeatCount != 0) {
    result = false;
    if (extents != 0) {
      if (maxOccurrences == extents) {
        result = true;
      } else if (roundsAt != static_cast<std::int32_t>(rowList.size()) - 1) {
        result = true;
        // Skip rounds, the least row.
        for (auto entry = std::next(entries.begin()); entry != entries.end(); ++entry) {
          if (entry->second.count > extents && entry->second.lastIndex <= roundsAt) {
            extents = 0;
            result = false;
            break;
          }
        }
      }
    }
  }
  if (roundsAtOut == 0) {
    roundsAtOut = 1 - static_cast<std::int32_t>(rowList.size());
  }
  return result;
}

void ProofTable::PrintFirstRepeat(std::ostream& out) const {
  const auto& [row, entry] = *rowList[firstRepeatAt];
  out << "Rows " << entry.firstIndex << " and " << entry.secondIndex << " are both " << row.ToText()
      << '\n';
}

bool ProofTable::IsRepeated(const Row& row) const {
  const auto found = entries.find(row);
  return found != entries.end() && found->second.count > 1 && found->second.secondIndex < roundsAt;
}

bool ProofTable::FirstRepeatWithin(std::int64_t start, std::int64_t length) const {
  if (extents != 0 || repeatCount == 0) {
    return false;
  }
  const ProofEntry& entry = rowList[firstRepeatAt]->second;
  const auto within = [&](std::int64_t index) { return index > start && index <= start + length; };
  return within(entry.firstIndex) || within(entry.secondIndex);
}
