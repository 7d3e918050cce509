// The warnings of `vigil check`: which lines get which warning, and that
// warnings stay out of the error count.

#include "core/check/warnings.h"

#include <gtest/gtest.h>

#include "support/script.h"

namespace vigil {
namespace {

// "W<n>@<line> " for every warning, in order. Warnings are neither counted
// nor among the errors.
std::string WarningsOf(std::string_view script) {
  Compilation compilation = testing::CompileValue(script);
  for (const Diagnostic& d : compilation.Diagnostics()) EXPECT_EQ(d.severity, Severity::kError);
  std::string found;
  for (const Diagnostic& warning : Warnings(compilation)) {
    EXPECT_EQ(warning.severity, Severity::kWarning);
    found +=
        "W" + std::to_string(warning.number) + "@" + std::to_string(warning.physical_line) + " ";
  }
  return found;
}

// 6 bytes of header and trailer, two per DELAY, one for the BREAK.
std::string ScriptOfSize(int bytes) {
  std::string script = "MODULE = PANEL,0\nEVENT PANEL.INIT\n";
  if (bytes % 2 == 1) script += "BREAK\n";
  for (int i = 0; i < (bytes - 6) / 2; ++i) script += "DELAY(1)\n";
  return script + "EVENTEND\n";
}

TEST(Warnings, WhichLinesGetWhichWarning) {
  const std::string event = "MODULE = PANEL,0\nEVENT PANEL.INIT\n";
  const std::string declarations =
      "MODULE = PANEL,0\nDEFINE REGISTER R1\nDEFINE TIMER T1\nDEFINE PARAMETER P1 = 5\n"
      "DEFINE MARK M1 = Door open\nEVENT PANEL.INIT\n";
  struct Case {
    std::string script, warnings;
  };
  for (const Case& c :
       {Case{event + "IF TIMEPLAN(1)\nIF PRESENT\nENDIF\n", "W2@2 W1@3 "},
        // An IF whose condition failed has its error and no warning; the
        // EVENTEND refused behind it (error 18) leaves the event open.
        Case{event + "IF TIMEPLAN(65)\nEVENTEND\n", "W2@2 "},
        Case{event + "IF PRESENT\nENDIF\nIF NOT BREAK\nENDIF\nEVENTEND\n", "W5@5 "},
        Case{declarations + "EVENTEND\n", "W3@2 W3@3 W3@4 W3@5 "},
        Case{declarations + "r1 = 5\nIF T1 > 3\nDELAY(P1)\nENDIF\nDIAL(2,M1)\nEVENTEND\n", ""},
        // Above 90 %: the trailer crosses the mark, the warning stands on
        // the last DELAY. At the limit there is error 31 instead.
        Case{ScriptOfSize(10800), ""}, Case{ScriptOfSize(10801), "W4@5400 "},
        Case{ScriptOfSize(12000), ""}}) {
    EXPECT_EQ(WarningsOf(c.script), c.warnings) << c.script.substr(0, 200);
  }
}

}  // namespace
}  // namespace vigil
