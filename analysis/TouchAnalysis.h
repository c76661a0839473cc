#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/CallsAndEnds.h"
#include "analysis/FalseSixes.h"
#include "analysis/Music.h"
#include "proof/ProofTable.h"

class Block;
class RowObserver;

// Which analyses of a touch to make beside its proof.
struct AnalysisRequest {
  bool music = false;
  bool falseness = false;
  bool calls = false;  // the calls, the course ends and the part ends

  [[nodiscard]] bool Any() const { return music || falseness || calls; }
};

// What the analyses asked for found; an analysis not asked for is empty.
struct TouchAnalysis {
  std::optional<MusicReport> music;
  std::optional<FalsenessReport> falseness;
  std::optional<CallsReport> calls;
};

// Makes the analyses of one touch alongside its proof, in three steps: rows are shown to it as
// the proof records them, it reads the proof when that is done, and it finishes once the proof
// table is gone (the false sixes ring the touch again, and need the memory). An analysis that is
// not asked for costs nothing.
class TouchAnalyser {
 public:
  // For the stage of the touch about to be rung.
  TouchAnalyser(const AnalysisRequest& request, int bellCount);

  // The observer to show the proof's rows to, or nullptr when no analysis needs them.
  [[nodiscard]] RowObserver* Observer();
  // After the proof of top in table, while the table lives.
  void Conclude(const Block& top, const ProofTable& table, const ProofVerdict& verdict);
  // After the table is gone.
  [[nodiscard]] TouchAnalysis Finish(Block& top);

 private:
  AnalysisRequest request;
  std::unique_ptr<MusicCounter> music;
  std::optional<FalseSixFinder> falseSixes;
  TouchAnalysis analysis;
};

// The text sections that follow the printed touch for the analyses asked for in shown (music,
// then the false sixes, then the calls), line by line, each section ended by an empty line.
std::vector<std::string> AnalysisSections(const TouchAnalysis& analysis,
                                          const AnalysisRequest& shown);
