// Renaming through the token record: every declared name of every example
// renames to a script with the same code, hyphenated names stay whole, and
// what is not a declared name, or would not stay one, is refused.
#include "core/check/rename.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"
#include "support/script.h"

namespace vigil {
namespace {

std::string ExampleScript(std::string_view name) {
  return testing::ReadFile(std::string(VIGIL_SOURCE_DIR) + "/examples/" + std::string(name));
}

TEST(RenameTest, EveryDeclaredNameOfEveryExampleRenamesToTheSameCode) {
  for (std::string_view example : {"office.txt", "alarm_site.txt", "counters.txt"}) {
    Compilation original = Compile(ExampleScript(example));
    for (const Symbol& symbol : original.declarations) {
      std::string new_name = symbol.kind == SymbolKind::kModule ? "NEW-NAME" : "NEW_NAME";
      RenamePlan plan =
          PlanRename(original, symbol.declaration.line, symbol.declaration.span.begin, new_name);
      ASSERT_EQ(plan.refusal, "") << example << " " << symbol.name;
      Compilation renamed = Compile(ApplyRename(original, plan, new_name));
      EXPECT_EQ(renamed.code, original.code) << example << " " << symbol.name;
      EXPECT_EQ(renamed.error_count, original.error_count);
      const Symbol* now = renamed.FindSymbol(new_name);
      ASSERT_NE(now, nullptr) << example << " " << symbol.name;
      EXPECT_EQ(now->uses.size(), symbol.uses.size()) << example << " " << symbol.name;
    }
  }
}

TEST(RenameTest, HyphenatedModuleNamesAreWholeWords) {
  Compilation original = Compile(ExampleScript("alarm_site.txt"));
  const Symbol* panel = original.FindSymbol("PANEL");
  const Symbol* main_panel = original.FindSymbol("MAIN-PANEL");
  // PANEL on "MODULE PANEL = PANEL,0": the label, the name and its own uses only.
  RenamePlan plan = PlanRename(original, 3, 7, "CTRL");
  ASSERT_EQ(plan.refusal, "");
  EXPECT_EQ(plan.edits.size(), 2 + panel->uses.size());
  for (const SourceSite& edit : plan.edits) {
    std::string_view line = original.Line(edit.line)->text;
    EXPECT_NE(edit.span.begin >= 5 ? line.substr(static_cast<size_t>(edit.span.begin) - 5, 5) : "",
              "MAIN-");
  }
  // From a use of MAIN-PANEL: its declaration, label and every use.
  const SourceSite& use = main_panel->uses.front();
  RenamePlan whole = PlanRename(original, use.line, use.span.begin + 6, "HQ-PANEL");
  ASSERT_EQ(whole.refusal, "");
  EXPECT_EQ(whole.edits.size(), 2 + main_panel->uses.size());
  EXPECT_EQ(whole.word.span.begin, use.span.begin);
  EXPECT_EQ(whole.word.span.end, use.span.end);
  // Without its hyphen MAIN-PANEL.ALARMSIGNAL would no longer pass the word
  // check (ALARMSIGNAL is no element of the panel): refused.
  EXPECT_EQ(PlanRename(original, use.line, use.span.begin, "HQ").refusal,
            "renaming 'MAIN-PANEL' to 'HQ' would change what the script compiles to");
}

TEST(RenameTest, RefusesWhatIsNoNameOrWouldNotStayOne) {
  constexpr std::string_view kScript =
      "MODULE FRONT = FRONT,3,0,1,5,10,30\n"  // 1
      "DEFINE MARK DENIED = Access denied\n"  // 2
      "DEFINE REGISTER VISITS\n"              // 3
      "PARTITION HALL = HALL,101,1,100\n"     // 4
      "EVENT FRONT.VALID\n"                   // 5
      "  BEEP = ON\n"                         // 6
      "  MARK(DENIED)\n"                      // 7
      "EVENTEND\n";                           // 8
  Compilation compilation = testing::CompileValue(kScript);
  struct Case {
    int line, column;
    std::string_view new_name, refusal;
  } cases[] = {
      {6, 3, "X", "only declared names can be renamed: this is an element"},
      {7, 5, "X", "only declared names can be renamed: this is a command"},
      {5, 13, "X", "only declared names can be renamed: this is a event"},
      {8, 2, "X", "only declared names can be renamed: this is a keyword"},
      {7, 10, "BEEP", "'BEEP' is the name of a module's element"},
      {7, 10, "DOOR", "'DOOR' is a keyword"},
      {7, 10, "ON", "'ON' is a keyword"},
      {7, 10, "12", "'12' is a number"},
      {7, 10, "visits", "'visits' is already declared as register on line 3"},
      {7, 10, "A B", "'A B' is not a name: use letters, digits and _"},
      {7, 10, "A-B", "'A-B' is not a name: use letters, digits and _"},
      {7, 10, "", "the new name is empty"},
      {4, 18, "EAST-HALL", "'EAST-HALL' is not a name: use letters, digits and _"},
      {1, 16, "A.B", "'A.B' is not a name: use letters, digits and _ (and - in a module name)"},
      {1, 16, "FRONT-2", ""},
      {7, 10, "REFUSED", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlanRename(compilation, c.line, c.column, c.new_name).refusal, c.refusal)
        << c.line << ":" << c.column << " " << c.new_name;
  }
}

TEST(RenameTest, RefusesARenameThatChangesTheCode) {
  // INVERT of a word that holds AUXOUTPUT anywhere inverts the auxiliary
  // output: a module renamed so would change the instruction.
  Compilation compilation = testing::CompileValue(
      "MODULE FRONT = FRONT,3,0,1,5,10,30\n"
      "EVENT FRONT.VALID\n"
      "  INVERT(FRONT.BEEP)\n"
      "EVENTEND\n");
  EXPECT_EQ(PlanRename(compilation, 3, 10, "AUXOUTPUTS").refusal,
            "renaming 'FRONT' to 'AUXOUTPUTS' would change what the script compiles to");
  EXPECT_EQ(PlanRename(compilation, 3, 10, "DOORS").refusal, "");
}

}  // namespace
}  // namespace vigil
