// textDocument/hover in a scenario file: what the step word at the start of
// a line does (SCENARIO, SET, EVENT, WAIT, EXPECT, ALWAYS, NEVER, and WHEN and
// CUT), and what a name of the script beside it means, as the script's own
// hover says it.
#ifndef VIGIL_LSP_SCENARIO_HOVER_H_
#define VIGIL_LSP_SCENARIO_HOVER_H_

#include <string_view>
#include <vector>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The Hover result for `position`, or null when there is nothing to show;
// `script` is nullptr when the script is not open (step words still answer).
Json ScenarioHoverAt(const Document& scenarios, const Document* script, Position position);

// The meaning of a step word in any case ("expect"), or empty.
std::string_view StepMeaning(std::string_view word);

// The words that start a line of a scenario file, in the order a scenario
// uses them: SCENARIO, SET, EVENT, WAIT, EXPECT, then ALWAYS and NEVER.
std::vector<std::string_view> LineStepWords();

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SCENARIO_HOVER_H_
