// Scenario files (SITE.scenarios beside SITE.txt) as a second language of the
// server: their diagnostics, completion and a code lens per scenario, read and run by the
// simulator against the script open beside them.
#ifndef VIGIL_LSP_SCENARIO_DIAGNOSTICS_H_
#define VIGIL_LSP_SCENARIO_DIAGNOSTICS_H_

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The command of a scenario's lens: vigil.runScenario URI LINE runs the
// scenario that starts on LINE (from 1) and answers with its result.
inline constexpr std::string_view kRunScenarioCommand = "vigil.runScenario";

// A lens on each SCENARIO line running it: "run" until the scenario's line
// is in `ran`, then "passed", or "failed at line N: message" for the first
// EXPECT that failed; none while the script is not open or has errors, or
// the file has errors of its own.
Json ScenarioLenses(const Document& scenarios, const Document* script, const std::set<int>& ran);

// What `vigil test` prints for the scenario that starts on `line`: PASS or
// FAIL, the failures and the trace; or why it cannot run.
std::string ScenarioRunText(const Document& scenarios, const Document* script, int line);

// Completion in a scenario file: the step words at the start of a line; the
// script's modules and partitions after EVENT, their events after "NAME.";
// after SET and EXPECT also its registers, timers, marks, the condition words
// and, after "NAME.", the elements.
Json ScenarioCompletionAt(const Document& scenarios, const Document* script, Position position);

// Whether `uri` names a scenario file: it ends in ".scenarios".
bool IsScenarioUri(std::string_view uri);

// The URIs the scenario file's script may have: the same name with .txt,
// .vgl or .vigil.
std::vector<std::string> ScriptUrisOf(std::string_view scenario_uri);

// The Diagnostic list of a scenario file: each line the parser refuses, at
// its line and columns, and each EXPECT that failed when the scenarios run,
// at its line; one diagnostic on the first line when `script` is
// nullptr (not open) or has errors.
Json ScenarioDiagnostics(const Document& scenarios, const Document* script);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SCENARIO_DIAGNOSTICS_H_
