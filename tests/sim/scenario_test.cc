// Scenario files: steps compiled against the script, and errors placed on
// the scenario's lines and columns.

#include "sim/scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

// A compiled script with what the scenario parser reads of it.
struct Loaded {
  explicit Loaded(std::string_view blocks)
      : compilation(Compile(vigil::testing::Crlf(testing::Script(blocks)))),
        program(MakeProgram(compilation)) {}
  Compilation compilation;
  Program program;
};

const Loaded& Site() {
  static const Loaded site("EVENT FRONT.VALID\nEVENTEND\n");
  return site;
}

ScenarioFile Parse(std::string_view text) {
  return ParseScenarios(text, Site().compilation, Site().program);
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
  Loaded open("EVENT FRONT.VALID\nIF PASSED");
  for (const Loaded* site : std::vector<const Loaded*>{&Site(), &open}) {
    StepParser parser(site->compilation, site->program);
    for (const StepCase& c : cases) {
      SCOPED_TRACE(c.line);
      std::vector<ScenarioError> errors;
      std::optional<Step> step = parser.Parse(c.line, 1, c.context, &errors);
      ASSERT_TRUE(step.has_value());
      EXPECT_TRUE(std::all_of(errors.begin(), errors.end(),
                              [](const ScenarioError& e) { return e.warning; }));
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
      {"EVENT FRONT.OPENED", 13, 19, ""},  // names the events FRONT has
      {"SET TIMEPLAN(2) = 1", 19, 20, ""},
      {"SET VISITS 3", 5, 13, ""},
      {"WAIT soon", 6, 10, ""},
      {"EXPECT", 1, 7, ""},
      {"PRESS FRONT", 1, 6, ""},
  };
  StepParser parser(Site().compilation, Site().program);
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
      "SCENARIO two\r"
      "  WAIT 90\r"
      "EVENT OFFICE.ALERT\r\n"
      "EXPECT NOT DOOR()";
  ScenarioFile file = Parse(text);
  // BACK.VALID and OFFICE.ALERT have no block: warnings.
  ASSERT_EQ(file.errors.size(), 2u);
  EXPECT_EQ(file.errors[0].line, 4);
  EXPECT_EQ(file.errors[1].line, 9);
  EXPECT_TRUE(file.errors[0].warning && file.errors[1].warning);
  ASSERT_EQ(file.scenarios.size(), 2u);
  EXPECT_EQ(file.scenarios[0].name, "one");
  EXPECT_EQ(file.scenarios[0].line, 2);
  const std::vector<Step>& one = file.scenarios[0].steps;
  ASSERT_EQ(one.size(), 3u);
  EXPECT_EQ(one[0].term.a, 2);
  EXPECT_TRUE(one[2].negated);
  EXPECT_EQ(one[2].happening, (Happening{Happening::Kind::kDoor, 2, 0}));
  const std::vector<Step>& two = file.scenarios[1].steps;
  ASSERT_EQ(two.size(), 3u);
  EXPECT_EQ(two[0].line, 8);
  EXPECT_EQ(two[0].seconds, 90);
  EXPECT_EQ(two[1].module, 101);
  EXPECT_EQ(two[1].event, 8);
}

TEST(ScenarioTest, StepsBeforeAnyScenarioAreErrors) {
  ScenarioFile file = Parse("WAIT 1\r\nSCENARIO\r\n");
  ASSERT_EQ(file.errors.size(), 3u);  // and a warning: no EXPECT
  EXPECT_EQ(file.errors[0].line, 1);
  EXPECT_EQ(file.errors[1].line, 2);
  EXPECT_FALSE(file.errors[1].warning);
  EXPECT_TRUE(file.errors[2].warning);
}

// A lone LF stays inside its line, as in the script: the line after it is
// part of the step and the compiler reads it so.
TEST(ScenarioTest, LinesEndAsTheScriptsDo) {
  ScenarioFile file = Parse("SCENARIO a\r\nEVENT FRONT.VALID\nEXPECT PASSED\r\n");
  // The compiler's word check then refuses EXPECT inside the EVENT line.
  ASSERT_EQ(file.errors.size(), 3u);
  EXPECT_EQ(file.errors[0].message, "scenario 'a' has no EXPECT: it cannot fail");
  EXPECT_EQ(file.errors[2].code, "E6");
  const ScenarioError& lf = file.errors[1];
  EXPECT_EQ(std::make_tuple(lf.line, lf.column, lf.end_column, lf.code),
            std::make_tuple(2, 19, 32, std::string("W6")));
  EXPECT_EQ(lf.message,
            "Line 2 ends in LF alone, so this line is read as part of it, not as a step");
}

struct ProblemCase {
  std::string_view text;  // the file
  int line, column, end_column;
  bool warning;
  std::string_view message;
};

TEST(ScenarioTest, ExactParametersAndWarnings) {
  const ProblemCase cases[] = {
      {"SCENARIO a\r\nEXPECT NOT MARK(NIGHTOPEN,NIGHTOPEN)", 2, 27, 36, false,
       "MARK takes 1 parameter, not 2: EXPECT [NOT] MARK(mark)"},
      {"SCENARIO a\r\nEXPECT DIAL(3)", 2, 8, 15, false,
       "DIAL takes 2 parameters, not 1: EXPECT [NOT] DIAL(number, mark)"},
      {"SCENARIO a\r\nEXPECT NOT DOOR(BACK,FRONT)", 2, 22, 27, false,
       "DOOR takes 0 or 1 parameter, not 2: EXPECT [NOT] DOOR(module)"},
      {"SCENARIO a\r\nEXPECT NOT VISITS >= 3", 2, 19, 21, true,
       "\">=\" is no comparison of the language; the condition compiled as another test; "
       "conditions compare with = and > only: write IF R > 2 for R >= 3, IF NOT R > 2 for "
       "R < 3, IF NOT R = 3 for R <> 3"},
      {"", 1, 1, 2, true, "no SCENARIO line: the file tests nothing"},
      {"; only a comment\r\n", 1, 1, 2, true, "no SCENARIO line: the file tests nothing"},
      {"SCENARIO quiet\r\nEVENT FRONT.VALID\r\n", 1, 10, 15, true,
       "scenario 'quiet' has no EXPECT: it cannot fail"},
      {"SCENARIO a\r\nEXPECT PASSED\r\nSCENARIO A\r\nEXPECT PASSED", 3, 10, 11, true,
       "a scenario of this name is on line 1: reports cannot tell them apart"},
      {"SCENARIO a\r\nEVENT BACK.VALID\r\nEXPECT PASSED", 2, 7, 17, true,
       "the script has no block for BACK.VALID: firing it does nothing"},
  };
  for (const ProblemCase& c : cases) {
    SCOPED_TRACE(c.text);
    ScenarioFile file = Parse(c.text);
    ASSERT_EQ(file.errors.size(), 1u);
    const ScenarioError& e = file.errors[0];
    EXPECT_EQ(std::tie(e.line, e.column, e.end_column, e.warning, e.message),
              std::tie(c.line, c.column, c.end_column, c.warning, c.message));
    EXPECT_EQ(file.Refused(false), !c.warning);
    EXPECT_TRUE(file.Refused(true));
  }
}

TEST(ScenarioTest, ShownLinesEscapeControlBytes) {
  ScenarioError error{3, 8, 10, "EXPECT \x1b\xff", "Unknown command", "E6"};
  EXPECT_EQ(FormatScenarioError(error, "s"),
            "s:3:8: error: Unknown command [E6]\n"
            "   3 | EXPECT \\x1b\\xff\n"
            "     |        ^^^^^^^^\n");
}

// A bad EVENT line is one error: the lines after it are read in the default
// event, with no errors that follow from it.
TEST(ScenarioTest, ABadEventLineGivesOneError) {
  ScenarioFile file = Parse(
      "SCENARIO a\r\nEVENT FRONT.NOSUCH\r\nEXPECT RELAY1 = ON\r\n"
      "EXPECT NOT MARK(NIGHTOPEN)\r\n");
  ASSERT_EQ(file.errors.size(), 1u);
  EXPECT_EQ(file.errors[0].line, 2);
  EXPECT_TRUE(file.errors[0].message.starts_with(
      "FRONT has no event NOSUCH; the events of a door module: VALID, INVALID, "))
      << file.errors[0].message;
}

// Four weeks a scenario, a year a file: 13 scenarios of four weeks fit, the
// 14th scenario's first WAIT passes the file's bound.
TEST(ScenarioTest, SimulatedTimeIsBoundedPerScenarioAndFile) {
  std::string weeks;
  for (int i = 0; i < 4; ++i) weeks += "WAIT 604800\r\n";
  std::string text;
  for (int i = 0; i < 14; ++i)
    text += "SCENARIO s" + std::to_string(i) + "\r\nEXPECT PASSED\r\n" + weeks;
  ScenarioFile file = Parse(text);
  ASSERT_EQ(file.errors.size(), 1u);
  EXPECT_EQ(file.errors[0].line, 13 * 6 + 3);
  EXPECT_EQ(file.errors[0].message,
            "the file's WAITs pass 31536000 s of simulated time; split it into shorter scenarios");
  file = Parse("SCENARIO long\r\nEXPECT PASSED\r\n" + weeks + "WAIT 1\r\n");
  ASSERT_EQ(file.errors.size(), 1u);
  EXPECT_EQ(file.errors[0].line, 7);
  EXPECT_EQ(std::make_pair(file.errors[0].column, file.errors[0].end_column), std::make_pair(6, 7));
}

}  // namespace
}  // namespace vigil::sim
