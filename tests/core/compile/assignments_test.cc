// Assignments: outputs, the beeper, auxiliary outputs, partition properties,
// registers and timers, in the order the stage tests them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/compile/codegen_cases.h"

namespace vigil::testing {
namespace {

TEST(AssignmentsTest, Targets) {
  ExpectCases({
      {kDoor, "RELAY1 = ON\n", {0x21, 0x05, 0x01}, {}},
      {kDoor, "PANEL.RELAY2 = OFF\n", {0x20, 0x00, 0x02}, {}},
      {kController, "RELAY1 = 1\n", {}, {6}},
      {kController, "BEEP = ON\n", {0x23, 0x00, 0x03}, {}},
      {kDoor, "BEEP = OFF\n", {0x24, 0x05, 0x03}, {}},
      {kDoor, "AUXOUTPUT = ON\n", {0x26, 0x05, 0x02}, {}},
      {kDoor, "K2.AUXOUTPUT = OFF\n", {0x27, 0x07, 0x02}, {}},
      // Registers are tested first, whatever their names hold.
      {kController, "BEEPCOUNT = 5\n", {0x60, 0x03, 0x05}, {}},
      {kController, "AUXOUTPUTLOG = 7\n", {0x60, 0x04, 0x07}, {}},
      {kController, "P1.ARMED = ON\n", {0x40, 0x65, 0x01}, {}},
      {kController, "P1.ARMED = 1\n", {}, {10}},
      {kController, "P1.ALARMSIGNAL = OFF\n", {0x43, 0x65, 0x01}, {}},
      {kController, "AP-1.ALARMSIGNAL = OFF\n", {0x45, 0x64, 0x01}, {}},
      {kController, "P1.ALARMSIGNAL = ON\n", {}, {6}},
      {kController, "P1.TROUBLESIGNAL = OFF\n", {0x44, 0x65, 0x01}, {}},
      {kController, "INPUT1 = ON\n", {}, {30}},
      {kController, "P1.FIRE.ARMED = ON\n", {}, {17}},  // the property word is FIRE
      {kPartition, "ARMED = ON\n", {}, {17}},           // no property word without "."
      {kController, "P1.SYSTEMKEY = CCHIME\n", {0x42, 1, 0x65, 0x01}, {}},
      {kController, "P1.SYSTEMKEY = 236E-1\n", {0x42, 24, 0x65, 0x01}, {}},  // 23.6 < 24
      {kController, "P1.SYSTEMKEY = 24\n", {}, {6}},
      {kController, "P1.SYSTEMKEY = ON\n", {}, {6}},
      {kController, "R1 = 5 = 7\n", {0x60, 0x01, 0x05}, {}},
      {kController, "R1 = 256\n", {}, {11}},
      {kController, "R1 = PAR1\n", {0x68, 0x01, 0x01}, {}},
      {kController, "R1 = T1\n", {}, {10}},
      {kController, "R1 = R1 + 5\n", {0x61, 0x01, 0x05}, {}},
      {kController, "R1 = R1 - 255\n", {0x62, 0x01, 0xFF}, {}},
      {kController, "R1 = R2 + 5\n", {}, {23}},
      {kController, "R1 = 5 + R1\n", {}, {22}},
      {kController, "R1 = R1 + PAR1\n", {}, {21}},
      {kController, "R1 = R1 + 1 + 2\n", {}, {6}},
      // A "-" anywhere selects the subtract form, an exponent's included.
      {kController, "R1 = 25E-1\n", {}, {22}},
      {kController, "R1 = R1 - 25E-1\n", {}, {6}},
      {kController, "T1 = 255\n", {0x64, 0x01, 0xFF}, {}},
      {kController, "T1 = -1\n", {}, {11}},  // timers have no subtract form
      {kController, "T2 = PAR1\n", {0x69, 0x02, 0x01}, {}},
  });
}

// A record id that does not fit a byte: nothing of the instruction is
// appended.
TEST(AssignmentsTest, RegisterIdAboveByteRange) {
  std::string declarations = "MODULE = PANEL,0\n";
  for (int i = 0; i <= 256; ++i) declarations += "DEFINE REGISTER Q" + std::to_string(i) + "\n";
  StatementResult last = CompileInEvent(declarations, kController, "Q255 = 5\nQ256 = 5\n");
  EXPECT_EQ(last.code, (std::vector<int>{0x60, 0xFF, 0x05}));
  EXPECT_EQ(last.errors, (std::vector<int>{14}));
}

}  // namespace
}  // namespace vigil::testing
