#include "lsp/scenario_diagnostics.h"

#include "sim/scenario.h"

namespace vigil::lsp {
namespace {

constexpr std::string_view kScenarioExtension = ".scenarios";
constexpr std::string_view kScriptExtensions[] = {".txt", ".vgl", ".vigil"};
constexpr int kSeverityError = 1;

Json FirstLineDiagnostic(const Document& scenarios, const std::string& message) {
  return Json::array({{{"range", RangeJson({0, 0}, scenarios.PositionOf(0, 1 << 30))},
                       {"severity", kSeverityError},
                       {"source", "vigil"},
                       {"message", message}}});
}

}  // namespace

bool IsScenarioUri(std::string_view uri) { return uri.ends_with(kScenarioExtension); }

std::vector<std::string> ScriptUrisOf(std::string_view scenario_uri) {
  std::string_view stem = scenario_uri.substr(0, scenario_uri.size() - kScenarioExtension.size());
  std::vector<std::string> uris;
  for (std::string_view extension : kScriptExtensions) {
    uris.push_back(std::string(stem) + std::string(extension));
  }
  return uris;
}

Json ScenarioDiagnostics(const Document& scenarios, const Document* script) {
  if (script == nullptr) {
    return FirstLineDiagnostic(scenarios, "open the script beside this file (" +
                                              ScriptUrisOf(scenarios.uri()).front() +
                                              ") to check its scenarios");
  }
  if (script->compilation().error_count > 0) {
    return FirstLineDiagnostic(scenarios,
                               "the script " + script->uri() + " has errors: no scenario runs");
  }
  sim::ScenarioFile file = sim::ParseScenarios(scenarios.script(), script->script());
  Json diagnostics = Json::array();
  for (const sim::ScenarioError& error : file.errors) {
    int line = error.line - 1;
    Json diagnostic = {{"range", RangeJson(scenarios.PositionOf(line, error.column - 1),
                                           scenarios.PositionOf(line, error.end_column - 1))},
                       {"severity", kSeverityError},
                       {"source", "vigil"},
                       {"message", error.message}};
    if (!error.code.empty()) diagnostic["code"] = error.code;
    diagnostics.push_back(std::move(diagnostic));
  }
  return diagnostics;
}

}  // namespace vigil::lsp
