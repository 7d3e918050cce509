// Scenario results and errors as JSON, for front ends that draw them
// themselves (the C API and the web page).
#ifndef VIGIL_SIM_REPORT_JSON_H_
#define VIGIL_SIM_REPORT_JSON_H_

#include <string>
#include <vector>

#include "sim/runner.h"
#include "sim/scenario.h"

namespace vigil::sim {

// [{"line": 4, "column": 5, "end_column": 9, "code": "E6",
//   "message": "Unknown command", "text": "SET FOO = ON"}, ...]
std::string ScenarioErrorsJson(const std::vector<ScenarioError>& errors);

// {"passed": 1, "failed": 1, "summary": "1 passed, 1 failed",
//  "errors": [...], "scenarios": [{"name": ..., "line": 3, "passed": false,
//  "failures": [{"line": 7, "message": ...}], "trace": "..."}, ...]}
// and a line end. A file with errors was not run: no scenarios.
std::string ScenarioReportJson(const ScenarioFile& file, const SuiteResult& suite);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_REPORT_JSON_H_
