// A code lens on every EVENT line that runs the event on the controller model
// (src/sim) and shows its result: textDocument/codeLens lists the lenses,
// codeLens/resolve runs the event, and the command "vigil.simulate" (through
// workspace/executeCommand) gives the whole trace.
#ifndef VIGIL_LSP_CODE_LENS_H_
#define VIGIL_LSP_CODE_LENS_H_

#include <string>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

inline constexpr std::string_view kSimulateCommand = "vigil.simulate";

// One lens per event that has blocks, on the line of its first block, with
// {"uri", "event"} as data; none while the script has errors (it would not
// run).
Json CodeLenses(const Document& document);

// The lens with its command: the title is the event's result line.
Json ResolveCodeLens(const Document& document, Json lens);

// The trace of `event` as `vigil sim` prints it, from the start state.
std::string SimulationText(const Document& document, const std::string& event);

// The last line of `text` (a result line, a reason it cannot run), without
// its line end or trailing blanks.
std::string LastLine(std::string_view text);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_CODE_LENS_H_
