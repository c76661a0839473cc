// The entry point of the WebAssembly module that the browser page runs in its worker: plain C
// functions on byte buffers, so that the page needs no generated glue that evaluates code.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "web/PageRun.h"

extern "C" {

// Runs the command on the touch (touchSize bytes) with the arguments (argumentsSize bytes, each
// argument ended by a NUL byte). The caller reads the run with the functions below, then frees
// it with FreePageRun.
EMSCRIPTEN_KEEPALIVE PageRun* RunPage(const char* arguments, std::size_t argumentsSize,
                                      const char* touch, std::size_t touchSize) {
  std::vector<std::string> argumentList;
  std::size_t start = 0;
  for (std::size_t i = 0; i < argumentsSize; ++i) {
    if (arguments[i] == '\0') {
      argumentList.emplace_back(arguments + start, i - start);
      start = i + 1;
    }
  }
  return new PageRun(RunForPage(argumentList, std::string(touch, touchSize)));
}

// The texts of a run: 0 standard output, 1 standard error, 2 the JSON document ("" when none).
EMSCRIPTEN_KEEPALIVE const char* PageRunText(const PageRun* run, int which) {
  return which == 0   ? run->standardOutput.data()
         : which == 1 ? run->standardError.data()
                      : run->json.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t PageRunSize(const PageRun* run, int which) {
  return which == 0   ? run->standardOutput.size()
         : which == 1 ? run->standardError.size()
                      : run->json.size();
}

EMSCRIPTEN_KEEPALIVE int PageRunStatus(const PageRun* run) {
  return run->exitStatus;
}

EMSCRIPTEN_KEEPALIVE void FreePageRun(PageRun* run) {
  delete run;
}

// The rows of the touch at the row numbers of each range: ranges holds rangeCount pairs of first
// and last row numbers. Answers a text that the caller reads with PageText and PageTextSize, then
// frees with FreePageText.
EMSCRIPTEN_KEEPALIVE std::string* PageRows(const char* touch, std::size_t touchSize,
                                           const std::int32_t* ranges, std::size_t rangeCount) {
  std::vector<std::pair<std::int32_t, std::int32_t>> rangeList;
  for (std::size_t r = 0; r < rangeCount; ++r) {
    rangeList.emplace_back(ranges[2 * r], ranges[2 * r + 1]);
  }
  return new std::string(RowsForPage(std::string(touch, touchSize), rangeList));
}

EMSCRIPTEN_KEEPALIVE const char* PageText(const std::string* text) {
  return text->data();
}

EMSCRIPTEN_KEEPALIVE std::size_t PageTextSize(const std::string* text) {
  return text->size();
}

EMSCRIPTEN_KEEPALIVE void FreePageText(std::string* text) {
  delete text;
}

// The most changes a touch may ring in the page, for the page to say.
EMSCRIPTEN_KEEPALIVE double PageMaxChanges() {
  return static_cast<double>(pageMaxChanges);
}

}  // extern "C"
