#include "rows/CallTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/ProcessState.h"
#include "rows/ChangeTable.h"
#include "rows/ProcessState.h"

namespace {

// On 7 bells: "3" is '3', "1" is '1', "5" is 'b', "7" is 'p' and "2" (read as "127") is 'x'.
class CallTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetBellCount(7);
  }

  CallTable calls;
};

TEST_F(CallTableTest, DefinesACallFromPlaceNotation) {
  calls.DefineCall("b:3.1");
  EXPECT_EQ("31", calls.CallNotation('b'));
  calls.DefineCall("b:5");  // a new definition replaces the old one
  EXPECT_EQ("b", calls.CallNotation('b'));
  calls.DefineCall("s:");
  EXPECT_EQ("", calls.CallNotation('s'));
}

TEST_F(CallTableTest, IgnoresTextWithoutAColonAfterTheLetter) {
  calls.DefineCall("b:5");
  const char* malformed[] = {"", "b", "b5", "b3.1", ":b:3", "bb:3"};
  for (const char* text : malformed) {
    SCOPED_TRACE(text);
    calls.DefineCall(text);
    EXPECT_EQ("b", calls.CallNotation('b'));
  }
  // Nothing was stored under the other character one of them begins with.
  EXPECT_EQ("31", calls.CallNotation(':'));
}

TEST_F(CallTableTest, MergesAMarkedNotationWithThePlainCall) {
  const std::pair<const char*, const char*> cases[] = {
      // A leading '.': the call takes the place of the end of the plain call.
      {"b:.2", "31bx"},
      {"b:.2.3", "31x3"},
      // Marked at both ends: as for a leading '.'.
      {"b:.2.", "31bx"},
      {"b:.", "31bp"},
      // A trailing '.': the call takes the place of the beginning of the plain call.
      {"b:2.", "x1bp"},
      {"b:2.3.", "x3bp"},
      // Not shorter than the plain call, or not marked: not merged.
      {"b:.2.2.2.2", "xxxx"},
      {"b:2.2.2.2.2.", "xxxxx"},
      {"b:2.3", "x3"},
  };
  calls.DefineCall("p:3.1.5.7");
  ASSERT_EQ("31bp", calls.CallNotation('p'));
  for (const auto& [text, codes] : cases) {
    SCOPED_TRACE(text);
    calls.DefineCall(text);
    EXPECT_EQ(codes, calls.CallNotation('b'));
  }
}

TEST_F(CallTableTest, MergesWithTheDefaultPlainCallWhenPHasNoDefinition) {
  calls.DefineCall("b:.2");
  EXPECT_EQ("px", calls.CallNotation('b'));
  calls.DefineCall("s:2.");
  EXPECT_EQ("x1", calls.CallNotation('s'));
  EXPECT_EQ("p1", calls.CallNotation('p'));

  // The plain call merges with its own default, taken before the new definition is stored.
  CallTable fresh;
  fresh.DefineCall("p:.2");
  EXPECT_EQ("px", fresh.CallNotation('p'));
}

TEST_F(CallTableTest, NewChangesGetTheNextFreeCodes) {
  calls.DefineCall("q:14");
  EXPECT_EQ("I", calls.CallNotation('q'));
  calls.DefineCall("y:1.36.14");
  EXPECT_EQ("1JI", calls.CallNotation('y'));
  EXPECT_EQ(" 1324657", rowsState.changeTable.ChangeOf('I').ToText());
  EXPECT_EQ(" 2135467", rowsState.changeTable.ChangeOf('J').ToText());
}

TEST_F(CallTableTest, DefaultsFollowThePlainCall) {
  const std::pair<char, const char*> defaults[] = {
      {'p', "p1"}, {'b', "31"}, {'s', "32"}, {'h', "3h"}, {'q', "ph"},
      {'x', "3x"}, {'z', "3z"}, {'c', "31"}, {'B', "31"},
  };
  for (const auto& [letter, codes] : defaults) {
    SCOPED_TRACE(letter);
    CallTable fresh;
    EXPECT_EQ(codes, fresh.CallNotation(letter));
  }

  calls.DefineCall("p:3.1.5.7");
  const std::pair<char, const char*> afterPlain[] = {{'b', "3131"}, {'s', "3132"}, {'q', "31ph"}};
  for (const auto& [letter, codes] : afterPlain) {
    SCOPED_TRACE(letter);
    EXPECT_EQ(codes, calls.CallNotation(letter));
  }

  // A plain call of fewer than two codes is kept whole in front of the two.
  CallTable shortPlain;
  shortPlain.DefineCall("p:5");
  EXPECT_EQ("b32", shortPlain.CallNotation('s'));
}

TEST_F(CallTableTest, DefaultsAreStoredWhenFirstAskedFor) {
  EXPECT_EQ("31", calls.CallNotation('b'));
  calls.DefineCall("p:3.1.5.7");
  EXPECT_EQ("31", calls.CallNotation('b'));
  EXPECT_EQ("3132", calls.CallNotation('s'));
}

}  // namespace
