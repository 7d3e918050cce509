#include "lsp/navigation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace vigil::lsp {
namespace {

// VISITS is declared on line 2 (bytes 16-22) and used three times on lines 4
// and 5; the é before its use on line 5 makes bytes and UTF-16 columns differ.
constexpr const char* kScript =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "DEFINE REGISTER VISITS\r\n"
    "EVENT FRONT.VALID\r\n"
    "  VISITS = VISITS + 1\r\n"
    "  IF VISITS > 3\r\n"
    "    FRONT.RELAY1 = ON\r\n"
    "  ENDIF\r\n"
    "EVENTEND\r\n";

Json Range(int line, int from, int to) { return RangeJson({line, from}, {line, to}); }

class NavigationTest : public ::testing::Test {
 protected:
  Document document_{"file:///a", 1, kScript};
};

TEST_F(NavigationTest, DefinitionIsTheDeclaration) {
  Json location = DefinitionAt(document_, {5, 6});
  EXPECT_EQ(location["uri"], "file:///a");
  EXPECT_EQ(location["range"], Range(2, 16, 22));
  EXPECT_TRUE(DefinitionAt(document_, {6, 0}).is_null());   // blanks
  EXPECT_TRUE(DefinitionAt(document_, {90, 0}).is_null());  // past the end
}

TEST_F(NavigationTest, ReferencesListEveryUse) {
  Json with = ReferencesAt(document_, {4, 3}, true);
  ASSERT_EQ(with.size(), 4u);
  EXPECT_EQ(with[0]["range"], Range(2, 16, 22));
  EXPECT_EQ(with[1]["range"], Range(4, 2, 8));
  EXPECT_EQ(with[2]["range"], Range(4, 11, 17));
  EXPECT_EQ(with[3]["range"], Range(5, 5, 11));
  EXPECT_EQ(ReferencesAt(document_, {4, 3}, false).size(), 3u);
}

TEST_F(NavigationTest, ModulesAreFoundInTheirElementNames) {
  Json with = ReferencesAt(document_, {6, 5}, true);
  ASSERT_GE(with.size(), 2u);
  EXPECT_EQ(with[0]["range"]["start"]["line"], 1);
}

TEST_F(NavigationTest, RenameEditsEverySite) {
  Json edit = RenameAt(document_, {2, 18}, "COUNT");
  Json edits = edit["changes"]["file:///a"];
  ASSERT_EQ(edits.size(), 4u);
  for (const Json& one : edits) EXPECT_EQ(one["newText"], "COUNT");
  EXPECT_EQ(edits[3]["range"], Range(5, 5, 11));
}

TEST_F(NavigationTest, RenameToTheSameNameInOtherCaseIsAllowed) {
  EXPECT_EQ(RenameAt(document_, {2, 18}, "visits")["changes"]["file:///a"].size(), 4u);
}

class RefusedRenameTest : public NavigationTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedRenameTest, IsAnErrorReply) {
  EXPECT_THROW(RenameAt(document_, {2, 18}, GetParam()), ResponseError);
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedRenameTest,
                         ::testing::Values("FRONT", "ctrl", "", "TWO WORDS", "K-1", "N\xC3\xA9",
                                           "DELAY"));

TEST_F(NavigationTest, RenameWhereNoNameIsRefused) {
  EXPECT_THROW(RenameAt(document_, {0, 0}, "X"), ResponseError);
}

TEST(NavigationNamesTest, RenamingAModuleRenamesBothNamesOfItsDeclaration) {
  Document document("file:///a", 1,
                    "MODULE KEYPAD = KEYPAD,4,0,3,5,30,15,1\r\nEVENT KEYPAD.VALID\r\nEVENTEND\r\n");
  // From the name before "=", which the compiler records no site for.
  Json edits = RenameAt(document, {0, 8}, "KP")["changes"]["file:///a"];
  std::set<std::pair<int, int>> starts;
  for (const Json& edit : edits) {
    starts.emplace(edit["range"]["start"]["line"].get<int>(),
                   edit["range"]["start"]["character"].get<int>());
  }
  EXPECT_TRUE(starts.contains({0, 7}));
  EXPECT_TRUE(starts.contains({0, 16}));
  EXPECT_TRUE(starts.contains({1, 6}));
}

TEST_F(NavigationTest, PrepareRenameGivesTheName) {
  Json prepared = PrepareRenameAt(document_, {4, 12});
  EXPECT_EQ(prepared["placeholder"], "VISITS");
  EXPECT_TRUE(PrepareRenameAt(document_, {3, 1}).is_null());
}

}  // namespace
}  // namespace vigil::lsp
