#include "capi/simulation.h"

#include <vector>

#include "analysis/behaviour_diff.h"
#include "analysis/coverage_report.h"
#include "analysis/decision_table.h"
#include "analysis/explore.h"
#include "sim/event_run.h"
#include "sim/program.h"
#include "sim/report_json.h"
#include "sim/runner.h"
#include "sim/scenario.h"

namespace vigil::capi {
namespace {

// A script with errors is not run, as `vigil sim` and `vigil test` refuse it.
const sim::ScenarioError kScriptHasErrors{
    0, 0, 0, "", "the script has errors; fix them before running it", ""};

}  // namespace

std::string EventsJson(const Compilation& compilation) {
  if (compilation.error_count > 0) return "[]\n";
  return sim::EventsJson(sim::Events(sim::MakeProgram(compilation)));
}

std::string SimJson(const Compilation& compilation, std::string_view event,
                    std::string_view state) {
  std::vector<sim::ScenarioError> errors{kScriptHasErrors};
  if (compilation.error_count == 0) {
    sim::EventRequest request{std::string(event), 0, sim::AssignmentLines(state)};
    sim::EventRun run = sim::RunEvent(compilation, request);
    if (run.errors.empty()) return sim::EventRunJson("script", event, run);
    errors = std::move(run.errors);
  }
  return "{\"errors\": " + sim::ScenarioErrorsJson(errors) + "}\n";
}

std::string ScenariosJson(const Compilation& compilation, std::string_view text) {
  if (compilation.error_count > 0) {
    return sim::ScenarioReportJson({{}, {kScriptHasErrors}, {}}, {"scenarios", {}});
  }
  sim::Program program = sim::MakeProgram(compilation);
  sim::ScenarioFile file = sim::ParseScenarios(text, compilation, program);
  sim::SuiteResult suite{"scenarios", {}};
  if (!file.Refused(/*werror=*/false)) {
    for (const sim::Scenario& scenario : file.scenarios) {
      suite.results.push_back(sim::RunScenario(program, scenario));
    }
  }
  return sim::ScenarioReportJson(file, suite);
}

std::string CoverageJson(const Compilation& compilation, std::string_view text) {
  if (compilation.error_count > 0) return "{\"summary\": \"\", \"lines\": [], \"branches\": []}\n";
  sim::Program program = sim::MakeProgram(compilation);
  sim::ScenarioFile file = sim::ParseScenarios(text, compilation, program);
  sim::Coverage coverage;
  if (!file.Refused(/*werror=*/false)) {
    for (const sim::Scenario& scenario : file.scenarios)
      sim::RunScenario(program, scenario, &coverage);
  }
  return analysis::CoverageJson(analysis::MakeCoverageReport(program, coverage));
}

std::string PathsJson(const Compilation& compilation, std::string_view event) {
  if (compilation.error_count > 0) return "";
  sim::Program program = sim::MakeProgram(compilation);
  std::vector<analysis::EventPaths> tables;
  for (const sim::EventInfo& info : sim::Events(program)) {
    if (event.empty() || info.name == event)
      tables.push_back(analysis::ExploreEvent(program, info));
  }
  if (tables.empty() && !event.empty()) {
    sim::ScenarioError error{0,
                             0,
                             0,
                             std::string(event),
                             "the script has no block for event '" + std::string(event) + "'",
                             ""};
    return "{\"errors\": " + sim::ScenarioErrorsJson({error}) + "}\n";
  }
  return analysis::TableJson(program, tables, "script");
}

std::string DiffText(const Compilation& before, const Compilation& now) {
  if (before.error_count > 0 || now.error_count > 0) return "";
  return analysis::DiffText(
      analysis::DiffBehaviour(sim::MakeProgram(before), sim::MakeProgram(now)));
}

}  // namespace vigil::capi
