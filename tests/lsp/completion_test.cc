#include "lsp/completion.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vigil::lsp {
namespace {

// Lines 0-9: declarations; 10 onwards: the place to complete.
constexpr const char* kDeclarations =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "MODULE = PSU1,71\r\n"
    "MODULE = MAIN,100\r\n"
    "PARTITION OFFICE = OFFICE,101,1,100\r\n"
    "DEFINE PARAMETER OPENTIME = 5\r\n"
    "DEFINE MARK NIGHT = Night opening\r\n"
    "DEFINE REGISTER VISITS\r\n"
    "DEFINE TIMER HOLD\r\n"
    "EVENT FRONT.VALID\r\n";

std::set<std::string> Labels(const std::string& rest, Position position) {
  Document document("file:///a", 1, std::string(kDeclarations) + rest);
  std::set<std::string> labels;
  Json completion = CompletionAt(document, position);
  for (const Json& item : completion["items"]) labels.insert(item["label"]);
  return labels;
}

std::set<std::string> LabelsAtEndOf(const std::string& line) {
  return Labels(line, {10, static_cast<int>(line.size())});
}

TEST(CompletionTest, AfterAModuleOfferItsKindsElements) {
  std::set<std::string> labels = LabelsAtEndOf("  FRONT.");
  EXPECT_TRUE(labels.contains("RELAY1"));
  EXPECT_TRUE(labels.contains("VALID"));
  EXPECT_FALSE(labels.contains("ARMED"));
  std::set<std::string> partition = LabelsAtEndOf("  office.AR");
  EXPECT_TRUE(partition.contains("ARMED"));
  EXPECT_TRUE(partition.contains("SYSTEMKEY"));
  EXPECT_FALSE(partition.contains("RELAY1"));
  EXPECT_TRUE(LabelsAtEndOf("  NOSUCH.").empty());
}

TEST(CompletionTest, AtTheStartOfAStatementOffersStatementWords) {
  std::set<std::string> labels = LabelsAtEndOf("  ");
  for (const char* word : {"DELAY", "MARK", "DOOR", "IF", "ELSE", "ENDIF", "EVENTEND", "DEFINE",
                           "FRONT", "OFFICE", "VISITS", "HOLD", "RELAY1"}) {
    EXPECT_TRUE(labels.contains(word)) << word;
  }
  EXPECT_FALSE(labels.contains("OPENTIME"));  // a parameter starts no statement
  EXPECT_FALSE(labels.contains("PASSED"));    // a condition only
}

TEST(CompletionTest, InsideBracketsOffersWhatTheCommandTakes) {
  std::set<std::string> mark = LabelsAtEndOf("  MARK(");
  EXPECT_EQ(mark, (std::set<std::string>{"NIGHT"}));
  std::set<std::string> delay = LabelsAtEndOf("  DELAY(");
  EXPECT_EQ(delay, (std::set<std::string>{"OPENTIME"}));
  std::set<std::string> dial = LabelsAtEndOf("  DIAL(2,");
  EXPECT_EQ(dial, (std::set<std::string>{"NIGHT"}));
  EXPECT_TRUE(LabelsAtEndOf("  DIAL(").empty());  // a number first
  std::set<std::string> door = LabelsAtEndOf("  DOOR(");
  EXPECT_TRUE(door.contains("FRONT"));
  EXPECT_TRUE(door.contains("PSU1"));
  EXPECT_FALSE(door.contains("NIGHT"));
}

TEST(CompletionTest, FlagsByTheEventsModule) {
  std::string supply = "EVENTEND\r\nEVENT PSU1.STATUSCHANGED\r\n  IF FLAGS(";
  std::set<std::string> labels = Labels(supply, {12, 11});
  EXPECT_EQ(labels, (std::set<std::string>{"FOVERLOAD", "FACPRESENT", "FBATTERYPRESENT",
                                           "FLOWBATTERY", "FBOXTAMPER", "FDCON"}));
  std::string panel = "EVENTEND\r\nEVENT MAIN.EXINPUT1\r\n  IF FLAGS(";
  labels = Labels(panel, {12, 11});
  EXPECT_EQ(labels.size(), 13u);
  EXPECT_TRUE(labels.contains("FACFAIL"));
  EXPECT_FALSE(labels.contains("FDCON"));
}

TEST(CompletionTest, SystemKeyTakesKeyWords) {
  std::set<std::string> labels = LabelsAtEndOf("  OFFICE.SYSTEMKEY = ");
  EXPECT_EQ(labels.size(), 10u);
  EXPECT_TRUE(labels.contains("CDISARM"));
  EXPECT_TRUE(labels.contains("CINITIATEAUTOARM"));
}

TEST(CompletionTest, AfterEqualsOffersValues) {
  std::set<std::string> labels = LabelsAtEndOf("  VISITS = ");
  EXPECT_TRUE(labels.contains("ON"));
  EXPECT_TRUE(labels.contains("OPENTIME"));
  EXPECT_FALSE(labels.contains("CDISARM"));
}

TEST(CompletionTest, TheEditReplacesThePartWordInUtf16Columns) {
  Document document("file:///a", 1, std::string(kDeclarations) + "; \xC3\xA9\r\n  FRONT.REL");
  Json items = CompletionAt(document, {11, 11})["items"];
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0]["textEdit"]["range"]["start"], (Json{{"line", 11}, {"character", 8}}));
  EXPECT_EQ(items[0]["textEdit"]["range"]["end"], (Json{{"line", 11}, {"character", 11}}));
}

TEST(CompletionTest, CommentsAndPlacesPastTheEndAreAnswered) {
  EXPECT_TRUE(LabelsAtEndOf("; FRONT.").empty());
  Document document("file:///a", 1, kDeclarations);
  EXPECT_TRUE(CompletionAt(document, {500, 80})["items"].is_array());
}

}  // namespace
}  // namespace vigil::lsp
