// What the compile fuzz target checks, on its seeds and on inputs it found
// faults with: each must compile under the sanitizers and keep every
// consistency check of fuzz/compile_checks.h.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../fuzz/compile_checks.h"

namespace vigil {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The fuzzer starts from these: the seed corpus and the example sites.
TEST(FuzzRegressionTest, SeedsKeepTheChecks) {
  int seeds = 0;
  for (const char* folder : {"fuzz/corpus", "examples"}) {
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(VIGIL_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".txt") continue;
      ++seeds;
      std::string script = ReadBytes(entry.path());
      EXPECT_EQ(fuzz::CheckCompile(script), "") << entry.path();
      EXPECT_EQ(fuzz::CheckCaseIgnored(script), "") << entry.path();
    }
  }
  EXPECT_GT(seeds, 5);
}

struct Input {
  const char* name;
  std::string bytes;
};

void PrintTo(const Input& input, std::ostream* os) { *os << input.name; }

class FuzzInputTest : public ::testing::TestWithParam<Input> {};

TEST_P(FuzzInputTest, KeepsTheChecks) {
  EXPECT_EQ(fuzz::CheckCompile(GetParam().bytes), "");
  EXPECT_EQ(fuzz::CheckCaseIgnored(GetParam().bytes), "");
}

const std::string kPanel = "MODULE PANEL = PANEL,0\r\nEVENT PANEL.INIT\r\n";

std::string NestedIfs(int levels) {
  std::string script = kPanel;
  for (int i = 0; i < levels; ++i) script += "IF TIMEPLAN(1)\r\n";
  script += "RELAY1 = ON\r\n";
  for (int i = 0; i < levels; ++i) script += "ENDIF\r\n";
  return script + "EVENTEND\r\n";
}

// Bytes the generator of scripts never writes, and shapes at the edges of
// the block structure and the byte ranges.
INSTANTIATE_TEST_SUITE_P(
    Inputs, FuzzInputTest,
    ::testing::Values(
        Input{"NulBytes", kPanel + std::string("RELAY1\0 = ON\r\n\0", 16)},
        Input{"HighBytes", kPanel + "RELAY1 = \xff\xfe\r\nDELAY(\x80)\r\n"},
        Input{"LoneCrAndLf", "\r\r\n\n\r" + kPanel + "RELAY1\n= ON\rEVENTEND\n"},
        Input{"OnlyBlanksAndTabs", " \t \r\n\t\r\n   "}, Input{"TwentyOneNestedIfs", NestedIfs(21)},
        Input{"UnclosedBlocks", kPanel + "IF TIMEPLAN(1)\r\nELSE\r\nELSE\r\nIF PRESENT\r\n"},
        Input{"StrayEnds", "ENDIF\r\nELSE\r\nEVENTEND\r\n" + kPanel + "EVENTEND\r\nEVENTEND\r\n"},
        Input{"HugeNumbers",
              kPanel + "DELAY(1E999)\r\nDELAY(-1E999)\r\nSETBYTE1(99999999999999999999)\r\n"
                       "IF BYTE1 = 1E308\r\nENDIF\r\n"},
        Input{"IdsAboveAByte",
              "MODULE = K1,300,0,2,5,30,10\r\nMODULE = K2,-5,0,2,5,30,10\r\n"
              "PARTITION = P1,109,0,100\r\nPARTITION = P2,100,0,99999\r\nEVENT K1.VALID\r\n"
              "RELAY1 = ON\r\nEVENTEND\r\n"},
        // Found by the fuzzer: a line that is only "=" looks up an empty name
        // that points nowhere.
        Input{"EmptyAssignment", "MODULE= PANEL,\rEVENT PANEL\r="},
        Input{"EmptyBrackets", kPanel + "DELAY(\r\nDELAY)\r\nDELAY((\r\nDIAL(,,)\r\nINVERT()\r\n"}),
    [](const ::testing::TestParamInfo<Input>& param) { return param.param.name; });

}  // namespace
}  // namespace vigil
