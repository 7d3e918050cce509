// The command words: each instruction's bytes, range bounds, the parameter
// gate and each command's own errors.

#include <gtest/gtest.h>

#include <vector>

#include "codegen/codegen_cases.h"

namespace vigil::testing {
namespace {

TEST(CommandsTest, WithoutParameters) {
  ExpectCases({
      {kController, "BREAK\n", {0x6B}, {}},
      {kController, "BREAK()\n", {0x6B}, {}},
      {kController, "SETPRESENT\n", {0x6F}, {}},
      {kController, "CLEARPRESENT\n", {0x70}, {}},
      {kController, "CLEARALLCOUNTERS\n", {0x72}, {}},
      {kController, "ERASECARD\n", {0x73}, {}},
      // Known words that are no command.
      {kController, "RESETCARDS\n", {}, {6}},
      {kController, "THEN(1)\n", {}, {6}},
      {kController, "FOO(1)\n", {}, {6}},
  });
}

TEST(CommandsTest, DelayAndMark) {
  ExpectCases({
      {kController, "DELAY(5)\n", {0x30, 0x05}, {}},
      {kController, "DELAY( 5 )\n", {0x30, 0x05}, {}},
      {kController, "DELAY(5,9)\n", {0x30, 0x05}, {}},
      {kController, "DELAY(0)\n", {0x30, 0x00}, {}},
      {kController, "DELAY(255)\n", {0x30, 0xFF}, {}},
      {kController, "DELAY(25E-1)\n", {0x30, 0x02}, {}},
      {kController, "DELAY(35E-1)\n", {0x30, 0x04}, {}},
      {kController, "DELAY(256)\n", {}, {11}},
      {kController, "DELAY(2555E-1)\n", {}, {11}},  // 255.5 is tested unrounded
      {kController, "DELAY(-1)\n", {}, {11}},
      {kController, "DELAY(PAR1)\n", {0x31, 0x01}, {}},
      {kController, "DELAY(R2)\n", {}, {10}},
      {kController, "DELAY()\n", {}, {5}},
      {kController, "DELAY 5\n", {}, {3}},
      {kController, "DELAY(5\n", {}, {4}},
      {kController, "MARK(M1)\n", {0x63, 0x01}, {}},
      {kController, "MARK(PAR1)\n", {}, {7}},
      {kController, "MARK()\n", {}, {5}},
  });
}

TEST(CommandsTest, Door) {
  ExpectCases({
      {kDoor, "DOOR()\n", {0x32, 0x05, 0x20, 0x05, 0x00, 0x24, 0x05, 0x00}, {}},
      {kDoor, "DOOR(K2)\n", {0x32, 0x07, 0x20, 0x07, 0x00, 0x24, 0x05, 0x00}, {}},
      {kDoor, "DOOR(K2.RELAY1)\n", {0x32, 0x07, 0x20, 0x07, 0x00, 0x24, 0x05, 0x00}, {}},
      {kDoor, "DOOR(PAR1)\n", {}, {10}},
      // A bracket error still gives the form without a parameter.
      {kDoor, "DOOR\n", {0x32, 0x05, 0x20, 0x05, 0x00, 0x24, 0x05, 0x00}, {3}},
      {kDoor, "DOOR(K2\n", {0x32, 0x05, 0x20, 0x05, 0x00, 0x24, 0x05, 0x00}, {4}},
  });
}

TEST(CommandsTest, Dial) {
  ExpectCases({
      {kController, "DIAL(2,M1)\n", {0x65, 0x02, 0x01}, {}},
      {kController, "DIAL(0,M1)\n", {0x65, 0x00, 0x01}, {}},
      {kController, "DIAL(255,M1)\n", {0x65, 0xFF, 0x01}, {}},
      {kController, "DIAL(25E-1,M1)\n", {0x65, 0x02, 0x01}, {}},
      {kController, "DIAL(PAR1,M1)\n", {0x65, 0x00, 0x01}, {}},  // no leading number: 0
      {kController, "DIAL(256,M1)\n", {}, {11}},
      {kController, "DIAL(-1,M1)\n", {}, {11}},
      {kController, "DIAL(256,PAR1)\n", {}, {7}},  // the mark before the range
      {kController, "DIAL(2,PAR1)\n", {}, {7}},
      {kController, "DIAL(2)\n", {}, {5}},
      {kController, "DIAL(1,2,3)\n", {}, {5}},
      {kController, "DIAL()\n", {}, {5, 5}},
      {kController, "DIAL 2\n", {}, {3, 5}},
  });
}

TEST(CommandsTest, Execute) {
  ExpectCases({
      {kController, "EXECUTE(1)\n", {0x66, 60}, {}},
      {kController, "EXECUTE(8)\n", {0x66, 67}, {}},
      {kController, "EXECUTE(9)\n", {0x66, 161}, {}},
      {kController, "EXECUTE(73)\n", {0x66, 225}, {}},
      {kController, "EXECUTE(15E-1)\n", {0x66, 60}, {}},  // 60.5 rounds to even
      {kController, "EXECUTE(85E-1)\n", {}, {11}},
      {kController, "EXECUTE(0)\n", {}, {11}},
      {kController, "EXECUTE(74)\n", {}, {11}},
      {kController, "EXECUTE(PAR1)\n", {}, {21}},
      {kController, "EXECUTE()\n", {}, {5}},
      // Inside a user event, before the parameter list is read.
      {"PANEL.USEREVENT2", "EXECUTE(1)\n", {}, {16}},
      {"PANEL.USEREVENT2", "EXECUTE()\n", {}, {16}},
      {"PANEL.USEREVENT9", "EXECUTE 1\n", {}, {16}},
  });
}

TEST(CommandsTest, SignalAndDisplay) {
  ExpectCases({
      {kDoor, "SIGNAL(7)\n", {0x67, 0x05, 0x07}, {}},
      {kDoor, "SIGNAL(0)\n", {0x67, 0x05, 0x00}, {}},
      {kDoor, "SIGNAL(255)\n", {0x67, 0x05, 0xFF}, {}},
      {kDoor, "SIGNAL(K2,7)\n", {0x67, 0x07, 0x07}, {}},
      {kDoor, "SIGNAL(256)\n", {}, {11}},
      {kDoor, "SIGNAL(PAR1)\n", {}, {21}},
      {kDoor, "SIGNAL(PAR1,7)\n", {}, {11}},
      {kDoor, "SIGNAL(K2.RELAY1,7)\n", {}, {11}},  // a module name, not a reference
      {kDoor, "SIGNAL(K2,PAR1)\n", {}, {21}},
      {kDoor, "SIGNAL(K2,256)\n", {}, {11}},
      {kDoor, "SIGNAL(1,2,3)\n", {}, {}},
      {kDoor, "DISPLAY(0)\n", {0x77, 0x05, 0x01}, {}},
      {kDoor, "DISPLAY(14)\n", {0x77, 0x05, 0x0F}, {}},
      {kDoor, "DISPLAY(15)\n", {0x77, 0x05, 0x00}, {}},
      {kDoor, "DISPLAY(135E-1)\n", {0x77, 0x05, 0x0E}, {}},  // 14.5 rounds to even
      {kDoor, "DISPLAY(K2,3)\n", {0x77, 0x07, 0x04}, {}},
      {kDoor, "DISPLAY(16)\n", {}, {11}},
      {kDoor, "DISPLAY(-1)\n", {}, {11}},
      {kDoor, "DISPLAY(PAR1)\n", {}, {21}},
      {kDoor, "DISPLAY(PAR1,3)\n", {}, {11}},
      {kDoor, "DISPLAY(K2,PAR1)\n", {}, {21}},
      {kDoor, "DISPLAY(1,2,3)\n", {}, {}},
  });
}

TEST(CommandsTest, NumberedCommands) {
  ExpectCases({
      {kController, "READ_AD(0)\n", {0x6C, 0x00}, {}},
      {kController, "READ_AD(8)\n", {0x6C, 0x08}, {}},
      {kController, "READ_AD(9)\n", {}, {11}},
      {kController, "READ_AD(-1)\n", {}, {11}},
      {kController, "READ_AD(PAR1)\n", {}, {21}},
      {kController, "READ_AD(1,2)\n", {}, {10}},
      {kController, "READ_AD()\n", {}, {5}},
      {kController, "CLEARGROUPCOUNTER(1)\n", {0x71, 0x00, 0x00}, {}},
      {kController, "CLEARGROUPCOUNTER(128)\n", {0x71, 0x7F, 0x00}, {}},
      {kController, "CLEARGROUPCOUNTER(0)\n", {}, {11}},
      {kController, "CLEARGROUPCOUNTER(129)\n", {}, {11}},
      {kController, "CLEARGROUPCOUNTER(PAR1)\n", {}, {21}},
      {kController, "CLEARUSERCOUNTER(1)\n", {0x74, 0x00, 0x00}, {}},
      {kController, "CLEARUSERCOUNTER(128)\n", {0x74, 0x7F, 0x00}, {}},
      {kController, "CLEARUSERCOUNTER(15E-1)\n", {0x74, 0x00, 0x00}, {}},  // round(0.5)
      {kController, "CLEARUSERCOUNTER(0)\n", {}, {11}},
      {kController, "CLEARUSERCOUNTER(129)\n", {}, {11}},
      {kController, "SETBYTE1(0)\n", {0x75, 0x00, 0x00}, {}},
      {kController, "SETBYTE1(255)\n", {0x75, 0xFF, 0x00}, {}},
      {kController, "SETBYTE2(0)\n", {0x76, 0x00, 0x00}, {}},
      {kController, "SETBYTE1(256)\n", {}, {11}},
      {kController, "SETBYTE2(-1)\n", {}, {11}},
      {kController, "SETBYTE2(PAR1)\n", {}, {21}},
  });
}

TEST(CommandsTest, ModePin) {
  ExpectCases({
      {kController, "SETMODEPIN(K2)\n", {0x6E, 0x07, 0x00}, {}},
      {kController, "SETMODEPINFREE(K2)\n", {0x6D, 0x07, 0x00}, {}},
      {kController, "SETMODEPIN(P1)\n", {0x6E, 0x65, 0x00}, {}},
      {kController, "SETMODEPIN()\n", {}, {10}},
      {kController, "SETMODEPINFREE\n", {}, {3, 10}},
      {kController, "SETMODEPIN(PAR1)\n", {}, {10}},
  });
}

}  // namespace
}  // namespace vigil::testing
