#include "lsp/code_actions.h"

#include <gtest/gtest.h>

#include <string>

namespace vigil::lsp {
namespace {

struct NoteCase {
  const char* note;
  std::optional<std::string> word;
};

class SuggestedWordTest : public ::testing::TestWithParam<NoteCase> {};

TEST_P(SuggestedWordTest, ReadsTheWordOfADidYouMeanNote) {
  EXPECT_EQ(SuggestedWord(GetParam().note), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Notes, SuggestedWordTest,
                         ::testing::Values(NoteCase{"did you mean FRONT.RELAY1?", "FRONT.RELAY1"},
                                           NoteCase{"did you mean NIGHT?", "NIGHT"},
                                           NoteCase{"did you mean ?", std::nullopt},
                                           NoteCase{"did you mean two words?", std::nullopt},
                                           NoteCase{"FRONT is a door module (id 1)", std::nullopt},
                                           NoteCase{"did you mean NIGHT", std::nullopt}));

constexpr const char* kHeader = "MODULE = CTRL,0\r\nMODULE = FRONT,1,0,2,5,30,10,1\r\n";

TEST(CodeActionsTest, ReplacesAMisspeltWordWithTheSuggestion) {
  Document document(
      "file:///a", 1,
      std::string(kHeader) + "EVENT FRONT.VALID\r\n  FRONT.RELAYX = ON\r\nEVENTEND\r\n");
  Json actions = CodeActions(document, 3, 3);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0]["title"], "Replace with FRONT.RELAY1");
  Json edits = actions[0]["edit"]["changes"]["file:///a"];
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0]["newText"], "FRONT.RELAY1");
  EXPECT_EQ(edits[0]["range"], RangeJson({3, 2}, {3, 14}));
  // Elsewhere in the file there is nothing to fix.
  EXPECT_TRUE(CodeActions(document, 0, 2).empty());
}

TEST(CodeActionsTest, ConvertsLoneLfToCrLf) {
  Document document("file:///a", 1, "; a\r\n; b\n; c\n; d\r\n");
  Json actions = CodeActions(document, 0, 0);
  ASSERT_EQ(actions.size(), 1u);
  Json edits = actions[0]["edit"]["changes"]["file:///a"];
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[0]["range"], RangeJson({1, 3}, {2, 0}));
  EXPECT_EQ(edits[0]["newText"], "\r\n");
  EXPECT_EQ(edits[1]["range"], RangeJson({2, 3}, {3, 0}));
  EXPECT_TRUE(CodeActions(Document("file:///a", 1, "; a\n; b\n"), 0, 1).empty());
}

TEST(CodeActionsTest, RemovesAByteOrderMark) {
  Document document("file:///a", 1, "\xEF\xBB\xBF; a\r\n");
  Json actions = CodeActions(document, 0, 0);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0]["edit"]["changes"]["file:///a"][0]["range"], RangeJson({0, 0}, {0, 1}));
  EXPECT_TRUE(CodeActions(document, 1, 1).empty());
}

}  // namespace
}  // namespace vigil::lsp
