// Runs the built `vigil sim` and `vigil test` as a user does: a failing
// scenario, a scenario naming something the script does not declare, JUnit
// output, and one event's trace as text and JSON. The examples' scenario
// files: e2e_test.cc.

#include <gtest/gtest.h>

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
            "typo.scenarios:3:8: error: Unknown command [E6]\n"
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
  EXPECT_TRUE(run.out.ends_with("\nresult: PANEL.RELAY8 OFF -> ON; archive +1; 1 call\n"))
      << run.out;
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

}  // namespace
