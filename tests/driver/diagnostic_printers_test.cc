// The text form of the diagnostics, from compiled scripts down to the caret
// line, and the JSON string escaper.

#include "driver/diagnostic_printers.h"

#include <gtest/gtest.h>

#include "support/script.h"

namespace vigil {
namespace {

// The first diagnostic with `code` (errors, then warnings) of a compiled
// script, with its notes, in the text form.
std::string TextOf(C_Compiler& compiler, std::string_view code) {
  compiler.AddNotes();
  std::vector<Diagnostic> all = compiler.diagnostics();
  std::vector<Diagnostic> warnings = compiler.Warnings();
  all.insert(all.end(), warnings.begin(), warnings.end());
  for (const Diagnostic& diagnostic : all) {
    if (DiagnosticCode(diagnostic) == code) return FormatTextDiagnostic(diagnostic, "site.txt");
  }
  return "no " + std::string(code);
}

struct TextCase {
  std::string_view name;
  std::string_view script;  // "\n" becomes CR LF
  std::string_view code;
  std::string_view expected;
};

const TextCase kTextCases[] = {
    {"ElementTheModuleLacks",
     "MODULE = CR1,3,0,1,5,30,10\nEVENT CR1.VALID\n  IF CR1.INPUT3 = ON\nENDIF\nEVENTEND\n", "E6",
     "site.txt:3:6: error: Unknown command [E6]\n"
     "    3 |   IF CR1.INPUT3 = ON\n"
     "      |      ^^^^^^^^^^\n"
     "      = note: CR1 is a door module (id 3); its inputs are INPUT1 and INPUT2\n"},
    {"MisspeltKeyword", "MODULE = PANEL,0\nEVENT PANEL.INIT\nDELAYY(5)\nEVENTEND\n", "E6",
     "site.txt:3:1: error: Unknown command [E6]\n"
     "    3 | DELAYY(5)\n"
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
    {"EventEndInsideAnIf", "MODULE = PANEL,0\nEVENT PANEL.INIT\nIF TIMEPLAN(1)\nEVENTEND\n", "E18",
     "site.txt:4:1: error: Missing ENDIF [E18]\n"
     "    4 | EVENTEND\n"
     "      | ^^^^^^^^\n"
     "      = note: the IF on line 3 is still open; close it with ENDIF before EVENTEND\n"},
    {"WholeStatementWithoutItsBlanks", "  DELAY(1)  \n", "E6",
     "site.txt:1:3: error: Unknown command [E6]\n"
     "    1 |   DELAY(1)  \n"
     "      |   ^^^^^^^^\n"
     "      = note: statements stand inside an EVENT block; no EVENT block is open here\n"},
    {"MissingBracket", "MODULE = PANEL,0\nEVENT PANEL.INIT\nDELAY 5\nEVENTEND\n", "E3",
     "site.txt:3:7: error: Missing left bracket [E3]\n"
     "    3 | DELAY 5\n"
     "      |       ^\n"
     "      = note: the parameters follow the word in brackets: DELAY(...)\n"},
    {"ConditionCompiledAsAStatement",
     "MODULE = PANEL,0\nEVENT PANEL.INIT\nIF TIMEPLAN(1)\nENDIF\nIF NOT BREAK\nENDIF\nEVENTEND\n",
     "W5",
     "site.txt:5:8: warning: IF condition is no test; the line compiled as a statement [W5]\n"
     "    5 | IF NOT BREAK\n"
     "      |        ^^^^^\n"
     "      = note: the IF opcode is followed by the statement's code, with no condition and no "
     "jump field of its own\n"
     "      = note: its ENDIF on line 6 rewrites the jump of the IF block on line 3\n"},
};

class TextFormTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextFormTest, PrintsLineCaretsAndNotes) {
  std::unique_ptr<C_Compiler> compiler = testing::CompileScript(GetParam().script);
  EXPECT_EQ(TextOf(*compiler, GetParam().code), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Diagnostics, TextFormTest, ::testing::ValuesIn(kTextCases),
                         [](const auto& test) { return std::string(test.param.name); });

// A lone LF stays inside its script line but starts a line of the file: the
// word after it is shown on its own line with the file's line number.
TEST(TextForm, WordAfterALoneLineFeed) {
  C_Compiler compiler;
  compiler.set_source("MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\nDELAY(5)\nDELAYY\r\nEVENTEND\r\n");
  compiler.Compile();
  EXPECT_EQ(TextOf(compiler, "E6"),
            "site.txt:4:1: error: Unknown command [E6]\n"
            "    4 | DELAYY\n"
            "      | ^^^^^^\n"
            "      = note: did you mean DELAY?\n");
}

TEST(TextForm, WithoutALineAndWithAWideLineNumber) {
  Diagnostic file_wide;
  file_wide.number = 4;
  file_wide.severity = Severity::kWarning;
  file_wide.message = "Code buffer nearly full";
  file_wide.notes = {"at most 11999 bytes fit"};
  EXPECT_EQ(FormatTextDiagnostic(file_wide, "a.txt"),
            "a.txt: warning: Code buffer nearly full [W4]\n"
            "      = note: at most 11999 bytes fit\n");

  Diagnostic far;
  far.number = 6;
  far.physical_line = 123456;
  far.source_text = "FOO BAR";
  far.span = {4, 7};
  EXPECT_EQ(FormatTextDiagnostic(far, "a.txt"),
            "a.txt:123456:5: error: Unknown command [E6]\n"
            "123456 | FOO BAR\n"
            "       |     ^^^\n");
}

TEST(Summary, CountsInWords) {
  EXPECT_EQ(FormatSummary("a.txt", 1, 2, 413), "a.txt: 1 error, 2 warnings, 413 bytes of code\n");
  EXPECT_EQ(FormatSummary("a.txt", 0, 1, 3), "a.txt: 0 errors, 1 warning, 3 bytes of code\n");
}

TEST(JsonString, EscapesQuotesControlsAndHighBytes) {
  EXPECT_EQ(JsonString("a\"b\\c\td\n"), "\"a\\\"b\\\\c\\td\\n\"");
  EXPECT_EQ(JsonString("\x01\xe9\x7f"), "\"\\u0001\\u00e9\\u007f\"");
}

}  // namespace
}  // namespace vigil
