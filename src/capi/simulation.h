// The simulator through the C API: the events of a compiled script, one
// event run and scenario runs, each as JSON text.
#ifndef VIGIL_CAPI_SIMULATION_H_
#define VIGIL_CAPI_SIMULATION_H_

#include <string>
#include <string_view>

#include "core/compile/compilation.h"

namespace vigil::capi {

// The events the script has blocks for; "[]\n" when it has errors.
std::string EventsJson(const Compilation& compilation);

// `event` run after the states of `state` (assignment lines) are set: the
// JSON `vigil sim --json` prints with "script" as the script's name, or
// {"errors": [...]} (line 0 is the event, line n the state's line n).
std::string SimJson(const Compilation& compilation, std::string_view event, std::string_view state);

// The scenarios of `text` run against the script, as sim::ScenarioReportJson.
std::string ScenariosJson(const Compilation& compilation, std::string_view text);

// Which lines and IF branches the scenarios of `text` ran, as
// analysis::CoverageJson; nothing runs (every count 0) when the script or the
// file has errors.
std::string CoverageJson(const Compilation& compilation, std::string_view text);

// The decision tables of `event`, or of every event when it is empty, as
// `vigil paths --json`; {"errors": [...]} for an event without a block.
std::string PathsJson(const Compilation& compilation, std::string_view event);

// What changed from `before` to `now`, as `vigil diff` prints it.
std::string DiffText(const Compilation& before, const Compilation& now);

}  // namespace vigil::capi

#endif  // VIGIL_CAPI_SIMULATION_H_
