// The cross-check of the analysis against the simulator: every row of every
// decision table, turned into a scenario, passes when the simulator runs it.
// Over the three examples and scripts generated from a fixed seed.
#include "analysis/row_scenario.h"

#include <gtest/gtest.h>

#include <random>

#include "analysis_fixture.h"
#include "sim/runner.h"
#include "sim/scenario.h"
#include "support/script.h"

namespace vigil::testing {
namespace {

// Runs every row of every event of `script` as a scenario (all in one
// scenario file, so that each distinct line is compiled once); returns the
// number of rows.
int CheckEveryRow(const std::string& script, std::string_view what) {
  Compilation compilation = Compile(script);
  sim::Program program = sim::MakeProgram(compilation);
  std::string text;
  for (const analysis::EventPaths& table : analysis::ExploreAll(program)) {
    for (const analysis::Path& path : table.paths) {
      text += analysis::RowScenario(program, table, path);
    }
  }
  sim::ScenarioFile file = sim::ParseScenarios(Crlf(text), compilation, program);
  EXPECT_FALSE(file.Refused(false)) << what << "\n" << text << file.errors[0].message;
  for (const sim::Scenario& scenario : file.scenarios) {
    sim::ScenarioResult result = sim::RunScenario(program, scenario);
    EXPECT_TRUE(result.passed()) << what << "\n"
                                 << result.trace
                                 << (result.passed() ? "" : result.failures[0].message);
  }
  return static_cast<int>(file.scenarios.size());
}

TEST(RowScenarioTest, EveryRowOfTheExamplesPassesAsAScenario) {
  for (std::string_view file : {"office.txt", "alarm_site.txt", "counters.txt"}) {
    EXPECT_GT(CheckEveryRow(ExampleScript(file), file), 0);
  }
}

TEST(RowScenarioTest, RowOfTheOfficeAsDerivedByHand) {
  std::string script = ExampleScript("office.txt");
  Compilation compilation = Compile(script);
  sim::Program program = sim::MakeProgram(compilation);
  sim::EventInfo back = sim::Events(program)[2];
  analysis::EventPaths table = analysis::ExploreEvent(program, back);
  ASSERT_EQ(table.paths.size(), 3u);
  EXPECT_EQ(analysis::RowScenario(program, table, table.paths[1]),
            "SCENARIO BACK.VALID when GROUP(2) and not FRONT.FORCEDDOOR = ON\n"
            "SET GROUP(2) = ON\n"
            "SET FRONT.FORCEDDOOR = OFF\n"
            "EVENT BACK.VALID\n"
            "EXPECT DOOR()\n");
}

// Scripts of one controller with a door, nested IFs over every kind of term
// and statements over every kind of state.
class ScriptMaker {
 public:
  explicit ScriptMaker(unsigned seed) : random_(seed) {}

  std::string Make() {
    std::string text =
        "MODULE PANEL = PANEL,0\n"
        "MODULE FRONT = FRONT,1,0,2,5,30,10\n"
        "DEVICE = FRONT.CARDREADER,1\n"
        "DEFINE REGISTER R1\nDEFINE REGISTER R2\nDEFINE TIMER T1\n"
        "DEFINE MARK M1 = One\nDEFINE MARK M2 = Two\n";
    for (std::string_view event : {"FRONT.VALID", "PANEL.INPUT1ON"}) {
      text += "EVENT " + std::string(event) + "\n" + Block(0) + "EVENTEND\n";
    }
    return Crlf(text);
  }

 private:
  std::string Pick(const std::vector<std::string_view>& choices) {
    return std::string(choices[random_() % choices.size()]);
  }

  std::string Block(int depth) {
    std::string text;
    int statements = 1 + static_cast<int>(random_() % 3);
    for (int i = 0; i < statements; ++i) {
      if (depth < 3 && random_() % 5 < 2) {
        text += "IF " + Pick(kConditions) + "\n" + Block(depth + 1);
        if (random_() % 2 == 0) text += "ELSE\n" + Block(depth + 1);
        text += "ENDIF\n";
      } else {
        text += Pick(kStatements) + "\n";
      }
    }
    return text;
  }

  const std::vector<std::string_view> kConditions = {"TIMEPLAN(1)",
                                                     "R1 >= 2",
                                                     "TIMEPLAN(2)",
                                                     "GROUP(2)",
                                                     "NOT GROUP(3)",
                                                     "R1 > 3",
                                                     "R1 = 4",
                                                     "NOT R2 = 0",
                                                     "T1 > 2",
                                                     "BYTE1 = 1",
                                                     "PANEL.RELAY1 = ON",
                                                     "NOT PANEL.RELAY2 = ON",
                                                     "FRONT.FORCEDDOOR = ON",
                                                     "PASSED",
                                                     "GROUPEMPTY(2)"};
  const std::vector<std::string_view> kStatements = {"MARK(M1)",
                                                     "MARK(M2)",
                                                     "DOOR()",
                                                     "PANEL.RELAY1 = ON",
                                                     "PANEL.RELAY1 = OFF",
                                                     "INVERT(PANEL.RELAY2)",
                                                     "R1 = R1 + 1",
                                                     "R1 = R1 - 2",
                                                     "R2 = 5",
                                                     "T1 = 3",
                                                     "DELAY(2)",
                                                     "SETBYTE1(1)",
                                                     "DIAL(1,M1)",
                                                     "CLEARALLCOUNTERS"};
  std::mt19937 random_;
};

TEST(RowScenarioTest, EveryRowOfGeneratedScriptsPassesAsAScenario) {
  int rows = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::string script = ScriptMaker(seed).Make();
    Compilation compilation = Compile(script);
    ASSERT_EQ(compilation.error_count, 0) << script;
    rows += CheckEveryRow(script, "seed " + std::to_string(seed) + ":\n" + script);
  }
  EXPECT_GT(rows, 100);
}

TEST(RowScenarioTest, BothOfTwoRowsIsTheirCommonInput) {
  analysis::Inputs a;
  a.points[{7, 0, 0}] = true;
  analysis::Inputs b;
  b.points[{7, 0, 0}] = false;
  EXPECT_FALSE(analysis::BothOf(a, b).has_value());
  analysis::Inputs c;
  c.points[{8, 1, 0}] = true;
  c.values[{sim::ValueKind::kRegister, 0}].set(3);
  analysis::Inputs d;
  d.values[{sim::ValueKind::kRegister, 0}].set(4);
  std::optional<analysis::Inputs> ac = analysis::BothOf(a, c);
  ASSERT_TRUE(ac.has_value());
  EXPECT_EQ(ac->points.size(), 2u);
  EXPECT_FALSE(analysis::BothOf(c, d).has_value());
}

}  // namespace
}  // namespace vigil::testing
