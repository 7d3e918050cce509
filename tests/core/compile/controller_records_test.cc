#include "core/compile/controller_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;
using Records = std::vector<std::string>;

// A parameter record holds the whole value, not its low and high byte.
TEST(ControllerRecordsTest, ParameterRecordsHoldTheWholeValue) {
  auto compiler = CompileScript("DEFINE PARAMETER A = 30\nDEFINE PARAMETER B = 300\n");
  EXPECT_EQ(compiler->DefineParameters(), (Records{"11;254;0;30;0;", "11;254;1;300;0;"}));
}

// A door module's records in item order, its StrikeTime raised to at least 2;
// the settings table, written before, shows the declared value.
TEST(ControllerRecordsTest, DoorModuleRecordsRaiseStrikeTimeToTwo) {
  struct Case {
    const char* strike;
    const char* record;
  };
  for (const Case& c : {Case{"-3", "11;3;4;2;0;"}, Case{"1", "11;3;4;2;0;"},
                        Case{"2", "11;3;4;2;0;"}, Case{"5", "11;3;4;5;0;"}}) {
    auto compiler = CompileScript(std::string("MODULE = D3,3,0,2,") + c.strike +
                                  ",30,10,1\nDEVICE = D3.CARDREADER,1\nDEVICE = D3.INPUT2,1\n");
    EXPECT_EQ(compiler->ModuleParameters(),
              (Records{"11;3;1;2;0;", c.record, "11;3;5;30;0;", "11;3;6;10;0;", "11;3;7;1;0;",
                       "11;3;0;5;0;", "", ""}));
    EXPECT_EQ(compiler->SettingsTable()[1], std::string("D3.StrikeTime=3,4,") + c.strike);
  }
}

// Only the controller, door modules (1 to 69) and the alarm panel give
// records; the list holds six places per module and two more. A mask is
// written as low and high byte, bit 15 included.
TEST(ControllerRecordsTest, RecordsByModuleKind) {
  auto compiler = CompileScript(
      "MODULE = PANEL,0\nMODULE = D69,69,0,4,1,3,5,2\nMODULE = D70,70,0,1,2,3,4\n"
      "MODULE = PS,71\nMODULE = AP,100\nPARTITION = P1,101,0,100\nMODULE = X,255,0,1,2,3,4\n"
      "DEVICE = PANEL.OC2,1\nDEVICE = PANEL.INPUT1,1\nDEVICE = PANEL.UserEvents,1\n"
      "DEVICE = D69.CARDREADER,1\nDEVICE = D69.AUXOUTPUT,1\nDEVICE = AP.EXOUTPUT8,1\n"
      "DEVICE = AP.EXOUTPUT1,1\n");
  Records expected = {"11;0;0;1;128;", "11;0;1;1;0;",   "11;69;1;4;0;",
                      "11;69;4;2;0;",  "11;69;5;3;0;",  "11;69;6;5;0;",
                      "11;69;7;2;0;",  "11;69;0;33;0;", "11;100;0;0;129;"};
  expected.resize(7 * 6 + 2);
  EXPECT_EQ(compiler->ModuleParameters(), expected);
}

// Position k for id 100 + k: "R" under the root (parent 100), else the first
// character of parent - 100 ("5" for 105, "-" for 0, "1" for 115); a later
// record with the same id wins; any module record with such an id counts;
// ids 100 and below and above 108 have no place.
TEST(PartitionTreeTest, Examples) {
  EXPECT_EQ(CompileScript("")->PartitionTree(), "122;42;42;42;42;42;42;42;42");
  auto compiler = CompileScript(
      "PARTITION = P1,101,0,100\nPARTITION = P2,102,0,101\nPARTITION = P3,103,0,105\n"
      "PARTITION = A,104,0,100\nPARTITION = B,104,0,103\nPARTITION = C,105,0,0\n"
      "PARTITION = D,106,0,115\nMODULE = M7,107\nPARTITION = P8,108,0,100\n"
      "PARTITION = P9,109,0,100\nPARTITION = P0,100,0,100\nPARTITION = PN,-101,0,100\n");
  EXPECT_EQ(compiler->PartitionTree(), "122;82;49;53;51;45;49;45;82");
}

}  // namespace
}  // namespace vigil
