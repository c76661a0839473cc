#include "language/BlockTable.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/ProcessState.h"
#include "language/ProcessState.h"
#include "touch/Block.h"
#include "touch/Course.h"

namespace {

class BlockTableTest : public testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }

  BlockTable& table = languageState.blockTable;
};

TEST_F(BlockTableTest, ANamedBlockIsFoundFromItsConstructionOn) {
  EXPECT_EQ(nullptr, table.Find('A'));
  const Block block('A');
  EXPECT_EQ(&block, table.Find('A'));
  EXPECT_EQ(nullptr, table.Find('a'));
}

TEST_F(BlockTableTest, UnnamedElementsAreNeverEntered) {
  const Block block(0);
  const Course course;
  EXPECT_TRUE(table.Entries().empty());
}

TEST_F(BlockTableTest, ALaterBlockReplacesTheEntryForItsLetter) {
  const Block first('A');
  const Block second('A');
  EXPECT_EQ(&second, table.Find('A'));
}

TEST_F(BlockTableTest, EntriesComeInAsciiOrder) {
  const Block b('b');
  const Block upperB('B');
  const Block a('a');
  const Block z('Z');
  std::string letters;
  for (const auto& [letter, block] : table.Entries()) {
    letters += letter;
  }
  EXPECT_EQ("BZab", letters);
}

}  // namespace
