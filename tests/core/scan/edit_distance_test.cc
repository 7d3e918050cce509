#include "core/scan/edit_distance.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

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

}  // namespace
}  // namespace vigil
