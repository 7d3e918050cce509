// One event run as `vigil sim` does it: the event and the states to set
// before it read as scenario lines, the event fired and time let run until it
// has finished; and the events a script has blocks for. Shared by the
// command line and the C API, so that both give the same trace.
#ifndef VIGIL_SIM_EVENT_RUN_H_
#define VIGIL_SIM_EVENT_RUN_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"
#include "sim/machine.h"
#include "sim/program.h"
#include "sim/scenario.h"
#include "sim/trace.h"

namespace vigil::sim {

// The words the event and each assignment are read after, as in a scenario.
inline constexpr std::string_view kEventWord = "EVENT ";
inline constexpr std::string_view kSetWord = "SET ";

// One state to set before the event: "TIMEPLAN(2) = ON", "CARS=3", with the
// line its errors are reported on.
struct Assignment {
  int line = 0;
  std::string text;
};

struct EventRequest {
  std::string event;  // "FRONT.VALID"
  int event_line = 1;
  std::vector<Assignment> sets;
};

struct EventRun {
  // Errors in the event or an assignment, columns counted in the line
  // "EVENT event" or "SET assignment"; when there are any, nothing ran.
  std::vector<ScenarioError> errors;
  std::vector<TraceEntry> trace;
  std::string result;  // "result: ...\n", ending "; cut: ..." when a bound cut the run
  Cuts cuts;
  std::vector<Change> changes;  // the states the run changed, as in the result line
  // Every event fired or queued ended (no cut, nothing still waiting).
  bool finished() const { return !cuts.any(); }
};

// Runs the request on a fresh controller. `compilation` must have no errors.
EventRun RunEvent(const Compilation& compilation, const EventRequest& request);

// The run as `vigil sim --json` prints it, `script` naming the script:
// {"script": ..., "event": ..., "result": ..., "changes": [{"what",
// "before", "after"}], "finished": true|false, "cut": [...], "trace": [...]}
// and a line end; ON/OFF values are true/false, numbers are numbers.
std::string EventRunJson(std::string_view script, std::string_view event, const EventRun& run);

// The assignments of a state text: one a line (CR LF, a lone CR or a lone LF
// ends one), numbered from 1; blank lines and lines starting with ';' are
// left out.
std::vector<Assignment> AssignmentLines(std::string_view text);

// An event the script has blocks for.
struct EventInfo {
  std::string name;  // as its first block's EVENT line writes it: "FRONT.VALID"
  int module = 0;
  int event = 0;
  int line = 0;    // the physical line of its first block's EVENT line
  int blocks = 0;  // the blocks it fires
};

// Every event with blocks, in the order of its first block.
std::vector<EventInfo> Events(const Program& program);

// [{"name": "FRONT.VALID", "module": 1, "event": 1, "line": 6, "blocks": 1}, ...]
std::string EventsJson(const std::vector<EventInfo>& events);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_EVENT_RUN_H_
