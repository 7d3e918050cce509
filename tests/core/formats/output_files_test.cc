#include "core/formats/output_files.h"

#include <gtest/gtest.h>

#include <string>

#include "support/script.h"

namespace vigil {
namespace {

// Line 1 (a MODULE line) is not counted: BOGUS1 to BOGUS3 are counted lines
// 2 to 4, each an unknown command.
constexpr char kThreeErrors[] =
    "MODULE = PANEL,0\nEVENT PANEL.INIT\nBOGUS1\nBOGUS2\nBOGUS3\nEVENTEND\n";
const std::string kLine1 = "0000100002BOGUS1%Unknown command\r\n";
const std::string kLine2 = "0000100003BOGUS2%Unknown command\r\n";
const std::string kLine3 = "0000100004BOGUS3%Unknown command\r\n";

TEST(OutputFilesTest, ErrorFileInRangesOfErrors) {
  Compilation compilation = testing::CompileValue(kThreeErrors);
  ASSERT_EQ(ErrorFileText(compilation), kLine1 + kLine2 + kLine3);
  struct Case {
    size_t first;
    size_t count;
    std::string expected;
  };
  for (const Case& c : {Case{0, 3, kLine1 + kLine2 + kLine3}, Case{0, 1, kLine1},
                        Case{1, 1, kLine2}, Case{1, 100, kLine2 + kLine3}, Case{2, 1, kLine3},
                        Case{0, 0, ""}, Case{3, 1, ""}, Case{4, 2, ""}}) {
    EXPECT_EQ(ErrorFileText(compilation, c.first, c.count), c.expected)
        << c.first << "+" << c.count;
  }
}

}  // namespace
}  // namespace vigil
