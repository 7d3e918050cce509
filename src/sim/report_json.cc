#include "sim/report_json.h"

#include <string_view>

#include "core/check/diagnostic_printers.h"

namespace vigil::sim {
namespace {

std::string Field(std::string_view name, int value) {
  return "\"" + std::string(name) + "\": " + std::to_string(value);
}

std::string Field(std::string_view name, std::string_view value) {
  return "\"" + std::string(name) + "\": " + JsonString(value);
}

std::string FailuresJson(const std::vector<Failure>& failures) {
  std::string json = "[";
  for (size_t i = 0; i < failures.size(); ++i) {
    json += (i == 0 ? "{" : ", {") + Field("line", failures[i].line) + ", " +
            Field("message", failures[i].message) + "}";
  }
  return json + "]";
}

std::string ResultJson(const ScenarioResult& result) {
  return "{" + Field("name", result.name) + ", " + Field("line", result.line) +
         ", \"passed\": " + (result.passed() ? "true" : "false") +
         ", \"failures\": " + FailuresJson(result.failures) + ", " + Field("trace", result.trace) +
         "}";
}

}  // namespace

std::string ScenarioErrorsJson(const std::vector<ScenarioError>& errors) {
  std::string json = "[";
  for (size_t i = 0; i < errors.size(); ++i) {
    const ScenarioError& error = errors[i];
    json += i == 0 ? "\n  {" : ",\n  {";
    json += Field("line", error.line) + ", " + Field("column", error.column) + ", " +
            Field("end_column", error.end_column) + ", " +
            Field("severity", error.warning ? "warning" : "error") + ", " +
            Field("code", error.code) + ", " + Field("message", error.message) + ", " +
            Field("text", error.text) + "}";
  }
  return json + (errors.empty() ? "]" : "\n]");
}

std::string ScenarioReportJson(const ScenarioFile& file, const SuiteResult& suite) {
  int passed = 0;
  int failed = 0;
  for (const ScenarioResult& result : suite.results) ++(result.passed() ? passed : failed);
  std::string summary = SummaryLine({suite});
  summary.pop_back();  // the line end
  std::string json = "{" + Field("passed", passed) + ", " + Field("failed", failed) + ", " +
                     Field("summary", summary) +
                     ",\n\"errors\": " + ScenarioErrorsJson(file.errors) + ",\n\"scenarios\": [";
  for (size_t i = 0; i < suite.results.size(); ++i) {
    json += (i == 0 ? "\n  " : ",\n  ") + ResultJson(suite.results[i]);
  }
  return json + (suite.results.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace vigil::sim
