// ALWAYS and NEVER lines proved over every input of the office, or refuted
// with a counterexample derived by hand; each counterexample fails when the
// simulator runs it.
#include "analysis/properties.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"
#include "sim/runner.h"
#include "sim/scenario.h"
#include "support/script.h"

namespace vigil::testing {
namespace {

struct Case {
  std::string_view property;
  std::string_view counterexample;  // empty: proved
};

// The exit button opens the front door whatever the time plan; the back door
// stays shut for group 2 while the front door is forced; FRONT.VALID never
// logs a forced door; DOOR() in BACK.VALID is the back door. A counterexample
// names its event as the script writes it.
const Case kCases[] = {
    {"ALWAYS NOT DOOR(FRONT) WHEN NOT TIMEPLAN(1)",
     "SCENARIO counterexample to line 1\nSET TIMEPLAN(1) = OFF\nEVENT PANEL.INPUT1ON\n"
     "EXPECT NOT DOOR(FRONT)\n"},
    {"ALWAYS DOOR(BACK) WHEN BACK.VALID",
     "SCENARIO counterexample to line 1\nSET GROUP(2) = ON\nSET FRONT.FORCEDDOOR = ON\n"
     "EVENT BACK.VALID\nEXPECT DOOR(BACK)\n"},
    {"NEVER MARK(FORCED) WHEN FRONT.VALID", ""},
    {"ALWAYS MARK(FORCED) WHEN FRONT.FORCEDDOOR", ""},
    {"NEVER DOOR() WHEN BACK.INVALID", ""},  // no block: nothing happens
    {"ALWAYS DOOR() WHEN BACK.INVALID",
     "SCENARIO counterexample to line 1\nEVENT BACK.INVALID\nEXPECT DOOR()\n"},
    {"ALWAYS NOT DOOR(BACK) WHEN NOT GROUP(2)", ""},
    {"NEVER MARK(ANY) WHEN TIMEPLAN(1)",
     "SCENARIO counterexample to line 1\nSET TIMEPLAN(1) = ON\nEVENT FRONT.FORCEDDOOR\n"
     "EXPECT NOT MARK(FORCED)\n"},
    {"always mark(outofhours) when front.valid",
     "SCENARIO counterexample to line 1\nSET TIMEPLAN(1) = ON\nEVENT FRONT.VALID\n"
     "EXPECT mark(outofhours)\n"},
};

TEST(PropertiesTest, ProvedOrRefutedWithACounterexampleThatFails) {
  std::string script = ExampleScript("office.txt");
  Compilation compilation = Compile(script);
  sim::Program program = sim::MakeProgram(compilation);
  for (const Case& c : kCases) {
    std::vector<analysis::PropertyResult> results =
        analysis::CheckProperties(compilation, program, {{1, std::string(c.property)}});
    ASSERT_EQ(results.size(), 1u);
    const analysis::PropertyResult& result = results[0];
    ASSERT_TRUE(result.errors.empty()) << c.property << ": " << result.errors[0].message;
    EXPECT_EQ(result.proved, c.counterexample.empty()) << c.property;
    EXPECT_EQ(result.counterexample, c.counterexample) << c.property;
    if (result.proved) continue;
    sim::ScenarioFile file = sim::ParseScenarios(Crlf(result.counterexample), compilation, program);
    ASSERT_FALSE(file.Refused(false)) << result.counterexample;
    ASSERT_EQ(file.scenarios.size(), 1u);
    EXPECT_FALSE(sim::RunScenario(program, file.scenarios[0]).passed()) << result.counterexample;
  }
}

TEST(PropertiesTest, LinesItCannotReadAreErrors) {
  std::string script = ExampleScript("office.txt");
  Compilation compilation = Compile(script);
  sim::Program program = sim::MakeProgram(compilation);
  const std::string_view kBad[] = {
      "ALWAYS DOOR(FRONT)",                         // no WHEN
      "ALWAYS FRONT.RELAY1 = ON WHEN FRONT.VALID",  // not a MARK, DIAL or DOOR
      "NEVER DOOR(FRONT) WHEN NOSUCH.THING",        // neither an event nor a condition
      "NEVER DOOR(FRONT) WHEN GROUPEMPTY(2)",       // reads two states
  };
  for (std::string_view bad : kBad) {
    std::vector<analysis::PropertyResult> results =
        analysis::CheckProperties(compilation, program, {{4, std::string(bad)}});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].errors.empty()) << bad;
    EXPECT_EQ(results[0].errors[0].line, 4);
  }
}

TEST(PropertiesTest, ScenarioFilesCarryPropertyLinesAnywhere) {
  Compilation compilation = Compile(ExampleScript("office.txt"));
  sim::Program program = sim::MakeProgram(compilation);
  sim::ScenarioFile file = sim::ParseScenarios(
      Crlf("ALWAYS DOOR(FRONT) WHEN PANEL.INPUT1ON\nSCENARIO x\nEVENT FRONT.VALID\n"
           "  never MARK(FORCED) WHEN FRONT.VALID\n"),
      compilation, program);
  EXPECT_FALSE(file.Refused(false));
  ASSERT_EQ(file.properties.size(), 2u);
  EXPECT_EQ(file.properties[1].line, 4);
  EXPECT_EQ(file.properties[1].text, "never MARK(FORCED) WHEN FRONT.VALID");
  ASSERT_EQ(file.scenarios.size(), 1u);
  EXPECT_EQ(file.scenarios[0].steps.size(), 1u);
}

}  // namespace
}  // namespace vigil::testing
