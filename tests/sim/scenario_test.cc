// Scenario files: steps compiled against the script, and errors placed on
// the scenario's lines and columns.

#include "sim/scenario.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

std::string Site() {
  return vigil::testing::Crlf(testing::Script("EVENT FRONT.VALID\nEVENTEND\n"));
}

struct StepCase {
  std::string_view line;
  std::string_view context;
  Step::Kind kind;
  Term term;
  bool truth;
};

TEST(ScenarioTest, StepsCompileToTheTermsIfWouldTest) {
  const StepCase cases[] = {
      {"SET FRONT.INPUT1 = ON", "", Step::Kind::kSet, {0x01, 1, 1}, true},
      {"SET FRONT.INPUT1 = OFF", "", Step::Kind::kSet, {0x81, 1, 1}, true},
      {"SET RELAY1 = ON", "FRONT.VALID", Step::Kind::kSet, {0x02, 1, 1}, true},
      {"SET VISITS = 3", "", Step::Kind::kSet, {0x05, 0, 3}, true},
      {"SET TIMEPLAN(2) = OFF", "", Step::Kind::kSet, {0x07, 1, 0}, false},
      {"set group(5) = on", "", Step::Kind::kSet, {0x08, 4, 0}, true},
      {"EXPECT NOT TIMEPLAN(3)", "", Step::Kind::kExpect, {0x87, 2, 0}, true},
      {"EXPECT VISITS >= 3", "", Step::Kind::kExpect, {0x05, 0, 3}, true},
  };
  // The same steps against a script that ends inside an IF and its event,
  // without a last line end.
  std::string open = vigil::testing::Crlf(testing::Script("EVENT FRONT.VALID\nIF PASSED"));
  for (const std::string& site : {Site(), open}) {
    StepParser parser(site);
    for (const StepCase& c : cases) {
      SCOPED_TRACE(c.line);
      std::vector<ScenarioError> errors;
      std::optional<Step> step = parser.Parse(c.line, 1, c.context, &errors);
      ASSERT_TRUE(step.has_value());
      EXPECT_TRUE(errors.empty()) << errors[0].message;
      EXPECT_EQ(std::tie(step->kind, step->term.code, step->term.a, step->term.b, step->truth),
                std::tie(c.kind, c.term.code, c.term.a, c.term.b, c.truth));
    }
  }
}

struct ErrorCase {
  std::string_view line;
  int column;
  int end_column;
  std::string_view code;
};

// An undeclared module name: tests/e2e/vigil_sim_test.cc.
TEST(ScenarioTest, ErrorsPointAtTheScenarioLine) {
  const ErrorCase cases[] = {
      {"  EXPECT MARK(LATE)", 15, 19, "E6"},
      {"SET VISITS = 256", 14, 17, "E6"},
      {"EVENT FRONT.OPENED", 7, 19, "E6"},
      {"SET TIMEPLAN(2) = 1", 19, 20, ""},
      {"SET VISITS 3", 5, 13, ""},
      {"WAIT soon", 6, 10, ""},
      {"EXPECT", 1, 7, ""},
      {"PRESS FRONT", 1, 6, ""},
  };
  StepParser parser(Site());
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<ScenarioError> errors;
    EXPECT_FALSE(parser.Parse(c.line, 7, "", &errors).has_value());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 7);
    EXPECT_EQ(errors[0].column, c.column);
    EXPECT_EQ(errors[0].end_column, c.end_column);
    EXPECT_EQ(errors[0].code, c.code);
  }
}

// A scenario's context is its first event, also for the steps before it.
TEST(ScenarioTest, FileOfScenariosWithContextFromTheFirstEvent) {
  std::string text =
      "; comment\r\n"
      "SCENARIO one\r\n"
      "SET RELAY1 = ON\r\n"
      "EVENT BACK.VALID\r\n"
      "EXPECT NOT DOOR()\r\n"
      "\r\n"
      "SCENARIO two\n"
      "  WAIT 90\n"
      "EVENT OFFICE.ALERT\n";
  ScenarioFile file = ParseScenarios(text, Site());
  EXPECT_TRUE(file.errors.empty());
  ASSERT_EQ(file.scenarios.size(), 2u);
  EXPECT_EQ(file.scenarios[0].name, "one");
  EXPECT_EQ(file.scenarios[0].line, 2);
  const std::vector<Step>& one = file.scenarios[0].steps;
  ASSERT_EQ(one.size(), 3u);
  EXPECT_EQ(one[0].term.a, 2);
  EXPECT_TRUE(one[2].negated);
  EXPECT_EQ(one[2].happening, (Happening{Happening::Kind::kDoor, 2, 0}));
  const std::vector<Step>& two = file.scenarios[1].steps;
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].line, 8);
  EXPECT_EQ(two[0].seconds, 90);
  EXPECT_EQ(two[1].module, 101);
  EXPECT_EQ(two[1].event, 8);
}

TEST(ScenarioTest, StepsBeforeAnyScenarioAreErrors) {
  ScenarioFile file = ParseScenarios("WAIT 1\r\nSCENARIO\r\n", Site());
  ASSERT_EQ(file.errors.size(), 2u);
  EXPECT_EQ(file.errors[0].line, 1);
  EXPECT_EQ(file.errors[1].line, 2);
}

}  // namespace
}  // namespace vigil::sim
