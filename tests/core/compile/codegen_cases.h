// Declarations and a table-case runner shared by the code generator tests.
#ifndef VIGIL_TESTS_CORE_COMPILE_CODEGEN_CASES_H_
#define VIGIL_TESTS_CORE_COMPILE_CODEGEN_CASES_H_

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/script.h"

namespace vigil::testing {

// Module ids: PANEL 0 (the controller); K1 5, K2 7 and K-1 9 (door modules);
// AP and AP-1 100 (the alarm panel); PSU1 73 (a power supply); P1 101 (a
// partition). Parameters, marks, registers and timers count from 0 in order,
// so PAR1, M1, R1 and T1 have id 1, BEEPCOUNT 3 and AUXOUTPUTLOG 4.
inline constexpr char kDeclarations[] =
    "MODULE = PANEL,0\nMODULE = K1,5,0,3,10,30,60\nMODULE = K2,7,0,3,10,30,60\n"
    "MODULE = K-1,9,0,3,10,30,60\nMODULE = AP,100\nMODULE = AP-1,100\nMODULE = PSU1,73\n"
    "PARTITION = P1,101,0,0\nDEFINE PARAMETER PAR0 = 1\nDEFINE PARAMETER PAR1 = 10\n"
    "DEFINE MARK M0 = Door forced\nDEFINE MARK M1 = Alarm\n"
    "DEFINE REGISTER R0\nDEFINE REGISTER R1\nDEFINE REGISTER R2\n"
    "DEFINE REGISTER BEEPCOUNT\nDEFINE REGISTER AUXOUTPUTLOG\n"
    "DEFINE TIMER T0\nDEFINE TIMER T1\nDEFINE TIMER T2\n";

// Event words, with the module id of the block each opens.
inline constexpr char kController[] = "PANEL.INIT";      // 0
inline constexpr char kDoor[] = "K1.VALID";              // 5
inline constexpr char kPanel[] = "AP.EXINPUT1";          // 100
inline constexpr char kSupply[] = "PSU1.STATUSCHANGED";  // 73
inline constexpr char kPartition[] = "P1.ARMED";         // 101

// Bytes written as hexadecimal pairs: "51 15 00 00".
inline std::vector<int> Hex(const std::string& text) {
  std::istringstream in(text);
  std::vector<int> bytes;
  for (int byte = 0; in >> std::hex >> byte;) bytes.push_back(byte);
  return bytes;
}

// Statement lines compiled inside one event block: the code they append
// (event header left out) and the errors of the whole script.
struct Case {
  const char* event;
  std::string lines;  // each ending in "\n"
  std::vector<int> code;
  std::vector<int> errors;
};

inline void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.event) + ": " + c.lines);
    StatementResult result = CompileInEvent(kDeclarations, c.event, c.lines);
    EXPECT_EQ(result.code, c.code);
    EXPECT_EQ(result.errors, c.errors);
  }
}

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_CORE_COMPILE_CODEGEN_CASES_H_
