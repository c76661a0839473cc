#include "driver/Command.h"

#include <exception>
#include <sstream>

#include "driver/JsonDocument.h"
#include "driver/ProcessState.h"

namespace {

// The warnings after the messages, as standard error gives them.
std::string WarningLines(const std::string& inputName, const Diagnostics& diagnostics) {
  std::string lines;
  for (const Warning& warning : diagnostics.Warnings()) {
    lines += FormatWarning(inputName, warning) + '\n';
  }
  const auto kept = static_cast<std::int64_t>(diagnostics.Warnings().size());
  if (diagnostics.Count() > kept) {
    lines += FormatWarning(
                 inputName,
                 {{}, std::to_string(diagnostics.Count() - kept) + " more warnings not shown"}) +
             '\n';
  }
  return lines;
}

// A run that stopped before any touch was proved.
CommandRun Failed(CommandRun run, std::string error, std::string messages) {
  run.error = std::move(error);
  run.messages = std::move(messages);
  run.standardError = run.messages;
  run.status = 2;
  return run;
}

}  // namespace

CommandRun ExecuteCommand(const Options& options, const CommandInputs& inputs, bool everyAnalysis) {
  CommandRun run;
  run.options = options;
  if (!options.error.empty()) {
    return Failed(std::move(run), options.error, UsageHint(options.error));
  }
  if (options.help) {
    run.text = usageText;
    return run;
  }
  if (options.version) {
    run.text = "sixes " SIXES_VERSION "\n";
    return run;
  }
  run.inputName = options.fromFile ? options.file : "<stdin>";
  std::unique_ptr<std::istream> file;
  if (options.fromFile) {
    file = inputs.openFile(options.file);
    if (file == nullptr) {
      std::string error = "Failed to open " + options.file;
      std::string messages = error + '\n';
      return Failed(std::move(run), std::move(error), std::move(messages));
    }
  }
  std::istream& in = file != nullptr ? *file : inputs.standardInput;

  Diagnostics diagnostics;
  ProveSettings settings;
  settings.maxChanges = inputs.maxChanges;
  settings.inputName = run.inputName;
  settings.diagnostics = options.warnings || options.strict ? &diagnostics : nullptr;
  settings.mayReadPastEnd = options.fromFile || !inputs.standardInputIsTerminal;
  settings.analyses = everyAnalysis
                          ? AnalysisRequest{true, true, true}
                          : AnalysisRequest{options.music, options.falseness, options.calls};
  // The reports of tokens out of place keep their place on standard error, before any error.
  std::ostringstream messages;
  try {
    run.report = ProveTouch(in, messages, settings);
  } catch (const std::exception& exception) {
    run.error = exception.what();
  }

  run.messages = messages.str();
  const bool midLine = !run.messages.empty() && run.messages.back() != '\n';
  if (!run.report) {
    run.messages += "error: " + run.error + '\n';
  }
  run.standardError = run.messages;
  run.warnings = diagnostics.Warnings();
  run.warningCount = diagnostics.Count();
  if (options.warnings) {
    if (run.report && midLine && diagnostics.Any()) {
      run.standardError += '\n';
    }
    run.standardError += WarningLines(run.inputName, diagnostics);
  }
  if (!run.report || (options.strict && diagnostics.Any())) {
    run.status = 2;
  } else {
    run.status = ExitStatus(*run.report);
  }
  return run;
}

void ForEachOutputLine(const CommandRun& run,
                       const std::function<void(std::string_view line)>& visit) {
  if (!run.text.empty()) {
    std::string_view text = run.text;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
      visit(text.substr(0, end));
      text.remove_prefix(end + 1);
    }
    return;
  }
  if (!run.report) {
    return;
  }
  ForEachPrintedLine(*run.report, visit);
  const Options& options = run.options;
  for (const std::string& line :
       AnalysisSections(run.report->analysis, {options.music, options.falseness, options.calls})) {
    visit(line);
  }
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): out and err are named so everywhere.
int RunCommand(const Options& options, const CommandInputs& inputs, std::ostream& out,
               std::ostream& err) {
  const CommandRun run = ExecuteCommand(options, inputs, options.json);
  err << run.standardError;
  if (options.json) {
    WriteJsonDocument(run, out);
  } else {
    ForEachOutputLine(run, [&](std::string_view line) { out << line << '\n'; });
  }
  return run.status;
}

CommandOutcome RunCommandOnText(const std::vector<std::string>& arguments, const std::string& touch,
                                std::int64_t maxChanges) {
  ResetProcessState();
  const Options options = ParseOptions(arguments);
  std::istringstream standardInput(touch);
  const CommandInputs inputs{
      standardInput, false,
      [&](const std::string&) { return std::make_unique<std::istringstream>(touch); }, maxChanges};
  const CommandRun run = ExecuteCommand(options, inputs, true);
  CommandOutcome outcome;
  outcome.status = run.status;
  outcome.standardError = run.standardError;
  std::ostringstream json;
  WriteJsonDocument(run, json);
  outcome.json = json.str();
  if (options.json) {
    outcome.standardOutput = outcome.json;
  } else {
    std::ostringstream out;
    ForEachOutputLine(run, [&](std::string_view line) { out << line << '\n'; });
    outcome.standardOutput = out.str();
  }
  return outcome;
}
