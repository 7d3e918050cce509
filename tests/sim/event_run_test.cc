// One event run as `vigil sim` and the C API do it, the assignment lines of
// a state text, and the events a script has blocks for.

#include "sim/event_run.h"

#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

// FRONT.VALID has two blocks.
constexpr std::string_view kBlocks =
    "EVENT FRONT.VALID\n"
    "IF TIMEPLAN(1)\n"
    "VISITS = VISITS + 1\n"
    "ENDIF\n"
    "EVENTEND\n"
    "EVENT FRONT.VALID\n"
    "FRONT.RELAY1 = ON\n"
    "EVENTEND\n";

TEST(EventRunTest, AssignmentLinesKeepTheirLineNumbers) {
  struct Case {
    std::string_view text;
    std::vector<std::pair<int, std::string>> lines;
  };
  const Case kCases[] = {
      {"", {}},
      {"A = 1\r\nB = 2\r\n", {{1, "A = 1"}, {2, "B = 2"}}},
      {"\n; comment\n  X=ON\r", {{3, "  X=ON"}}},
      {"A\rB\nC\r\n\r\nD", {{1, "A"}, {2, "B"}, {3, "C"}, {5, "D"}}},
      {"  \t\r\n  ; indented comment\r\nE", {{3, "E"}}},
  };
  for (const Case& c : kCases) {
    std::vector<std::pair<int, std::string>> got;
    for (const Assignment& a : AssignmentLines(c.text)) got.emplace_back(a.line, a.text);
    EXPECT_EQ(got, c.lines) << c.text;
  }
}

// Each event once, named as the script writes it (which `vigil sim` takes
// back, also where the model has no name for the event code), with the line
// of its first block (13 is the DEVICE line) and the blocks it fires. The
// JSON forms of the list and of a run: tests/capi and tests/e2e.
TEST(EventRunTest, EventsOnceEachAsTheScriptNamesThem) {
  testing::Site site(
      "DEVICE = PANEL.EXINPUT2,1\n"
      "EVENT  PANEL.EXINPUT2\n"
      "MARK(NIGHTOPEN)\n"
      "EVENTEND\n"
      "event FRONT.VALID\n"
      "EVENTEND\n"
      "EVENT PANEL.EXINPUT2\n"
      "EVENTEND\n");
  ASSERT_EQ(site.compilation.error_count, 0);
  std::vector<EventInfo> events = Events(site.program);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].name, "PANEL.EXINPUT2");
  EXPECT_EQ(events[0].module, 100);
  EXPECT_EQ(events[0].line, 14);
  EXPECT_EQ(events[0].blocks, 2);
  EXPECT_EQ(events[1].name, "FRONT.VALID");
  EXPECT_EQ(events[1].line, 17);
  EventRun run = RunEvent(site.compilation, {events[0].name, 1, {}});
  EXPECT_TRUE(run.errors.empty());
  EXPECT_EQ(run.result, "result: archive +1\n");
}

TEST(EventRunTest, TheStateDecidesTheBranch) {
  Compilation compilation = vigil::testing::CompileValue(testing::Script(kBlocks));
  struct Case {
    std::vector<Assignment> sets;
    std::string result;
  };
  const Case kCases[] = {
      {{}, "result: FRONT.RELAY1 OFF -> ON\n"},
      {{{2, "TIMEPLAN(1) = ON"}}, "result: FRONT.RELAY1 OFF -> ON; VISITS 0 -> 1\n"},
      {{{2, "VISITS = 255"}, {3, "TIMEPLAN(1)=ON"}},
       "result: FRONT.RELAY1 OFF -> ON; VISITS 255 -> 0\n"},
      {{{2, "FRONT.RELAY1 = ON"}}, "result: nothing changed\n"},
  };
  for (const Case& c : kCases) {
    EventRun run = RunEvent(compilation, {"FRONT.VALID", 1, c.sets});
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(run.result, c.result);
    ASSERT_FALSE(run.trace.empty());
    EXPECT_EQ(run.trace.front().kind, TraceEntry::Kind::kEventStart);
  }
}

TEST(EventRunTest, ErrorsNameTheirLinesAndNothingRuns) {
  Compilation compilation = vigil::testing::CompileValue(testing::Script(kBlocks));
  EventRun run = RunEvent(compilation, {"FRONT.VALID", 0, {{1, "CARS = 3"}, {4, "VISITS = 2"}}});
  ASSERT_EQ(run.errors.size(), 1u);
  EXPECT_EQ(run.errors[0].line, 1);
  EXPECT_EQ(run.errors[0].text, "SET CARS = 3");
  EXPECT_TRUE(run.trace.empty());
  EXPECT_TRUE(run.result.empty());
  run = RunEvent(compilation, {"FRONT.NOSUCH", 0, {}});
  ASSERT_FALSE(run.errors.empty());
  EXPECT_EQ(run.errors[0].line, 0);
  EXPECT_EQ(run.errors[0].text, "EVENT FRONT.NOSUCH");
}

}  // namespace
}  // namespace vigil::sim
