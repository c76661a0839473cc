#include "driver/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The options as one line: the flags set, the file (or "-" for standard input) and any error.
std::string Shown(const std::vector<std::string>& arguments) {
  const Options options = ParseOptions(arguments);
  std::string shown;
  const std::pair<bool, const char*> flags[] = {
      {options.help, "help"},     {options.version, "version"}, {!options.warnings, "no-warnings"},
      {options.strict, "strict"}, {options.music, "music"},     {options.falseness, "falseness"},
      {options.calls, "calls"},   {options.json, "json"},
  };
  for (const auto& [set, name] : flags) {
    if (set) {
      shown += std::string(name) + " ";
    }
  }
  shown += options.fromFile ? options.file : "-";
  if (!options.error.empty()) {
    shown += " (" + options.error + ")";
  }
  return shown;
}

TEST(Options, ReadsOptionsBeforeTheFile) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "-"},
      {{"a.touch"}, "a.touch"},
      {{"--music", "--calls", "a.touch"}, "music calls a.touch"},
      {{"--all"}, "music falseness calls -"},
      {{"-aw", "--strict", "--json", "-"}, "no-warnings strict music falseness calls json -"},
      {{"-w", "--no-warnings"}, "no-warnings -"},
      {{"-h"}, "help -"},
      {{"--version"}, "version -"},
      // What follows the file is not looked at, options included.
      {{"a.touch", "--help", "b.touch"}, "a.touch"},
      // "--" ends the options: a file named like one.
      {{"--", "-h"}, "-h"},
      {{"--", "--"}, "--"},
      {{"--"}, "-"},
      // The first unknown option is the error; the others are still read.
      {{"-x", "--music", "--frobnicate", "a.touch"}, "music a.touch (unknown option '-x')"},
      {{"-ax"}, "music falseness calls - (unknown option '-x')"},
      {{"--musicx"}, "- (unknown option '--musicx')"},
  };
  for (const auto& [arguments, shown] : cases) {
    SCOPED_TRACE(shown);
    EXPECT_EQ(shown, Shown(arguments));
  }
}

}  // namespace
