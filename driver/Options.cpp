#include "driver/Options.h"

const char* const usageText =
    "Usage: sixes [OPTION]... [FILE]\n"
    "Proves and prints a touch of Stedman or Erin written in the touch language.\n"
    "Reads the touch from FILE, or from standard input when no FILE is given or FILE is -.\n"
    "\n"
    "  --music            after the touch, its music: runs, named rows and row endings\n"
    "  --falseness        after the touch, every pair of sixes that share rows\n"
    "  --calls            after the touch, the calls by kind, the course ends, the part ends\n"
    "  -a, --all          all three of the above\n"
    "  --json             one JSON document holding everything, instead of the printed touch\n"
    "  -w, --no-warnings  give no warnings on standard error\n"
    "  --strict           end with status 2 when any warning is given\n"
    "  -h, --help         print this help and exit\n"
    "  --version          print the version and exit\n"
    "  --                 the end of the options: the next argument is the file\n"
    "\n"
    "Exit status: 0 when the touch is true and comes round, 1 when it is false or\n"
    "does not come round, 2 when FILE cannot be opened, the touch cannot be processed,\n"
    "an option is unknown, or (with --strict) a warning was given.\n";

std::string UsageHint(const std::string& error) {
  return "sixes: " + error + "\nTry 'sixes --help' for more information.\n";
}

namespace {

// Sets what a long option asks for; false for one that is unknown.
bool ApplyLong(Options& options, const std::string& name) {
  if (name == "--help") {
    options.help = true;
  } else if (name == "--version") {
    options.version = true;
  } else if (name == "--no-warnings") {
    options.warnings = false;
  } else if (name == "--strict") {
    options.strict = true;
  } else if (name == "--music") {
    options.music = true;
  } else if (name == "--falseness") {
    options.falseness = true;
  } else if (name == "--calls") {
    options.calls = true;
  } else if (name == "--all") {
    options.music = options.falseness = options.calls = true;
  } else if (name == "--json") {
    options.json = true;
  } else {
    return false;
  }
  return true;
}

bool ApplyShort(Options& options, char name) {
  switch (name) {
    case 'h':
      options.help = true;
      return true;
    case 'w':
      options.warnings = false;
      return true;
    case 'a':
      options.music = options.falseness = options.calls = true;
      return true;
    default:
      return false;
  }
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if (argument == "--") {
      if (index + 1 < arguments.size()) {
        options.fromFile = true;
        options.file = arguments[index + 1];
      }
      break;
    }
    if (argument.size() < 2 || argument[0] != '-') {
      // The file, or "-" for standard input; what follows it is not looked at.
      options.fromFile = argument != "-";
      options.file = options.fromFile ? argument : std::string();
      break;
    }
    if (argument[1] == '-') {
      if (!ApplyLong(options, argument) && options.error.empty()) {
        options.error = "unknown option '" + argument + "'";
      }
      continue;
    }
    for (std::size_t letter = 1; letter < argument.size(); ++letter) {
      if (!ApplyShort(options, argument[letter]) && options.error.empty()) {
        options.error = std::string("unknown option '-") + argument[letter] + "'";
      }
    }
  }
  return options;
}
