#include "lsp/scenario_diagnostics.h"

#include <algorithm>
#include <span>

#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/word_lists.h"
#include "core/scan/tokenizer.h"
#include "lsp/scenario_hover.h"
#include "lsp/words.h"
#include "sim/program.h"
#include "sim/runner.h"
#include "sim/scenario.h"

namespace vigil::lsp {
namespace {

constexpr std::string_view kScenarioExtension = ".scenarios";
constexpr std::string_view kScriptExtensions[] = {".txt", ".vgl", ".vigil"};
constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;

// A scenario file's parse and, when it has no errors, each scenario's result.
struct ScenarioRun {
  sim::ScenarioFile file;
  std::vector<sim::ScenarioResult> results;
};

// `script` must compile without errors.
ScenarioRun RunAll(const Document& scenarios, const Document& script) {
  sim::Program program = sim::MakeProgram(script.compilation());
  ScenarioRun run{sim::ParseScenarios(scenarios.script(), script.compilation(), program), {}};
  if (run.file.Refused(false)) return run;
  for (const sim::Scenario& scenario : run.file.scenarios) {
    run.results.push_back(sim::RunScenario(program, scenario));
  }
  return run;
}

Json LineRange(const Document& document, int line) {
  return RangeJson({line, 0}, document.PositionOf(line, 1 << 30));
}

Json FirstLineDiagnostic(const Document& scenarios, const std::string& message) {
  return Json::array({{{"range", LineRange(scenarios, 0)},
                       {"severity", kSeverityError},
                       {"source", "vigil"},
                       {"message", message}}});
}

}  // namespace

Json ScenarioCompletionAt(const Document& scenarios, const Document* script, Position position) {
  constexpr int kKeywordKind = 14;
  constexpr int kFieldKind = 5;
  constexpr int kVariableKind = 6;
  int line = std::clamp(position.line, 0, scenarios.line_count() - 1);
  std::string_view text = scenarios.LineText(line);
  int column = scenarios.ByteColumnOf({line, position.character});
  std::string_view before = text.substr(0, static_cast<size_t>(column));
  size_t start = before.size();
  while (start > 0 && !IsWordSeparator(before[start - 1])) --start;
  std::string_view partial = before.substr(start);
  size_t dot = partial.find('.');
  Json range = RangeJson(
      scenarios.PositionOf(
          line, static_cast<int>(dot == std::string_view::npos ? start : start + dot + 1)),
      scenarios.PositionOf(line, column));
  Json items = Json::array();
  auto add = [&](std::string_view label, int kind) {
    items.push_back(
        {{"label", label}, {"kind", kind}, {"textEdit", {{"range", range}, {"newText", label}}}});
  };
  std::vector<WordRange> words = WordsOf(before.substr(0, start));
  if (words.empty()) {
    for (std::string_view word : LineStepWords()) add(word, kKeywordKind);
  } else if (script != nullptr) {
    const SymbolTable& symbols = script->compilation().symbols;
    bool event_line = EqualsIgnoreCase(TextOf(before, words.front()), "EVENT");
    if (dot != std::string_view::npos) {
      if (const C_Module* module = symbols.modules.Find(partial.substr(0, dot))) {
        std::span<const std::string> names =
            event_line ? EventNamesOf(ModuleKindOf(module->id)) : ElementNamesOfKind(module->id);
        for (const std::string& name : names) add(name, kFieldKind);
      }
    } else {
      for (const C_Module& module : symbols.modules.records()) add(module.name, kVariableKind);
      if (!event_line) {
        for (const auto& record : symbols.registers.records()) add(record.name, kVariableKind);
        for (const auto& record : symbols.timers.records()) add(record.name, kVariableKind);
        for (const auto& record : symbols.marks.records()) add(record.name, kVariableKind);
        for (std::string_view word : ConditionWords()) add(word, kKeywordKind);
      }
    }
  }
  return {{"isIncomplete", false}, {"items", items}};
}

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
  ScenarioRun run = RunAll(scenarios, *script);
  Json diagnostics = Json::array();
  for (const sim::ScenarioError& error : run.file.errors) {
    int line = error.line - 1;
    Json diagnostic = {{"range", RangeJson(scenarios.PositionOf(line, error.column - 1),
                                           scenarios.PositionOf(line, error.end_column - 1))},
                       {"severity", error.warning ? kSeverityWarning : kSeverityError},
                       {"source", "vigil"},
                       {"message", error.message}};
    if (!error.code.empty()) diagnostic["code"] = error.code;
    diagnostics.push_back(std::move(diagnostic));
  }
  // A failed EXPECT, at its line.
  for (const sim::ScenarioResult& result : run.results) {
    for (const sim::Failure& failure : result.failures) {
      diagnostics.push_back({{"range", LineRange(scenarios, failure.line - 1)},
                             {"severity", kSeverityError},
                             {"source", "vigil test"},
                             {"message", "scenario " + result.name + ": " + failure.message}});
    }
  }
  return diagnostics;
}

Json ScenarioLenses(const Document& scenarios, const Document* script, const std::set<int>& ran) {
  Json lenses = Json::array();
  if (script == nullptr || script->compilation().error_count > 0) return lenses;
  ScenarioRun run = RunAll(scenarios, *script);
  for (const sim::ScenarioResult& result : run.results) {
    std::string title = "run";
    if (ran.contains(result.line)) title = "passed";
    if (ran.contains(result.line) && !result.passed()) {
      title = "failed at line " + std::to_string(result.failures.front().line) + ": " +
              result.failures.front().message;
    }
    lenses.push_back({{"range", LineRange(scenarios, result.line - 1)},
                      {"command",
                       {{"title", title},
                        {"command", kRunScenarioCommand},
                        {"arguments", {scenarios.uri(), result.line}}}}});
  }
  return lenses;
}

std::string ScenarioRunText(const Document& scenarios, const Document* script, int line) {
  if (script == nullptr) return "open the script beside this file to run its scenarios\n";
  if (script->compilation().error_count > 0) return "the script has errors: nothing runs\n";
  ScenarioRun run = RunAll(scenarios, *script);
  for (const sim::ScenarioResult& result : run.results) {
    if (result.line == line) return sim::FormatResult(result, scenarios.uri());
  }
  return "no scenario starts on line " + std::to_string(line) + " (or the file has errors)\n";
}

}  // namespace vigil::lsp
