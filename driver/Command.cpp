#include "driver/Command.h"

#include <exception>
#include <optional>
#include <sstream>

#include "diagnostics/Diagnostics.h"
#include "driver/Options.h"
#include "driver/Run.h"

int RunCommand(const Options& options, const CommandInputs& inputs, std::ostream& out,
               std::ostream& err) {
  if (!options.error.empty()) {
    err << UsageHint(options.error);
    return 2;
  }
  if (options.help) {
    out << usageText;
    return 0;
  }
  if (options.version) {
    out << "sixes " SIXES_VERSION "\n";
    return 0;
  }
  std::unique_ptr<std::istream> file;
  if (options.fromFile) {
    file = inputs.openFile(options.file);
    if (file == nullptr) {
      err << "Failed to open " << options.file << '\n';
      return 2;
    }
  }
  std::istream& in = file != nullptr ? *file : inputs.standardInput;

  Diagnostics diagnostics;
  ProveSettings settings;
  settings.maxChanges = inputs.maxChanges;
  settings.inputName = options.fromFile ? options.file : "<stdin>";
  settings.diagnostics = options.warnings || options.strict ? &diagnostics : nullptr;
  settings.mayReadPastEnd = options.fromFile || !inputs.standardInputIsTerminal;
  // The reports of tokens out of place keep their place on standard error, before any error.
  std::ostringstream messages;
  std::optional<TouchReport> report;
  std::string error;
  try {
    report = ProveTouch(in, messages, settings);
  } catch (const std::exception& exception) {
    error = exception.what();
  }

  const std::string messageText = messages.str();
  err << messageText;
  if (report) {
    PrintTouch(*report, out);
  } else {
    err << "error: " << error << '\n';
  }
  if (options.warnings) {
    const bool midLine = error.empty() && !messageText.empty() && messageText.back() != '\n';
    if (midLine && diagnostics.Any()) {
      err << '\n';
    }
    for (const Warning& warning : diagnostics.Warnings()) {
      err << FormatWarning(settings.inputName, warning) << '\n';
    }
    if (diagnostics.Count() > static_cast<std::int64_t>(diagnostics.Warnings().size())) {
      err << FormatWarning(
                 settings.inputName,
                 {{},
                  std::to_string(diagnostics.Count() -
                                 static_cast<std::int64_t>(diagnostics.Warnings().size())) +
                      " more warnings not shown"})
          << '\n';
    }
  }
  if (!report) {
    return 2;
  }
  if (options.strict && diagnostics.Any()) {
    return 2;
  }
  return ExitStatus(*report);
}
