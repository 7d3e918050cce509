// Runs the built `vigil sim` and `vigil test` as a user does: a failing
// scenario, a scenario naming something the script does not declare, JUnit
// output, and one event's trace as text and JSON. The examples' scenario
// files: e2e_test.cc.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/files.h"

namespace {

using vigil::testing::ProgramRun;

const std::string kExamples = std::string(VIGIL_SOURCE_DIR) + "/examples/";

class VigilSimTest : public ::testing::Test {
 protected:
  ProgramRun Vigil(const std::vector<std::string>& args) { return dir_.Run(VIGIL_PATH, args); }
  vigil::testing::TempDir dir_{"vigil-sim"};
};

TEST_F(VigilSimTest, FailingScenarioExitsOneWithItsTraceAndJunit) {
  dir_.Write("night.scenarios",
             "SCENARIO door at night\r\n"
             "SET TIMEPLAN(1) = OFF\r\n"
             "EVENT FRONT.VALID\r\n"
             "EXPECT DOOR(FRONT)\r\n"
             "SCENARIO exit button\r\n"
             "EVENT PANEL.INPUT1ON\r\n"
             "EXPECT DOOR(FRONT)\r\n");
  ProgramRun run =
      Vigil({"test", kExamples + "office.txt", "night.scenarios", "--junit", "results.xml"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(run.out.ends_with("\n1 passed, 1 failed\n")) << run.out;
  EXPECT_NE(run.out.find("FAIL  door at night\n"), std::string::npos);
  EXPECT_NE(run.out.find("PASS  exit button\n"), std::string::npos);
  EXPECT_NE(run.out.find("night.scenarios:4: EXPECT DOOR(FRONT): the door of FRONT was not "
                         "opened since the last EVENT"),
            std::string::npos);
  EXPECT_NE(run.out.find("TIMEPLAN(1) is OFF -> false"), std::string::npos);
  std::string xml = dir_.Read("results.xml");
  EXPECT_NE(xml.find("<testcase classname=\"night_scenarios\" name=\"exit button\" time=\""),
            std::string::npos);
}

TEST_F(VigilSimTest, UndeclaredNameIsAnErrorAtItsLineAndColumn) {
  dir_.Write("typo.scenarios",
             "SCENARIO rear door\r\n"
             "EVENT FRONT.VALID\r\n"
             "EXPECT REAR.INPUT1 = ON\r\n");
  ProgramRun run = Vigil({"test", kExamples + "office.txt", "typo.scenarios"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "typo.scenarios:3:8: error: Unknown command: REAR is no module the script declares "
            "[E6]\n"
            "   3 | EXPECT REAR.INPUT1 = ON\n"
            "     |        ^^^^^^^^^^^\n");
  EXPECT_EQ(run.out, "");
}

TEST_F(VigilSimTest, SimPrintsEachStepAndTheResult) {
  ProgramRun run = Vigil({"sim", kExamples + "counters.txt", "ENTRY.VALID", "--set", "CARS=200"});
  EXPECT_EQ(run.status, 0) << run.err;
  // Line 32 of counters.txt is the IF, 33 and 34 its branch.
  EXPECT_TRUE(
      run.out.starts_with("ENTRY.VALID (door ENTRY, id 3)\n"
                          "    32  IF CARS > 199               CARS is 200, > 199 -> true\n"
                          "    33    MARK(FULL)                archive: \"Car park full\"\n"
                          "    34    EXECUTE(1)                queues PANEL.USEREVENT1\n"))
      << run.out;
  EXPECT_NE(run.out.find("PANEL.USEREVENT1 (controller PANEL, id 0)\n"), std::string::npos);
  EXPECT_TRUE(run.out.ends_with("\nresult: PANEL.OC2 OFF -> ON; archive +1; 1 call\n")) << run.out;
}

// The event as fired heads its blocks; outputs go by the script's names.
TEST_F(VigilSimTest, TraceSpeaksTheScriptsWords) {
  dir_.Write("hall.txt",
             "MODULE CTRL = CTRL,0\r\nPARTITION HALL = HALL,101,1,0\r\n"
             "EVENT HALL.DISARMED\r\n  CTRL.OC1 = ON\r\nEVENTEND\r\n"
             "EVENT HALL.STATUSCHANGED\r\n  CTRL.RELAY2 = ON\r\nEVENTEND\r\n");
  ProgramRun run = Vigil({"sim", "hall.txt", "HALL.DISARMED"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "HALL.DISARMED (partition HALL, id 101)\n"
            "     4  CTRL.OC1 = ON" +
                std::string(15, ' ') +
                "CTRL.OC1 OFF -> ON\n"
                "HALL.DISARMED (partition HALL, id 101)\n"
                "     7  CTRL.RELAY2 = ON" +
                std::string(12, ' ') +
                "CTRL.RELAY2 OFF -> ON\n"
                "result: CTRL.RELAY2 OFF -> ON; CTRL.OC1 OFF -> ON\n");
  run = Vigil({"sim", "hall.txt", "HALL.DISARMED", "--json"});
  EXPECT_NE(run.out.find("\"changes\": [{\"what\": \"CTRL.RELAY2\", \"before\": false, "
                         "\"after\": true}, "),
            std::string::npos)
      << run.out;
}

struct SetCase {
  std::vector<std::string> args;
  std::string err;  // the first line of standard error
};

TEST_F(VigilSimTest, ErrorsSayWhereAndWhat) {
  const std::string counters = kExamples + "counters.txt";
  const std::vector<SetCase> cases = {
      {{"ENTRY.VALID", "--set", "CARS=3", "--set", "CARS=300"},
       "vigil sim: --set 2:6: error: Unknown command: 300 is out of range; a value is 0 to 255 "
       "[E6]"},
      {{"ENTRY.VALID", "--set", "ENTRY.BEEP = ON"},
       "vigil sim: --set 1:1: error: Unknown command: the beeper is no state IF can test, so "
       "neither SET nor EXPECT can use it [E6]"},
      {{"ENTRY.OPENED"},
       "vigil sim: EVENT:7: error: ENTRY has no event OPENED; the events of a door module: "
       "VALID, INVALID, UNKNOWN, INPUT1ON, INPUT1OFF, INPUT2ON, INPUT2OFF, TAMPER, DOORAJAR, "
       "FORCEDDOOR"},
      {{"ENTRY.VALID", "--set"}, "vigil sim: --set needs a state: --set NAME=VALUE"},
  };
  for (const SetCase& c : cases) {
    std::vector<std::string> args = {"sim", counters};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProgramRun run = Vigil(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.err);
  }
}

// A script sim and test cannot run (or that runs as something else) says
// why in vigil check's words, line-end trouble first.
TEST_F(VigilSimTest, ScriptProblemsInCheckWords) {
  dir_.Write("lf.txt", "MODULE = CTRL,0\nEVENT CTRL.INIT\nRELAY1 = ON\nEVENTEND\n");
  dir_.Write("bad.txt", "MODULE = CTRL,0\r\nEVENT CTRL.INIT\r\nNOSUCH = 1\r\nEVENTEND\r\n");
  dir_.Write("a.scenarios", "SCENARIO a\r\nEVENT CTRL.INIT\r\nEXPECT RELAY1 = ON\r\n");
  struct Case {
    std::vector<std::string> args;
    std::string script;
    std::string last;  // the last line on standard error
  };
  const std::vector<Case> cases = {
      {{"sim", "lf.txt", "CTRL.INIT"}, "lf.txt", ""},
      {{"test", "bad.txt", "a.scenarios"},
       "bad.txt",
       "vigil test: bad.txt has 1 error; nothing ran\n"},
      {{"sim", "bad.txt", "CTRL.INIT"}, "bad.txt", "vigil sim: bad.txt has 1 error; nothing ran\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.script);
    std::string check = Vigil({"check", c.script}).out;
    // check's diagnostics, without its summary line.
    std::string problems = check.substr(0, check.rfind(c.script + ": "));
    ProgramRun run = Vigil(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with(problems)) << run.err << "\n---\n" << problems;
    EXPECT_TRUE(run.err.ends_with(c.last)) << run.err;
  }
}

TEST_F(VigilSimTest, SimJson) {
  ProgramRun run = Vigil({"sim", kExamples + "office.txt", "FRONT.VALID", "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("{\"script\": ")) << run.out;
  EXPECT_NE(run.out.find("\"result\": \"result: archive +1\""), std::string::npos);
  EXPECT_NE(run.out.find("\"source\": \"IF TIMEPLAN(1)\""), std::string::npos);
  // The document parses; its steps carry the lines of the script and the
  // branch taken.
  dir_.Write("trace.json", run.out);
  ProgramRun read = dir_.Run(
      "/usr/bin/env", {"python3", "-c",
                       "import json; d = json.load(open('trace.json'))\n"
                       "print([(e['kind'], e['line'], e.get('taken')) for e in d['trace']])"});
  EXPECT_EQ(read.out,
            "[('event', 0, None), ('step', 18, False), ('step', 21, None), ('step', 22, None), "
            "('step', 23, None), ('resume', 0, None), ('step', 24, None)]\n")
      << read.err;
}

// FRONT.VALID queues user event 1 after a DELAY; the user event switches
// the relay on and, three seconds later, off. sim runs until both ended.
const char kQueued[] =
    "MODULE CTRL = CTRL,0\r\n"
    "MODULE FRONT = FRONT,1,0,2,5,30,10\r\n"
    "EVENT FRONT.VALID\r\n"
    "  DELAY(2)\r\n"
    "  EXECUTE(1)\r\n"
    "EVENTEND\r\n"
    "EVENT CTRL.USEREVENT1\r\n"
    "  RELAY1 = ON\r\n"
    "  DELAY(3)\r\n"
    "  RELAY1 = OFF\r\n"
    "EVENTEND\r\n";

// FRONT.VALID queues user event 1 1001 times: the 1001st run is dropped.
// (The trace's own bound: tests/sim/machine_test.cc.)
std::string Flood() {
  std::string script = "MODULE CTRL = CTRL,0\r\nMODULE FRONT = FRONT,1,0,2,5,30,10\r\n";
  script += "EVENT FRONT.VALID\r\n";
  for (int i = 0; i < 1001; ++i) script += "  EXECUTE(1)\r\n";
  script += "EVENTEND\r\nEVENT CTRL.USEREVENT1\r\n";
  return script + "  RELAY1 = ON\r\nEVENTEND\r\n";
}

TEST_F(VigilSimTest, RunsUntilEveryQueuedEventEnded) {
  dir_.Write("queued.txt", kQueued);
  ProgramRun run = Vigil({"sim", "queued.txt", "FRONT.VALID"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.ends_with("\nresult: nothing changed\n")) << run.out;
  EXPECT_NE(run.out.find("RELAY1 = OFF"), std::string::npos) << run.out;
  run = Vigil({"sim", "queued.txt", "FRONT.VALID", "--json"});
  EXPECT_NE(run.out.find("\"changes\": [], \"finished\": true, \"cut\": []"), std::string::npos)
      << run.out;
  run = Vigil({"sim", "queued.txt", "FRONT.VALID", "--quiet"});
  EXPECT_EQ(run.out, "result: nothing changed\n");
}

TEST_F(VigilSimTest, ACutShowsInTheResultJsonAndExitStatus) {
  dir_.Write("flood.txt", Flood());
  ProgramRun run = Vigil({"sim", "flood.txt", "FRONT.VALID"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(run.out.ends_with(
      "\nresult: CTRL.RELAY1 OFF -> ON; cut: event runs (the run did not finish)\n"))
      << run.out.substr(run.out.size() - std::min<size_t>(run.out.size(), 300));
  run = Vigil({"sim", "flood.txt", "FRONT.VALID", "--json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\"finished\": false, \"cut\": [\"runs\"]"), std::string::npos);
  // vigil test fails the scenario unless it expects the cut.
  dir_.Write("a.scenarios", "SCENARIO flood\r\nEVENT FRONT.VALID\r\nEXPECT CTRL.RELAY1 = ON\r\n");
  dir_.Write("b.scenarios",
             "SCENARIO flood\r\nEVENT FRONT.VALID\r\nEXPECT CTRL.RELAY1 = ON\r\nEXPECT CUT\r\n");
  run = Vigil({"test", "flood.txt", "a.scenarios"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("a.scenarios:1: the run was cut short (event runs): its result "
                         "is incomplete; write EXPECT CUT if that is meant\n"),
            std::string::npos)
      << run.out.substr(0, 400);
  EXPECT_EQ(Vigil({"test", "flood.txt", "b.scenarios"}).status, 0);
}

}  // namespace
