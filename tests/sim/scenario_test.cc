// Scenario files: steps compiled against the script, and errors placed on
// the scenario's lines and columns.

#include "sim/scenario.h"

#include <gtest/gtest.h>

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
      {"SET PASSED = ON", "", Step::Kind::kSet, {0x0D, 0, 0}, true},
      {"SET KEYCODE(12) = ON", "FRONT.VALID", Step::Kind::kSet, {0x14, 1, 12}, true},
      {"SET FLAGS(FACPRESENT) = ON", "PSU1.STATUSCHANGED", Step::Kind::kSet, {0x12, 1, 1}, true},
      {"EXPECT OFFICE.ARMED = ON", "", Step::Kind::kExpect, {0x0A, 101, 4}, true},
      {"EXPECT NOT TIMEPLAN(3)", "", Step::Kind::kExpect, {0x87, 2, 0}, true},
      {"EXPECT VISITS >= 3", "", Step::Kind::kExpect, {0x05, 0, 3}, true},
      {"EXPECT LIGHTS > 0", "", Step::Kind::kExpect, {0x04, 0, 0}, true},
  };
  StepParser parser(Site());
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.line);
    std::vector<ScenarioError> errors;
    std::optional<Step> step = parser.Parse(c.line, 1, c.context, &errors);
    ASSERT_TRUE(step.has_value());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(step->kind, c.kind);
    EXPECT_EQ(step->term.code, c.term.code);
    EXPECT_EQ(step->term.a, c.term.a);
    EXPECT_EQ(step->term.b, c.term.b);
    EXPECT_EQ(step->truth, c.truth);
  }
}

TEST(ScenarioTest, EventWaitAndHappenings) {
  StepParser parser(Site());
  std::vector<ScenarioError> errors;
  std::optional<Step> event = parser.Parse("EVENT OFFICE.ALERT", 1, "", &errors);
  ASSERT_TRUE(event);
  EXPECT_EQ(event->module, 101);
  EXPECT_EQ(event->event, 8);
  std::optional<Step> wait = parser.Parse("  WAIT 90", 2, "", &errors);
  ASSERT_TRUE(wait);
  EXPECT_EQ(wait->seconds, 90);
  std::optional<Step> mark = parser.Parse("EXPECT NOT MARK(NIGHTOPEN)", 3, "", &errors);
  ASSERT_TRUE(mark);
  EXPECT_TRUE(mark->negated);
  EXPECT_EQ(mark->happening, (Happening{Happening::Kind::kMark, 0, 0}));
  std::optional<Step> dial = parser.Parse("EXPECT DIAL(2,NIGHTOPEN)", 4, "", &errors);
  ASSERT_TRUE(dial);
  EXPECT_FALSE(dial->negated);
  EXPECT_EQ(dial->happening, (Happening{Happening::Kind::kDial, 2, 0}));
  std::optional<Step> door = parser.Parse("EXPECT DOOR()", 5, "BACK.VALID", &errors);
  ASSERT_TRUE(door);
  EXPECT_EQ(door->happening, (Happening{Happening::Kind::kDoor, 2, 0}));
  EXPECT_TRUE(errors.empty());
}

struct ErrorCase {
  std::string_view line;
  int column;
  int end_column;
  std::string_view code;
};

TEST(ScenarioTest, ErrorsPointAtTheScenarioLine) {
  const ErrorCase cases[] = {
      {"EXPECT REAR.INPUT1 = ON", 8, 19, "E6"},  // REAR is not declared
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

TEST(ScenarioTest, FileOfScenariosWithContextFromTheFirstEvent) {
  std::string text =
      "; comment\r\n"
      "SCENARIO one\r\n"
      "SET RELAY1 = ON\r\n"  // read in BACK.VALID, the scenario's first event
      "EVENT BACK.VALID\r\n"
      "\r\n"
      "SCENARIO two\n"
      "WAIT 1\n";
  ScenarioFile file = ParseScenarios(text, Site());
  EXPECT_TRUE(file.errors.empty());
  ASSERT_EQ(file.scenarios.size(), 2u);
  EXPECT_EQ(file.scenarios[0].name, "one");
  EXPECT_EQ(file.scenarios[0].line, 2);
  ASSERT_EQ(file.scenarios[0].steps.size(), 2u);
  EXPECT_EQ(file.scenarios[0].steps[0].term.a, 2);
  EXPECT_EQ(file.scenarios[1].steps[0].line, 7);
}

TEST(ScenarioTest, StepsBeforeAnyScenarioAreErrors) {
  ScenarioFile file = ParseScenarios("WAIT 1\r\nSCENARIO\r\n", Site());
  ASSERT_EQ(file.errors.size(), 2u);
  EXPECT_EQ(file.errors[0].line, 1);
  EXPECT_EQ(file.errors[1].line, 2);
}

TEST(ScenarioTest, FormattedLikeTheCompilersDiagnostics) {
  ScenarioError error{12, 8, 12, "EXPECT REAR = ON", "Unknown command", "E6"};
  EXPECT_EQ(FormatScenarioError(error, "site.scenarios"),
            "site.scenarios:12:8: error: Unknown command [E6]\n"
            "  12 | EXPECT REAR = ON\n"
            "     |        ^^^^\n");
}

}  // namespace
}  // namespace vigil::sim
