#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The most changes a touch may ring in the browser page. The page's memory holds at most 2 GiB:
// the proof of a long touch takes about 9 bytes a change up to 16 bells, but above 16 bells its
// table of whole rows takes up to about 50, and the tree, the layout and the printed text need
// room beside it.
inline constexpr std::int64_t pageMaxChanges = 40000000;

// What one run of the command writes, as the browser page shows it.
struct PageRun {
  std::string standardOutput;
  std::string standardError;
  int exitStatus = 0;
  // The JSON document of the same touch, with every analysis.
  std::string json;
};

// Runs the command as the program does with these arguments and the touch on standard input
// ("<stdin>"), or as the file the arguments name, from a fresh process state, refusing touches of
// more than pageMaxChanges changes. One proof answers the output and the JSON document. Raises
// nothing.
PageRun RunForPage(const std::vector<std::string>& arguments, const std::string& touch);

// The rows that a plain run of the touch records at the row numbers of each range, first to last
// (rounds at the start is row 0), each as printed without its leading blank and followed by a
// line break, an empty line after each range; "" when the touch cannot be proved. The page shows
// the rows of two clashing sixes with it.
std::string RowsForPage(const std::string& touch,
                        const std::vector<std::pair<std::int32_t, std::int32_t>>& ranges);
