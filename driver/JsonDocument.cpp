#include "driver/JsonDocument.h"

#include <iomanip>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "driver/Command.h"
#include "driver/ValidUtf8.h"
#include "layout/Title.h"

namespace {

// Fields in the order written, so that the document reads as docs/json.md lists it.
using Json = nlohmann::ordered_json;

Json Text(std::string_view text) {
  return ValidUtf8(text);
}

// A row as printed, without the blank that leads it in the printed touch.
Json RowText(const Row& row) {
  return Text(row.ToText().substr(1));
}

// Each line of text without its line break; a last line without one is kept too.
Json Lines(std::string_view text) {
  Json lines = Json::array();
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(Text(text.substr(0, end)));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

Json SixJson(const SixPlace& six) {
  const bool inCourse = six.kind == SixPlace::Kind::Course;
  const char* kind = six.kind == SixPlace::Kind::Start    ? "start"
                     : six.kind == SixPlace::Kind::Finish ? "finish"
                                                          : "course";
  return {{"kind", kind},
          {"course", inCourse ? Json(six.course) : Json()},
          {"six", inCourse ? Json(six.six) : Json()},
          {"firstRow", six.firstRow},
          {"lastRow", six.lastRow}};
}

Json MusicJson(const MusicReport& music) {
  Json counts = Json::array();
  for (const MusicReport::Count& count : music.counts) {
    counts.push_back({{"name", count.name},
                      {"total", count.front + count.back},
                      {"front", count.front},
                      {"back", count.back}});
  }
  Json named = Json::array();
  for (const MusicReport::Named& row : music.namedRows) {
    named.push_back(
        {{"name", row.name}, {"row", RowText(row.row)}, {"count", row.count}, {"at", row.at}});
  }
  return {
      {"rows", music.rows}, {"counts", counts}, {"namedRows", named}, {"text", MusicLine(music)}};
}

Json FalsenessJson(const FalsenessReport& falseness) {
  Json pairs = Json::array();
  for (const ClashingPair& pair : falseness.pairs) {
    pairs.push_back({{"first", SixJson(pair.first)},
                     {"second", SixJson(pair.second)},
                     {"sharedRows", pair.sharedRows},
                     {"firstSharedRow", RowText(pair.firstSharedRow)},
                     {"firstSharedAt", {pair.firstSharedInFirst, pair.firstSharedInSecond}}});
  }
  return {{"pairs", pairs},
          {"pairCount", falseness.pairCount},
          {"complete", falseness.complete},
          {"searchedTo", falseness.searchedTo}};
}

Json EndsJson(const std::vector<RowEnd>& ends, const char* numberName) {
  Json list = Json::array();
  for (const RowEnd& end : ends) {
    list.push_back({{numberName, end.number},
                    {"row", RowText(end.row)},
                    {"at", end.at >= 0 ? Json(end.at) : Json()}});
  }
  return list;
}

}  // namespace

void WriteJsonDocument(const CommandRun& run, std::ostream& out) {
  const TouchReport* report = run.report ? &*run.report : nullptr;
  Json document;
  document["sixes"] = SIXES_VERSION;
  document["input"] = run.inputName.empty() ? Json() : Text(run.inputName);
  document["exitStatus"] = run.status;
  document["error"] = run.error.empty() ? Json() : Text(run.error);
  if (report != nullptr) {
    const ProofVerdict& verdict = report->verdict;
    document["length"] = report->length;
    document["title"] = Text(report->titles.empty() ? std::string() : report->titles.front());
    Json titles = Json::array();
    for (const std::string& title : report->titles) {
      titles.push_back(Text(title));
    }
    document["titles"] = titles;
    document["method"] = report->erin ? "Erin" : "Stedman";
    document["stage"] = report->bells;
    document["stageName"] = StageName(report->bells);
    document["true"] = verdict.isTrue;
    document["comesRound"] = verdict.roundsAt > 0;
    document["roundsAt"] = verdict.roundsAt > 0 ? Json(verdict.roundsAt) : Json();
    document["changes"] = report->changes;
    document["extents"] = report->extents;
    document["falseRows"] = verdict.repeats;
    document["firstRepeat"] = report->firstRepeat ? Json{{"first", report->firstRepeat->first},
                                                         {"second", report->firstRepeat->second},
                                                         {"row", Text(report->firstRepeat->row)}}
                                                  : Json();
  } else {
    for (const char* field :
         {"length", "title", "titles", "method", "stage", "stageName", "true", "comesRound",
          "roundsAt", "changes", "extents", "falseRows", "firstRepeat"}) {
      document[field] = nullptr;
    }
  }

  // A title may hold a line break of its own: output holds the lines as standard output has them.
  Json output = Json::array();
  ForEachOutputLine(run, [&](std::string_view line) {
    for (std::size_t end = line.find('\n'); end != std::string_view::npos; end = line.find('\n')) {
      output.push_back(Text(line.substr(0, end)));
      line.remove_prefix(end + 1);
    }
    output.push_back(Text(line));
  });
  document["output"] = std::move(output);
  document["stderr"] = Text(run.standardError);
  document["messages"] = Lines(run.messages);
  Json warnings = Json::array();
  for (const Warning& warning : run.warnings) {
    const bool placed = warning.where.Known();
    warnings.push_back({{"line", placed ? Json(warning.where.line) : Json()},
                        {"column", placed ? Json(warning.where.column) : Json()},
                        {"text", Text(warning.text)}});
  }
  document["warnings"] = warnings;
  document["warningCount"] = run.warningCount;

  const TouchAnalysis* analysis = report != nullptr ? &report->analysis : nullptr;
  document["music"] = analysis != nullptr && analysis->music ? MusicJson(*analysis->music) : Json();
  document["falseness"] =
      analysis != nullptr && analysis->falseness ? FalsenessJson(*analysis->falseness) : Json();
  const CallsReport* calls = analysis != nullptr && analysis->calls ? &*analysis->calls : nullptr;
  if (calls != nullptr) {
    Json kinds = Json::array();
    for (const CallCount& call : calls->calls) {
      kinds.push_back({{"letter", Text(std::string(1, call.letter))},
                       {"name", Text(CallName(call.letter))},
                       {"count", call.count}});
    }
    document["calls"] = kinds;
    document["courseCount"] = calls->courseCount;
    document["courseEnds"] = EndsJson(calls->courseEnds, "course");
    document["partCount"] = calls->partCount;
    document["partEnds"] = EndsJson(calls->partEnds, "part");
  } else {
    for (const char* field : {"calls", "courseCount", "courseEnds", "partCount", "partEnds"}) {
      document[field] = nullptr;
    }
  }
  // Every text was made valid UTF-8 on the way in, so the writer's own check never fails.
  out << std::setw(2) << document << '\n';
}
