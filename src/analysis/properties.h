// Properties in scenario files, proved over every input of the path
// analysis rather than sampled:
//
//   ALWAYS NOT DOOR(FRONT) WHEN NOT TIMEPLAN(2)
//   NEVER DIAL(1,ANY) WHEN HALL.ARMED = OFF
//   ALWAYS MARK(DENIED) WHEN FRONT.INVALID
//
// What happens is a MARK, DIAL or DOOR (ANY stands for any mark); WHEN takes
// an event (the property speaks of that event) or a condition as IF takes
// it (the property speaks of every event fired while it holds). A property is
// proved when every path of every event it speaks of that the condition
// allows does what it says; otherwise one such path is the counterexample,
// written as a scenario whose EXPECT fails.
#ifndef VIGIL_ANALYSIS_PROPERTIES_H_
#define VIGIL_ANALYSIS_PROPERTIES_H_

#include <string>
#include <string_view>
#include <vector>

#include "sim/program.h"
#include "sim/scenario.h"

namespace vigil::analysis {

struct PropertyResult {
  int line = 0;
  std::string text;
  std::vector<sim::ScenarioError> errors;  // the line could not be read
  bool proved = false;
  bool cut = false;            // a table was cut short: proved only over its paths
  std::string counterexample;  // refuted: a scenario that shows it
};

// `script` must compile without errors; `program` is made from it.
std::vector<PropertyResult> CheckProperties(const Compilation& compilation,
                                            const sim::Program& program,
                                            const std::vector<sim::PropertyLine>& properties);

// "PROVED   file:line: text", or "REFUTED  file:line: text" and the
// counterexample, indented.
std::string FormatProperty(const PropertyResult& result, std::string_view file);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_PROPERTIES_H_
