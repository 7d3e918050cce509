// Hover in a scenario file: the step words by their place on the line, and
// the script's names as the script's own hover describes them.

#include "lsp/scenario_hover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil::lsp {
namespace {

const std::string kScript =
    "MODULE = CTRL,0\r\nMODULE = FRONT,1,0,2,5,30,10,1\r\nDEFINE MARK LATE = came late\r\n"
    "EVENT FRONT.VALID\r\n  MARK(LATE)\r\nEVENTEND\r\n";
const std::string kScenarios =
    "; card\r\nSCENARIO set the mark\r\nset GROUP(2) = ON\r\nEVENT FRONT.VALID\r\nWAIT 3\r\n"
    "EXPECT MARK(LATE)\r\nEXPECT CUT\r\nNEVER DOOR(FRONT) WHEN FRONT.VALID\r\n";

std::string HoverText(const Document* script, int line, int character) {
  Document scenarios("file:///s/site.scenarios", 1, kScenarios);
  Json hover = ScenarioHoverAt(scenarios, script, {line, character});
  return hover.is_null() ? "" : hover.at("contents").at("value").get<std::string>();
}

TEST(ScenarioHoverTest, SaysWhatEachStepDoesWhereItStands) {
  Document script("file:///s/site.txt", 1, kScript);
  const struct {
    int line;
    int character;
    std::string_view step;  // empty: no step text
  } cases[] = {
      {1, 3, "SCENARIO"},
      {2, 0, "SET"},
      {3, 5, "EVENT"},
      {4, 2, "WAIT"},
      {5, 1, "EXPECT"},
      {6, 8, "CUT"},
      {7, 0, "NEVER"},
      {7, 20, "WHEN"},
      {1, 10, ""},  // "set" in the scenario's
                    // name is no step
      {0, 3, ""},   // a comment
  };
  for (const auto& c : cases) {
    std::string text = HoverText(&script, c.line, c.character);
    if (c.step.empty()) {
      EXPECT_EQ(text, "") << c.line << ":" << c.character;
    } else {
      EXPECT_EQ(text, StepMeaning(c.step)) << c.line << ":" << c.character;
      EXPECT_NE(text.find("**" + std::string(c.step) + "**"), std::string::npos) << text;
    }
  }
}

TEST(ScenarioHoverTest, DescribesTheScriptsNamesAndWordsOnlyWithTheScriptOpen) {
  Document script("file:///s/site.txt", 1, kScript);
  const struct {
    int line;
    int character;
    std::string_view starts;
  } cases[] = {
      {5, 13, "archive mark **LATE** (number 0): \"came late\""},  // marks count from 0
      {3, 7, "module **FRONT**"},
      {3, 14, "element **VALID** of FRONT"},
      {5, 8, "command **MARK**"},
      {2, 5, "condition **GROUP**"},
  };
  for (const auto& c : cases) {
    std::string text = HoverText(&script, c.line, c.character);
    EXPECT_EQ(text.substr(0, c.starts.size()), c.starts) << c.line << ":" << c.character;
    EXPECT_EQ(HoverText(nullptr, c.line, c.character), "") << c.line << ":" << c.character;
  }
  EXPECT_EQ(HoverText(&script, 4, 5), "") << "a number means nothing more";
}

}  // namespace
}  // namespace vigil::lsp
