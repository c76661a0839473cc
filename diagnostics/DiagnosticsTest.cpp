#include "diagnostics/Diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics/Quote.h"

namespace {

TEST(Diagnostics, FormatsWarningsAsEditorsReadThem) {
  EXPECT_EQ("a.touch:3:14: warning: text", FormatWarning("a.touch", {{3, 14}, "text"}));
  EXPECT_EQ("<stdin>: warning: text", FormatWarning("<stdin>", {{}, "text"}));
}

TEST(Diagnostics, KeepsTheFirstWarningsAndCountsTheRest) {
  Diagnostics diagnostics;
  EXPECT_FALSE(diagnostics.Any());
  for (std::size_t warning = 0; warning < Diagnostics::maxKept + 5; ++warning) {
    diagnostics.Warn({1, static_cast<std::int32_t>(warning + 1)}, std::to_string(warning));
  }
  EXPECT_TRUE(diagnostics.Any());
  EXPECT_EQ(Diagnostics::maxKept + 5, static_cast<std::size_t>(diagnostics.Count()));
  ASSERT_EQ(Diagnostics::maxKept, diagnostics.Warnings().size());
  EXPECT_EQ("0", diagnostics.Warnings().front().text);
}

TEST(Diagnostics, SortsByPlaceKeepingTheOrderFoundAtOnePlace) {
  Diagnostics diagnostics;
  diagnostics.Warn({}, "no place");
  diagnostics.Warn({2, 1}, "second line");
  diagnostics.Warn({1, 9}, "first, found first");
  diagnostics.Warn({1, 9}, "first, found later");
  diagnostics.Warn({1, 3}, "first line");
  diagnostics.SortByPlace();
  std::vector<std::string> texts;
  for (const Warning& warning : diagnostics.Warnings()) {
    texts.push_back(warning.text);
  }
  EXPECT_EQ((std::vector<std::string>{"first line", "first, found first", "first, found later",
                                      "second line", "no place"}),
            texts);
}

TEST(Quote, ShowsTextFromTheFileAsItPrints) {
  const std::pair<std::string, const char*> cases[] = {
      {"(12 q", "`(12 q`"},
      {std::string("s\0", 2), "`s\\x00`"},
      {"a\tb\nc`\xFF", "`a\\tb\\nc\\x60\\xFF`"},
      {std::string(50, ')'), "`))))))))))))))))))))))))))))))))))))))))…`"},
  };
  for (const auto& [text, quoted] : cases) {
    SCOPED_TRACE(quoted);
    EXPECT_EQ(quoted, Quote(text));
  }
}

}  // namespace
