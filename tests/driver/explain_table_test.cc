// The explanations: one per error number and warning, found by any spelling
// of the code, and examples that do what they claim.

#include "driver/explain_table.h"

#include <gtest/gtest.h>

#include "compiler/warnings.h"
#include "support/script.h"

namespace vigil {
namespace {

TEST(Explanations, OnePerErrorAndWarningInOrder) {
  std::vector<std::string> codes;
  for (const Explanation& explanation : Explanations()) codes.emplace_back(explanation.code);
  std::vector<std::string> expected;
  for (int n = 1; n <= 31; ++n) expected.push_back("E" + std::to_string(n));
  for (int n = 1; n <= kWarningCount; ++n) expected.push_back("W" + std::to_string(n));
  EXPECT_EQ(codes, expected);
}

TEST(Explanations, FoundByAnySpellingOfTheCode) {
  for (std::string_view code : {"E6", "e6", "6", "E06"}) {
    ASSERT_NE(FindExplanation(code), nullptr) << code;
    EXPECT_EQ(FindExplanation(code)->code, "E6");
  }
  EXPECT_EQ(FindExplanation("w5")->code, "W5");
  for (std::string_view code : {"E0", "E32", "W6", "X1", "", "E"}) {
    EXPECT_EQ(FindExplanation(code), nullptr) << code;
  }
  EXPECT_EQ(ExplanationTitle(*FindExplanation("28")), "Invalid expression term ELSE");
  EXPECT_EQ(ExplanationTitle(*FindExplanation("W4")), "Code buffer nearly full");
}

// The wrong script reports the code; the right one compiles with neither
// errors nor warnings.
TEST(Explanations, ExamplesDoWhatTheySay) {
  for (const Explanation& explanation : Explanations()) {
    if (!explanation.whole_scripts) continue;
    SCOPED_TRACE(explanation.code);
    std::unique_ptr<C_Compiler> wrong = testing::CompileScript(explanation.wrong);
    int number = std::stoi(std::string(explanation.code.substr(1)));
    std::vector<int> reported;
    if (explanation.code.front() == 'E') {
      reported = testing::ErrorNumbers(*wrong);
    } else {
      for (const Diagnostic& warning : wrong->Warnings()) reported.push_back(warning.number);
    }
    EXPECT_NE(std::find(reported.begin(), reported.end(), number), reported.end());

    std::unique_ptr<C_Compiler> right = testing::CompileScript(explanation.right);
    EXPECT_EQ(testing::ErrorNumbers(*right), std::vector<int>{});
    EXPECT_TRUE(right->Warnings().empty());
  }
}

TEST(Explanations, TextWrapsAndIndentsTheExamples) {
  std::string text = FormatExplanation(*FindExplanation("E4"));
  EXPECT_EQ(text,
            "E4: Missing right bracket\n"
            "\n"
            "A parameter list opens with \"(\" but has no \")\".\n"
            "\n"
            "Wrong:\n"
            "    MODULE = PANEL,0\n"
            "    EVENT PANEL.INIT\n"
            "    DELAY(5\n"
            "    EVENTEND\n"
            "\n"
            "Right:\n"
            "    MODULE = PANEL,0\n"
            "    EVENT PANEL.INIT\n"
            "    DELAY(5)\n"
            "    EVENTEND\n"
            "\n"
            "How to fix: Close the parameter list with \")\".\n");
  for (const Explanation& explanation : Explanations()) {
    std::string all = FormatExplanation(explanation);
    size_t start = 0;
    for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
      EXPECT_LE(end - start, 78u) << explanation.code << ": " << all.substr(start, end - start);
    }
  }
}

}  // namespace
}  // namespace vigil
