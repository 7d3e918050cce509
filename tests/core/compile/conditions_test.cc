// The condition of an IF line: every term plain and under NOT, the range
// checks, the flag tables, the terms handed back to the statement stages and
// the failures that still leave a jump field.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/compile/codegen_cases.h"

namespace vigil::testing {
namespace {

// "IF <condition>" and an ENDIF right after it.
Case If(const char* event, const std::string& condition, std::vector<int> code,
        std::vector<int> errors) {
  return {event, "IF " + condition + "\nENDIF\n", std::move(code), std::move(errors)};
}

struct Term {
  const char* event;
  const char* condition;
  int opcode, a, b;
};

TEST(ConditionsTest, Terms) {
  // A recorded term: 51, the three term bytes, the field of an empty block.
  // NOT flips the opcode's top bit.
  const std::vector<Term> terms = {
      {kController, "RELAY1 = OFF", 0x82, 0, 1},  // OFF inverts too
      {kDoor, "K2.AUXOUTPUT = ON", 0x02, 7, 2},
      {kController, "TAMPER = ON", 0x01, 0, 8},  // no module part: an input
      {kController, "K1.TAMPER = ON", 0x0E, 5, 8},
      {kController, "K1.INPUT1ON = ON", 0x01, 5, 4},  // begins with INPUT
      {kController, "K1.INPUT1.X = ON", 0x01, 5, 1},  // two dots: an input
      {kController, "GLOBALTAMPER = ON", 0x0E, 0, 51},
      {kController, "P1.ARMED = OFF", 0x8A, 101, 4},  // the partition code
      {kController, "R1 >= 5", 0x05, 1, 5},           // "=" makes it equality
      {kController, "R2 = 35E-1", 0x05, 2, 4},
      {kController, "T2 = 255", 0x06, 2, 255},
      {kController, "R2 > 255", 0x03, 2, 255},
      {kController, "T1 > 7", 0x04, 1, 7},
      {kController, "BYTE1 = 255", 0x22, 0, 255},
      {kController, "BYTE2 > 0", 0x23, 0, 0},
      {kController, "TIMEPLAN(64)", 0x07, 63, 0},
      {kController, "TIMEPLAN(15E-1)", 0x07, 0, 0},  // rounded after n - 1
      {kController, "GROUP(128)", 0x08, 127, 0},
      {kController, "MODULELOST(64)", 0x20, 64, 0},
      {kController, "MODULELOST(71)", 0x20, 71, 0},
      {kController, "MODULELOST(78)", 0x20, 78, 0},
      // ZONES, BUFFER and KEYCODE read the number at the start of the
      // parameter without a numeric test.
      {kDoor, "ZONES(47)", 0x0C, 5, 46},
      {kController, "K-1.ZONES(2)", 0x0C, 9, 1},
      {kController, "BUFFER(99)", 0x11, 99, 0},
      {kController, "BUFFER(PAR1)", 0x11, 0, 0},
      {kDoor, "KEYCODE(254)", 0x14, 5, 254},
      {kController, "PRESENT", 0x15, 0, 0},
      {kController, "K-1.AUTHORIZED", 0x13, 0, 0},  // module part ignored
      {kController, "OFFLINE", 0x25, 0, 0},
      // Table A for the alarm panel, table B for a power supply, chosen by
      // the word's module or the event's; FLOWBATTERY is in both.
      {kPanel, "FLAGS(FACFAIL)", 0x0B, 100, 7},
      {kController, "AP-1.FLAGS(FACFAIL)", 0x0B, 100, 7},
      {kSupply, "FLAGS(FACPRESENT)", 0x12, 2, 1},
      {kSupply, "FLAGS(FLOWBATTERY)", 0x12, 2, 3},
  };
  std::vector<Case> cases;
  for (const Term& t : terms) {
    cases.push_back(If(t.event, t.condition, {0x51, t.opcode, t.a, t.b, 0, 0}, {}));
    std::string inverted = std::string("NOT ") + t.condition;
    cases.push_back(If(t.event, inverted, {0x51, t.opcode ^ 0x80, t.a, t.b, 0, 0}, {}));
  }
  // A term that fails without recording its block leaves only 51: the ENDIF
  // finds no block (20) and the level stays open at EVENTEND (18). Register
  // and timer terms with a bad value keep the jump field.
  const std::vector<int> only_if = {0x51};
  const std::vector<int> empty_field = {0x51, 0x00, 0x00};
  auto unrecorded = [](int error) { return std::vector<int>{error, 20, 18}; };
  cases.insert(
      cases.end(),
      {
          If(kController, "RELAY1 = 1", only_if, unrecorded(6)),
          If(kController, "P1.FIRE = 1", only_if, unrecorded(6)),
          // No switch term after the dot: module and element bytes, no opcode,
          // the field, and the block recorded.
          If(kController, "K1.VALID = ON", {0x51, 0x05, 0x01, 0x00, 0x00}, {6}),
          If(kController, "R1 = 256", empty_field, {6}),
          If(kController, "R1 = ON", empty_field, {21}),
          If(kController, "T1 > ON", empty_field, {21}),
          If(kController, "BYTE1 = 256", only_if, unrecorded(6)),
          If(kController, "BYTE2 > -1", only_if, unrecorded(6)),
          If(kController, "TIMEPLAN(0)", only_if, unrecorded(11)),
          If(kController, "TIMEPLAN(65)", only_if, unrecorded(11)),
          If(kController, "GROUP(129)", only_if, unrecorded(11)),
          If(kController, "TIMEPLAN(PAR1)", only_if, unrecorded(21)),
          If(kController, "MODULELOST(65)", only_if, unrecorded(11)),
          If(kController, "MODULELOST(79)", only_if, unrecorded(11)),
          If(kController, "ZONES(0)", only_if, unrecorded(11)),
          If(kController, "ZONES(48)", only_if, unrecorded(11)),
          If(kController, "BUFFER(100)", only_if, unrecorded(11)),
          // Error 11, then the line is handed back and "(255)" is no statement.
          If(kDoor, "KEYCODE(255)", only_if, {11, 6, 20, 18}),
          If(kSupply, "FLAGS(FACFAIL)", only_if, unrecorded(6)),
          If(kPanel, "FLAGS()", only_if, unrecorded(5)),
          If(kSupply, "K-1.FLAGS(FACPRESENT)", only_if, unrecorded(14)),  // 9 - 71 is no byte
          // Handed back: neither flag table, no keyword term, no ">" term.
          If(kController, "FLAGS(FACFAIL)", only_if, unrecorded(6)),
          If(kController, "RELAY1", only_if, unrecorded(6)),
          If(kController, "RELAY1 > 3", only_if, unrecorded(6)),
      });
  ExpectCases(cases);
}

}  // namespace
}  // namespace vigil::testing
