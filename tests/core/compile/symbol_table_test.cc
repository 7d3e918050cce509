// The name index behind every collection: case-insensitive, first match
// wins, and every name found again however many there are.

#include "core/compile/symbol_table.h"

#include <gtest/gtest.h>

#include <string>

namespace vigil {
namespace {

TEST(NameIndexTest, FindsRegardlessOfAsciiCaseAndKeepsTheFirst) {
  NameIndex index;
  EXPECT_EQ(index.Find("K1"), NameIndex::npos);
  index.Add("Door_1", 0);
  index.Add("DOOR_1", 1);  // a repeated name keeps its first position
  index.Add("\xE9tage", 2);
  index.Add("", 3);
  index.Add("k", 5);
  EXPECT_EQ(index.Find("K"), 5u);
  EXPECT_EQ(index.Find("door_1"), 0u);
  EXPECT_EQ(index.Find("DOOR_1"), 0u);
  EXPECT_EQ(index.Find("\xE9TAGE"), 2u);
  EXPECT_EQ(index.Find("\xC9TAGE"), NameIndex::npos);  // only ASCII letters fold
  EXPECT_EQ(index.Find(""), 3u);
  EXPECT_EQ(index.Find("DOOR_"), NameIndex::npos);
  EXPECT_EQ(index.Find("DOOR_1 "), NameIndex::npos);
  // Characters next to the letters in the code table do not fold: "@" and
  // "[" around 'A'..'Z', "`" and "{" around 'a'..'z'.
  index.Add("@[`{", 4);
  EXPECT_EQ(index.Find("@[`{"), 4u);
  EXPECT_EQ(index.Find("`{@["), NameIndex::npos);
  index.Clear();
  EXPECT_EQ(index.Find("DOOR_1"), NameIndex::npos);
}

// Names of every length around the eight-byte steps of the hash, and enough
// of them for the table to grow many times.
TEST(NameIndexTest, FindsEveryNameAfterGrowing) {
  NameIndex index;
  constexpr size_t kNames = 20000;
  auto name = [](size_t i) { return std::string(i % 19, 'x') + "n" + std::to_string(i); };
  for (size_t i = 0; i < kNames; ++i) index.Add(name(i), i);
  for (size_t i = 0; i < kNames; ++i) {
    std::string upper = name(i);
    for (char& c : upper) c = c == 'x' ? 'X' : c == 'n' ? 'N' : c;
    ASSERT_EQ(index.Find(upper), i) << upper;
  }
  EXPECT_EQ(index.Find("n" + std::to_string(kNames)), NameIndex::npos);
}

}  // namespace
}  // namespace vigil
