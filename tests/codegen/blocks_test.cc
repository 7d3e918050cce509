// Event blocks and the IF/ELSE/ENDIF frame: jump fields, nesting, the block
// stack and the structural errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codegen/codegen_cases.h"

namespace vigil::testing {
namespace {

std::string Repeat(std::string_view line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

TEST(BlocksTest, EmptyEventIsItsHeader) {
  auto compiler = CompileScript("MODULE = PANEL,0\nEVENT PANEL.INIT\nEVENTEND\n");
  EXPECT_EQ(CodeWithoutTrailer(*compiler), (std::vector<int>{0xFF, 0x00, 0x32}));
  EXPECT_TRUE(ErrorNumbers(*compiler).empty());
}

TEST(BlocksTest, JumpFields) {
  ExpectCases({
      // IF, a 4-byte statement, ELSE, a 3-byte statement, ENDIF: the IF's
      // field skips 4 + 3 bytes, the ELSE's 3.
      {kController,
       "IF PRESENT\nP1.SYSTEMKEY = CARMAWAY\nELSE\nRELAY1 = ON\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x07, 0x00, 0x42, 0x11, 0x65, 0x01, 0x52, 0x03, 0x00, 0x21, 0x00,
        0x01},
       {}},
      {kController, "IF PRESENT\nENDIF\n", {0x51, 0x15, 0x00, 0x00, 0x00, 0x00}, {}},
      {kController,
       "IF PRESENT\nELSE\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x03, 0x00, 0x52, 0x00, 0x00},
       {}},
      {kController,
       "IF PRESENT\n"
       "  IF PASSED\n"
       "    BREAK\n"
       "  ELSE\n"
       "    IF OFFLINE\n"
       "      SETPRESENT\n"
       "    ELSE\n"
       "      CLEARPRESENT\n"
       "    ENDIF\n"
       "  ENDIF\n"
       "ELSE\n"
       "  ERASECARD\n"
       "ENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x18, 0x00,  // to ERASECARD
        0x51, 0x0D, 0x00, 0x00, 0x04, 0x00,  // to IF OFFLINE
        0x6B,                                // BREAK
        0x52, 0x0B, 0x00,                    // to the outer ELSE
        0x51, 0x25, 0x00, 0x00, 0x04, 0x00,  // to CLEARPRESENT
        0x6F,                                // SETPRESENT
        0x52, 0x01, 0x00,                    // to the outer ELSE
        0x70,                                // CLEARPRESENT
        0x52, 0x01, 0x00,                    // to the end
        0x73},                               // ERASECARD
       {}},
  });
}

// Level k of twenty nested blocks skips the 6 bytes of each deeper IF and
// the one byte of BREAK.
std::vector<int> TwentyLevels() {
  std::vector<int> code;
  for (int level = 1; level <= 20; ++level) {
    for (int byte : {0x51, 0x15, 0x00, 0x00, 6 * (20 - level) + 1, 0x00}) code.push_back(byte);
  }
  code.push_back(0x6B);
  return code;
}

TEST(BlocksTest, TwentyNestedLevelsAndTheTwentyFirst) {
  ExpectCase({kController,
              (Repeat("IF PRESENT\n", 20) + "BREAK\n" + Repeat("ENDIF\n", 20)).c_str(),
              TwentyLevels(),
              {}});
  // The 21st IF appends nothing and leaves the level at 20, so the last
  // ENDIF finds no block.
  ExpectCase({kController,
              (Repeat("IF PRESENT\n", 21) + "BREAK\n" + Repeat("ENDIF\n", 21)).c_str(),
              TwentyLevels(),
              {14, 20}});
}

TEST(BlocksTest, StructuralErrors) {
  ExpectCases({
      {kController, "ENDIF\n", {}, {20}},
      {kController, "ELSE\n", {}, {28}},
      {kController, "BREAK\nENDIF\nELSE\n", {0x6B}, {20, 28}},
      // The second ELSE is refused; the ENDIF fills the first one's field.
      {kController,
       "IF PRESENT\nBREAK\nELSE\nSETPRESENT\nELSE\nCLEARPRESENT\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x04, 0x00, 0x6B, 0x52, 0x02, 0x00, 0x6F, 0x70},
       {27}},
      // A failed IF raises the level without a block: its ENDIF finds none.
      {kController, "IF TIMEPLAN(0)\nENDIF\n", {0x51}, {11, 20, 18}},
      {kController, "IF TIMEPLAN(0)\nELSE\n", {0x51}, {11, 28, 18}},
  });
}

TEST(BlocksTest, EventEndInsideIfThenEvent) {
  auto compiler = CompileScript(std::string(kDeclarations) +
                                "EVENT PANEL.INIT\n"
                                "IF PRESENT\n"
                                "EVENTEND\n"        // 18: ignored
                                "EVENT K1.VALID\n"  // 26: the header is written
                                "ENDIF\n"
                                "EVENTEND\n"
                                "EVENTEND\n"  // 6: no open block; the count goes to 0
                                "EVENT PANEL.INIT\n"
                                "BREAK\n"
                                "EVENTEND\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{18, 26, 6}));
  EXPECT_EQ(CodeWithoutTrailer(*compiler),
            (std::vector<int>{0xFF, 0x00, 0x32, 0x51, 0x15, 0x00, 0x00, 0x03, 0x00, 0xFF, 0x05,
                              0x01, 0xFF, 0x00, 0x32, 0x6B}));
}

// A failed IF leaves its level pointing at an older, closed block; the ELSE
// or ENDIF that follows must not rewrite that block's field.
TEST(BlocksTest, FailedIfLeavesEarlierBlockAlone) {
  ExpectCases({
      {kController,
       "IF PRESENT\nBREAK\nENDIF\n"
       "IF TIMEPLAN(0)\nSETPRESENT\nELSE\nCLEARPRESENT\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x01, 0x00, 0x6B, 0x51, 0x6F, 0x52, 0x01, 0x00, 0x70},
       {11}},
      // The ENDIF still closes the level: the next ENDIF finds none.
      {kController,
       "IF PRESENT\nBREAK\nENDIF\nIF TIMEPLAN(65)\nENDIF\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x01, 0x00, 0x6B, 0x51},
       {11, 20}},
  });
}

// A term the condition compiler hands back compiles as a statement without
// error; its IF then keeps the plain rules, the rewrite of the level's old
// field included.
TEST(BlocksTest, HandedBackIfKeepsThePlainRules) {
  ExpectCases({
      {kController, "IF NOT BREAK\nENDIF\n", {0x51, 0x6B}, {20, 18}},
      {kController, "IF SETPRESENT\n", {0x51, 0x6F}, {18}},
      {kController,
       "IF PRESENT\nENDIF\nIF NOT BREAK\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x02, 0x00, 0x51, 0x6B},
       {}},
      // Even right after a failed IF of the same level.
      {kController,
       "IF PRESENT\nENDIF\nIF TIMEPLAN(0)\nENDIF\nIF ELSE\nENDIF\n",
       {0x51, 0x15, 0x00, 0x00, 0x05, 0x00, 0x51, 0x51, 0x52, 0x00, 0x00},
       {11}},
  });
}

// DOOR() appends 8 bytes: 8191 of them and 7 more bytes make the largest
// distance a jump field holds.
TEST(BlocksTest, JumpDistanceLimit) {
  const std::string body = Repeat("DOOR()\n", 8191) + "P1.SYSTEMKEY = 1\nRELAY1 = ON\n";
  StatementResult fits =
      CompileInEvent(kDeclarations, kController, "IF PRESENT\n" + body + "ENDIF\n");
  ASSERT_GE(fits.code.size(), 6u);
  EXPECT_EQ(fits.code[4], 0xFF);
  EXPECT_EQ(fits.code[5], 0xFF);
  EXPECT_EQ(fits.errors, (std::vector<int>{31}));

  // One byte more: error 14, the field stays empty, the ENDIF still closes
  // the level.
  StatementResult too_far =
      CompileInEvent(kDeclarations, kController, "IF PRESENT\n" + body + "BREAK\nENDIF\nENDIF\n");
  ASSERT_GE(too_far.code.size(), 6u);
  EXPECT_EQ(too_far.code[4], 0x00);
  EXPECT_EQ(too_far.code[5], 0x00);
  EXPECT_EQ(too_far.errors, (std::vector<int>{14, 20, 31}));
}

}  // namespace
}  // namespace vigil::testing
