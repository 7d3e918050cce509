#include "tables/settings_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;
using Lines = std::vector<std::string>;

TEST(SettingsTableTest, NoDeclarations) {
  EXPECT_EQ(CompileScript("")->SettingsTable(),
            (Lines{"[Parameters]", "", "[Marks]", "", "[Registers]", "", "[Timers]"}));
}

TEST(SettingsTableTest, OneOfEachKind) {
  auto compiler = CompileScript(
      "DEFINE PARAMETER ALARMDELAY = 30\n"
      "MODULE = DOOR1,1,0,2,5,30,10\n"
      "DEFINE MARK M1 = Door opened\n"
      "DEFINE REGISTER CNT\n");
  EXPECT_EQ(compiler->SettingsTable(),
            (Lines{"[Parameters]", "Script.ALARMDELAY=254,0,30", "DOOR1.StrikeTime=1,4,5",
                   "DOOR1.AjarTime=1,5,30", "DOOR1.CardTimeout=1,6,10", "", "[Marks]",
                   "M1=254,0,Door opened", "", "[Registers]", "CNT=0", "", "[Timers]"}));
}

// Names and values as stored: the declared case, a trailing blank in a module
// name, negative numbers, out-of-range values that were kept.
TEST(SettingsTableTest, WritesWhatWasStored) {
  auto compiler = CompileScript(
      "define parameter lowName = 300\n"
      "DEFINE PARAMETER B = 1\n"
      "MODULE = d2 ,2,0,1,-5,0,1\n"
      "MODULE = PANEL,0\n"
      "MODULE = D69,69,0,1,2,3,4\n"
      "MODULE = D70,70,0,1,2,3,4\n"
      "MODULE = PS1,71,0,1,2,3,4\n"
      "MODULE = PS8,78,0,1,2,3,4\n"
      "MODULE = AP,100,0,1,2,3,4\n"
      "MODULE = D255,255,0,1,2,3,4\n"
      "MODULE = NEG,-1,0,1,2,3,4\n"
      "PARTITION = P1,5,0,100\n"  // a partition with a door's id is a door here
      "DEFINE MARK M1 =  a,b  \n"
      "DEFINE MARK M2 = x=\n"
      "DEFINE MARK M3 = last\n"
      "DEFINE TIMER T1\n"
      "DEFINE TIMER T2\n");
  EXPECT_EQ(compiler->SettingsTable(), (Lines{"[Parameters]",
                                              "Script.lowName=254,0,300",
                                              "Script.B=254,1,1",
                                              "d2 .StrikeTime=2,4,-5",
                                              "d2 .AjarTime=2,5,0",
                                              "d2 .CardTimeout=2,6,1",
                                              "D69.StrikeTime=69,4,2",
                                              "D69.AjarTime=69,5,3",
                                              "D69.CardTimeout=69,6,4",
                                              "P1.StrikeTime=5,4,0",
                                              "P1.AjarTime=5,5,0",
                                              "P1.CardTimeout=5,6,0",
                                              "",
                                              "[Marks]",
                                              "M1=254,0,a,b",
                                              "M3=254,1,last",
                                              "",
                                              "[Registers]",
                                              "",
                                              "[Timers]",
                                              "T1=0",
                                              "T2=1"}));
}

// The parameter lines count from 0 in collection order; the marks carry
// their ids.
TEST(SettingsTableTest, ParameterCounterAndMarkIds) {
  SymbolTable symbols;
  symbols.parameters.Add({7, "A", 1});
  symbols.parameters.Add({3, "B", 2});
  symbols.marks.Add({5, "M", "t"});
  EXPECT_EQ(WriteSettingsTable(symbols),
            (Lines{"[Parameters]", "Script.A=254,0,1", "Script.B=254,1,2", "", "[Marks]",
                   "M=254,5,t", "", "[Registers]", "", "[Timers]"}));
}

}  // namespace
}  // namespace vigil
