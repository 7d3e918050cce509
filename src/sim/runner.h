// Running scenarios on a fresh controller each, and reporting the results as
// text and as JUnit XML.
#ifndef VIGIL_SIM_RUNNER_H_
#define VIGIL_SIM_RUNNER_H_

#include <string>
#include <string_view>
#include <vector>

#include "sim/coverage.h"
#include "sim/program.h"
#include "sim/scenario.h"

namespace vigil::sim {

struct Failure {
  int line = 0;
  std::string message;  // "EXPECT DOOR(FRONT): FRONT's door was not opened since the last EVENT"
  // The trace's last lines up to the failure (at most kNeighbourhoodLines).
  std::string neighbourhood;
};

// Trace lines a failure keeps from before it, for reports.
inline constexpr int kNeighbourhoodLines = 12;

struct ScenarioResult {
  std::string name;
  int line = 0;
  std::vector<Failure> failures;
  std::string trace;   // the scenario's steps and what the controller did, as text
  double seconds = 0;  // how long it ran, measured by the front end
  bool passed() const { return failures.empty(); }
};

// The results of one scenario file.
struct SuiteResult {
  std::string name;  // the scenario file
  std::vector<ScenarioResult> results;
};

// Runs the steps in order on a controller that starts with everything OFF
// and 0. EXPECT MARK, DIAL and DOOR look at what happened since the last
// EVENT line (the delayed rest of its events during later WAITs included).
// With `coverage`, also counts the code the scenario ran into it.
ScenarioResult RunScenario(const Program& program, const Scenario& scenario,
                           Coverage* coverage = nullptr);

// How results are printed: `quiet` leaves out the passes, `colour` paints
// PASS green and FAIL red for a terminal.
struct ResultStyle {
  bool quiet = false;
  bool colour = false;
};

// "PASS  name" or "FAIL  name" (the name's control bytes escaped), then for a
// failure its messages ("file:line: message") and its trace, indented.
std::string FormatResult(const ScenarioResult& result, std::string_view file,
                         ResultStyle style = {});

// "N passed, N failed\n".
std::string SummaryLine(const std::vector<SuiteResult>& suites);

// A JUnit XML document: one testsuite per scenario file, one testcase per
// scenario (classname: the file's name with "_" for "."), times in seconds, a
// failure element with the messages and each failure's neighbourhood in the
// trace, or the whole trace when `whole_trace`.
std::string JunitXml(const std::vector<SuiteResult>& suites, bool whole_trace = false);

// The JUnit document of a run that did not happen: one testcase "vigil test"
// with an error element holding `message`.
std::string JunitErrorXml(std::string_view message);

// Text as XML character data or attribute value: markup characters escaped,
// bytes 128 and above as character references (Latin-1), other control
// characters but tab and line ends as "?".
std::string XmlEscape(std::string_view text);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_RUNNER_H_
