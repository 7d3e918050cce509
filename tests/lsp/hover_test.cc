#include "lsp/hover.h"

#include <gtest/gtest.h>

#include <string>

namespace vigil::lsp {
namespace {

constexpr const char* kScript =
    "MODULE = CTRL,0\r\n"                    // 0
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"     // 1
    "DEFINE PARAMETER OPENTIME = 7\r\n"      // 2
    "DEFINE MARK NIGHT = Night opening\r\n"  // 3
    "EVENT FRONT.VALID\r\n"                  // 4
    "  DELAY(OPENTIME)\r\n"                  // 5
    "  MARK(NIGHT)\r\n"                      // 6
    "  RELAY1 = ON\r\n"                      // 7
    "  NOSUCH = ON\r\n"                      // 8
    "EVENTEND\r\n";                          // 9

std::string HoverText(Position position) {
  Document document("file:///a", 1, kScript);
  Json hover = HoverAt(document, position);
  return hover.is_null() ? "" : hover["contents"]["value"].get<std::string>();
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(HoverTest, AParameterShowsItsValueAndTheStatementItsCode) {
  std::string text = HoverText({5, 10});
  EXPECT_TRUE(Has(text, "parameter **OPENTIME** (number 0) = 7")) << text;
  EXPECT_TRUE(Has(text, "DEFINE PARAMETER OPENTIME = 7")) << text;
  // DELAY(parameter) is 31 with the parameter's number.
  EXPECT_TRUE(Has(text, "31 00")) << text;
}

TEST(HoverTest, AMarkShowsItsText) {
  std::string text = HoverText({6, 8});
  EXPECT_TRUE(Has(text, "\"Night opening\"")) << text;
  EXPECT_TRUE(Has(text, "63 00")) << text;
}

TEST(HoverTest, AnElementShowsItsCodeAndModule) {
  std::string text = HoverText({7, 4});
  EXPECT_TRUE(Has(text, "element **RELAY1** of FRONT")) << text;
  // RELAY1 = ON on FRONT: 21 01 01.
  EXPECT_TRUE(Has(text, "21 01 01")) << text;
  std::string event = HoverText({4, 14});
  EXPECT_TRUE(Has(event, "element **VALID** of FRONT")) << event;
  EXPECT_TRUE(Has(event, "code 01")) << event;
  EXPECT_TRUE(Has(event, "FF 01 01")) << event;
}

TEST(HoverTest, APartitionStateShowsItsEventAndItsStateCode) {
  Document document("file:///a", 1,
                    "MODULE = CTRL,0\r\nPARTITION OFFICE = OFFICE,101,1,0\r\n"
                    "EVENT OFFICE.ARMED\r\nEVENTEND\r\n");
  std::string text = HoverAt(document, {2, 15})["contents"]["value"];
  // ARMED: event code 01 (shared with DISARMED and STATUSCHANGED), state 04.
  EXPECT_TRUE(Has(text, "code 01; as a state tested by IF: code 04")) << text;
  EXPECT_TRUE(Has(text, "FF 65 01")) << text;
}

TEST(HoverTest, AnErrorShowsItsExplanation) {
  std::string text = HoverText({8, 3});
  EXPECT_TRUE(Has(text, "**E6** Unknown command")) << text;
  EXPECT_TRUE(Has(text, "E6")) << text;
}

TEST(HoverTest, TheNameBeforeEqualsInAModuleLineIsTheModule) {
  Document document("file:///a", 1, "MODULE KEYPAD = KEYPAD,4,0,3,5,30,15,1\r\n");
  Json hover = HoverAt(document, {0, 8});
  ASSERT_FALSE(hover.is_null());
  std::string text = hover["contents"]["value"];
  EXPECT_TRUE(Has(text, "module **KEYPAD**: a door module (id 4)")) << text;
}

TEST(HoverTest, NothingToShowIsNull) {
  EXPECT_EQ(HoverText({9, 30}), "");
  EXPECT_EQ(HoverText({40, 0}), "");
  EXPECT_EQ(HoverText({-1, 0}), "");
}

}  // namespace
}  // namespace vigil::lsp
