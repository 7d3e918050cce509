// A row of a decision table as a scenario that takes the controller down it:
// SET lines for one input the row's conditions allow, the EVENT, a WAIT for
// its delays, and EXPECT lines for what the row does. Also what the diff and
// the properties need: the inputs of a row, and of two rows at once.
#ifndef VIGIL_ANALYSIS_ROW_SCENARIO_H_
#define VIGIL_ANALYSIS_ROW_SCENARIO_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/explore.h"
#include "sim/program.h"

namespace vigil::analysis {

// What a row requires of the state at the event's start.
struct Inputs {
  std::map<sim::PointKey, bool> points;
  std::map<sim::ValueSlot, Domain> values;  // the values still possible
};

Inputs InputsOf(const Path& path);
// The inputs both allow; nullopt when none does.
std::optional<Inputs> BothOf(const Inputs& a, const Inputs& b);

// One input that `inputs` allows, as SET lines written with the words of
// `conditions` (the IFs that constrained it): "SET TIMEPLAN(1) = OFF".
std::vector<std::string> SetLines(const Inputs& inputs, const std::vector<Condition>& conditions);

// EXPECT lines for what `path` does from the input SetLines chose: each
// MARK, DIAL and DOOR, and, when nothing waits or is queued, the outputs,
// registers and timers it leaves.
std::vector<std::string> ExpectLines(const sim::Program& program, const Path& path,
                                     const Inputs& inputs);

// "SCENARIO name", the SET lines, "EVENT name", "WAIT n" when the path waits,
// the EXPECT lines; each line ends in CR LF.
std::string ScenarioText(std::string_view name, const std::vector<std::string>& sets,
                         std::string_view event, int seconds,
                         const std::vector<std::string>& expects);

// The scenario of one row, named after its conditions.
std::string RowScenario(const sim::Program& program, const EventPaths& table, const Path& path);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_ROW_SCENARIO_H_
