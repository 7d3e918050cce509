// The explanations: one per error number and warning, found by any spelling
// of the code, with examples that do what they claim.

#include "core/check/explain_table.h"

#include <gtest/gtest.h>

#include <cctype>

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

// The standalone numbers of `text` (not the 26 of E26 or the 1 of RELAY1).
std::vector<int> Numbers(std::string_view text) {
  std::vector<int> numbers;
  for (size_t i = 0; i < text.size(); ++i) {
    // "E26", "RELAY1", "UTF-8": the number belongs to a word.
    size_t before = i > 1 && text[i - 1] == '-' ? i - 1 : i;
    bool after_word = before > 0 && (std::isalnum(static_cast<unsigned char>(text[before - 1])) ||
                                     text[before - 1] == '_');
    if (!std::isdigit(static_cast<unsigned char>(text[i])) || after_word) continue;
    int n = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      n = n * 10 + (text[i++] - '0');
    }
    numbers.push_back(n);
  }
  return numbers;
}

TEST(Explanations, QuoteTheTablesValues) {
  std::string e11 = FormatExplanation(*FindExplanation("E11"));
  EXPECT_NE(e11.find("1 to 64 for TIMEPLAN, 1 to 128 for GROUP"), std::string::npos) << e11;
  EXPECT_NE(FindExplanation("E2")->fix.find(
                "the door events VALID, INVALID, UNKNOWN, INPUT1ON, INPUT1OFF, INPUT2ON, "
                "INPUT2OFF, TAMPER, DOORAJAR and FORCEDDOOR, the controller events"),
            std::string::npos);
  EXPECT_NE(FindExplanation("E17")->meaning.find(
                "only ARMED, SYSTEMKEY, ALARMSIGNAL and TROUBLESIGNAL can stand left of"),
            std::string::npos);
  const Explanation& w4 = *FindExplanation("W4");
  EXPECT_EQ(w4.meaning.substr(0, 80),
            "The compiled code is above 90 % of the 12000-byte limit (more than 10800 bytes).");
  EXPECT_EQ(w4.wrong, "(a script whose compiled code lies between 10801 and 11999 bytes)\n");
  for (const Explanation& entry : Explanations()) {
    EXPECT_EQ(FormatExplanation(entry).find_first_of("{}"), std::string::npos) << entry.code;
  }
}

// With every table value moved far away, no limit is left in the prose: a
// number the text states itself instead of taking it from the tables stays
// behind and is found. Small numbers (code 0, DELAY(5)) are examples.
TEST(Explanations, FollowTheTablesWhenTheyChange) {
  std::vector<ProseValue> moved = ProseValues();
  for (size_t i = 0; i < moved.size(); ++i) moved[i].text = std::to_string(100000 + i);
  constexpr int kLargestExample = 7;
  for (const Explanation& entry : ExplanationTemplates()) {
    std::vector<std::string_view> prose = {entry.meaning, entry.fix};
    if (!entry.whole_scripts) prose.insert(prose.end(), {entry.wrong, entry.right});
    for (std::string_view text : prose) {
      for (int n : Numbers(FillValues(text, moved))) {
        EXPECT_TRUE(n <= kLargestExample || n >= 100000) << entry.code << " states " << n;
      }
    }
  }
}

TEST(Explanations, FillKnownSlotsOnly) {
  std::vector<ProseValue> values = {{"a first", "1"}, {"a last", "9"}, {"b", "4"}};
  EXPECT_EQ(FillValues("{a range}, {b} and {c}{", values), "1 to 9, 4 and {c}{");
}

}  // namespace
}  // namespace vigil
