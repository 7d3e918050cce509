#include "core/compile/settings_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;

// The lines, each followed by "\n".
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Names and values as stored: the declared case, a trailing blank in a module
// name, negative numbers, out-of-range values that were kept; door settings
// for ids 1 to 69 only, whatever the kind of line.
TEST(SettingsTableTest, WritesWhatWasStored) {
  auto compiler = CompileScript(
      "define parameter lowName = 300\nDEFINE PARAMETER B = 1\nMODULE = d2 ,2,0,1,-5,0,1\n"
      "MODULE = PANEL,0\nMODULE = D69,69,0,1,2,3,4\nMODULE = D70,70,0,1,2,3,4\n"
      "MODULE = PS1,71,0,1,2,3,4\nMODULE = NEG,-1,0,1,2,3,4\nPARTITION = P1,5,0,100\n"
      "DEFINE MARK M1 =  a,b  \nDEFINE MARK M2 = x=\nDEFINE MARK M3 = Door opened\n"
      "DEFINE REGISTER CNT\nDEFINE TIMER T1\nDEFINE TIMER T2\n");
  EXPECT_EQ(Joined(compiler->SettingsTable()),
            "[Parameters]\nScript.lowName=254,0,300\nScript.B=254,1,1\n"
            "d2 .StrikeTime=2,4,-5\nd2 .AjarTime=2,5,0\nd2 .CardTimeout=2,6,1\n"
            "D69.StrikeTime=69,4,2\nD69.AjarTime=69,5,3\nD69.CardTimeout=69,6,4\n"
            "P1.StrikeTime=5,4,0\nP1.AjarTime=5,5,0\nP1.CardTimeout=5,6,0\n\n"
            "[Marks]\nM1=254,0,a,b\nM3=254,1,Door opened\n\n"
            "[Registers]\nCNT=0\n\n"
            "[Timers]\nT1=0\nT2=1\n");
}

}  // namespace
}  // namespace vigil
