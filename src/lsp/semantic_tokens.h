// textDocument/semanticTokens/full: declared names by kind (modules and
// partitions, parameters, marks, registers and timers), keywords, numbers,
// element names after their module, mark texts and comments.
#ifndef VIGIL_LSP_SEMANTIC_TOKENS_H_
#define VIGIL_LSP_SEMANTIC_TOKENS_H_

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

// The legend the server announces in its capabilities.
Json SemanticTokensLegend();
// {"data": [...]}: five integers per token, relative as the protocol says.
Json SemanticTokens(const Document& document);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SEMANTIC_TOKENS_H_
