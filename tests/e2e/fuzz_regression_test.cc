// What the compile fuzz target checks, on its seeds and on inputs it found
// faults with: each must compile under the sanitizers and keep every
// consistency check of fuzz/compile_checks.h.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../../fuzz/compile_checks.h"
#include "support/files.h"

namespace vigil {
namespace {

namespace fs = std::filesystem;

// The fuzzer starts from these: the seed corpus and the example sites.
TEST(FuzzRegressionTest, SeedsKeepTheChecks) {
  int seeds = 0;
  for (const char* folder : {"fuzz/corpus", "examples"}) {
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(VIGIL_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".txt") continue;
      ++seeds;
      std::string script = testing::ReadFile(entry.path());
      EXPECT_EQ(fuzz::CheckCompile(script), "") << entry.path();
      EXPECT_EQ(fuzz::CheckCaseIgnored(script), "") << entry.path();
      EXPECT_EQ(fuzz::CheckFixKeepsCode(script), "") << entry.path();
    }
  }
  EXPECT_GT(seeds, 5);
}

// Inputs the fuzzer found a fault with, each kept once it was fixed.
TEST(FuzzRegressionTest, FoundInputsKeepTheChecks) {
  for (const std::string& input : std::vector<std::string>{
           // A line that is only "=" looked up an empty name that points nowhere.
           "MODULE= PANEL,\rEVENT PANEL\r=",
       }) {
    EXPECT_EQ(fuzz::CheckCompile(input), "") << input;
    EXPECT_EQ(fuzz::CheckCaseIgnored(input), "") << input;
  }
}

}  // namespace
}  // namespace vigil
