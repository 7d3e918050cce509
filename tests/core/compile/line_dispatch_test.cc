// The statement pass line by line: the word check, statements outside an
// event, the open-event count and INVERT. Which lines are counted:
// compile_test.cc.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/compile/codegen_cases.h"

namespace vigil::testing {
namespace {

// Tabs are not trimmed. A word the event's module kind does not have fails
// the word check, even where the statement would compile. The scan ends at a
// token equal to the one before, compared before the word check drops a
// trailing ")"; words after that point are not checked.
TEST(LineDispatchTest, WordCheckAndInvert) {
  ExpectCases({
      {kController, "\t; not a comment\n", {}, {6}},
      {kDoor, "RELAY2 = ON\n", {}, {6}},
      {kDoor, "PANEL.RELAY2 = ON\n", {0x21, 0x00, 0x02}, {}},
      {kDoor, "IF K1.INPUT3 = ON\nENDIF\n", {}, {6, 20}},
      {kPanel, "EXOUTPUT8 = OFF\n", {0x20, 0x64, 0x08}, {}},
      {kPartition, "IF ARMED = ON\nENDIF\n", Hex("51 0A 65 04 00 00"), {}},
      {kController, "DELAY(2.5)\n", {}, {6}},  // "2" names no module
      {kController, "DELAY(5) FOO\n", {}, {6}},
      {kController, "DELAY DELAY FOO\n", {}, {3}},
      {kController, "DELAY(R1) R1 FOO\n", {}, {6}},
      {kController, "INVERT(INPUT5)\n", {0x25, 0x00, 0x05}, {}},
      {kController, "INVERT(BEEP)\n", {0x25, 0x00, 0x03}, {}},  // not as BEEP = ON
      {kDoor, "INVERT(AUXOUTPUT)\n", {0x28, 0x05, 0x02}, {}},
      {kDoor, "INVERT(K2.RELAY1)\n", {0x22, 0x07, 0x01}, {}},
      {kController, "INVERT(RELAY1,RELAY2)\n", {0x22, 0x00, 0x01}, {}},  // the first alone
      {kController, "INVERT(K-1.FOO)\n", {0x25, 0x09, 0x00}, {2}},
      // Element code 152 + 200 does not fit a byte: nothing is appended.
      {kController, "INVERT(K-1.USEREVENT200)\n", {}, {14}},
  });
}

// A whole script: its errors and its code without the trailer.
void ExpectScript(const std::string& script, std::vector<int> errors, const char* hex) {
  SCOPED_TRACE(script);
  auto compiler = CompileScript(script);
  EXPECT_EQ(ErrorNumbers(*compiler), errors);
  const std::vector<uint8_t>& code = compiler->macros();
  EXPECT_EQ(std::vector<int>(code.begin(), code.end() - 3), Hex(hex));  // no trailer
}

TEST(LineDispatchTest, EventsAndStatementsOutsideThem) {
  const std::string decl = "MODULE = PANEL,0\nMODULE = K1,5,0,3,10,30,60\n";
  // R1 passes the word check but names no module: error 1 twice while the
  // event opens, 2 for the event name, 1 for the header.
  ExpectScript("DEFINE REGISTER R1\nEVENT R1\nBREAK\nEVENTEND\n", {1, 1, 2, 1, 6, 6}, "");
  // A header value that fails appends no header (1), an unknown event name
  // gives code 0 (2); the block still opens. PANEL.FOO fails the word check,
  // so ERASECARD finds no open block (6) and so does the EVENTEND (6, 29).
  ExpectScript(std::string(kDeclarations) +
                   "EVENT K-1.USEREVENT200\nBREAK\nEVENTEND\nEVENT K-1.FOO\nSETPRESENT\nEVENTEND\n"
                   "EVENT PANEL.FOO\nERASECARD\nEVENTEND\n",
               {1, 2, 6, 6, 6, 29}, "6B FF 09 00 6F");
  ExpectScript(decl + "DELAY(5)\nEVENT PANEL.INIT\nEVENTEND\nBREAK\nRELAY1 = ON\n", {6, 6, 6},
               "FF 00 32");
  // A stray EVENTEND (6, 29) leaves the open-event count at -1: each later
  // block opens at 0, so its statements are unreachable (25, 29), until an
  // extra EVENT brings the count to 1 without error 26.
  ExpectScript(decl + "EVENT PANEL.INIT\nEVENTEND\nEVENTEND\nEVENT PANEL.INIT\nDELAY(5)\n" +
                   "EVENTEND\nEVENT K1.VALID\nBREAK\nEVENTEND\nEVENT K1.VALID\nEVENT K1.VALID\n"
                   "DELAY(5)\nEVENTEND\n",
               {6, 29, 25, 29, 25, 29}, "FF 00 32 FF 00 32 FF 05 01 FF 05 01 FF 05 01 30 05");
  // EVENTEND inside an IF is ignored (18); the next EVENT is refused (26)
  // but writes its header; a later extra EVENTEND (6) brings the count back
  // to 0.
  ExpectScript(std::string(kDeclarations) +
                   "EVENT PANEL.INIT\nIF PRESENT\nEVENTEND\nEVENT K1.VALID\nENDIF\nEVENTEND\n"
                   "EVENTEND\nEVENT PANEL.INIT\nBREAK\nEVENTEND\n",
               {18, 26, 6}, "FF 00 32 51 15 00 00 03 00 FF 05 01 FF 00 32 6B");
  // The word check's answers are remembered for the kind of the event's
  // module: a line the controller accepts is checked again in a door
  // module's event, and refused in each door module's.
  ExpectScript(decl + "MODULE = K2,6,0,3,10,30,60\n" +
                   "EVENT PANEL.INIT\nRELAY2 = ON\nEVENTEND\n"
                   "EVENT K1.VALID\nRELAY2 = ON\nRELAY1 = ON\nEVENTEND\n"
                   "EVENT K2.VALID\nRELAY2 = ON\nRELAY1 = ON\nEVENTEND\n"
                   "EVENT PANEL.INIT\nRELAY2 = ON\nEVENTEND\n",
               {6, 6}, "FF 00 32 21 00 02 FF 05 01 21 05 01 FF 06 01 21 06 01 FF 00 32 21 00 02");
}

}  // namespace
}  // namespace vigil::testing
