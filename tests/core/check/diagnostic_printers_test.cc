// The text form of the diagnostics, from compiled scripts down to the caret
// line, the summary line and the JSON string escaper.

#include "core/check/diagnostic_printers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/check/notes.h"
#include "core/check/warnings.h"
#include "support/script.h"

namespace vigil {
namespace {

struct TextCase {
  std::string_view name;
  std::string_view script;  // "\n" becomes CR LF, "|" a lone LF
  std::string_view code;
  std::string_view expected;
};

const TextCase kTextCases[] = {
    // A lone LF stays inside its script line but starts a line of the file.
    {"HintAfterALoneLineFeed", "MODULE = PANEL,0\nEVENT PANEL.INIT\nDELAY(5)|DELAYY\nEVENTEND\n",
     "E6",
     "site.txt:4:1: error: Unknown command [E6]\n"
     "    4 | DELAYY\n"
     "      | ^^^^^^\n"
     "      = note: did you mean DELAY?\n"},
    {"RangeBehindATab", "MODULE = PANEL,0\nEVENT PANEL.INIT\n\tIF TIMEPLAN(65)\n", "E11",
     "site.txt:3:14: error: Value out of range [E11]\n"
     "    3 | \tIF TIMEPLAN(65)\n"
     "      | \t            ^^\n"
     "      = note: the TIMEPLAN number must lie in 1 to 64\n"},
    {"TabInsideTheSpan", "MODULE = PANEL,0\nEVENT PANEL.INIT\n\tRELAY1 = ON\nEVENTEND\n", "E30",
     "site.txt:3:1: error: Value of the read only property can not be set [E30]\n"
     "    3 | \tRELAY1 = ON\n"
     "      | \t^^^^^^\n"
     "      = note: the tab before RELAY1 is part of the target: only blanks are trimmed from a "
     "line\n"},
    {"DeclarationPointsAtItsLine", "DEFINE REGISTER COUNT\nDEFINE TIMER Count\n", "E24",
     "site.txt:2:14: error: Duplicate name [E24]\n"
     "    2 | DEFINE TIMER Count\n"
     "      |              ^^^^^\n"
     "      = note: Count is first declared on line 1\n"},
};

class TextFormTest : public ::testing::TestWithParam<TextCase> {};

// The first diagnostic with the case's code (errors, then warnings), with its
// notes, in the text form.
TEST_P(TextFormTest, PrintsLineCaretsAndNotes) {
  std::string script = testing::Crlf(GetParam().script);
  std::replace(script.begin(), script.end(), '|', '\n');
  Compilation compilation = Compile(script);
  std::vector<Diagnostic> all = ErrorsWithNotes(compilation);
  for (const Diagnostic& warning : Warnings(compilation)) all.push_back(warning);
  std::string text = "no " + std::string(GetParam().code);
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (DiagnosticCode(*it) == GetParam().code) text = FormatTextDiagnostic(*it, "site.txt");
  }
  EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Diagnostics, TextFormTest, ::testing::ValuesIn(kTextCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(TextForm, WithoutALine) {
  Diagnostic file_wide;
  file_wide.number = 4;
  file_wide.severity = Severity::kWarning;
  file_wide.message = "Code buffer nearly full";
  file_wide.notes = {"at most 11999 bytes fit"};
  EXPECT_EQ(FormatTextDiagnostic(file_wide, "a.txt"),
            "a.txt: warning: Code buffer nearly full [W4]\n"
            "      = note: at most 11999 bytes fit\n");
}

TEST(TextForm, SummaryCountsInWordsAndJsonStringsEscape) {
  // The singular forms are seen end to end (tests/e2e).
  EXPECT_EQ(FormatSummary("a.txt", 0, 2, 413), "a.txt: 0 errors, 2 warnings, 413 bytes of code\n");
  EXPECT_EQ(JsonString("a\"b\\c\td\n"), "\"a\\\"b\\\\c\\td\\n\"");
  EXPECT_EQ(JsonString("\x01\xe9\x7f"), "\"\\u0001\\u00e9\\u007f\"");
}

}  // namespace
}  // namespace vigil
