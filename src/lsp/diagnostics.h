// The diagnostics of a document: the errors and warnings as every front end
// shows them (core/check/diagnostic_policy.h), and the lines whose line end vigilc would read
// differently from the editor.
#ifndef VIGIL_LSP_DIAGNOSTICS_H_
#define VIGIL_LSP_DIAGNOSTICS_H_

#include <string>
#include <string_view>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// Where an error or warning code is explained: "vigil-explain:E6". The text
// behind it is what `vigil explain E6` prints; an editor extension opens it,
// and hovering the diagnostic shows it too.
std::string ExplainUri(std::string_view code);

// The code of the line-end warning, which only the language server reports.
inline constexpr std::string_view kLineEndCode = "line-end";

// The params of textDocument/publishDiagnostics for `document`: what `vigil
// check` shows, cascades folded into a note of their cause unless `all`.
Json PublishDiagnosticsParams(const Document& document, bool all);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_DIAGNOSTICS_H_
