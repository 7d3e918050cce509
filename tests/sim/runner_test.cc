// Scenarios run on the model: passes, failures with their reasons and trace,
// the summary line and JUnit XML.

#include "sim/runner.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

constexpr std::string_view kBlocks =
    "EVENT FRONT.VALID\n"
    "IF TIMEPLAN(1)\n"
    "DOOR()\n"
    "VISITS = VISITS + 1\n"
    "ELSE\n"
    "MARK(NIGHTOPEN)\n"
    "ENDIF\n"
    "EVENTEND\n"
    "EVENT BACK.VALID\n"
    "DELAY(4)\n"
    "DIAL(3,NIGHTOPEN)\n"
    "EVENTEND\n";

std::vector<ScenarioResult> RunText(std::string_view text) {
  testing::Site site(kBlocks);
  ScenarioFile file = ParseScenarios(vigil::testing::Crlf(text), site.compilation, site.program);
  EXPECT_TRUE(file.errors.empty());
  std::vector<ScenarioResult> results;
  for (const Scenario& scenario : file.scenarios) {
    results.push_back(RunScenario(site.program, scenario));
  }
  return results;
}

// Happenings count from the last EVENT and through WAITs. A door not opened
// fails as tests/e2e/vigil_sim_test.cc shows.
TEST(RunnerTest, PassingAndFailingExpectations) {
  std::vector<ScenarioResult> results = RunText(
      "SCENARIO in hours\n"
      "SET TIMEPLAN(1) = ON\n"
      "SET VISITS = 4\n"
      "EVENT FRONT.VALID\n"
      "EXPECT VISITS = 5\n"
      "EXPECT NOT MARK(NIGHTOPEN)\n"
      "SCENARIO call after the delay\n"
      "EVENT BACK.VALID\n"
      "EXPECT NOT DIAL(3,NIGHTOPEN)\n"
      "WAIT 4\n"
      "EXPECT DIAL(3,NIGHTOPEN)\n"
      "EVENT FRONT.VALID\n"
      "EXPECT NOT DIAL(3,NIGHTOPEN)\n"
      "SCENARIO wrong on purpose\n"
      "EVENT FRONT.VALID\n"
      "EXPECT VISITS > 0\n"
      "EXPECT MARK(NIGHTOPEN)\n");
  ASSERT_EQ(results.size(), 3u);
  EXPECT_TRUE(results[0].passed()) << results[0].trace;
  EXPECT_TRUE(results[1].passed()) << results[1].trace;
  ASSERT_EQ(results[2].failures.size(), 1u);
  EXPECT_EQ(results[2].failures[0].line, 16);
  EXPECT_EQ(results[2].failures[0].message, "EXPECT VISITS > 0: VISITS is 0, > 0 -> false");
}

TEST(RunnerTest, SummaryCountsEveryFile) {
  ScenarioResult pass{"a", 1, {}, ""};
  ScenarioResult fail{"b", 2, {{3, "no", ""}}, ""};
  EXPECT_EQ(SummaryLine({{"one", {pass, fail}}, {"two", {pass}}}), "2 passed, 1 failed\n");
}

TEST(RunnerTest, JunitXml) {
  ScenarioResult pass{"a & b", 1, {}, "", 0.25};
  ScenarioResult fail{"c", 2, {{3, "EXPECT X: <no>", "> EVENT\n"}}, "> SET\n> EVENT\n", 1.5};
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<testsuites tests=\"2\" failures=\"1\" errors=\"0\" time=\"1.750\">\n"
      "  <testsuite name=\"dir/s.scenarios\" tests=\"2\" failures=\"1\" errors=\"0\" "
      "time=\"1.750\">\n"
      "    <testcase classname=\"s_scenarios\" name=\"a &amp; b\" time=\"0.250\"/>\n"
      "    <testcase classname=\"s_scenarios\" name=\"c\" time=\"1.500\">\n"
      "      <failure message=\"EXPECT X: &lt;no&gt;\">line 3: EXPECT X: &lt;no&gt;\n";
  const std::string tail =
      "</failure>\n"
      "    </testcase>\n"
      "  </testsuite>\n"
      "</testsuites>\n";
  // The failure's neighbourhood; the whole trace only when asked.
  EXPECT_EQ(JunitXml({{"dir/s.scenarios", {pass, fail}}}),
            head + "before line 3:\n&gt; EVENT\n" + tail);
  EXPECT_EQ(JunitXml({{"dir/s.scenarios", {pass, fail}}}, true),
            head + "trace:\n&gt; SET\n&gt; EVENT\n" + tail);
}

// A failure keeps the last kNeighbourhoodLines lines of the trace.
TEST(RunnerTest, FailureNeighbourhood) {
  std::string text = "SCENARIO many\nEVENT FRONT.VALID\n";
  for (int i = 0; i < 20; ++i) text += "WAIT 1\n";
  text += "EXPECT VISITS = 9\n";
  std::vector<ScenarioResult> results = RunText(text);
  ASSERT_EQ(results.size(), 1u);
  ASSERT_EQ(results[0].failures.size(), 1u);
  const std::string& near = results[0].failures[0].neighbourhood;
  EXPECT_EQ(std::count(near.begin(), near.end(), '\n'), kNeighbourhoodLines);
  EXPECT_TRUE(near.ends_with("  FAILED: VISITS is 0, = 9 -> false\n")) << near;
  EXPECT_TRUE(results[0].trace.ends_with(near));
}

TEST(RunnerTest, XmlEscapeKeepsTheDocumentWellFormed) {
  EXPECT_EQ(XmlEscape("a<b>&\"'"), "a&lt;b&gt;&amp;&quot;&apos;");
  EXPECT_EQ(XmlEscape("\xE9\x01\t"), "&#233;?\t");
}

}  // namespace
}  // namespace vigil::sim
