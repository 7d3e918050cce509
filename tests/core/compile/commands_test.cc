// The command words: each instruction's bytes, the unusual range bounds, and
// each command's own errors and their order.

#include <gtest/gtest.h>

#include <vector>

#include "core/compile/codegen_cases.h"

namespace vigil::testing {
namespace {

TEST(CommandsTest, Instructions) {
  // DOOR: strike pulse, relay off, then the event module's beeper off.
  const std::vector<int> door = Hex("32 05 20 05 00 24 05 00");
  ExpectCases({
      {kController, "BREAK\n", {0x6B}, {}},
      {kController, "CLEARALLCOUNTERS\n", {0x72}, {}},
      {kController, "RESETCARDS\n", {}, {6}},  // a known word, no command
      {kController, "MARK(M1)\n", {0x63, 0x01}, {}},
      {kController, "MARK(PAR1)\n", {}, {7}},
      {kDoor, "DOOR()\n", door, {}},
      {kDoor, "DOOR(K2.RELAY1)\n", Hex("32 07 20 07 00 24 05 00"), {}},
      {kDoor, "DOOR(PAR1)\n", {}, {10}},
      {kDoor, "DOOR\n", door, {3}},  // a bracket error still gives the bare form
      {kDoor, "DOOR(K2\n", door, {4}},
      {kController, "SETMODEPIN(K2)\n", {0x6E, 0x07, 0x00}, {}},
      {kController, "SETMODEPIN(P1)\n", {0x6E, 0x65, 0x00}, {}},
      {kController, "SETMODEPINFREE\n", {}, {3, 10}},
      {kController, "SETMODEPIN(PAR1)\n", {}, {10}},
      {kController, "DELAY(35E-1)\n", {0x30, 0x04}, {}},
      {kController, "DELAY(256)\n", {}, {11}},
      {kController, "DELAY(PAR1)\n", {0x31, 0x01}, {}},
      {kController, "DELAY(R2)\n", {}, {10}},
      {kController, "DIAL(2,M1)\n", {0x65, 0x02, 0x01}, {}},
      {kController, "DIAL(PAR1,M1)\n", {0x65, 0x00, 0x01}, {}},  // no leading number: 0
      {kController, "DIAL(256,M1)\n", {}, {11}},
      {kController, "DIAL(256,PAR1)\n", {}, {7}},  // the mark before the range
      {kController, "DIAL()\n", {}, {5, 5}},
      {kController, "EXECUTE(8)\n", {0x66, 67}, {}},
      {kController, "EXECUTE(9)\n", {0x66, 161}, {}},
      {kController, "EXECUTE(73)\n", {0x66, 225}, {}},
      {kController, "EXECUTE(15E-1)\n", {0x66, 60}, {}},  // 60.5 rounds to even
      {kController, "EXECUTE(85E-1)\n", {}, {11}},
      {kController, "EXECUTE(PAR1)\n", {}, {21}},
      {"PANEL.USEREVENT9", "EXECUTE()\n", {}, {16}},  // before the list is read
      {kDoor, "SIGNAL(7)\n", {0x67, 0x05, 0x07}, {}},
      {kDoor, "SIGNAL(K2,7)\n", {0x67, 0x07, 0x07}, {}},
      {kDoor, "SIGNAL(K2.RELAY1,7)\n", {}, {11}},  // a module name, not a reference
      {kDoor, "SIGNAL(1,2,3)\n", {}, {}},
      {kDoor, "DISPLAY(15)\n", {0x77, 0x05, 0x00}, {}},
      {kDoor, "DISPLAY(135E-1)\n", {0x77, 0x05, 0x0E}, {}},  // 14.5 rounds to even
      {kDoor, "DISPLAY(K2,3)\n", {0x77, 0x07, 0x04}, {}},
      {kDoor, "DISPLAY(16)\n", {}, {11}},
      {kDoor, "DISPLAY(PAR1,3)\n", {}, {11}},
      {kDoor, "DISPLAY(1,2,3)\n", {}, {}},
      {kController, "READ_AD(8)\n", {0x6C, 0x08}, {}},
      {kController, "READ_AD(9)\n", {}, {11}},
      {kController, "READ_AD(1,2)\n", {}, {10}},
      {kController, "CLEARGROUPCOUNTER(128)\n", {0x71, 0x7F, 0x00}, {}},
      {kController, "CLEARGROUPCOUNTER(0)\n", {}, {11}},
      {kController, "CLEARUSERCOUNTER(15E-1)\n", {0x74, 0x00, 0x00}, {}},  // round(0.5)
      {kController, "SETBYTE1(255)\n", {0x75, 0xFF, 0x00}, {}},
      {kController, "SETBYTE1(256)\n", {}, {11}},
      {kController, "SETBYTE2(PAR1)\n", {}, {21}},
  });
}

}  // namespace
}  // namespace vigil::testing
