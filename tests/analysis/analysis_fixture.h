// Shared by the analysis tests: a script compiled into the simulator's
// program, and its decision tables.
#ifndef VIGIL_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
#define VIGIL_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_

#include <string>
#include <string_view>

#include "analysis/decision_table.h"
#include "analysis/explore.h"
#include "core/compile/compilation.h"
#include "sim/program.h"
#include "support/files.h"
#include "support/script.h"

namespace vigil::testing {

inline std::string ExampleScript(std::string_view name) {
  return ReadFile(std::string(VIGIL_SOURCE_DIR) + "/examples/" + std::string(name));
}

// The decision table text of the events of `script` (CR LF or "\n" lines),
// all when `events` is empty.
inline std::string TablesOf(std::string_view script, std::vector<std::string> events = {}) {
  Compilation compilation = Compile(std::string(script));
  sim::Program program = sim::MakeProgram(compilation);
  std::vector<analysis::EventPaths> tables;
  for (const sim::EventInfo& event : sim::Events(program)) {
    if (events.empty() || std::find(events.begin(), events.end(), event.name) != events.end()) {
      tables.push_back(analysis::ExploreEvent(program, event));
    }
  }
  return analysis::TableText(program, tables);
}

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
