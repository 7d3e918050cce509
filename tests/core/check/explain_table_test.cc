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
  for (const ProblemInfo& error : AllErrors())
    expected.push_back(ProblemCode(error.severity, error.number));
  for (const ProblemInfo& warning : AllWarnings()) {
    expected.push_back(ProblemCode(warning.severity, warning.number));
  }
  ASSERT_EQ(codes, expected);
  for (std::string_view code : {"E6", "e6", "6", "E06"}) {
    EXPECT_EQ(FindExplanation(code), &Explanations()[5]) << code;
  }
  EXPECT_EQ(FindExplanation("w5"), &Explanations()[35]);
  for (std::string_view code : {"E0", "E32", "W10", "X1", "", "E"}) {
    EXPECT_EQ(FindExplanation(code), nullptr) << code;
  }
}

// The wrong script reports the code; the right one compiles with neither
// errors nor warnings.
TEST(Explanations, ExamplesDoWhatTheySay) {
  for (const Explanation& explanation : Explanations()) {
    if (!explanation.whole_scripts) continue;
    Compilation wrong = testing::CompileValue(explanation.wrong);
    std::string reported = " ";
    for (const Diagnostic& d : wrong.Diagnostics()) reported += DiagnosticCode(d) + " ";
    for (const Diagnostic& d : Warnings(wrong)) reported += DiagnosticCode(d) + " ";
    EXPECT_NE(reported.find(" " + std::string(explanation.code) + " "), std::string::npos)
        << explanation.code << ":" << reported;
    Compilation right = testing::CompileValue(explanation.right);
    EXPECT_EQ(right.error_count, 0) << explanation.code;
    EXPECT_TRUE(Warnings(right).empty()) << explanation.code;
  }
}

}  // namespace
}  // namespace vigil
