// Event blocks and the IF/ELSE/ENDIF frame: jump fields, nesting, the block
// stack and the structural errors.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/compile/codegen_cases.h"

namespace vigil::testing {
namespace {

std::string Repeat(std::string_view line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

// Lines in the controller's event block, the code as hexadecimal pairs.
Case In(std::string lines, const char* hex, std::vector<int> errors) {
  return {kController, std::move(lines), Hex(hex), std::move(errors)};
}

TEST(BlocksTest, JumpFieldsAndStructuralErrors) {
  // Level k of twenty nested blocks skips the 6 bytes of each deeper IF and
  // the one byte of BREAK.
  std::vector<int> code;
  for (int level = 1; level <= 20; ++level) {
    for (int byte : {0x51, 0x15, 0x00, 0x00, 6 * (20 - level) + 1, 0x00}) code.push_back(byte);
  }
  code.push_back(0x6B);
  ExpectCases({
      // The IF's field skips the 4-byte key, the ELSE and the 3-byte
      // output; the ELSE's field skips the output.
      In("IF PRESENT\nP1.SYSTEMKEY = CARMAWAY\nELSE\nRELAY1 = ON\nENDIF\n",
         "51 15 00 00 07 00 42 11 65 01 52 03 00 21 00 01", {}),
      // IF PRESENT (field to ERASECARD: 24), IF PASSED (4), BREAK, ELSE (11),
      // IF OFFLINE (4), SETPRESENT, ELSE (1), CLEARPRESENT, ELSE (1), ERASECARD.
      In("IF PRESENT\nIF PASSED\nBREAK\nELSE\nIF OFFLINE\nSETPRESENT\nELSE\nCLEARPRESENT\n"
         "ENDIF\nENDIF\nELSE\nERASECARD\nENDIF\n",
         "51 15 00 00 18 00 51 0D 00 00 04 00 6B 52 0B 00 51 25 00 00 04 00 6F 52 01 00 70 "
         "52 01 00 73",
         {}),
      In("ENDIF\n", "", {20}),
      In("ELSE\n", "", {28}),
      // The second ELSE is refused; the ENDIF fills the first one's field.
      In("IF PRESENT\nBREAK\nELSE\nSETPRESENT\nELSE\nCLEARPRESENT\nENDIF\n",
         "51 15 00 00 04 00 6B 52 02 00 6F 70", {27}),
      // A failed IF raises the level without a block.
      In("IF TIMEPLAN(0)\nELSE\n", "51", {11, 28, 18}),
      // A failed IF leaves its level pointing at an older, closed block; the
      // ELSE or ENDIF that follows must not rewrite that block's field, and
      // the ENDIF still closes the level.
      In("IF PRESENT\nBREAK\nENDIF\nIF TIMEPLAN(0)\nSETPRESENT\nELSE\nCLEARPRESENT\nENDIF\n",
         "51 15 00 00 01 00 6B 51 6F 52 01 00 70", {11}),
      In("IF PRESENT\nBREAK\nENDIF\nIF TIMEPLAN(65)\nENDIF\nENDIF\n", "51 15 00 00 01 00 6B 51",
         {11, 20}),
      // A term handed back compiles as a statement without error; its IF
      // keeps the plain rules, the rewrite of the level's old field included,
      // even right after a failed IF of the same level.
      In("IF NOT BREAK\nENDIF\n", "51 6B", {20, 18}),
      In("IF PRESENT\nENDIF\nIF NOT BREAK\nENDIF\n", "51 15 00 00 02 00 51 6B", {}),
      In("IF PRESENT\nENDIF\nIF TIMEPLAN(0)\nENDIF\nIF ELSE\nENDIF\n",
         "51 15 00 00 05 00 51 51 52 00 00", {11}),
      // The 21st IF appends nothing and leaves the level at 20, so the last
      // ENDIF finds no block.
      {kController, Repeat("IF PRESENT\n", 20) + "BREAK\n" + Repeat("ENDIF\n", 20), code, {}},
      {kController, Repeat("IF PRESENT\n", 21) + "BREAK\n" + Repeat("ENDIF\n", 21), code, {14, 20}},
  });
}

// DOOR() appends 8 bytes: 8191 of them and 7 more bytes make the largest
// distance a jump field holds. One byte more: error 14, the field stays
// empty, the ENDIF still closes the level.
TEST(BlocksTest, JumpDistanceLimit) {
  const std::string body = Repeat("DOOR()\n", 8191) + "P1.SYSTEMKEY = 1\nRELAY1 = ON\n";
  StatementResult fits =
      CompileInEvent(kDeclarations, kController, "IF PRESENT\n" + body + "ENDIF\n");
  ASSERT_GE(fits.code.size(), 6u);
  EXPECT_EQ(std::vector<int>(fits.code.begin() + 4, fits.code.begin() + 6), Hex("FF FF"));
  EXPECT_EQ(fits.errors, (std::vector<int>{31}));
  StatementResult too_far =
      CompileInEvent(kDeclarations, kController, "IF PRESENT\n" + body + "BREAK\nENDIF\nENDIF\n");
  ASSERT_GE(too_far.code.size(), 6u);
  EXPECT_EQ(std::vector<int>(too_far.code.begin() + 4, too_far.code.begin() + 6), Hex("00 00"));
  EXPECT_EQ(too_far.errors, (std::vector<int>{14, 20, 31}));
}

}  // namespace
}  // namespace vigil::testing
