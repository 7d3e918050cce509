// The word lists read from the instruction list and the name tables.

#include "core/lang/word_lists.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/lang/known_words.h"

namespace vigil {
namespace {

using Words = std::vector<std::string_view>;

// The block words and the command and test words are keywords; the
// declaration words are not (the compiler reads them only at a line's start).
TEST(WordLists, AgreeWithTheKeywords) {
  for (const Words& list :
       {Words(kBlockWords.begin(), kBlockWords.end()), CommandWords(), ConditionWords()}) {
    for (std::string_view word : list) EXPECT_TRUE(IsKeyword(word)) << word;
  }
  for (std::string_view word : kDeclarationWords) EXPECT_FALSE(IsKeyword(word)) << word;
}

TEST(WordLists, NameEveryElementAndEventOnce) {
  std::vector<std::string> elements = AllElementNames();
  std::vector<std::string> events = AllEventNames();
  for (const auto* list : {&elements, &events}) {
    std::vector<std::string> sorted = *list;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  }
  // One from each kind's list.
  for (std::string_view name : {"RELAY8", "CARDREADER", "STATUSCHANGED", "EXOUTPUT8", "ARMED"}) {
    EXPECT_NE(std::find(elements.begin(), elements.end(), name), elements.end()) << name;
  }
  for (std::string_view name : {"USEREVENT73", "VALID", "EXINPUT8OFF", "ALERT"}) {
    EXPECT_NE(std::find(events.begin(), events.end(), name), events.end()) << name;
  }
}

}  // namespace
}  // namespace vigil
