#pragma once

#include <string>
#include <vector>

// What the command line asks for. Options come before the touch file, GNU style: "--" ends them,
// "-" is standard input, and short options may be grouped ("-aw"). Arguments after the file are
// not looked at.
struct Options {
  bool help = false;       // -h, --help
  bool version = false;    // --version
  bool warnings = true;    // cleared by -w, --no-warnings
  bool strict = false;     // --strict: any warning makes the run end with status 2
  bool music = false;      // --music
  bool falseness = false;  // --falseness
  bool calls = false;      // --calls
  bool json = false;       // --json: one JSON document instead of the printed touch
  bool fromFile = false;   // false: the touch is read from standard input
  std::string file;        // the touch file, when fromFile

  // The message of the first argument that is no option, such as "unknown option '-x'"; empty
  // when every option was understood.
  std::string error;

  [[nodiscard]] bool AnyAnalysis() const { return music || falseness || calls; }
};

// Reads the arguments that follow the program's name.
Options ParseOptions(const std::vector<std::string>& arguments);

// The text of --help.
extern const char* const usageText;
// The two lines after an unknown option.
std::string UsageHint(const std::string& error);
