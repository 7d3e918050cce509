// vigil diff's engine: each example against a copy with one condition
// changed names exactly the inputs where that condition now decides
// differently; each case's scenario passes on the new script and fails on
// the old one; renaming and reformatting change nothing.
#include "analysis/behaviour_diff.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"
#include "sim/runner.h"
#include "sim/scenario.h"
#include "support/script.h"

namespace vigil::testing {
namespace {

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::vector<analysis::EventChange> Diff(const std::string& before, const std::string& now) {
  Compilation old_compilation = Compile(before);
  Compilation new_compilation = Compile(now);
  EXPECT_EQ(new_compilation.error_count, 0);
  return analysis::DiffBehaviour(sim::MakeProgram(old_compilation),
                                 sim::MakeProgram(new_compilation));
}

bool Passes(const std::string& script, const std::string& scenario) {
  Compilation compilation = Compile(script);
  sim::Program program = sim::MakeProgram(compilation);
  sim::ScenarioFile file = sim::ParseScenarios(Crlf(scenario), compilation, program);
  EXPECT_FALSE(file.Refused(false)) << scenario;
  if (file.Refused(false) || file.scenarios.size() != 1) return false;
  return sim::RunScenario(program, file.scenarios[0]).passed();
}

struct OneChange {
  std::string_view file;
  std::string_view from;
  std::string_view to;
  std::string_view event;
  std::vector<std::string_view> cases;  // the `when` of each case
};

const OneChange kChanges[] = {
    {"office.txt",
     "IF TIMEPLAN(1)",
     "IF TIMEPLAN(2)",
     "FRONT.VALID",
     {"TIMEPLAN(2) and not TIMEPLAN(1)", "not TIMEPLAN(2) and TIMEPLAN(1)"}},
    {"alarm_site.txt",
     "EVENT PSU2.STATUSCHANGED\r\n  IF FLAGS(FLOWBATTERY)",
     "EVENT PSU2.STATUSCHANGED\r\n  IF FLAGS(FACPRESENT)",
     "PSU2.STATUSCHANGED",
     {"FLAGS(FACPRESENT) and not FLAGS(FLOWBATTERY)",
      "not FLAGS(FACPRESENT) and FLAGS(FLOWBATTERY)"}},
    {"counters.txt",
     "IF CARS > 199",
     "IF CARS > 150",
     "ENTRY.VALID",
     {"CARS > 150 and not CARS > 199"}},
};

TEST(BehaviourDiffTest, OneChangedConditionNamesExactlyItsCases) {
  for (const OneChange& c : kChanges) {
    std::string before = ExampleScript(c.file);
    std::string now = Replaced(before, c.from, c.to);
    std::vector<analysis::EventChange> changes = Diff(before, now);
    ASSERT_EQ(changes.size(), 1u) << c.file;
    EXPECT_EQ(changes[0].event, c.event);
    ASSERT_EQ(changes[0].cases.size(), c.cases.size()) << c.file;
    for (size_t i = 0; i < c.cases.size(); ++i) {
      const analysis::ChangedCase& changed = changes[0].cases[i];
      EXPECT_EQ(changed.when, c.cases[i]);
      EXPECT_TRUE(Passes(now, changed.scenario)) << changed.scenario;
      EXPECT_FALSE(Passes(before, changed.scenario)) << changed.scenario;
    }
  }
}

TEST(BehaviourDiffTest, TheCaseAsPrinted) {
  std::string before = ExampleScript("counters.txt");
  std::string now = Replaced(before, "IF CARS > 199", "IF CARS > 150");
  EXPECT_EQ(analysis::DiffText(Diff(before, now)),
            "ENTRY.VALID: behaviour changed in 1 case\n"
            "  when CARS > 150 and not CARS > 199\n"
            "    before: CARS = CARS + 1; DOOR(); LAMP = LAMPTIME [30]; PANEL.RELAY3 = ON\n"
            "    now:    MARK(FULL) \"Car park full\"; EXECUTE(1)\n"
            "    scenario:\n"
            "      SCENARIO ENTRY.VALID when CARS > 150 and not CARS > 199\n"
            "      SET CARS = 151\n"
            "      EVENT ENTRY.VALID\n"
            "      EXPECT MARK(FULL)\n");
}

TEST(BehaviourDiffTest, RenamedAndReformattedScriptsChangeNothing) {
  std::string before = ExampleScript("office.txt");
  std::string now = before;
  for (auto [from, to] : {std::pair{"FRONT", "ENTRANCE"}, std::pair{"OUTOFHOURS", "LATE"},
                          std::pair{"\n  ", "\n    "}, std::pair{"DOOR()", "door()"}}) {
    for (size_t at = now.find(from); at != std::string::npos; at = now.find(from, at)) {
      now.replace(at, std::string_view(from).size(), to);
      at += std::string_view(to).size();
    }
  }
  EXPECT_TRUE(Diff(before, now).empty());
  EXPECT_EQ(analysis::DiffText({}),
            "no behaviour changed: every event does the same in every case\n");
}

TEST(BehaviourDiffTest, SettingsTheCodeReadsAreBehaviour) {
  std::string before = ExampleScript("office.txt");
  std::string now = Replaced(before, "WARNTIME = 3", "WARNTIME = 4");
  std::vector<analysis::EventChange> changes = Diff(before, now);
  ASSERT_EQ(changes.size(), 1u);
  ASSERT_EQ(changes[0].cases.size(), 1u);
  EXPECT_EQ(changes[0].cases[0].when, "not TIMEPLAN(1)");
  EXPECT_EQ(changes[0].cases[0].now,
            "MARK(OUTOFHOURS) \"Card outside office hours\"; BEEP = ON; DELAY(WARNTIME) [4]; "
            "BEEP = OFF");
}

TEST(BehaviourDiffTest, AnEventAddedOrRemovedChangesEveryRowThatDoesSomething) {
  std::string before = ExampleScript("office.txt");
  std::string now =
      Replaced(before, "EVENT PANEL.INPUT2ON\r\n  INVERT(PANEL.RELAY3)\r\nEVENTEND\r\n", "");
  std::vector<analysis::EventChange> removed = Diff(before, now);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_TRUE(removed[0].removed);
  EXPECT_EQ(removed[0].event, "PANEL.INPUT2ON");
  std::vector<analysis::EventChange> added = Diff(now, before);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_TRUE(added[0].added);
  ASSERT_EQ(added[0].cases.size(), 1u);
  EXPECT_EQ(added[0].cases[0].before, "nothing");
}

}  // namespace
}  // namespace vigil::testing
