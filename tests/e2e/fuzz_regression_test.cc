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

// Inputs the fuzzer found a fault with, each kept once it was fixed.
INSTANTIATE_TEST_SUITE_P(Found, FuzzInputTest,
                         ::testing::Values(
                             // A line that is only "=" looked up an empty name that points nowhere.
                             Input{"EmptyAssignment", "MODULE= PANEL,\rEVENT PANEL\r="}),
                         [](const ::testing::TestParamInfo<Input>& param) {
                           return param.param.name;
                         });

}  // namespace
}  // namespace vigil
