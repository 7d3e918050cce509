// The condition of an IF line: every term plain and inverted, range bounds,
// the flag tables, the terms handed back to the statement stages and the
// failures that still leave a jump field.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codegen/codegen_cases.h"

namespace vigil::testing {
namespace {

// "IF <condition>" and an ENDIF right after it, in an event block.
struct ConditionCase {
  const char* event;
  const char* condition;
  std::vector<int> code;
  std::vector<int> errors;
};

void ExpectConditions(const std::vector<ConditionCase>& cases) {
  for (const ConditionCase& c : cases) {
    std::string lines = std::string("IF ") + c.condition + "\nENDIF\n";
    ExpectCase({c.event, lines.c_str(), c.code, c.errors});
  }
}

// A recorded term: 51, the three term bytes, the field of an empty block.
std::vector<int> Term(int opcode, int a, int b) { return {0x51, opcode, a, b, 0x00, 0x00}; }

// An IF whose term failed without recording its block: only 51 stays, the
// ENDIF finds no block (20) and the level stays open at EVENTEND (18).
const std::vector<int> kOnlyIf = {0x51};
std::vector<int> Unrecorded(int error) { return {error, 20, 18}; }
// Register and timer terms with a bad value keep the jump field.
const std::vector<int> kEmptyField = {0x51, 0x00, 0x00};

TEST(ConditionsTest, SwitchTerms) {
  ExpectConditions({
      {kController, "NOT RELAY1 = OFF", Term(0x02, 0, 1), {}},
      {kController, "RELAY1 = OFF", Term(0x82, 0, 1), {}},
      {kController, "NOT PANEL.OC2 = ON", Term(0x82, 0, 8), {}},
      {kDoor, "K2.AUXOUTPUT = ON", Term(0x02, 7, 2), {}},
      {kController, "RELAY1 = 1", kOnlyIf, Unrecorded(6)},
      {kController, "INPUT3 = ON", Term(0x01, 0, 3), {}},
      {kController, "NOT INPUT8 = ON", Term(0x81, 0, 8), {}},
      {kController, "TAMPER = ON", Term(0x01, 0, 8), {}},  // no module part: an input
      {kController, "K1.TAMPER = ON", Term(0x0E, 5, 8), {}},
      {kController, "K1.TAMPER = OFF", Term(0x8E, 5, 8), {}},
      {kController, "K1.FORCEDDOOR = ON", Term(0x0F, 5, 10), {}},
      {kController, "NOT K1.FORCEDDOOR = ON", Term(0x8F, 5, 10), {}},
      {kController, "K1.DOORAJAR = ON", Term(0x10, 5, 9), {}},
      {kController, "NOT K1.DOORAJAR = ON", Term(0x90, 5, 9), {}},
      {kController, "K1.INPUT2 = OFF", Term(0x81, 5, 2), {}},
      {kController, "K1.INPUT1ON = ON", Term(0x01, 5, 4), {}},  // begins with INPUT
      {kController, "K1.INPUT1.X = ON", Term(0x01, 5, 1), {}},  // two dots: an input
      {kController, "K1.DOORAJAR = 1", kOnlyIf, Unrecorded(6)},
      {kController, "GLOBALTAMPER = ON", Term(0x0E, 0, 51), {}},
      {kController, "GLOBALFORCEDDOOR = OFF", Term(0x8F, 0, 46), {}},
      {kController, "GLOBALDOORAJAR = ON", Term(0x10, 0, 45), {}},
      {kController, "P1.ALARM = ON", Term(0x0A, 101, 2), {}},
      {kController, "P1.ARMED = OFF", Term(0x8A, 101, 4), {}},  // the partition code
      {kController, "NOT P1.READY = OFF", Term(0x0A, 101, 7), {}},
      {kController, "P1.FIRE = 1", kOnlyIf, Unrecorded(6)},
  });
}

// A dotted name whose element is no switch term: error 6, yet the module and
// element bytes and the jump field are appended and the block is recorded.
TEST(ConditionsTest, DottedNameWithoutTermKeepsItsBlock) {
  ExpectConditions({
      {kController, "K1.VALID = ON", {0x51, 0x05, 0x01, 0x00, 0x00}, {6}},
      {kController, "K-1.FOO = ON", {0x51, 0x09, 0x00, 0x00, 0x00}, {6, 2}},
  });
}

TEST(ConditionsTest, CounterTerms) {
  ExpectConditions({
      {kController, "R1 = 255", Term(0x05, 1, 255), {}},
      {kController, "NOT R1 = 0", Term(0x85, 1, 0), {}},
      {kController, "R1=5", Term(0x05, 1, 5), {}},
      {kController, "R1 >= 5", Term(0x05, 1, 5), {}},  // "=" makes it equality
      {kController, "R1 = 25E-1", Term(0x05, 1, 2), {}},
      {kController, "R2 = 35E-1", Term(0x05, 2, 4), {}},
      {kController, "R1 = 256", kEmptyField, {6}},
      {kController, "R1 = 2555E-1", kEmptyField, {6}},  // 255.5: tested unrounded
      {kController, "R1 = -1", kEmptyField, {6}},
      {kController, "R1 = ON", kEmptyField, {21}},
      {kController, "T1 = 0", Term(0x06, 1, 0), {}},
      {kController, "NOT T2 = 255", Term(0x86, 2, 255), {}},
      {kController, "T1 = ON", kEmptyField, {6}},
      {kController, "T1 = 256", kEmptyField, {6}},
      {kController, "R1 > 0", Term(0x03, 1, 0), {}},
      {kController, "NOT R2 > 255", Term(0x83, 2, 255), {}},
      {kController, "R1 > ON", kEmptyField, {21}},
      {kController, "R1 > 256", kEmptyField, {6}},
      {kController, "T1 > 7", Term(0x04, 1, 7), {}},
      {kController, "NOT T1 > 255", Term(0x84, 1, 255), {}},
      {kController, "T1 > ON", kEmptyField, {21}},
      {kController, "T1 > 300", kEmptyField, {6}},
  });
}

TEST(ConditionsTest, ByteTerms) {
  ExpectConditions({
      {kController, "BYTE1 = 0", Term(0x22, 0, 0), {}},
      {kController, "NOT BYTE1 = 255", Term(0xA2, 0, 255), {}},
      {kController, "BYTE2 = 9", Term(0x24, 0, 9), {}},
      {kController, "NOT BYTE2 = 9", Term(0xA4, 0, 9), {}},
      {kController, "BYTE1 > 1", Term(0x21, 0, 1), {}},
      {kController, "NOT BYTE1 > 1", Term(0xA1, 0, 1), {}},
      {kController, "BYTE2 > 255", Term(0x23, 0, 255), {}},
      {kController, "NOT BYTE2 > 0", Term(0xA3, 0, 0), {}},
      // No jump field for the byte terms.
      {kController, "BYTE1 = 256", kOnlyIf, Unrecorded(6)},
      {kController, "BYTE1 = ON", kOnlyIf, Unrecorded(6)},
      {kController, "BYTE2 > -1", kOnlyIf, Unrecorded(6)},
  });
}

TEST(ConditionsTest, NumberedTerms) {
  ExpectConditions({
      {kController, "TIMEPLAN(1)", Term(0x07, 0, 0), {}},
      {kController, "NOT TIMEPLAN(64)", Term(0x87, 63, 0), {}},
      {kController, "TIMEPLAN(0)", kOnlyIf, Unrecorded(11)},
      {kController, "TIMEPLAN(65)", kOnlyIf, Unrecorded(11)},
      {kController, "TIMEPLAN(PAR1)", kOnlyIf, Unrecorded(21)},
      {kController, "TIMEPLAN(15E-1)", Term(0x07, 0, 0), {}},  // rounded after n - 1
      {kController, "TIMEPLAN()", kOnlyIf, Unrecorded(5)},
      {kController, "TIMEPLAN 3", kOnlyIf, Unrecorded(3)},
      {kController, "TIMEPLAN(3", kOnlyIf, Unrecorded(4)},
      {kController, "GROUP(1)", Term(0x08, 0, 0), {}},
      {kController, "NOT GROUP(128)", Term(0x88, 127, 0), {}},
      {kController, "GROUP(0)", kOnlyIf, Unrecorded(11)},
      {kController, "GROUP(129)", kOnlyIf, Unrecorded(11)},
      {kController, "USER(128)", Term(0x19, 127, 0), {}},
      {kController, "NOT USER(1)", Term(0x99, 0, 0), {}},
      {kController, "USER(129)", kOnlyIf, Unrecorded(11)},
      {kController, "GROUPEMPTY(1)", Term(0x16, 0, 0), {}},
      {kController, "NOT GROUPEMPTY(128)", Term(0x96, 127, 0), {}},
      {kController, "GROUPEMPTY(0)", kOnlyIf, Unrecorded(11)},
      {kController, "USEREMPTY(128)", Term(0x18, 127, 0), {}},
      {kController, "NOT USEREMPTY(1)", Term(0x98, 0, 0), {}},
      {kController, "USEREMPTY(129)", kOnlyIf, Unrecorded(11)},
      {kController, "USEREMPTY(PAR1)", kOnlyIf, Unrecorded(21)},
      {kController, "MODULELOST(1)", Term(0x20, 1, 0), {}},
      {kController, "MODULELOST(64)", Term(0x20, 64, 0), {}},
      {kController, "MODULELOST(65)", kOnlyIf, Unrecorded(11)},
      {kController, "MODULELOST(70)", kOnlyIf, Unrecorded(11)},
      {kController, "MODULELOST(71)", Term(0x20, 71, 0), {}},
      {kController, "NOT MODULELOST(78)", Term(0xA0, 78, 0), {}},
      {kController, "MODULELOST(79)", kOnlyIf, Unrecorded(11)},
      {kController, "MODULELOST(0)", kOnlyIf, Unrecorded(11)},
      {kController, "MODULELOST(PAR1)", kOnlyIf, Unrecorded(21)},
  });
}

// ZONES, BUFFER and KEYCODE read the number at the start of the parameter
// without a numeric test.
TEST(ConditionsTest, LeadingNumberTerms) {
  ExpectConditions({
      {kController, "ZONES(1)", Term(0x0C, 0, 0), {}},
      {kDoor, "ZONES(47)", Term(0x0C, 5, 46), {}},
      {kDoor, "NOT ZONES(47)", Term(0x8C, 5, 46), {}},
      {kController, "K-1.ZONES(2)", Term(0x0C, 9, 1), {}},
      {kController, "ZONES(48)", kOnlyIf, Unrecorded(11)},
      {kController, "ZONES(0)", kOnlyIf, Unrecorded(11)},
      {kController, "ZONES(PAR1)", kOnlyIf, Unrecorded(11)},
      {kController, "BUFFER(0)", Term(0x11, 0, 0), {}},
      {kController, "BUFFER(99)", Term(0x11, 99, 0), {}},
      {kController, "NOT BUFFER(5)", Term(0x91, 5, 0), {}},
      {kController, "BUFFER(PAR1)", Term(0x11, 0, 0), {}},
      {kController, "BUFFER(100)", kOnlyIf, Unrecorded(11)},
      {kDoor, "KEYCODE(0)", Term(0x14, 5, 0), {}},
      {kDoor, "NOT KEYCODE(254)", Term(0x94, 5, 254), {}},
      // Out of range: error 11, then the line is handed back, and what is
      // left of it, "(255)", is no statement.
      {kDoor, "KEYCODE(255)", kOnlyIf, {11, 6, 20, 18}},
  });
}

TEST(ConditionsTest, BareTerms) {
  ExpectConditions({
      {kController, "PRESENT", Term(0x15, 0, 0), {}},
      {kController, "NOT PRESENT", Term(0x95, 0, 0), {}},
      {kController, "ALLCOUNTERSEMPTY", Term(0x17, 0, 0), {}},
      {kController, "NOT ALLCOUNTERSEMPTY", Term(0x97, 0, 0), {}},
      {kController, "PASSED", Term(0x0D, 0, 0), {}},
      {kController, "NOT PASSED", Term(0x8D, 0, 0), {}},
      {kController, "AUTHORIZED", Term(0x13, 0, 0), {}},
      {kController, "NOT K-1.AUTHORIZED", Term(0x93, 0, 0), {}},  // module part ignored
      {kController, "OFFLINE", Term(0x25, 0, 0), {}},
      {kController, "NOT OFFLINE", Term(0xA5, 0, 0), {}},
  });
}

// Table A for the alarm panel, table B for a power supply, chosen by the
// word's module or the event's; FLOWBATTERY is in both with other numbers.
TEST(ConditionsTest, Flags) {
  ExpectConditions({
      {kPanel, "FLAGS(FACFAIL)", Term(0x0B, 100, 7), {}},
      {kPanel, "NOT FLAGS(FNXLOSS)", Term(0x8B, 100, 16), {}},
      {kPanel, "FLAGS(FLOWBATTERY)", Term(0x0B, 100, 6), {}},
      {kController, "AP-1.FLAGS(FACFAIL)", Term(0x0B, 100, 7), {}},
      {kSupply, "FLAGS(FACPRESENT)", Term(0x12, 2, 1), {}},
      {kSupply, "NOT FLAGS(FDCON)", Term(0x92, 2, 5), {}},
      {kSupply, "FLAGS(FLOWBATTERY)", Term(0x12, 2, 3), {}},
      {kSupply, "FLAGS(FACFAIL)", kOnlyIf, Unrecorded(6)},
      {kPanel, "FLAGS(FACPRESENT)", kOnlyIf, Unrecorded(6)},
      {kPanel, "FLAGS()", kOnlyIf, Unrecorded(5)},
      // A door module's id less 71 is no byte.
      {kSupply, "K-1.FLAGS(FACPRESENT)", kOnlyIf, Unrecorded(14)},
      // Neither table: handed back, and "(FACFAIL)" is no statement.
      {kController, "FLAGS(FACFAIL)", kOnlyIf, Unrecorded(6)},
  });
}

TEST(ConditionsTest, HandedBackAndRejectedWords) {
  ExpectConditions({
      {kController, "RELAY1", kOnlyIf, Unrecorded(6)},
      {kController, "RELAY1 > 3", kOnlyIf, Unrecorded(6)},
      // Rejected by the word check before the IF is compiled.
      {kDoor, "INPUT3 = ON", {}, {6, 20}},
      {kSupply, "PSU1.FLAGS(FACPRESENT)", {}, {6, 20}},
  });
}

}  // namespace
}  // namespace vigil::testing
