#include "driver/Options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(Options, AllAsksForEveryAnalysis) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--all"}, {"-a"}, {"-wa", "x.touch"}}) {
    const Options options = ParseOptions(arguments);
    EXPECT_TRUE(options.error.empty());
    EXPECT_TRUE(options.music && options.falseness && options.calls);
    EXPECT_FALSE(options.json);
  }
  const Options some = ParseOptions({"--calls", "--json", "--", "--music"});
  EXPECT_TRUE(some.calls && some.json);
  EXPECT_FALSE(some.music || some.falseness);
  EXPECT_EQ("--music", some.file);  // after "--" the file, though it looks like an option
  // An unknown option is an error even when --json comes after it: the run still prints its
  // document.
  const Options unknown = ParseOptions({"--musik", "--json"});
  EXPECT_EQ("unknown option '--musik'", unknown.error);
  EXPECT_TRUE(unknown.json);
}

std::string SourceFile(const std::string& name) {
  std::ifstream in(std::string(SIXES_SOURCE_DIR) + "/" + name);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Every option is in --help, in the README and in the manual page, where a hyphen is "\-".
TEST(Options, EveryOptionIsDocumented) {
  const std::string readme = SourceFile("README.md");
  const std::string manual = SourceFile("sixes.1");
  ASSERT_FALSE(readme.empty());
  ASSERT_FALSE(manual.empty());
  for (const std::string option :
       {"--music", "--falseness", "--calls", "-a", "--all", "--json", "-w", "--no-warnings",
        "--strict", "-h", "--help", "--version"}) {
    SCOPED_TRACE(option);
    const std::string usage = usageText;
    EXPECT_TRUE(usage.find(' ' + option + ' ') != std::string::npos ||
                usage.find(' ' + option + ',') != std::string::npos);
    EXPECT_NE(readme.find('`' + option + '`'), std::string::npos);
    std::string roff;
    for (const char letter : option) {
      roff += letter == '-' ? "\\-" : std::string(1, letter);
    }
    EXPECT_NE(manual.find(roff), std::string::npos);
  }
}

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
