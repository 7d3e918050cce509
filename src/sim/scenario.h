// Scenario files: unit tests for a site, in the script's own words.
//
//   ; night cleaner
//   SCENARIO cleaner may enter at night
//   SET TIMEPLAN(2) = OFF
//   SET GROUP(5) = ON
//   EVENT FRONT.VALID
//   WAIT 10
//   EXPECT DOOR(FRONT)
//   EXPECT NOT MARK(DENIED)
//   EXPECT FRONT.INPUT1 = OFF
//
// SET, EVENT and EXPECT lines are compiled by the compiler itself, inside an
// event block appended to the script: EXPECT accepts exactly what IF accepts,
// and a name the script does not declare is the compiler's error, placed on
// the scenario line.
#ifndef VIGIL_SIM_SCENARIO_H_
#define VIGIL_SIM_SCENARIO_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"
#include "sim/state.h"
#include "sim/trace.h"

namespace vigil::sim {

struct ScenarioError {
  int line = 0;
  int column = 0;      // 1-based
  int end_column = 0;  // the column after the last one meant
  std::string text;    // the scenario line, without its line end
  std::string message;
  std::string code;  // "E6" when the compiler reported it, else empty
};

struct Step {
  enum class Kind { kSet, kEvent, kWait, kExpect, kExpectHappened };
  Kind kind = Kind::kSet;
  int line = 0;
  std::string text;  // the line, trimmed
  Term term;         // SET: the state to make true; EXPECT: the test
  bool truth = true;
  int module = 0;  // EVENT
  int event = 0;
  int seconds = 0;  // WAIT
  Happening happening;
  bool negated = false;  // EXPECT NOT MARK/DIAL/DOOR
};

struct Scenario {
  std::string name;
  int line = 0;
  std::vector<Step> steps;
};

// A property line, "ALWAYS ... WHEN ..." or "NEVER ... WHEN ...", anywhere in
// the file: proved over all inputs by the path analysis (analysis/properties.h).
struct PropertyLine {
  int line = 0;
  std::string text;  // trimmed
};

struct ScenarioFile {
  std::vector<Scenario> scenarios;
  std::vector<ScenarioError> errors;  // in line order
  std::vector<PropertyLine> properties;
};

// Longest WAIT one line may ask for (a week).
inline constexpr int kMaxWaitSeconds = 7 * 24 * 60 * 60;

// Parses single step lines against one script. Each distinct line is compiled
// once.
class StepParser {
 public:
  // `script` must compile without errors.
  explicit StepParser(std::string_view script);

  // A line "SET ...", "EVENT ...", "WAIT n" or "EXPECT ...". `context` is
  // the event the line is read in ("FRONT.VALID"): words without a module
  // part refer to its module; empty means DefaultContext().
  std::optional<Step> Parse(std::string_view line, int line_number, std::string_view context,
                            std::vector<ScenarioError>* errors);

  // The controller's INIT, or the script's first event when it declares no
  // controller.
  const std::string& DefaultContext() const { return default_context_; }

 private:
  struct Probe {
    std::vector<uint8_t> event_code;  // the EVENT line's header
    std::vector<uint8_t> code;        // the statement line's code
    std::vector<Diagnostic> event_diagnostics;
    std::vector<Diagnostic> diagnostics;
  };
  const Probe& Compiled(std::string_view context, std::string_view statement);

  // The script, then a line end and the ENDIF and EVENTEND lines that close
  // what it leaves open, so that a probe's EVENT line starts a block of its
  // own on line `probe_line_`.
  std::string script_;
  int probe_line_ = 0;
  std::string default_context_;
  std::map<std::string, Probe> probes_;
};

ScenarioFile ParseScenarios(std::string_view text, std::string_view script);

// "office.scenarios:4:5: error: Unknown command [E6]", the line and carets.
std::string FormatScenarioError(const ScenarioError& error, std::string_view file);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_SCENARIO_H_
