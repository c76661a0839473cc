#include "analysis/TouchAnalysis.h"

#include "layout/IntToText.h"
#include "touch/Block.h"

TouchAnalyser::TouchAnalyser(const AnalysisRequest& request, int bellCount) : request(request) {
  if (request.music) {
    music = std::make_unique<MusicCounter>(bellCount);
  }
}

RowObserver* TouchAnalyser::Observer() {
  return music.get();
}

void TouchAnalyser::Conclude(const Block& top, const ProofTable& table,
                             const ProofVerdict& verdict) {
  if (music != nullptr) {
    // Rows 1 to the rounds that ends the touch, or every row after the first when none does.
    analysis.music = music->Report(verdict.roundsAt > 0 ? verdict.roundsAt : table.RowCount() - 1);
    music.reset();
  }
  if (request.calls) {
    analysis.calls = CountCallsAndEnds(top, FrameOf(top, table.RowCount()));
  }
  if (request.falseness) {
    falseSixes.emplace(top, table, verdict);
  }
}

TouchAnalysis TouchAnalyser::Finish(Block& top) {
  if (falseSixes) {
    analysis.falseness = falseSixes->Find(top);
    falseSixes.reset();
  }
  return std::move(analysis);
}

namespace {

std::string Plural(std::int64_t count, const std::string& singular) {
  return IntToText(count) + ' ' + singular + (count == 1 ? "" : "s");
}

std::string RowsText(std::int32_t first, std::int32_t last) {
  return first == last ? "row " + IntToText(first)
                       : "rows " + IntToText(first) + " to " + IntToText(last);
}

// "course 1 six 7 (rows 39 to 44)", "start six (rows 0 to 2)", "finishing six (...)".
std::string SixText(const SixPlace& six) {
  std::string text;
  switch (six.kind) {
    case SixPlace::Kind::Start:
      text = "start six";
      break;
    case SixPlace::Kind::Course:
      text = "course " + IntToText(six.course) + " six " + IntToText(six.six);
      break;
    case SixPlace::Kind::Finish:
      text = "finishing six";
      break;
  }
  return text + " (" + RowsText(six.firstRow, six.lastRow) + ')';
}

void FalsenessLines(const FalsenessReport& report, std::vector<std::string>& lines) {
  if (report.pairCount == 0 && report.complete) {
    lines.emplace_back("False sixes: none.");
    return;
  }
  std::string heading = "False sixes: ";
  if (!report.complete) {
    heading += "at least ";
  }
  heading += Plural(report.pairCount, "pair");
  if (!report.complete) {
    heading +=
        " (the search stopped at row " + IntToText(report.searchedTo + 1) + ": too many repeats)";
  }
  if (report.pairCount > static_cast<std::int64_t>(report.pairs.size())) {
    heading += ", the first " + IntToText(static_cast<std::int64_t>(report.pairs.size()));
  }
  lines.push_back(heading + (report.pairs.empty() ? "." : ":"));
  for (const ClashingPair& pair : report.pairs) {
    lines.push_back("  " + SixText(pair.first) + " and " + SixText(pair.second) + ": " +
                    Plural(pair.sharedRows, "row") + ", first " +
                    pair.firstSharedRow.ToText().substr(1) + " at rows " +
                    IntToText(pair.firstSharedInFirst) + " and " +
                    IntToText(pair.firstSharedInSecond));
  }
  const std::int64_t more = report.pairCount - static_cast<std::int64_t>(report.pairs.size());
  if (more > 0) {
    lines.push_back("  and " + IntToText(more) + " more " + (more == 1 ? "pair" : "pairs"));
  }
}

// "Course ends:" and one line for each, "  1  2745361", the numbers right-aligned.
void EndLines(const std::string& heading, const std::vector<RowEnd>& ends, std::int64_t count,
              const std::string& what, std::vector<std::string>& lines) {
  if (ends.empty()) {
    lines.push_back(heading + ": none.");
    return;
  }
  lines.push_back(heading + ':');
  const std::size_t width = IntToText(ends.back().number).size();
  for (const RowEnd& end : ends) {
    const std::string number = IntToText(end.number);
    lines.push_back("  " + std::string(width - number.size(), ' ') + number + ' ' +
                    end.row.ToText());
  }
  if (count > static_cast<std::int64_t>(ends.size())) {
    const std::int64_t more = count - static_cast<std::int64_t>(ends.size());
    lines.push_back("  and " + IntToText(more) + " more " + what + (more == 1 ? "" : "s"));
  }
}

}  // namespace

std::vector<std::string> AnalysisSections(const TouchAnalysis& analysis,
                                          const AnalysisRequest& shown) {
  std::vector<std::string> lines;
  if (shown.music && analysis.music) {
    lines.push_back("Music: " + MusicLine(*analysis.music));
    lines.emplace_back();
  }
  if (shown.falseness && analysis.falseness) {
    FalsenessLines(*analysis.falseness, lines);
    lines.emplace_back();
  }
  if (shown.calls && analysis.calls) {
    const CallsReport& calls = *analysis.calls;
    lines.push_back("Calls: " + CallsLine(calls));
    EndLines("Course ends", calls.courseEnds, calls.courseCount, "course", lines);
    if (calls.partCount != 0) {
      EndLines("Part ends", calls.partEnds, calls.partCount, "part", lines);
    }
    lines.emplace_back();
  }
  return lines;
}
