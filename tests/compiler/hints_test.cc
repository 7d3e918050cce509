// The pieces of the notes: edit distance, the nearest known word, and what a
// module kind accepts.

#include "compiler/hints.h"

#include <gtest/gtest.h>

#include <array>

namespace vigil {
namespace {

TEST(EditDistance, CountsEditsAndSwapsWithoutCase) {
  struct Case {
    std::string_view a, b;
    int distance;
  };
  for (const Case& c :
       {Case{"DELAYY", "DELAY", 1}, Case{"ENDFI", "ENDIF", 1}, Case{"eventend", "EVENTEND", 0},
        Case{"", "AB", 2}, Case{"INPUT3", "INPUT1", 1}, Case{"CR2", "PANEL", 5}}) {
    EXPECT_EQ(EditDistance(c.a, c.b), c.distance) << c.a << " " << c.b;
  }
}

TEST(NearestWord, StaysWithinAPlausibleDistance) {
  const std::array<std::string, 4> words = {"EVENTEND", "EVENT", "ON", "CR1"};
  EXPECT_EQ(NearestWord("EVETEND", words), "EVENTEND");
  EXPECT_EQ(NearestWord("EVNT", words), "EVENT");
  EXPECT_EQ(NearestWord("OFF", words), "");     // three letters allow one edit
  EXPECT_EQ(NearestWord("OX", words), "");      // two are too few to tell
  EXPECT_EQ(NearestWord("CR9", words), "CR1");  // the first at the least distance
  EXPECT_EQ(NearestWord("event", words), "");   // a candidate itself needs no hint
}

TEST(KindHints, DescribeAndListWhatAKindAccepts) {
  EXPECT_EQ(KindDescription(3), "a door module (id 3)");
  EXPECT_EQ(KindDescription(102), "partition 2 (id 102)");
  EXPECT_EQ(ElementList(100), "EXINPUT1 to EXINPUT8, EXOUTPUT1 to EXOUTPUT8");
  EXPECT_EQ(ElementList(73), "STATUSCHANGED");
  EXPECT_EQ(ElementList(90), "");
  EXPECT_NE(ElementList(0).find("RELAY1 to RELAY8, OC1, OC2"), std::string::npos);
  EXPECT_NE(ElementList(0).find("USEREVENT1 to USEREVENT73"), std::string::npos);

  EXPECT_EQ(FamilyNote(3, "INPUT3"), "its inputs are INPUT1 and INPUT2");
  EXPECT_EQ(FamilyNote(3, "RELAY2"), "its only relay is RELAY1");
  EXPECT_EQ(FamilyNote(0, "RELAY9"), "its relays are RELAY1 to RELAY8");
  EXPECT_EQ(FamilyNote(3, "INPUT3ON"), "");  // no family of plain numbered names
  EXPECT_EQ(FamilyNote(73, "INPUT1"), "");   // the kind has no input
}

TEST(FindDeclaration, FindsTheNameOnItsLine) {
  std::vector<SourceLine> lines = {
      {"MODULE = K1,3,0,1,5,30,10", 1}, {"  define register Count", 2}, {"DEFINE TIMER COUNT", 4}};
  const std::array<std::string_view, 2> kinds = {"REGISTER", "MODULE"};
  DeclarationSite site = FindDeclaration(lines, "COUNT", kinds);
  EXPECT_EQ(site.physical_line, 2);
  EXPECT_EQ(site.span.begin, 18);
  EXPECT_EQ(site.span.end, 23);
  EXPECT_EQ(FindDeclaration(lines, "k1", kinds).physical_line, 1);
  EXPECT_EQ(FindDeclaration(lines, "COUNT", kinds, 2).physical_line, 0);
}

}  // namespace
}  // namespace vigil
