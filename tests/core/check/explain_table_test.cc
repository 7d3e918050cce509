// The explanations: one per error number and warning, found by any spelling
// of the code, with examples that do what they claim.

#include "core/check/explain_table.h"

#include <gtest/gtest.h>

#include "core/check/diagnostic_printers.h"
#include "core/check/warnings.h"
#include "support/script.h"

namespace vigil {
namespace {

TEST(Explanations, OnePerErrorAndWarningFoundByAnySpelling) {
  std::vector<std::string> codes;
  for (const Explanation& explanation : Explanations()) codes.emplace_back(explanation.code);
  std::vector<std::string> expected;
  for (int n = 1; n <= 31; ++n) expected.push_back("E" + std::to_string(n));
  for (int n = 1; n <= kWarningCount; ++n) expected.push_back("W" + std::to_string(n));
  ASSERT_EQ(codes, expected);
  for (std::string_view code : {"E6", "e6", "6", "E06"}) {
    EXPECT_EQ(FindExplanation(code), &Explanations()[5]) << code;
  }
  EXPECT_EQ(FindExplanation("w5"), &Explanations()[35]);
  for (std::string_view code : {"E0", "E32", "W6", "X1", "", "E"}) {
    EXPECT_EQ(FindExplanation(code), nullptr) << code;
  }
}

// The wrong script reports the code; the right one compiles with neither
// errors nor warnings.
TEST(Explanations, ExamplesDoWhatTheySay) {
  for (const Explanation& explanation : Explanations()) {
    if (!explanation.whole_scripts) continue;
    std::unique_ptr<C_Compiler> wrong = testing::CompileScript(explanation.wrong);
    std::string reported = " ";
    for (const Diagnostic& d : wrong->diagnostics()) reported += DiagnosticCode(d) + " ";
    for (const Diagnostic& d : wrong->Warnings()) reported += DiagnosticCode(d) + " ";
    EXPECT_NE(reported.find(" " + std::string(explanation.code) + " "), std::string::npos)
        << explanation.code << ":" << reported;
    std::unique_ptr<C_Compiler> right = testing::CompileScript(explanation.right);
    EXPECT_EQ(testing::ErrorNumbers(*right), std::vector<int>{}) << explanation.code;
    EXPECT_TRUE(right->Warnings().empty()) << explanation.code;
  }
}

}  // namespace
}  // namespace vigil
