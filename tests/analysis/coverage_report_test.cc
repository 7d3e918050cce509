// Coverage of a script by scenarios, counted by the machine and reported by
// line and by IF, derived by hand from the office's FRONT.VALID (lines 18-25:
// IF TIMEPLAN(1), DOOR(), ELSE, MARK, BEEP = ON, DELAY, BEEP = OFF, ENDIF).
#include "analysis/coverage_report.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"
#include "sim/runner.h"
#include "sim/scenario.h"
#include "support/script.h"

namespace vigil::testing {
namespace {

sim::Coverage Covered(const std::string& script, const sim::Program& program,
                      std::string_view scenarios) {
  Compilation compilation = Compile(script);
  sim::ScenarioFile file = sim::ParseScenarios(Crlf(scenarios), compilation, program);
  EXPECT_FALSE(file.Refused(false));
  sim::Coverage coverage;
  for (const sim::Scenario& scenario : file.scenarios)
    sim::RunScenario(program, scenario, &coverage);
  return coverage;
}

TEST(CoverageReportTest, LinesAndBothWaysOfEachIf) {
  std::string script = ExampleScript("office.txt");
  Compilation compilation = Compile(script);
  sim::Program program = sim::MakeProgram(compilation);
  sim::Coverage coverage = Covered(script, program,
                                   "SCENARIO day\nSET TIMEPLAN(1) = ON\nEVENT FRONT.VALID\n"
                                   "SCENARIO day again\nSET TIMEPLAN(1) = ON\nEVENT FRONT.VALID\n");
  analysis::CoverageReport report = analysis::MakeCoverageReport(program, coverage);
  ASSERT_GE(report.lines.size(), 6u);
  struct Expected {
    int line;
    long runs;
  } lines[] = {{18, 2}, {19, 2}, {21, 0}, {22, 0}, {23, 0}, {24, 0}};
  for (size_t i = 0; i < std::size(lines); ++i) {
    EXPECT_EQ(report.lines[i].line, lines[i].line);
    EXPECT_EQ(report.lines[i].runs, lines[i].runs) << lines[i].line;
  }
  ASSERT_FALSE(report.branches.empty());
  EXPECT_EQ(report.branches[0].line, 18);
  EXPECT_EQ(report.branches[0].held, 2);
  EXPECT_EQ(report.branches[0].failed, 0);
  std::string summary = analysis::CoverageSummary(report);
  EXPECT_NE(summary.find("  line 21 not run: MARK(OUTOFHOURS)\n"), std::string::npos) << summary;
  EXPECT_NE(summary.find("  line 18 IF never failed\n"), std::string::npos) << summary;
  // An IF that never ran is counted as its line, not as a branch never taken.
  EXPECT_EQ(summary.find("line 36 IF"), std::string::npos) << summary;
  std::string lcov = analysis::CoverageLcov(report, "office.txt");
  EXPECT_NE(lcov.find("BRDA:18,0,0,2\nBRDA:18,0,1,0\nBRDA:36,1,0,-\nBRDA:36,1,1,-\n"),
            std::string::npos)
      << lcov;
  EXPECT_NE(lcov.find("DA:18,2\nDA:19,2\nDA:21,0\n"), std::string::npos) << lcov;
}

}  // namespace
}  // namespace vigil::testing
