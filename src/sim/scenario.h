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
// SET, EVENT and EXPECT lines are compiled by the compiler's statement entry
// (core/compile/statement_entry.h) against the compiled script's symbols:
// EXPECT accepts exactly what IF accepts, and a name the script does not
// declare is the compiler's error, placed on the scenario line. Lines end as
// the script's do (CR LF or a lone CR).
#ifndef VIGIL_SIM_SCENARIO_H_
#define VIGIL_SIM_SCENARIO_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"
#include "core/compile/statement_entry.h"
#include "sim/program.h"
#include "sim/state.h"
#include "sim/trace.h"

namespace vigil::sim {

struct ScenarioError {
  int line = 0;
  int column = 0;      // 1-based
  int end_column = 0;  // the column after the last one meant
  std::string text;    // the scenario line, without its line end
  std::string message;
  std::string code;      // "E6" when the compiler reported it, "W7" for its warning, else empty
  bool warning = false;  // a warning: the file still runs (not under --werror)
};

struct Step {
  // kExpectCut: "EXPECT CUT", the scenario expects a bound to cut its run.
  enum class Kind { kSet, kEvent, kWait, kExpect, kExpectHappened, kExpectCut };
  Kind kind = Kind::kSet;
  int line = 0;
  std::string text;  // the line, trimmed
  Term term;         // SET: the state to make true; EXPECT: the test
  bool truth = true;
  int module = 0;  // EVENT
  int event = 0;
  std::string event_word;  // EVENT: the event as written, "HALL.DISARMED"
  int seconds = 0;         // WAIT
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
  std::vector<ScenarioError> errors;  // errors and warnings, in line order
  // Errors, or (with `werror`) warnings too.
  bool Refused(bool werror) const;
  std::vector<PropertyLine> properties;
};

// Longest WAIT one line may ask for (a week).
inline constexpr int kMaxWaitSeconds = 7 * 24 * 60 * 60;
// Simulated time the WAITs of one scenario, and of one file, may add up to
// (four weeks, a year): a file that asks for more is refused before it runs.
inline constexpr long kMaxScenarioSeconds = 4L * kMaxWaitSeconds;
inline constexpr long kMaxFileSeconds = 365L * 24 * 60 * 60;

// Parses single step lines against one compiled script, with no compile of
// the script: each line goes through the statement entry.
class StepParser {
 public:
  // `compilation` must have no errors; `program` is made from it. Both must
  // outlive the parser.
  StepParser(const Compilation& compilation, const Program& program);

  // A line "SET ...", "EVENT ...", "WAIT n" or "EXPECT ...". `context` is
  // the event the line is read in ("FRONT.VALID"): words without a module
  // part refer to its module; empty means DefaultContext().
  std::optional<Step> Parse(std::string_view line, int line_number, std::string_view context,
                            std::vector<ScenarioError>* errors);

  // The controller's INIT, or the script's first event when it declares no
  // controller.
  const std::string& DefaultContext() const { return default_context_; }

 private:
  friend class LineReader;
  StatementEntry entry_;
  const Program& program_;
  std::string default_context_;
};

ScenarioFile ParseScenarios(std::string_view text, const Compilation& compilation,
                            const Program& program);

// "office.scenarios:4:5: error: Unknown command [E6]" (or "warning:"), the
// line (its control bytes escaped) and carets.
std::string FormatScenarioError(const ScenarioError& error, std::string_view file);
// The same with the place given whole ("--set 2:5") and the line's label in
// the gutter ("2").
std::string FormatProblem(const ScenarioError& error, std::string_view location,
                          std::string_view label);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_SCENARIO_H_
