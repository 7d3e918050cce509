// The warnings of `vigil check`: which lines get which warning, and that
// warnings stay out of the error count.

#include "compiler/warnings.h"

#include <gtest/gtest.h>

#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;

// "W<n>@<line>" for every warning, in order.
std::vector<std::string> WarningsOf(std::string_view script) {
  std::unique_ptr<C_Compiler> compiler = CompileScript(script);
  std::vector<std::string> found;
  for (const Diagnostic& warning : compiler->Warnings()) {
    EXPECT_EQ(warning.severity, Severity::kWarning);
    found.push_back("W" + std::to_string(warning.number) + "@" +
                    std::to_string(warning.physical_line));
  }
  return found;
}

using Found = std::vector<std::string>;

TEST(Warnings, OpenBlocksAtTheEnd) {
  EXPECT_EQ(WarningsOf("MODULE = PANEL,0\nEVENT PANEL.INIT\nIF TIMEPLAN(1)\nIF PRESENT\nENDIF\n"),
            (Found{"W2@2", "W1@3"}));
  // An IF whose condition failed has its error and gets no warning; the
  // EVENTEND refused behind it (error 18) leaves the event open.
  EXPECT_EQ(WarningsOf("MODULE = PANEL,0\nEVENT PANEL.INIT\nIF TIMEPLAN(65)\nEVENTEND\n"),
            Found{"W2@2"});
  EXPECT_EQ(WarningsOf("MODULE = PANEL,0\nEVENT PANEL.INIT\nEVENTEND\n"), Found{});
}

TEST(Warnings, DeclarationsNeverUsed) {
  std::string_view declarations =
      "MODULE = PANEL,0\n"
      "DEFINE REGISTER R1\n"
      "DEFINE TIMER T1\n"
      "DEFINE PARAMETER P1 = 5\n"
      "DEFINE MARK M1 = Door open\n";
  EXPECT_EQ(WarningsOf(std::string(declarations) + "EVENT PANEL.INIT\nEVENTEND\n"),
            (Found{"W3@2", "W3@3", "W3@4", "W3@5"}));
  EXPECT_EQ(WarningsOf(std::string(declarations) +
                       "EVENT PANEL.INIT\nr1 = 5\nIF T1 > 3\nDELAY(P1)\nENDIF\nDIAL(2,M1)\n"
                       "EVENTEND\n"),
            Found{});
}

TEST(Warnings, IfWhoseConditionIsAStatement) {
  std::unique_ptr<C_Compiler> compiler = CompileScript(
      "MODULE = PANEL,0\nEVENT PANEL.INIT\nIF PRESENT\nENDIF\nIF NOT BREAK\nENDIF\nEVENTEND\n");
  std::vector<Diagnostic> warnings = compiler->Warnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].number, kWarnUntestedIf);
  EXPECT_EQ(warnings[0].physical_line, 5);
  // Warnings are neither counted nor among the errors.
  EXPECT_EQ(compiler->CountErrors(), 0);
  EXPECT_TRUE(compiler->diagnostics().empty());
}

// 6 bytes of header and trailer, two per DELAY, one for the BREAK.
std::string ScriptOfSize(int bytes) {
  std::string script = "MODULE = PANEL,0\nEVENT PANEL.INIT\n";
  int body = bytes - 6;
  if (body % 2 == 1) script += "BREAK\n";
  for (int i = 0; i < body / 2; ++i) script += "DELAY(1)\n";
  return script + "EVENTEND\n";
}

TEST(Warnings, CodeAboveNinetyPercent) {
  EXPECT_EQ(WarningsOf(ScriptOfSize(10800)), Found{});
  // The trailer crosses the mark: the warning stands on the last DELAY.
  EXPECT_EQ(WarningsOf(ScriptOfSize(10801)), Found{"W4@5400"});
  std::unique_ptr<C_Compiler> full = CompileScript(ScriptOfSize(12000));
  EXPECT_EQ(testing::ErrorNumbers(*full), std::vector<int>{31});
  EXPECT_TRUE(full->Warnings().empty());
}

}  // namespace
}  // namespace vigil
