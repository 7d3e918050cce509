// The statement pass line by line: skipped and counted lines, the word check,
// statements outside an event, the open-event count and INVERT.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codegen/codegen_cases.h"

namespace vigil::testing {
namespace {

std::vector<int> CountedLines(const C_Compiler& compiler) {
  std::vector<int> lines;
  for (const Diagnostic& d : compiler.diagnostics()) lines.push_back(d.counted_line);
  return lines;
}

TEST(LineDispatchTest, DeclarationLinesAreSkippedUncountedOthersCounted) {
  auto compiler = CompileScript(
      "MODULE = PANEL,0\n"
      "  MODULE = GHOST,3\n"  // indented: skipped, but never declared
      "PARTITION = P1,101,0,0\n"
      "DEVICE = PANEL.INPUT1,1\n"
      "DEFINE REGISTER R1\n"  // counted line 1
      "; comment\n"
      "\n"
      "   ; comment after blanks\n"
      "EVENT PANEL.INIT\n"   // 5
      "FOO\n"                // 6: error 6
      "GHOST.RELAY1 = ON\n"  // 7: error 6, GHOST is not declared
      "EVENTEND\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{6, 6}));
  EXPECT_EQ(CountedLines(*compiler), (std::vector<int>{6, 7}));
  EXPECT_EQ(compiler->CountLines(), 9);  // the line break at the end adds an empty line
  EXPECT_EQ(CodeWithoutTrailer(*compiler), (std::vector<int>{0xFF, 0x00, 0x32}));
}

TEST(LineDispatchTest, TabsAreNotTrimmed) {
  ExpectCases({
      {kController, "\t\n", {}, {6}},
      {kController, "\t; not a comment\n", {}, {6}},
      {kController, "   \n", {}, {}},
      {kController, "\tBREAK\t\n", {0x6B}, {}},
  });
  auto outside = CompileScript("\t\n");
  EXPECT_EQ(ErrorNumbers(*outside), (std::vector<int>{6}));
  EXPECT_EQ(outside->CountLines(), 2);
}

// A word the event's module kind does not have fails the word check, even
// where the statement would compile.
TEST(LineDispatchTest, WordCheckByModuleKind) {
  ExpectCases({
      {kDoor, "RELAY1 = ON\n", {0x21, 0x05, 0x01}, {}},
      {kDoor, "RELAY2 = ON\n", {}, {6}},
      {kDoor, "PANEL.RELAY2 = ON\n", {0x21, 0x00, 0x02}, {}},
      {kDoor, "IF K1.INPUT3 = ON\nENDIF\n", {}, {6, 20}},
      {kController, "RELAY8 = ON\n", {0x21, 0x00, 0x08}, {}},
      {kController, "AUXOUTPUT = ON\n", {}, {6}},
      {kController, "EXOUTPUT1 = ON\n", {}, {6}},
      {kController, "AP.EXOUTPUT1 = ON\n", {0x21, 0x64, 0x01}, {}},
      {kController, "K-1.EXOUTPUT3 = ON\n", {0x21, 0x09, 0x03}, {}},  // known through "-"
      {kPanel, "EXOUTPUT8 = OFF\n", {0x20, 0x64, 0x08}, {}},
      {kPanel, "RELAY1 = ON\n", {}, {6}},
      {kSupply, "RELAY1 = ON\n", {}, {6}},
      {kPartition, "IF ARMED = ON\nENDIF\n", {0x51, 0x0A, 0x65, 0x04, 0x00, 0x00}, {}},
      {kPartition, "RELAY1 = ON\n", {}, {6}},
      {kController, "DELAY(2.5)\n", {}, {6}},  // "2" names no module
      {kController, "DELAY(25E-1)\n", {0x30, 0x02}, {}},
      {kController, "DELAY(5) FOO\n", {}, {6}},
      {kController, "INVERT(RELAY1)\n", {0x22, 0x00, 0x01}, {}},  // ")" is dropped
  });
}

// The scan ends at a token equal to the one before, compared before the word
// check drops a trailing ")"; words after that point are not checked.
TEST(LineDispatchTest, WordCheckEndsAtARepeatedToken) {
  ExpectCases({
      {kController, "DELAY DELAY FOO\n", {}, {3}},
      {kController, "DELAY(R1) R1 FOO\n", {}, {6}},
      {kController, "R1 = R1 + 5\n", {0x61, 0x01, 0x05}, {}},
  });
}

TEST(LineDispatchTest, UndeclaredEventModule) {
  // R1 passes the word check but names no module: error 1 twice while the
  // event opens, error 2 for the event name, error 1 for the header.
  auto compiler = CompileScript(
      "DEFINE REGISTER R1\n"
      "EVENT R1\n"
      "BREAK\n"
      "EVENTEND\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{1, 1, 2, 1, 6, 6}));
  EXPECT_TRUE(CodeWithoutTrailer(*compiler).empty());
}

// A header value that fails appends no header (error 1); the block still
// opens. An unknown event name gives code 0 (error 2).
TEST(LineDispatchTest, EventHeaderFailures) {
  auto compiler = CompileScript(std::string(kDeclarations) +
                                "EVENT K-1.USEREVENT200\n"  // code 352
                                "BREAK\n"
                                "EVENTEND\n"
                                "EVENT K-1.FOO\n"
                                "SETPRESENT\n"
                                "EVENTEND\n"
                                "EVENT PANEL.FOO\n"  // the word check refuses it
                                "ERASECARD\n"        // 6: no block is open
                                "EVENTEND\n");       // 6, 29
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{1, 2, 6, 6, 6, 29}));
  EXPECT_EQ(CodeWithoutTrailer(*compiler), (std::vector<int>{0x6B, 0xFF, 0x09, 0x00, 0x6F}));
}

TEST(LineDispatchTest, StatementsOutsideAnEvent) {
  auto compiler = CompileScript(
      "MODULE = PANEL,0\n"
      "DELAY(5)\n"
      "EVENT PANEL.INIT\n"
      "EVENTEND\n"
      "BREAK\n"
      "RELAY1 = ON\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{6, 6, 6}));
  EXPECT_EQ(CodeWithoutTrailer(*compiler), (std::vector<int>{0xFF, 0x00, 0x32}));
}

// A stray EVENTEND leaves the open-event count at -1: each later block opens
// at 0, so its statements are unreachable, until an extra EVENT.
TEST(LineDispatchTest, StrayEventEndChainsUnreachableCode) {
  auto compiler = CompileScript(
      "MODULE = PANEL,0\n"
      "MODULE = K1,5,0,3,10,30,60\n"
      "EVENT PANEL.INIT\n"
      "EVENTEND\n"
      "EVENTEND\n"  // 6 (no open block), 29
      "EVENT PANEL.INIT\n"
      "DELAY(5)\n"  // 25
      "EVENTEND\n"  // 29
      "EVENT K1.VALID\n"
      "BREAK\n"     // 25
      "EVENTEND\n"  // 29
      "EVENT K1.VALID\n"
      "EVENT K1.VALID\n"  // the count is back to 1, without error 26
      "DELAY(5)\n"
      "EVENTEND\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{6, 29, 25, 29, 25, 29}));
  EXPECT_EQ(CodeWithoutTrailer(*compiler),
            (std::vector<int>{0xFF, 0x00, 0x32, 0xFF, 0x00, 0x32, 0xFF, 0x05, 0x01, 0xFF, 0x05,
                              0x01, 0xFF, 0x05, 0x01, 0x30, 0x05}));
}

TEST(LineDispatchTest, Invert) {
  ExpectCases({
      {kController, "INVERT(RELAY1)\n", {0x22, 0x00, 0x01}, {}},
      {kController, "INVERT(PANEL.OC2)\n", {0x22, 0x00, 0x08}, {}},
      {kController, "INVERT(INPUT5)\n", {0x25, 0x00, 0x05}, {}},
      {kController, "INVERT(BEEP)\n", {0x25, 0x00, 0x03}, {}},
      {kPanel, "INVERT(EXOUTPUT8)\n", {0x22, 0x64, 0x08}, {}},
      {kDoor, "INVERT(AUXOUTPUT)\n", {0x28, 0x05, 0x02}, {}},
      {kDoor, "INVERT(K2.AUXOUTPUT)\n", {0x28, 0x07, 0x02}, {}},
      {kDoor, "INVERT(K2.RELAY1)\n", {0x22, 0x07, 0x01}, {}},
      {kController, "INVERT(RELAY1,RELAY2)\n", {0x22, 0x00, 0x01}, {}},  // the first alone
      {kController, "INVERT(K-1.FOO)\n", {0x25, 0x09, 0x00}, {2}},
      {kController, "INVERT()\n", {}, {5}},
      {kController, "INVERT RELAY1\n", {}, {3}},
      {kController, "INVERT\n", {}, {3}},
      {kController, "INVERT(RELAY1\n", {}, {4}},
      // Element code 152 + 200 does not fit a byte: nothing is appended.
      {kController, "INVERT(K-1.USEREVENT200)\n", {}, {14}},
  });
}

}  // namespace
}  // namespace vigil::testing
