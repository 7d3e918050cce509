// The pieces of the notes: edit distance, the nearest known word, what a
// module kind accepts and where a name was declared.

#include "compiler/hints.h"

#include <gtest/gtest.h>

#include <array>

namespace vigil {
namespace {

TEST(NearestWord, CountsEditsAndSwapsAndStaysWithinAPlausibleDistance) {
  EXPECT_EQ(EditDistance("ENDFI", "ENDIF"), 1);  // a swap of neighbours
  EXPECT_EQ(EditDistance("eventend", "EVENTEND"), 0);
  EXPECT_EQ(EditDistance("", "AB"), 2);
  EXPECT_EQ(EditDistance("CR2", "PANEL"), 5);
  const std::array<std::string, 4> words = {"EVENTEND", "EVENT", "ON", "CR1"};
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
  EXPECT_EQ(ElementList(90), "");
  EXPECT_NE(ElementList(0).find("RELAY1 to RELAY8, OC1, OC2"), std::string::npos);
  EXPECT_EQ(FamilyNote(3, "INPUT3"), "its inputs are INPUT1 and INPUT2");
  EXPECT_EQ(FamilyNote(3, "RELAY2"), "its only relay is RELAY1");
  EXPECT_EQ(FamilyNote(3, "INPUT3ON"), "");  // no family of plain numbered names
  EXPECT_EQ(FamilyNote(73, "INPUT1"), "");   // the kind has no input
}

TEST(FindDeclaration, FindsTheNameOnItsLine) {
  std::vector<SourceLine> lines = {
      {"MODULE = K1,3,0,1,5,30,10", 1}, {"  define register Count", 2}, {"DEFINE TIMER COUNT", 4}};
  const std::array<std::string_view, 2> kinds = {"REGISTER", "MODULE"};
  DeclarationSite at = FindDeclaration(lines, "COUNT", kinds);
  EXPECT_EQ((std::array{at.physical_line, at.span.begin, at.span.end}), (std::array{2, 18, 23}));
  EXPECT_EQ(FindDeclaration(lines, "k1", kinds).physical_line, 1);
  EXPECT_EQ(FindDeclaration(lines, "COUNT", kinds, 2).physical_line, 0);
}

}  // namespace
}  // namespace vigil
